// The checker's entry points: run every rule group, sort and format the diagnostics.
#include "checker.h"

#include <algorithm>

#include "context.h"
#include "engine/text.h"
#include "game/symbol_index.h"
#include "unrunnable_lines.h"

namespace marvo::check {

using namespace literals;

void Reporter::add(Source source, int line1, Severity severity, std::string text, std::string_view rule) {
  int& kept = perRule_[std::string(rule)];
  if (kept >= kPerRule) return;
  std::size_t h = std::hash<std::string>()(text);
  h ^= std::hash<std::string_view>()(rule) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
  h ^= static_cast<std::size_t>(line1) * 2 + static_cast<std::size_t>(source) + (h << 6) + (h >> 2);
  if (!seen_.insert(h).second) return;
  ++kept;
  list_.push_back({source, line1, severity, std::move(text), std::string(rule)});
}

std::vector<Diagnostic> Reporter::take() {
  std::stable_sort(list_.begin(), list_.end(), [](const Diagnostic& a, const Diagnostic& b) {
    return std::tie(a.source, a.line, a.rule) < std::tie(b.source, b.line, b.rule);
  });
  return std::move(list_);
}

std::string quoted(std::string_view text) {
  constexpr std::size_t kShown = 60;
  constexpr std::string_view open = "«"_w, close = "»"_w, more = "…"_w;
  return text.size() > kShown ? concat(open, text.substr(0, kShown), more, close) : concat(open, text, close);
}

int editDistance(std::string_view a, std::string_view b, int cap) {
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  if (std::abs(n - m) > cap) return cap + 1;
  if (n > 40 || m > 40) return cap + 1;
  int d[41][41];
  for (int i = 0; i <= n; ++i) d[i][0] = i;
  for (int j = 0; j <= m; ++j) d[0][j] = j;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= m; ++j) {
      const int cost = a[static_cast<std::size_t>(i - 1)] == b[static_cast<std::size_t>(j - 1)] ? 0 : 1;
      int v = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[static_cast<std::size_t>(i - 1)] == b[static_cast<std::size_t>(j - 2)] &&
          a[static_cast<std::size_t>(i - 2)] == b[static_cast<std::size_t>(j - 1)])
        v = std::min(v, d[i - 2][j - 2] + 1);
      d[i][j] = v;
    }
  }
  return std::min(d[n][m], cap + 1);
}

std::vector<Diagnostic> checkScenario(const CheckInput& input) {
  Context ctx{input, prepareProgram(input), {}, {}, {}, -1, {}, false, {}, {}};
  for (auto& p : ctx.program.problems) ctx.report.add(p.source, p.line, p.severity, p.text, p.rule);
  for (int i = 0; i < ctx.size(); ++i) {
    const ProgramLine& l = ctx.line(i);
    if (!l.text.starts_with(":")) continue;
    ctx.labelLines.push_back(i);
    ctx.labels.emplace(lower(l.text), i);
    if (l.text == ":common" && ctx.commonLine < 0) ctx.commonLine = i;
  }
  // The objects given by CREATE: the scenario's, and the library's when game start splices it in.
  ctx.symbols.build(input.scenario, input.library);
  const SymbolIndex& symbols = ctx.symbols;
  for (const Symbol& object : symbols.allDefinitions(SymbolKind::Object, SymbolIndex::Source::Scenario))
    ctx.objects.emplace(object.name);
  if (symbols.librarySpliced())
    for (const Symbol& object : symbols.allDefinitions(SymbolKind::Object, SymbolIndex::Source::Library))
      ctx.objects.emplace(object.name);
  {
    std::vector<FlowLine> flow;
    flow.reserve(ctx.program.lines.size());
    for (const ProgramLine& l : ctx.program.lines) flow.push_back({l.text, l.rows, l.marks, l.d.truthWord(1).text});
    ctx.runnable = runnableLines(flow);
  }
  for (const auto& line : input.library)
    if (!trimView(line).empty()) ctx.libraryHasText = true;

  checkLabelsAndJumps(ctx);
  checkBlocks(ctx);
  checkLocationEnds(ctx);
  checkStatements(ctx);
  checkObjects(ctx);
  checkVariables(ctx);
  checkTalkPatterns(ctx);
  checkEncoding(ctx);
  checkOrder(ctx);
  checkNames(ctx);
  checkTalkSyntax(ctx);
  checkNesting(ctx);
  checkDecidedConditions(ctx);
  checkLostAssignments(ctx);
  return ctx.report.take();
}

std::vector<Diagnostic> checkLibrary(const CheckInput& input) {
  // Rules that judge a library by what a game does with it.
  static constexpr std::string_view kNeedAGame[] = {
      "unreachable-location", "never-assigned", "never-read",      "undeclared-object",       "library-not-spliced",
      "unknown-place",        "missing-label",  "common-misspelt", "library-word-over-object"};
  CheckInput alone;
  alone.scenario = {":common", "RETURN"};
  alone.library = input.library;
  alone.libraryName = input.libraryName;
  std::vector<Diagnostic> out;
  for (auto& d : checkScenario(alone)) {
    if (d.source != Source::Library) continue;
    if (std::find(std::begin(kNeedAGame), std::end(kNeedAGame), d.rule) != std::end(kNeedAGame)) continue;
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<Diagnostic> checkFileBytes(std::string_view bytes, Source source) {
  std::vector<Diagnostic> out;
  const auto nul = bytes.find('\0');
  if (nul == std::string_view::npos || bytes.starts_with("\xEF\xBB\xBF{\\rtf") || bytes.starts_with("{\\rtf"))
    return out;
  int line = 1;
  for (std::size_t i = 0; i < nul; ++i) {
    if (bytes[i] == '\n')
      ++line;
    else if (bytes[i] == '\r' && (i + 1 >= nul || bytes[i + 1] != '\n'))
      ++line;
  }
  const auto count = std::count(bytes.begin(), bytes.end(), '\0');
  out.push_back({source, line, Severity::Warning,
                 concat("В файле нулевые байты (NUL, всего "_w, std::to_string(count),
                        "): программа удаляет их при чтении, все строки сохраняются. Уберите их, сохранив файл "
                        "заново (файл, вероятно, был испорчен или сохранён не как текст)."_w),
                 "nul-byte"});
  return out;
}

int findCreate(const std::vector<std::string>& scenario, std::string_view name) {
  const std::string wanted = lower(name);
  DecodedLine d;
  for (std::size_t i = 0; i < scenario.size(); ++i) {
    if (!containsLowered(scenario[i], "crea")) continue;
    decodeLine(runtimeRaw(trimView(std::string_view(scenario[i]).substr(0, 4096))), d);
    if ((executedRows(d.rows) & kCreate) && d.word(1).text == wanted) return static_cast<int>(i);
  }
  return -1;
}

std::string formatDiagnostic(const Diagnostic& d, std::string_view file) {
  return concat(file, ":", std::to_string(d.line), ": ",
                d.severity == Severity::Error ? std::string_view("error") : std::string_view("warning"), ": ", d.text,
                " [", d.rule, "]");
}

Counts countDiagnostics(const std::vector<Diagnostic>& list) {
  Counts c;
  for (const auto& d : list) (d.severity == Severity::Error ? c.errors : c.warnings)++;
  return c;
}

std::string summaryLine(Counts counts) {
  return concat("Ошибок: "_w, std::to_string(counts.errors), ", предупреждений: "_w, std::to_string(counts.warnings),
                "."_w);
}

}  // namespace marvo::check
