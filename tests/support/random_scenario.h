// Random scenarios for differential tests: lines (UTF-8) from a pool of statement forms, the same
// sequence for the same seed.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace marvo::test {

// Scenario lines (UTF-8) from a pool of statement forms, weighted toward the forms the fast path
// compiles and the loops it runs, with every other kind of line mixed in.
class ScenarioMaker {
 public:
  using Lines = std::vector<std::string>;

  // With `buildForms`, a line in five is one of the forms game start changes or expands (btn, do,
  // call and ret in their odd spellings, broken ones, labels in capitals, talk brackets, "read"
  // and "return" inside other lines); without, the sequence is the engine differential test's own.
  explicit ScenarioMaker(std::uint32_t seed, bool buildForms = false) : rng_(seed), buildForms_(buildForms) {}

  Lines scenario() {
    Lines lines;
    const int length = pick(4, 24);
    for (int i = 0; i < length; ++i) {
      if (pick(0, 9) == 0) {
        loop(lines);
      } else {
        lines.push_back(line());
      }
    }
    return lines;
  }

  Lines inputs() {
    static const char* const kInputs[] = {"", "1", "2", "взять ключ", "осмотреть сундук", "x", "бросить ключ"};
    Lines out;
    for (int i = pick(0, 4); i > 0; --i) out.push_back(kInputs[pick(0, 6)]);
    return out;
  }

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

 private:
  std::string any(std::initializer_list<const char*> items) {
    return *(items.begin() + pick(0, static_cast<int>(items.size()) - 1));
  }
  std::string var() { return any({"x", "y", "n", "gold", "сила", "x", "n", "rnd", "step", "time", "1", "z"}); }
  std::string label() { return any({"a", "b", "c", "a", "b", "common", "nowhere"}); }
  std::string operand() {
    switch (pick(0, 5)) {
      case 0:
        return std::to_string(pick(0, 20));
      case 1:
        return std::to_string(pick(-3, 400));
      case 2:
        return any({"$1F", "x10", "0xFFFFFFFF", "2147483647", "да", "нет", "true", "12abc"});
      default:
        return var();
    }
  }
  std::string comparison() { return any({"<", ">", "=", "<=", "=<", ">=", "=>", "<>"}); }

  // A counting loop, by GOTO or JUMP, sometimes nested inside an IF.
  void loop(Lines& lines) {
    const std::string l = "l" + std::to_string(pick(0, 2));
    const std::string n = any({"n", "x", "i"});
    if (pick(0, 1)) lines.push_back(n + " = 0");
    lines.push_back(":" + l);
    lines.push_back(n + " = " + n + any({" + ", " + ", " - ", " * "}) + std::to_string(pick(1, 3)));
    if (pick(0, 3) == 0) lines.push_back(var() + " = " + operand() + any({" + ", " / "}) + operand());
    lines.push_back("IF " + n + any({" < ", " <> ", " =< "}) + std::to_string(pick(1, 700)));
    lines.push_back(any({"GOTO ", "JUMP ", "GOTO ", "JUMPS "}) + l);
    lines.push_back("ENDIF");
  }

  std::string line() {
    if (buildForms_ && pick(0, 4) == 0) return buildForm();
    switch (pick(0, 40)) {
      case 0:
      case 1:
        return ":" + label();
      case 2:
      case 3:
        return var() + " = " + operand();
      case 4:
      case 5:
        return var() + " = " + operand() + any({" + ", " - ", " * ", " / ", " +* "}) + operand();
      case 6:
      case 7:
        return "IF " + operand() + " " + comparison() + " " + operand();
      case 8:
        return any({"IF LOCATION = a", "IF ключ_Расположение = inv", "IF ключ_Расположение = enable",
                    "IF сундук_Расположение = location", "если x = 1", "gift = 5"});
      case 9:
      case 10:
        return any({"ENDIF", "КОНЕЦ", "endif", "!Endive"});
      case 11:
      case 12:
        return any({"GOTO ", "GOTOS ", "JUMP ", "JUMPS ", "ИДТИ "}) + label();
      case 13:
        return any({"REDO", "ВВЕРХ"});
      case 14:
        return "RETURN";
      case 15:
      case 16:
        return any({"READ", "ЖДАТЬ"});
      case 17:
        return any({"TALK 1", "TALK взять <object>", "ПАРС осмотреть <object>", "TALK x"});
      case 18:
        return any({"PUSHLOC", "POPLOC", "PUSHINDEX", "POPINDEX", "call b", "ret"});
      case 19:
        return any({"!Текст [#x] и [#n]", "!Монеты: [#gold]", "!нет [#nothing]", "!просто текст"});
      case 20:
        return any({"@Меню [#step] %", "@Вы здесь. %", "btn [Дальше] b", "do Идти"});
      case 21:
        return "VIP " + var();
      case 22:
        return any({"CLEAR", "CLEAR x", "CLEAR rnd", "CLEAR step"});
      case 23:
        return any({"CREATE ключ", "CREATE сундук", "CREATE ключ"});
      case 24:
        return any({"ключ_Расположение=a", "сундук_Расположение=location", "<object>_Расположение=inv",
                    "ключ_Расположение=сундук"});
      case 25:
        return any({"ключ_Дескриптор=Ключ <object> тут", "сундук_Описание=Старый сундук", "ключ_невидимый = 1",
                    "ключ_Маска=Ключик"});
      case 26:
        return any({"^x = 1", "^!Однажды", "^IF x = 1", "^ENDIF", "^:b"});
      case 27:
        return any({"EXAMINE ключ", "ИЗУЧИТЬ <object>", "SHOWITEM сундук", "CLS"});
      case 28:
        return any({"EMPO нельзя так", "* комментарий", "", "что-то непонятное"});
      case 29:
        return var() + " = " + any({"да", "нет", "$FF", "x7", "дальний"});
      case 30:
        return "IF " + var() + " " + comparison() + " " + any({"да", "нет", "0", "1"});
      default:
        return var() + " = " + var() + any({" + ", " - "}) + std::to_string(pick(0, 3));
    }
  }

  // A line that game start changes, expands or cannot build.
  std::string buildForm() {
    switch (pick(0, 9)) {
      case 0:
        return any({":Зал", ":ЗАЛ", "  :B  ", ":A", ":Common", ":btn [x] a", ":do a", ":call a"});
      case 1:
        return any({"btn [Вперёд] A", "BTN [x] b", "btn []x] y", "  btn [a]  c  ", "^btn [x] y", "!Нажмите btn",
                    "xbtn [q] a", "btn [x]"});
      case 2:
        return any({"btn no bracket", "btn [", "btn [text without end", "!Нажмите btn", "do", "don't", "do "});
      case 3:
        return any({"do Идти", "DO Вперёд", "doorman=1", "do  x", "Do it", "^do z", "dog = 1"});
      case 4:
        return any({"call b", "callb", "CALL B", "call", "callie_first=1", "  call   a  ", "call a b"});
      case 5:
        return any({"ret", "RET", " ret ", "rett", "Ret", "^ret"});
      case 6:
        return any({"TALK (открыть/взять) <object>", "talk (a) b", "парс (x) <object>", "ПАРС (x)", "talk ((a)) b",
                    "!talk (x)", "(talk x)"});
      case 7:
        return any({"!Please read this", "bread", "READ", "@read %", "btn [read] a", "do read"});
      case 8:
        return any({"* return here", "!Нажмите return", "x = return", "* комментарий", "  * x", ""});
      default:
        return any({"  x = 1 \t", "\tIF x = 1", "  ENDIF  ", "конец=0", "КОНЕЦ", "если x = 1"});
    }
  }

  std::mt19937 rng_;
  bool buildForms_ = false;
};

}  // namespace marvo::test
