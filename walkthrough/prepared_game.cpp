// Program preparation for walkthroughs, with the scenario line behind every program line.
#include "prepared_game.h"

namespace marvo::walk {

PreparedGame prepareGame(std::vector<std::string> scenario, std::vector<std::string> library) {
  PreparedGame p;
  p.program = prepareProgram(scenario, nullptr, library);
  p.built.lines = p.program.lines;
  p.built.origins.reserve(p.program.origins.size());
  for (std::uint32_t packed : p.program.origins) p.built.origins.push_back(unpackOrigin(packed));
  p.built.brokenAt = p.program.brokenAt;
  p.built.brokenLine = p.program.brokenLine;
  p.spans.assign(scenario.size(), {});
  const auto& origins = p.built.origins;
  for (std::size_t i = 0; i < origins.size(); ++i) {
    const LineOrigin& origin = origins[i];
    if (origin.source != LineOrigin::Scenario || origin.line < 1 || origin.line > static_cast<int>(scenario.size()))
      continue;
    LineSpan& span = p.spans[static_cast<std::size_t>(origin.line - 1)];
    if (span.count == 0) span.first = static_cast<int>(i);
    ++span.count;
  }
  p.scenario = std::move(scenario);
  p.library = std::move(library);
  return p;
}

}  // namespace marvo::walk
