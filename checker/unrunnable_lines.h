// The program lines that no run can execute: after an unconditional GOTO, JUMP, RETURN or READ,
// a REDO that closes a talk block whose body leaves by GOTO, the RETURN of ":common" after the
// library's own. The checker's order rule and walkthrough coverage both judge lines by it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::check {

// A program line as the flow sees it: the stored text, the rows that execute, the skip marks
// (program.h's Mark bits) and the GOTO/JUMP target word.
struct FlowLine {
  std::string_view text;
  std::uint32_t rows = 0;
  std::uint8_t marks = 0;
  std::string_view target;
};

// One flag per line: 1 when some run can execute it. A run may start at every label line, at the
// line after every talk line (a matched input), after ":common" (READ) and where POPINDEX returns;
// from a line it goes on as the engine does (a false IF to its ENDIF, a talk line past its block).
// Every label counts as entered, so a location nothing jumps to still counts as runnable.
std::vector<std::uint8_t> runnableLines(const std::vector<FlowLine>& program);

// The same for program lines as game start stores them (decoded here).
std::vector<std::uint8_t> runnableLines(const std::vector<std::string>& program);

}  // namespace marvo::check
