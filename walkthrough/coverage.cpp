// Coverage from the program lines the walkthroughs executed, told in scenario lines.
#include "coverage.h"

#include "checker/unrunnable_lines.h"
#include "engine/codec.h"
#include "engine/decode.h"
#include "engine/text.h"

namespace marvo::walk {

namespace {
bool ran(const std::vector<std::uint8_t>& executed, int line) {
  return line >= 0 && static_cast<std::size_t>(line) < executed.size() && executed[static_cast<std::size_t>(line)];
}

void count(CoverageCount& c, bool reached) {
  ++c.total;
  if (reached) ++c.reached;
}
}  // namespace

Coverage computeCoverage(const PreparedGame& game, const std::vector<std::uint8_t>& executed) {
  Coverage c;
  const auto& program = game.built.lines;
  const std::vector<std::uint8_t> runnable = check::runnableLines(program);
  DecodedLine decoded;
  for (std::size_t i = 0; i < game.spans.size(); ++i) {
    const LineSpan span = game.spans[i];
    const std::string text = trim(game.scenario[i]);
    if (span.count == 0 || text.empty()) continue;
    const int line = static_cast<int>(i + 1);
    bool any = false;
    bool canRun = false;
    for (int k = 0; k < span.count; ++k) {
      any = any || ran(executed, span.first + k);
      canRun = canRun || runnable[static_cast<std::size_t>(span.first + k)];
    }
    if (!any && !canRun) {  // after an unconditional jump, a REDO that only closes a block: no gap
      ++c.leftOut;
      continue;
    }
    const std::string& first = program[static_cast<std::size_t>(span.first)];
    auto item = [&](CoverageItem::Kind kind, CoverageCount& counter, bool reached) {
      count(counter, reached);
      if (!reached) c.missed.push_back({kind, line, text});
    };
    if (first.starts_with(":")) {
      // The common section is entered past its label line, after READ.
      any = any || ran(executed, span.first + 1);
      item(CoverageItem::Kind::Location, c.locations, any);
    } else if (first.starts_with("@") && span.count >= 2 &&
               program[static_cast<std::size_t>(span.first + 1)].starts_with("talk ")) {
      // A btn or do line: "@N. text", "talk N", then the body that runs when N is chosen.
      item(CoverageItem::Kind::Menu, c.menus, ran(executed, span.first + 2));
    } else if (span.count == 1) {
      decodeLine(first, decoded);
      if (decoded.rows & kTalk) item(CoverageItem::Kind::Talk, c.talks, ran(executed, span.first + 1));
    }
    count(c.lines, any);
    if (!any) {
      c.unexecutedLines.push_back(line);
      if (c.missed.empty() || c.missed.back().line != line) c.missed.push_back({CoverageItem::Kind::Line, line, text});
    }
  }
  return c;
}

std::vector<std::string> coverageReport(const Coverage& coverage, const std::string& scenarioName) {
  std::vector<std::string> out;
  for (const auto& m : coverage.missed) {
    const char* what = m.kind == CoverageItem::Kind::Location ? "location "
                       : m.kind == CoverageItem::Kind::Talk   ? "talk block "
                       : m.kind == CoverageItem::Kind::Menu   ? "menu item "
                                                              : "line ";
    out.push_back(scenarioName + ":" + std::to_string(m.line) + ": not reached: " + what + cp1251ToUtf8(m.text));
  }
  auto part = [](const char* name, const CoverageCount& c) {
    return std::string(name) + " " + std::to_string(c.reached) + "/" + std::to_string(c.total);
  };
  out.push_back("coverage: " + std::to_string(coverage.lines.percent()) + "% of program lines (" +
                part("lines", coverage.lines) + ", " + part("locations", coverage.locations) + ", " +
                part("talk blocks", coverage.talks) + ", " + part("menu items", coverage.menus) + ")" +
                (coverage.leftOut ? "; " + std::to_string(coverage.leftOut) + " lines no path can run left out" : ""));
  return out;
}

}  // namespace marvo::walk
