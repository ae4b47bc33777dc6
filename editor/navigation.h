// Finding places in the scenario text: the location jump list, the line search, the common location.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "game/symbol_index.h"

namespace marvo::editor {

// A line whose first character is ":".
bool isLabelLine(std::string_view line);

// The label lines of the text, unchanged (trailing blanks kept, duplicates kept), in the
// alphabetical order of a sorted list: letter case ignored, "ё" between "е" and "ж". They are
// taken from the symbol index of the text: its location definitions on lines that start with ":"
// (game start also takes an indented label, which is no label line here), and the lines that
// start with ":" but contain "btn", which game start takes for a button (or cannot expand).
std::vector<std::string> locationItems(const std::vector<std::string>& lines);
// The same with an index of `lines` at hand (built from them, or kept up to date with their edits).
std::vector<std::string> locationItems(const std::vector<std::string>& lines, const SymbolIndex& index);
bool alphabeticalLess(std::string_view a, std::string_view b);

// The first line, from index 0, equal to `item`; the line count when there is none.
int findEqualLine(const std::vector<std::string>& lines, std::string_view item);

// The first line at or after `from` that contains `needle` (case-sensitive); the line count when
// there is none or `needle` is empty.
int findLineContaining(const std::vector<std::string>& lines, int from, std::string_view needle);

// The search line's text as it is searched for: without surrounding blanks.
std::string searchNeedle(std::string_view editText);

// The first line holding ":common" anywhere; the line count when there is none.
int findCommonLine(const std::vector<std::string>& lines);
// The lines appended when the text has no ":common" at all.
const std::array<std::string_view, 5>& commonRepairLines();

}  // namespace marvo::editor

namespace marvo::editor {

// One location of the outline: its label line (0-based) and its name as the index holds it.
struct OutlineEntry {
  int line = 0;
  std::string name;
};

// The locations the scenario defines, in line order, whose names contain `filter`
// (letter case ignored, blanks around it dropped; an empty filter keeps all).
std::vector<OutlineEntry> outlineEntries(const SymbolIndex& index, std::string_view filter);

}  // namespace marvo::editor
