// Program preparation as game start does it, keeping each line's origin for the checker.
#include "program.h"

#include "context.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

std::uint32_t executedRows(const DecodedLine& d) {
  const std::uint32_t r = d.rows;
  if (r & kComment) return kComment;
  if (r & kReturn) return r & (kLabel | kReturn);
  std::uint32_t kept = r & (kLabel | kShowItem | kCreate);
  if (r & kProperty) return kept | kProperty;
  kept |= r & (kExamine | kRedo | kEmpo | kPushLoc | kPopLoc | kPushIndex | kPopIndex | kVip);
  if (r & kIf) return kept | kIf;
  if (r & kTalk) return kept | kTalk;
  kept |= r & (kRead | kClear);
  if (r & kGoto) return kept | kGoto;
  if (r & kJump) return kept | kJump;
  kept |= r & kCls;
  if (r & kText) return kept | kText;
  return kept | (r & (kAssign | kAddSub | kMulDiv));
}

std::string runtimeRaw(std::string_view stored) {
  std::string raw(stored);
  if (raw.find("<object>") != std::string::npos && !mentionsTalk(raw))
    replaceFirst(raw, "<object>", kAnyObject);
  if (raw.starts_with("^")) {
    raw[0] = ' ';
    raw = trim(raw);
  }
  return raw;
}

namespace {

class Builder {
 public:
  explicit Builder(Program& p) : p_(p) {}

  void add(std::string text, Source source, int origin, Made made, int button = 0) {
    ProgramLine line;
    line.text = std::move(text);
    line.source = source;
    line.origin = origin;
    line.made = made;
    line.button = button;
    const std::string raw = runtimeRaw(line.text);
    decodeLine(raw, line.d);
    line.rows = executedRows(line.d);
    const std::string lowered = raw == line.text ? std::string() : lower(trimView(line.text));
    const std::string_view t = raw == line.text ? std::string_view(line.d.statement) : std::string_view(lowered);
    std::uint8_t m = resets_ ? kResetsChoices : 0;
    if (opensIfLevel(t)) m |= kOpensIf;
    if (alias::kEndif.starts(t)) m |= kEndifWord | kClosesIf;
    else if (closesIfLevel(t)) m |= kClosesIf;
    if (opensTalkLevel(t)) m |= kOpensTalk;
    if (closesTalkLevel(t)) m |= kClosesTalk;
    line.marks = m;
    p_.lines.push_back(std::move(line));
  }

  void take(const std::string& source, Source from, int origin) {
    std::string line = trim(source);
    if (line.starts_with("*")) return;
    if (line.starts_with(":")) line = lower(line);
    const std::string key = lower(line);
    resets_ = key.find("read") != std::string::npos;
    if (key.starts_with("call")) {
      if (key.size() > 4 && key[4] != ' ' && key[4] != '\t')
        broken(from, origin,
               concat("Строка "_w, quoted(line), " начинается с «call»: игра превратит её в переход к метке "_w,
                      quoted(trim(std::string_view(key).substr(4))), ". Переименуйте первое слово."_w),
               "taken-as-call");
      add("PUSHINDEX", from, origin, Made::Call);
      add("JUMP " + trim(std::string_view(key).substr(4)), from, origin, Made::Call);
      return;
    }
    if (key == "ret") {
      add("POPINDEX", from, origin, Made::Return);
      add("REDO", from, origin, Made::Return);
    }
    if (key.find("read") != std::string::npos) button_ = 1;
    if (key.find("btn") != std::string::npos) {
      button(line, from, origin);
      return;
    }
    if (key.starts_with("do")) {
      choice(line, from, origin);
      return;
    }
    if (mentionsTalk(line)) {
      if (auto at = line.find('('); at != std::string::npos) line[at] = ' ';
      if (auto at = line.find(')'); at != std::string::npos) line[at] = ' ';
    }
    add(std::move(line), from, origin, Made::Copy);
  }

 private:
  void broken(Source from, int origin, std::string text, const char* rule) {
    p_.problems.push_back({from, origin + 1, Severity::Error, std::move(text), rule});
  }

  void button(const std::string& line, Source from, int origin) {
    const auto open = line.find('[');
    const auto close = open == std::string::npos || open + 1 >= line.size()
                           ? std::string::npos
                           : line.find(']', open + 2);
    const std::string key = lower(line);
    if (!key.starts_with("btn"))
      broken(from, origin,
             concat("Строка "_w, quoted(line),
                    " содержит «btn»: игра превратит её в кнопку меню"_w,
                    close == std::string::npos ? " и не запустится (ошибка индекса при подготовке)"_w : ""_w,
                    ". Уберите «btn» из строки."_w),
             "taken-as-btn");
    else if (close == std::string::npos)
      broken(from, origin,
             concat("Строка кнопки "_w, quoted(line),
                    " записана неверно: нужно «btn [Текст кнопки] метка». Игра не запустится: "
                    "подготовка программы остановится с ошибкой индекса."_w),
             "malformed-btn");
    if (close == std::string::npos) return;
    const std::string n = std::to_string(button_);
    add(concat("@", n, ". ", std::string_view(line).substr(open + 1, close - open - 1)), from, origin,
        Made::Button, button_);
    add("talk " + n, from, origin, Made::Button, button_);
    add("goto " + trim(std::string_view(line).substr(close + 1)), from, origin, Made::Button, button_);
    add("redo", from, origin, Made::Button, button_);
    ++button_;
  }

  void choice(const std::string& line, Source from, int origin) {
    const auto blank = line.find(' ');
    const bool fails = blank == std::string::npos || blank + 1 >= line.size();
    const std::string key = lower(line);
    if (key.size() > 2 && key[2] != ' ')
      broken(from, origin,
             concat("Строка "_w, quoted(line), " начинается с «do»: игра превратит её в пункт меню"_w,
                    fails ? " и не запустится (ошибка индекса при подготовке)"_w : ""_w,
                    ". Переименуйте первое слово."_w),
             "taken-as-do");
    else if (fails)
      broken(from, origin,
             concat("Строка "_w, quoted(line),
                    " начинается с «do» и станет пунктом меню, но после первого пробела нет текста: игра "
                    "не запустится. Напишите «do Текст пункта» или переименуйте первое слово."_w),
             "malformed-do");
    if (fails) return;
    const std::string n = std::to_string(button_);
    add(concat("@", n, ". ", std::string_view(line).substr(blank + 1)), from, origin, Made::Choice,
        button_);
    add("talk " + n, from, origin, Made::Choice, button_);
    ++button_;
  }

  Program& p_;
  int button_ = 1;
  bool resets_ = false;  // the source line being taken contains "read"
};

}  // namespace

Program prepareProgram(const CheckInput& input) {
  Program p;
  p.lines.reserve(input.scenario.size() + 16);
  Builder builder(p);
  constexpr std::size_t kMaxSplicedLines = 200000;
  std::size_t spliced = 0;
  for (std::size_t i = 0; i < input.scenario.size(); ++i) {
    const std::string& line = input.scenario[i];
    if (containsLowered(line, "return")) {
      p.scenarioHasReturn = true;
      // Every copy of the library is checked as game start would splice it, up to a bound that
      // keeps a text with thousands of such lines from taking gigabytes.
      if (spliced + input.library.size() > kMaxSplicedLines) {
        if (spliced <= kMaxSplicedLines)
          p.problems.push_back({Source::Scenario, static_cast<int>(i) + 1, Severity::Warning,
                                std::string("Библиотека вставлена перед слишком многими строками с «return»; "
                                            "дальше её копии не проверяются. Оставьте «return» только в "
                                            "«:common»."_w),
                                "library-spliced-often"});
        spliced = kMaxSplicedLines + 1;
      } else {
        spliced += input.library.size();
        for (std::size_t j = 0; j < input.library.size(); ++j)
          builder.take(input.library[j], Source::Library, static_cast<int>(j));
      }
    }
    builder.take(line, Source::Scenario, static_cast<int>(i));
  }
  return p;
}

}  // namespace marvo::check
