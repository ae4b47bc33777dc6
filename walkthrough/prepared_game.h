// A scenario prepared once for many walkthroughs: its program and where each program line came from.
#pragma once

#include <string>
#include <vector>

#include "game/program_builder.h"

namespace marvo::walk {

// The program lines built from one scenario line.
struct LineSpan {
  int first = 0;  // index of the first program line
  int count = 0;  // 0 for comments and for lines past a broken btn/do line
};

struct PreparedGame {
  std::vector<std::string> scenario;  // Windows-1251
  std::vector<std::string> library;
  PreparedProgram program;      // what every game of a walkthrough starts from
  BuiltProgram built;           // the same lines with the origin of every line, unpacked
  std::vector<LineSpan> spans;  // one per scenario line
};

// Merges the library, builds the program and gathers the program lines of every scenario line
// from the program's source map.
PreparedGame prepareGame(std::vector<std::string> scenario, std::vector<std::string> library);

}  // namespace marvo::walk
