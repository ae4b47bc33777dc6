// Coverage of a scenario by walkthroughs: locations, talk blocks, menu items and lines never reached.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "prepared_game.h"

namespace marvo::walk {

struct CoverageItem {
  enum class Kind { Location, Talk, Menu, Line };
  Kind kind = Kind::Line;
  int line = 0;      // 1-based scenario line
  std::string text;  // the scenario line, trimmed (Windows-1251)
};

struct CoverageCount {
  int reached = 0;
  int total = 0;
  int percent() const { return total ? reached * 100 / total : 100; }
};

struct Coverage {
  std::vector<CoverageItem> missed;  // in scenario order
  CoverageCount locations, talks, menus, lines;
  std::vector<int> unexecutedLines;  // 1-based scenario lines with program lines none of which ran
  int leftOut = 0;                   // scenario lines left out of the counts: no run can execute any of their lines
};

// `executed` holds a flag per program line (RunResult::executed). A location is entered when its
// label line runs; a talk block or menu item is chosen when the first line of its body runs.
// Library lines are not counted, nor lines no run can execute (check::runnableLines): a REDO after
// a GOTO, the RETURN of ":common" after the library's own.
Coverage computeCoverage(const PreparedGame& game, const std::vector<std::uint8_t>& executed);

// "FILE:LINE: not reached: ..." lines (UTF-8) and the summary with the percentages.
std::vector<std::string> coverageReport(const Coverage& coverage, const std::string& scenarioName);

}  // namespace marvo::walk
