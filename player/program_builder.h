// Program preparation: the library spliced into the scenario, then the authoring forms expanded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marvo {

// Where a merged or program line came from. Lines are counted from 1.
struct LineOrigin {
  enum Source : std::uint8_t {
    Scenario,
    Library,
    Game,  // the start marker, the final "read" and the end marker: made by game start alone
  };
  Source source = Game;
  int line = 0;            // line of the scenario or the library; 0 for Game
  bool generated = false;  // made by game start from that line (btn, do, call, ret expansions)

  friend bool operator==(const LineOrigin&, const LineOrigin&) = default;
};

// The scenario with every library line inserted before each scenario line containing "return"
// (compared lower-cased).
std::vector<std::string> mergeLibrary(const std::vector<std::string>& scenario,
                                      const std::vector<std::string>& library);

// The merged text with the origin of each of its lines (parallel vectors).
struct MergedText {
  std::vector<std::string> lines;
  std::vector<LineOrigin> origins;
};
MergedText mergeLibraryMapped(const std::vector<std::string>& scenario,
                              const std::vector<std::string>& library);

struct BuiltProgram {
  std::vector<std::string> lines;
  std::vector<LineOrigin> origins;  // one per program line
  // Set when a btn or do line ran past its end: the program holds the lines built before it,
  // and brokenLine says where the broken line came from.
  std::optional<long long> brokenAt;
  LineOrigin brokenLine;
};

// Builds the program from merged lines: comments dropped, labels lower-cased, call/ret/btn/do
// expanded, talk brackets removed, framed by the start marker, "read" and the end marker.
// `origins` gives the origin of each merged line; without it merged line i is scenario line i + 1.
BuiltProgram buildProgram(const std::vector<std::string>& merged,
                          const std::vector<LineOrigin>* origins = nullptr);
inline BuiltProgram buildProgram(const MergedText& merged) { return buildProgram(merged.lines, &merged.origins); }

}  // namespace marvo
