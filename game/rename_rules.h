// Names in scenario lines: the word under the caret, where a symbol's name stands in a line, the
// symbol a caret stands on, and which new names a rename may give (shared by the code editor and
// the language server).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "symbol_index.h"

namespace marvo::names {

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

// A location, an object or a variable: the kinds go to definition, find references and rename serve.
bool renamable(SymbolKind kind);

// The location, object or variable whose name holds the 0-based `column` of scenario line `index`
// (`line` is its text), with where the name stands; a name the caret ends at counts. None when the
// caret is on no such name.
struct NameAt {
  Symbol symbol;
  Span span;
};
std::optional<NameAt> symbolAt(const SymbolIndex& index, int lineIndex, std::string_view line, int column);

// Why a symbol of `kind` may not be renamed to `name` (Windows-1251, as typed), in Russian
// (Windows-1251); empty when the name is fine. Collisions are judged by the caller.
// - every kind: one word, without the statement delimiters;
// - a location: the map export's rules for labels (no "read", "return" or "btn" inside);
// - an object or a variable: lines that start with the name must not read as another statement
//   (the rules the NPC maker applies to its names); an object's name has no "_"; a variable's is
//   no number and none of rnd, time, step.
std::string nameProblem(SymbolKind kind, std::string_view name);

// The scenario text after renaming `oldName` (lower-case, as the index holds it) of `kind` to
// `newName` in every line that uses it, or why it cannot be done (Russian, Windows-1251): a name
// that nameProblem rejects, a name of the kind already in use, a symbol the library also uses.
struct RenameResult {
  std::string problem;       // empty on success
  std::vector<int> changed;  // 0-based lines that changed
  std::vector<std::string> lines;
};
RenameResult rename(const SymbolIndex& index, const std::vector<std::string>& scenario, SymbolKind kind,
                    std::string_view oldName, std::string_view newName);

}  // namespace marvo::names
