// Find and Replace on Windows-1251 lines: the matches of a search text in a line and the line with
// them replaced, with "match case" and "whole word" as the code editor's find bar offers them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marvo::editor {

struct FindOptions {
  bool matchCase = false;  // else letters compare as the engine lower-cases them (Latin and Cyrillic)
  bool wholeWord = false;  // a match does not continue a word of the line (letters, digits)
};

// A letter of Windows-1251 (Latin, Cyrillic and the other letters of the code page) or a digit. "_"
// is none: it joins an object and its property ("лампа_Надет" holds the whole word "лампа").
bool isWordByte(unsigned char c);

// The 0-based columns where `needle` occurs in `line`, left to right and without overlap; none for
// an empty needle. A column is a character in the widget too (one byte per character).
std::vector<int> findInLine(std::string_view line, std::string_view needle, const FindOptions& options);

// Does `needle` occur in `line` exactly at `column` (with `options`)?
bool matchesAt(std::string_view line, int column, std::string_view needle, const FindOptions& options);

// `line` with every match of `needle` replaced by `replacement`; `count` receives the number of
// replacements. The replacement is inserted as given and never searched again.
std::string replaceInLine(std::string_view line, std::string_view needle, std::string_view replacement,
                          const FindOptions& options, int& count);

}  // namespace marvo::editor
