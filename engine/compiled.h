// Program lines compiled for the engine's fast path: one small fixed-size record per line, with
// variable operands resolved to slots and jump targets resolved to line numbers; the record also
// holds the line's decoded form, which the line-at-a-time dispatch uses.
#pragma once

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "decode.h"

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
  DecodedLine* decoded;       // the line decoded, once it has been (owned by CompiledProgram)
};

// Records for a program of `size` lines plus one past the end, all zero (Unknown) at first. A
// large table is mapped from the system, whose pages stay untouched until a line is compiled.
class CompiledProgram {
 public:
  CompiledProgram() = default;
  CompiledProgram(CompiledProgram&& other) noexcept { *this = std::move(other); }
  CompiledProgram& operator=(CompiledProgram&& other) noexcept {
    if (this != &other) {
      clear();
      std::swap(lines_, other.lines_);
      std::swap(size_, other.size_);
      std::swap(bytes_, other.bytes_);
      std::swap(mapped_, other.mapped_);
      decoded_.swap(other.decoded_);
    }
    return *this;
  }
  ~CompiledProgram() { clear(); }

  CompiledLine* lines() const { return lines_; }
  std::size_t size() const { return size_; }  // program lines covered; lines()[size()] is the end marker
  bool covers(std::size_t programSize) const { return lines_ && size_ == programSize; }

  void reset(std::size_t programSize) {
    clear();
    bytes_ = (programSize + 1) * sizeof(CompiledLine);
    mapped_ = bytes_ >= kMapFrom;
    void* p = mapped_ ? ::mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                      : std::calloc(1, bytes_);
    if (p == MAP_FAILED || !p) throw std::bad_alloc();
    lines_ = static_cast<CompiledLine*>(p);
    size_ = programSize;
    lines_[size_].op = FastOp::Slow;  // running past the end is the dispatch's index error
  }
  void clear() {
    if (mapped_)
      ::munmap(lines_, bytes_);
    else
      std::free(lines_);
    lines_ = nullptr;
    size_ = 0;
    mapped_ = false;
    decoded_.clear();
  }
  // The decoded form of a line, made on first use and kept until the table is cleared.
  DecodedLine& decoded(std::size_t line, std::string_view text) {
    CompiledLine& c = lines_[line];
    if (!c.decoded) {
      decoded_.push_back(std::make_unique<DecodedLine>());
      c.decoded = decoded_.back().get();
      decodeLine(text, *c.decoded);
    }
    return *c.decoded;
  }

 private:
  static constexpr std::size_t kMapFrom = 256 * 1024;
  CompiledLine* lines_ = nullptr;
  std::size_t size_ = 0;
  std::size_t bytes_ = 0;
  bool mapped_ = false;
  std::vector<std::unique_ptr<DecodedLine>> decoded_;
};

}  // namespace marvo
