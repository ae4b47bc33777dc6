// Lines the engine takes for something other than they look like, near-miss keywords, the library
// splice, text characters that vanish, and text that looks like another code page.
#include <array>

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

void checkEncoding(Context& ctx) {
  // UTF-8 Cyrillic read as Windows-1251 shows as "Р" or "С" followed by a character of 0x80-0xBF.
  int pairs = 0, firstLine = -1;
  for (std::size_t i = 0; i < ctx.input.scenario.size() && pairs < 3; ++i) {
    const std::string& s = ctx.input.scenario[i];
    for (std::size_t k = 0; k + 1 < s.size(); ++k) {
      const auto a = static_cast<unsigned char>(s[k]), b = static_cast<unsigned char>(s[k + 1]);
      if ((a == 0xD0 || a == 0xD1) && b >= 0x80 && b <= 0xBF) {
        if (firstLine < 0) firstLine = static_cast<int>(i);
        if (++pairs >= 3) break;
        ++k;
      }
    }
  }
  if (pairs >= 3) {
    ctx.report.add(Source::Scenario, firstLine + 1, Severity::Error,
                   std::string("Текст похож на UTF-8, прочитанный как Windows-1251 (например, «Рџ» вместо "
                               "«П»). Сохраните сценарий в кодировке Windows-1251 или с меткой порядка байтов."_w),
                   "wrong-encoding");
    return;
  }
  // DOS (866) Cyrillic read as Windows-1251 falls mostly into 0x80-0xAF, where Windows-1251 has
  // only rare letters and signs.
  int high = 0, dos = 0;
  firstLine = -1;
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
