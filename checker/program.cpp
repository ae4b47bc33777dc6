// The checker's view of the program game start builds: each line decoded as the engine would, the
// rows that execute, the marks the skips see, what made it; and the author's problems with the build.
#include "program.h"

#include "context.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"

namespace marvo::check {

using namespace literals;

std::string runtimeRaw(std::string_view stored) {
  std::string raw(stored);
  if (raw.find("<object>") != std::string::npos && !mentionsTalk(raw)) replaceFirst(raw, "<object>", kAnyObject);
  if (raw.starts_with("^")) {
    raw[0] = ' ';
    raw = trim(raw);
  }
  return raw;
}

namespace {

// A program line with the checker's view of it added.
ProgramLine viewOf(std::string text, Source source, int origin, Made made, int button, bool resets) {
  ProgramLine line;
  line.text = std::move(text);
  line.source = source;
  line.origin = origin;
  line.made = made;
  line.button = button;
  const std::string raw = runtimeRaw(line.text);
  decodeLine(raw, line.d);
  line.rows = executedRows(line.d.rows);
  const std::string lowered = raw == line.text ? std::string() : lower(trimView(line.text));
  const std::string_view t = raw == line.text ? std::string_view(line.d.statement) : std::string_view(lowered);
  std::uint8_t m = resets ? kResetsChoices : 0;
  if (opensIfLevel(t)) m |= kOpensIf;
  if (closesIfLevel(t)) m |= kClosesIf;
  // A line that starts like ENDIF but runs as a statement ("конец=0") is an ENDIF only to a skip.
  if (alias::kEndif.starts(t) && line.rows == 0) m |= kEndifWord;
  if (opensTalkLevel(t)) m |= kOpensTalk;
  if (closesTalkLevel(t)) m |= kClosesTalk;
  line.marks = m;
  return line;
}

// What the author is told about a source line that game start takes for a call, a btn or a do
// line, or cannot build at all.
class Problems {
 public:
  explicit Problems(std::vector<Diagnostic>& out) : out_(out) {}

  void taken(const Taking& t, std::string_view source, Source from) {
    if (t.made != Made::Call && t.made != Made::Button && t.made != Made::Choice) return;
    const int line1 = t.origin.line;
    const std::string line = readSourceLine(source);
    const std::string key = lower(line);
    const bool broken = t.count == 0;
    if (t.made == Made::Call) {
      if (key.size() > 4 && key[4] != ' ' && key[4] != '\t')
        add(from, line1,
            concat("Строка "_w, quoted(line), " начинается с «call»: игра превратит её в переход к метке "_w,
                   quoted(trim(std::string_view(key).substr(4))), ". Переименуйте первое слово."_w),
            "taken-as-call");
    } else if (t.made == Made::Button) {
      if (!key.starts_with("btn"))
        add(from, line1,
            concat("Строка "_w, quoted(line), " содержит «btn»: игра превратит её в кнопку меню"_w,
                   broken ? " и не запустится (ошибка индекса при подготовке)"_w : ""_w,
                   ". Уберите «btn» из строки."_w),
            "taken-as-btn");
      else if (broken)
        add(from, line1,
            concat("Строка кнопки "_w, quoted(line),
                   " записана неверно: нужно «btn [Текст кнопки] метка». Игра не запустится: "
                   "подготовка программы остановится с ошибкой индекса."_w),
            "malformed-btn");
    } else {
      if (key.size() > 2 && key[2] != ' ')
        add(from, line1,
            concat("Строка "_w, quoted(line), " начинается с «do»: игра превратит её в пункт меню"_w,
                   broken ? " и не запустится (ошибка индекса при подготовке)"_w : ""_w,
                   ". Переименуйте первое слово."_w),
            "taken-as-do");
      else if (broken)
        add(from, line1,
            concat("Строка "_w, quoted(line),
                   " начинается с «do» и станет пунктом меню, но после первого пробела нет текста: игра "
                   "не запустится. Напишите «do Текст пункта» или переименуйте первое слово."_w),
            "malformed-do");
    }
  }

  void add(Source from, int line1, std::string text, const char* rule, Severity severity = Severity::Error) {
    out_.push_back({from, line1, severity, std::move(text), rule});
  }

 private:
  std::vector<Diagnostic>& out_;
};

}  // namespace

Program prepareProgram(const CheckInput& input) {
  // Every copy of the library is checked as game start splices it, up to a bound that keeps a
  // text with thousands of lines containing "return" from taking gigabytes.
  constexpr std::size_t kMaxSplicedLines = 200000;
  ProgramMap map = mapProgram(input.scenario, input.library, kMaxSplicedLines);
  Program p;
  for (const auto& line : input.scenario)
    if (containsLowered(line, "return")) {
      p.scenarioHasReturn = true;
      break;
    }
  Problems problems(p.problems);
  if (map.splicesStoppedAt)
    problems.add(Source::Scenario, map.splicesStoppedAt,
                 std::string("Библиотека вставлена перед слишком многими строками с «return»; дальше её копии не "
                             "проверяются. Оставьте «return» только в «:common»."_w),
                 "library-spliced-often", Severity::Warning);
  p.lines.reserve(map.lines.size());
  for (const Taking& t : map.takings) {
    const bool library = t.origin.source == LineOrigin::Library;
    const Source from = library ? Source::Library : Source::Scenario;
    const std::string& source = (library ? input.library : input.scenario)[static_cast<std::size_t>(t.origin.line - 1)];
    problems.taken(t, source, from);
    const bool resets = containsLowered(source, "read");  // the choice numbers restart on this line
    for (std::size_t k = t.first; k < t.first + t.count; ++k)
      p.lines.push_back(viewOf(std::move(map.lines[k]), from, t.origin.line - 1, t.made, t.button, resets));
  }
  return p;
}

}  // namespace marvo::check
