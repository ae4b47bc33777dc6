// The checker's view of the program game start builds (game/program_builder.h): every line with
// its origin and what made it, decoded as the engine would, with the rows that execute and the
// marks by which the skips see it.
#pragma once

#include <string>
#include <vector>

#include "checker.h"
#include "engine/decode.h"
#include "game/program_builder.h"

namespace marvo::check {

// How the engine's skips and game start's numbering see a stored line (trimmed, lower-cased).
enum Mark : std::uint8_t {
  kOpensIf = 1,         // starts with "if" or "если"
  kClosesIf = 2,        // contains "endi" or starts with "коне"
  kEndifWord = 4,       // starts with "endi" or "коне" and does nothing when executed: an ENDIF as written
  kOpensTalk = 8,       // starts with "talk" or "парс"
  kClosesTalk = 16,     // starts with "redo" or "ввер"
  kResetsChoices = 32,  // made from a source line containing "read" (the choice numbers restart)
};

struct ProgramLine {
  std::string text;  // the program line as stored
  Source source = Source::Scenario;
  int origin = 0;          // 0-based line of the source text
  Made made = Made::Copy;  // what game start made the line as
  int button = 0;          // the choice number of a Button/Choice line
  DecodedLine d;           // decoded as the engine would at run time ("<object>" stands as kAnyObject)
  std::uint32_t rows = 0;  // the rows that execute, in the engine's order of precedence
  std::uint8_t marks = 0;  // Mark bits
};

// The name that stands for the current object when a line has "<object>" substituted.
inline constexpr std::string_view kAnyObject = "\xA7";

struct Program {
  std::vector<ProgramLine> lines;    // without the start marker, the final "read" and the end marker
  bool scenarioHasReturn = false;    // some scenario line contains "return": the library is spliced
  std::vector<Diagnostic> problems;  // lines game start takes for btn, do or call, broken btn/do lines
};

// The line as the run cycle sees it: the first "<object>" replaced by kAnyObject (unless the line
// mentions "talk" or "парс"), a leading one-shot "^" removed.
std::string runtimeRaw(std::string_view stored);

// The program of `input` as game start builds it; a broken btn or do line (where game start stops)
// is reported and left out so that the rest is still checked.
Program prepareProgram(const CheckInput& input);

}  // namespace marvo::check
