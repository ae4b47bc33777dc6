// Find and Replace on Windows-1251 lines.
#include "find_text.h"

#include <array>

#include "engine/text.h"

namespace marvo::editor {

namespace {

// A letter is a byte with a different lower-case form, or the lower-case form of one.
const std::array<bool, 256>& wordBytes() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c < 256; ++c) {
      const unsigned char lowered = lowerByte(static_cast<unsigned char>(c));
      if (lowered != c) t[static_cast<std::size_t>(c)] = t[lowered] = true;
    }
    for (int c = '0'; c <= '9'; ++c) t[static_cast<std::size_t>(c)] = true;
    return t;
  }();
  return table;
}

bool equalAt(std::string_view line, std::size_t at, std::string_view needle, bool matchCase) {
  if (at + needle.size() > line.size()) return false;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    const auto a = static_cast<unsigned char>(line[at + i]), b = static_cast<unsigned char>(needle[i]);
    if (a != b && (matchCase || lowerByte(a) != lowerByte(b))) return false;
  }
  return true;
}

// A match's edge that is a word character must not continue a word of the line ("<object>" is a
// whole word wherever it stands; "loc1" is not one in "loc12").
bool wordEdgesAt(std::string_view line, std::size_t at, std::size_t length) {
  auto word = [&](std::size_t i) { return isWordByte(static_cast<unsigned char>(line[i])); };
  const bool startOk = at == 0 || !word(at) || !word(at - 1);
  const bool endOk = at + length == line.size() || !word(at + length - 1) || !word(at + length);
  return startOk && endOk;
}

}  // namespace

bool isWordByte(unsigned char c) { return wordBytes()[c]; }

bool matchesAt(std::string_view line, int column, std::string_view needle, const FindOptions& options) {
  if (needle.empty() || column < 0) return false;
  const auto at = static_cast<std::size_t>(column);
  return equalAt(line, at, needle, options.matchCase) && (!options.wholeWord || wordEdgesAt(line, at, needle.size()));
}

std::vector<int> findInLine(std::string_view line, std::string_view needle, const FindOptions& options) {
  std::vector<int> out;
  if (needle.empty()) return out;
  std::size_t at = 0;
  while (at + needle.size() <= line.size()) {
    if (matchesAt(line, static_cast<int>(at), needle, options)) {
      out.push_back(static_cast<int>(at));
      at += needle.size();
    } else {
      ++at;
    }
  }
  return out;
}

std::string replaceInLine(std::string_view line, std::string_view needle, std::string_view replacement,
                          const FindOptions& options, int& count) {
  const auto found = findInLine(line, needle, options);
  count = static_cast<int>(found.size());
  if (found.empty()) return std::string(line);
  std::string out;
  out.reserve(line.size() + found.size() * replacement.size());
  std::size_t from = 0;
  for (int column : found) {
    const auto at = static_cast<std::size_t>(column);
    out.append(line.substr(from, at - from));
    out.append(replacement);
    from = at + needle.size();
  }
  out.append(line.substr(from));
  return out;
}

}  // namespace marvo::editor
