// Keyword case normalisation and the "@" continuation of menu lines, on Windows-1251 lines.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace marvo::editor {

inline constexpr std::size_t kKeywordCount = 43;

// The keywords in their canonical spelling, in the order they are tried.
const std::array<std::string_view, kKeywordCount>& keywordTable();
// The same keywords lower-cased, index for index.
const std::array<std::string, kKeywordCount>& lowerKeywordTable();

// Rewrites the first occurrence (a plain substring, letter case ignored) of every keyword in its
// canonical spelling. Only letter case changes: the result has the same length as `line`.
std::string normaliseKeywords(std::string_view line);

// What Enter does after the line `previousLine`: offer "@" on the new line when the previous one
// is a menu line with text, end the run (blank the previous line) when it holds only "@".
enum class AtContinuation { None, OfferAt, EndRun };
AtContinuation atContinuationAfter(std::string_view previousLine);

}  // namespace marvo::editor
