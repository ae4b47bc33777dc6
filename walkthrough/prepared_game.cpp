// Program preparation for walkthroughs, with the scenario line behind every program line.
#include "prepared_game.h"

#include <algorithm>

#include "engine/text.h"

namespace marvo::walk {

namespace {
// How many program lines one source line becomes (preparation treats every line on its own).
int expandedCount(const std::string& line) {
  const auto framed = buildProgram({line}).lines.size();  // start marker, the line's lines, "read", end
  return std::max(0, static_cast<int>(framed) - 3);
}
}  // namespace

PreparedGame prepareGame(std::vector<std::string> scenario, std::vector<std::string> library) {
  PreparedGame p;
  p.built = buildProgram(mergeLibrary(scenario, library));
  int libraryCount = 0;
  for (const auto& line : library) libraryCount += expandedCount(line);
  const int size = static_cast<int>(p.built.lines.size());
  int next = 1;  // after the start marker
  p.spans.reserve(scenario.size());
  for (const auto& line : scenario) {
    // The library goes in before every line that contains "return", as mergeLibrary does.
    if (!library.empty() && containsLowered(line, "return")) next += libraryCount;
    const int count = std::clamp(expandedCount(line), 0, std::max(0, size - next));
    p.spans.push_back({next, count});
    next += count;
  }
  p.scenario = std::move(scenario);
  p.library = std::move(library);
  return p;
}

}  // namespace marvo::walk
