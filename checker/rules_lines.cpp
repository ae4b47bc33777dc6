// Lines the engine takes for something other than they look like, near-miss keywords, the library
// splice, text characters that vanish, and text that looks like another code page.
#include <algorithm>
#include <array>
#include <cctype>

#include "context.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

namespace {

// Keywords an author writes as the first word of a statement, spelled in full.
constexpr std::array<std::string_view, 30> kKeywords = {alias::kEndif.keyword,
                                                        alias::kEndif.russian,
                                                        alias::kGoto.keyword,
                                                        "gotos",
                                                        alias::kGoto.russian,
                                                        "jump",
                                                        "jumps",
                                                        alias::kRedo.keyword,
                                                        alias::kRedo.russian,
                                                        alias::kRead.keyword,
                                                        alias::kRead.russian,
                                                        "return",
                                                        alias::kTalk.keyword,
                                                        alias::kTalk.russian,
                                                        "create",
                                                        "showitem",
                                                        alias::kExamine.keyword,
                                                        alias::kExamine.russian,
                                                        "clear",
                                                        "cls",
                                                        "pushloc",
                                                        "poploc",
                                                        "pushindex",
                                                        "popindex",
                                                        "vip",
                                                        alias::kIf.russian,
                                                        "btn",
                                                        "call",
                                                        "ret",
                                                        alias::kIf.keyword};

// The keyword that `word` misses by a small edit distance, or "".
std::string_view nearKeyword(std::string_view word) {
  if (word.size() < 3 || word.size() > 12) return {};
  for (char c : word)
    if (c >= '0' && c <= '9') return {};
  std::string_view best;
  int bestDistance = word.size() <= 4 ? 1 : 2;
  for (auto k : kKeywords) {
    if (k.size() < 3) continue;
    const int d = editDistance(word, k, bestDistance);
    if (d == 0) return {};
    if (d <= bestDistance && (best.empty() || d < bestDistance)) {
      best = k;
      bestDistance = d;
    }
  }
  return best;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (auto& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z')
      c = static_cast<char>(b - 32);
    else if (b >= 0xE0)
      c = static_cast<char>(b - 32);
  }
  return out;
}

// The command an assignment-shaped line is taken for, or "".
std::string_view commandTakenFor(std::uint32_t rows) {
  if (rows & kReturn) return "RETURN";
  if (rows & kCreate) return "CREATE";
  if (rows & kShowItem) return "SHOWITEM";
  if (rows & kRedo) return "REDO";
  if (rows & kEmpo) return "EMPO";
  if (rows & (kPushLoc | kPushIndex)) return "PUSHLOC";
  if (rows & (kPopLoc | kPopIndex)) return "POPLOC";
  if (rows & kRead) return "READ";
  if (rows & kGoto) return "GOTO";
  if (rows & kJump) return "JUMP";
  return {};
}

// Characters of a text or menu line that are cut away: "_" anywhere, brackets not around "[#...]".
std::string vanishing(std::string_view text) {
  bool underscore = false, bracket = false;
  bool inReference = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '_')
      underscore = true;
    else if (c == '[') {
      if (i + 1 < text.size() && text[i + 1] == '#')
        inReference = true;
      else
        bracket = true;
    } else if (c == ']') {
      if (inReference)
        inReference = false;
      else
        bracket = true;
    }
  }
  if (underscore && bracket) return std::string("«_», «[» и «]»"_w);
  if (underscore) return std::string("«_»"_w);
  if (bracket) return std::string("«[» и «]»"_w);
  return {};
}

// The number after a minus that stands where a value begins ("x=-5", "IF x>-1"), or "".
std::string_view negativeNumber(std::string_view statement) {
  for (std::size_t k = statement.find('-'); k != std::string_view::npos; k = statement.find('-', k + 1)) {
    std::size_t before = k;
    while (before > 0 && statement[before - 1] == ' ') --before;
    if (before == 0 || std::string_view("=<>").find(statement[before - 1]) == std::string_view::npos) continue;
    std::size_t from = k + 1;
    while (from < statement.size() && statement[from] == ' ') ++from;
    std::size_t to = from;
    while (to < statement.size() && statement[to] >= '0' && statement[to] <= '9') ++to;
    if (to > from) return statement.substr(from, to - from);
  }
  return {};
}

}  // namespace

void checkStatements(Context& ctx) {
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    const DecodedLine& d = l.d;
    const std::string& w0 = d.word(0).text;
    if (l.rows & kComment) continue;
    if ((l.made == Made::Button || l.made == Made::Choice) && (l.rows & kText)) {
      if (auto v = vanishing(l.text); !v.empty())
        ctx.report.at(
            l, Severity::Warning,
            concat("В тексте кнопки "_w, quoted(l.text), " символы "_w, v, " пропадут при показе. Уберите их."_w),
            "vanishing-characters");
      continue;
    }
    if (l.made != Made::Copy) continue;
    const bool textLike = d.statement.starts_with("!") || d.statement.starts_with("@");
    if ((l.rows & (kAssign | kAddSub | kMulDiv)) || ((l.rows & kIf) && d.ifForm >= 3))
      if (auto number = negativeNumber(d.statement); !number.empty())
        ctx.report.at(
            l, Severity::Error,
            concat("В "_w, quoted(l.text), " минус перед "_w, number, " — разделитель, а не знак: игра возьмёт "_w,
                   number, ". Отрицательное число получают вычитанием: «x=0-"_w, number,
                   "» (в IF сравнивайте с такой переменной)."_w),
            "negative-number");

    if ((l.rows & kIf) && !alias::kIf.matches(w0)) {
      ctx.report.at(l, Severity::Error,
                    textLike ? concat("Строка "_w, quoted(l.text), " не будет показана: первое слово "_w, quoted(w0),
                                      " содержит «if», а в строке есть сравнение, поэтому игра выполнит её как "
                                      "IF. Измените первое слово."_w)
                             : concat("Строка "_w, quoted(l.text), " — это IF, а не присваивание: первое слово "_w,
                                      quoted(w0), " содержит «if» или «если». Переименуйте переменную."_w),
                    "taken-as-if");
      continue;
    }
    if ((l.rows & kProperty) && textLike) {
      ctx.report.at(l, Severity::Error,
                    concat("Строка "_w, quoted(l.text),
                           " не будет показана: первое слово содержит название свойства объекта, и игра "
                           "выполнит её как присваивание свойства. Измените первое слово."_w),
                    "taken-as-property");
      continue;
    }
    if (contains(d.statement, "=") && (d.count == 2 || d.count == 3) && !textLike) {
      if (auto command = commandTakenFor(l.rows); !command.empty()) {
        ctx.report.at(l, Severity::Error,
                      concat("Строка "_w, quoted(l.text), " похожа на присваивание, но игра выполнит её как "_w,
                             command, ": так начинается первое слово "_w, quoted(w0), ". Переименуйте переменную."_w),
                      "taken-as-command");
        continue;
      }
    }
    if (l.rows & kText) {
      if (auto v = vanishing(l.text); !v.empty())
        ctx.report.at(l, Severity::Warning,
                      concat("В строке "_w, quoted(l.text), " символы "_w, v,
                             " пропадут при показе (они разделяют ссылки на переменные). Уберите их."_w),
                      "vanishing-characters");
      continue;
    }
    if (l.rows != 0 || d.count == 0 || l.text.starts_with(":")) continue;
    const std::string t = lower(l.text);
    if (closesIfLevel(t) || t == "ret") continue;
    if (alias::kGoto.starts(d.statement) || d.statement.starts_with("jump")) continue;  // reported as a malformed jump
    if (auto k = nearKeyword(w0); !k.empty()) {
      ctx.report.at(
          l, Severity::Error,
          concat(quoted(w0), " — не команда, и строка ничего не делает. Возможно, имелось в виду "_w, upper(k), "."_w),
          "unknown-keyword");
    } else {
      ctx.report.at(l, Severity::Error,
                    concat("Строка "_w, quoted(l.text),
                           " ничего не делает: игра не узнаёт в ней ни команду, ни присваивание. Текст для "
                           "игрока начинайте с «!» или «@»."_w),
                    "ignored-line");
    }
  }

  // The library goes in before every scenario line that contains "return".
  if (!ctx.libraryHasText) return;
  DecodedLine d;
  for (std::size_t i = 0; i < ctx.input.scenario.size(); ++i) {
    const std::string& line = ctx.input.scenario[i];
    if (!containsLowered(line, "return")) continue;
    const std::string_view t = trimView(std::string_view(line).substr(0, 4096));
    decodeLine(t, d);
    if (!t.starts_with("*") && (d.rows & kReturn)) continue;
    ctx.report.add(
        Source::Scenario, static_cast<int>(i) + 1, Severity::Error,
        concat("Строка "_w, quoted(trim(line)), " содержит «return»: игра вставит перед ней всю библиотеку "_w,
               quoted(ctx.input.libraryName), ", и её строки выполнятся здесь. Уберите это слово."_w),
        "return-in-text");
  }
}

namespace {

// A byte pair that is a Russian letter in UTF-8 (shown in Windows-1251 as "Р" or "С" and a sign).
bool utf8Letter(unsigned char a, unsigned char b) {
  return (a == 0xD0 && (b == 0x81 || (b >= 0x90 && b <= 0xBF))) ||
         (a == 0xD1 && ((b >= 0x80 && b <= 0x8F) || b == 0x91));
}

// Second bytes that never follow "Р" or "С" in Russian text: letters of other Cyrillic alphabets,
// and 0x98, which Windows-1251 leaves empty.
bool foreignSign(unsigned char b) {
  static constexpr unsigned char kForeign[] = {0x80, 0x81, 0x83, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x98,
                                               0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xA1, 0xA2, 0xA3, 0xA5, 0xAA,
                                               0xAF, 0xB2, 0xB3, 0xB4, 0xBA, 0xBC, 0xBD, 0xBE, 0xBF};
  for (unsigned char f : kForeign)
    if (b == f) return true;
  return false;
}

// The word of a line that holds UTF-8 letters read as Windows-1251 ("ШуРЃмная"), or "".
std::string_view utf8Word(std::string_view s) {
  for (std::size_t k = 0; k + 1 < s.size(); ++k) {
    const auto a = static_cast<unsigned char>(s[k]), b = static_cast<unsigned char>(s[k + 1]);
    if (!utf8Letter(a, b)) continue;
    const bool twice =
        k + 3 < s.size() && utf8Letter(static_cast<unsigned char>(s[k + 2]), static_cast<unsigned char>(s[k + 3]));
    // A sign between "Р" or "С" and a letter ("Р›ампа") stands inside a word only as UTF-8; "Ё" and
    // "ё" after them are Russian ("ГРЁЗЫ", "Рёв").
    const bool inWord =
        k + 2 < s.size() && b != 0xA8 && b != 0xB8 &&
        (static_cast<unsigned char>(s[k + 2]) >= 0xC0 || std::isalpha(static_cast<unsigned char>(s[k + 2])));
    // A sign right after a lone "Р" or "С" at the start of a word ("Р’ сундуке") is UTF-8 as well.
    const bool atStart = (k == 0 || !(static_cast<unsigned char>(s[k - 1]) >= 0xC0 ||
                                      std::isalpha(static_cast<unsigned char>(s[k - 1])))) &&
                         b != 0xA8 && b != 0xB8 && b != 0xAB && b != 0xBB;
    if (!twice && !foreignSign(b) && !inWord && !atStart) continue;
    std::size_t from = k, to = k + 2;
    while (from > 0 && s[from - 1] != ' ') --from;
    while (to < s.size() && s[to] != ' ') ++to;
    while (from < k && std::ispunct(static_cast<unsigned char>(s[from]))) ++from;  // "!" or "@" of the line
    return s.substr(from, std::min<std::size_t>(to - from, 40));
  }
  return {};
}

// Has the line Russian letters as Windows-1251 keeps them (outside UTF-8 pairs)?
bool cp1251Letters(std::string_view s) {
  for (std::size_t k = 0; k < s.size(); ++k) {
    const auto a = static_cast<unsigned char>(s[k]);
    if (k + 1 < s.size() && utf8Letter(a, static_cast<unsigned char>(s[k + 1]))) {
      ++k;
      continue;
    }
    if (a >= 0xC0) return true;
  }
  return false;
}

// UTF-8 text in a Windows-1251 file: one finding when the whole text is UTF-8, else one per line.
bool checkUtf8(Context& ctx, const std::vector<std::string>& text, Source source) {
  std::vector<int> mixed;
  bool windowsText = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!utf8Word(text[i]).empty()) mixed.push_back(static_cast<int>(i));
    if (!windowsText && cp1251Letters(text[i])) windowsText = true;
  }
  if (mixed.empty()) return false;
  if (!windowsText && mixed.size() >= 2) {
    ctx.report.add(source, mixed.front() + 1, Severity::Error,
                   std::string("Текст похож на UTF-8, прочитанный как Windows-1251 (например, «Рџ» вместо "
                               "«П»). Сохраните сценарий в кодировке Windows-1251 или с меткой порядка байтов."_w),
                   "wrong-encoding");
    return true;
  }
  for (int i : mixed)
    ctx.report.add(source, i + 1, Severity::Error,
                   concat("В строке текст в UTF-8: "_w, quoted(utf8Word(text[static_cast<std::size_t>(i)])),
                          " — так игра покажет эти буквы. Файл хранит текст в двух кодировках; перепечатайте "
                          "строку в редакторе или сохраните весь файл в Windows-1251."_w),
                   "wrong-encoding");
  return true;
}

}  // namespace

void checkEncoding(Context& ctx) {
  checkUtf8(ctx, ctx.input.library, Source::Library);
  if (checkUtf8(ctx, ctx.input.scenario, Source::Scenario)) return;
  int firstLine = -1;
  // DOS (866) Cyrillic read as Windows-1251 falls mostly into 0x80-0xAF, where Windows-1251 has
  // only rare letters and signs.
  int high = 0, dos = 0;
  for (std::size_t i = 0; i < ctx.input.scenario.size(); ++i) {
    for (unsigned char c : ctx.input.scenario[i]) {
      if (c < 0x80) continue;
      ++high;
      if (c <= 0xAF && c != 0x85 && c != 0x96 && c != 0x97 && c != 0x93 && c != 0x94 && c != 0xA0 && c != 0xA8 &&
          c != 0xAB) {
        ++dos;
        if (firstLine < 0) firstLine = static_cast<int>(i);
      }
    }
  }
  if (dos >= 20 && dos * 2 > high)
    ctx.report.add(Source::Scenario, firstLine + 1, Severity::Error,
                   std::string("Текст похож на другую кодировку (DOS 866), прочитанную как Windows-1251: "
                               "русские буквы будут показаны неверно. Сохраните сценарий в Windows-1251."_w),
                   "wrong-encoding");
}

}  // namespace marvo::check
