// The program as game start would build it, with every line's origin, decoded as the engine would.
#pragma once

#include <string>
#include <vector>

#include "checker.h"
#include "engine/decode.h"

namespace marvo::check {

// What game start made of a source line.
enum class Made : unsigned char {
  Copy,      // the line itself (trimmed; labels lower-cased; talk brackets removed)
  Button,    // one of the four lines of a btn line
  Choice,    // one of the two lines of a do line
  Call,      // PUSHINDEX / JUMP of a call line
  Return,    // POPINDEX / REDO before a ret line
};

// How the engine's skips and game start's numbering see a stored line (trimmed, lower-cased).
enum Mark : std::uint8_t {
  kOpensIf = 1,       // starts with "if" or "если"
  kClosesIf = 2,      // contains "endi" or starts with "коне"
  kEndifWord = 4,     // starts with "endi" or "коне": an ENDIF as written
  kOpensTalk = 8,     // starts with "talk" or "парс"
  kClosesTalk = 16,   // starts with "redo" or "ввер"
  kResetsChoices = 32,  // made from a source line containing "read" (the choice numbers restart)
};

struct ProgramLine {
  std::string text;     // the program line as stored
  Source source = Source::Scenario;
  int origin = 0;       // 0-based line of the source text
  Made made = Made::Copy;
  int button = 0;       // the choice number of a Button/Choice line
  DecodedLine d;        // decoded as the engine would at run time ("<object>" stands as kAnyObject)
  std::uint32_t rows = 0;  // the rows that execute, in the engine's order of precedence
  std::uint8_t marks = 0;  // Mark bits
};

// The name that stands for the current object when a line has "<object>" substituted.
inline constexpr std::string_view kAnyObject = "\xA7";

struct Program {
  std::vector<ProgramLine> lines;  // without the start marker, the final "read" and the end marker
  bool scenarioHasReturn = false;  // some scenario line contains "return": the library is spliced
  std::vector<Diagnostic> problems;  // broken btn/do lines (game start stops there)
};

// The line as the run cycle sees it: the first "<object>" replaced by kAnyObject (unless the line
// mentions "talk" or "парс"), a leading one-shot "^" removed.
std::string runtimeRaw(std::string_view stored);

// Builds the program of `input` as game start would; a broken btn or do line is reported and
// skipped so that the rest is still checked.
Program prepareProgram(const CheckInput& input);

// The rows of `d` that execute on one line, in the engine's order (a row that ends the line
// stops the later ones).
std::uint32_t executedRows(const DecodedLine& d);

}  // namespace marvo::check
