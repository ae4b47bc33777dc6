// Program lines compiled for the engine's fast path: one small fixed-size record per line, with
// variable operands resolved to slots and jump targets resolved to line numbers.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

namespace marvo {

enum class FastOp : std::uint8_t {
  Unknown = 0,  // not compiled yet (the all-zero record)
  Slow,         // needs the line-at-a-time dispatch
  Nothing,      // a comment or a line that meets no statement row
  Label,
  Redo,
  Assign,
  Add,
  Sub,
  Mul,
  Div,
  IfLe,
  IfGe,
  IfNe,
  IfLt,
  IfGt,
  IfEq,
  Jump,  // GOTO (to the label line) and JUMP (to the line after it)
};

struct CompiledLine {
  FastOp op;
  bool clearing;              // GOTOS / JUMPS
  std::int16_t dst;           // slot that an assignment stores into
  std::int16_t a, b;          // operand slots; kTableSize means "not a variable": use na, nb
  std::int32_t na, nb;        // the operands read as number literals
  std::int32_t target;        // GOTO/JUMP: the line to go on at; IF: the ENDIF line a false condition skips to
  std::uint32_t skipVersion;  // program version `target` of an IF was found in (0 = not yet)
  std::uint64_t generation;   // variable-name generation the slots were resolved in (0 = never)
};

// Records for a program of `size` lines plus one past the end, all zero (Unknown) at first.
// calloc leaves the pages of a large program untouched until a line is compiled.
struct CompiledProgram {
  struct Free {
    void operator()(CompiledLine* p) const { std::free(p); }
  };
  std::unique_ptr<CompiledLine[], Free> lines;
  std::size_t size = 0;  // program lines covered; lines[size] is the end marker

  void reset(std::size_t programSize) {
    lines.reset(static_cast<CompiledLine*>(std::calloc(programSize + 1, sizeof(CompiledLine))));
    if (!lines) throw std::bad_alloc();
    size = programSize;
    lines[size].op = FastOp::Slow;  // running past the end is the dispatch's index error
  }
  void clear() {
    lines.reset();
    size = 0;
  }
};

}  // namespace marvo
