// Names in scenario lines as the language server reads them: the word under the caret, where a
// symbol's name stands in a line, and which new names a rename may give.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "game/symbol_index.h"

namespace marvo::lsp {

// A byte range [start, end) of a line.
struct Span {
  int start = 0;
  int end = 0;
};

// Bytes that may stand in a name: not blanks, not the statement delimiters, not the characters
// that open a label, a variable in text, a button caption or a line kind.
bool isNameChar(char c);

// The name-like word that holds `column` or ends at it (empty span at `column` when none).
Span wordAt(std::string_view line, int column);

// Where `name` (lower-case) stands in `line` as a whole name, letter case ignored. An object's name
// may also be followed by "_" (its property lines); in a text or menu line a variable is only
// named after "#".
std::vector<Span> nameSpans(std::string_view line, std::string_view name, SymbolKind kind);

// Why a symbol of `kind` may not be renamed to `name` (Windows-1251, as typed), in Russian
// (Windows-1251); empty when the name is fine. Collisions are judged by the caller.
// - every kind: one word, without the statement delimiters;
// - a location: the map export's rules for labels (no "read", "return" or "btn" inside);
// - an object or a variable: lines that start with the name must not read as another statement
//   (the rules the NPC maker applies to its names); an object's name has no "_"; a variable's is
//   no number and none of rnd, time, step.
std::string nameProblem(SymbolKind kind, std::string_view name);

}  // namespace marvo::lsp
