// Text conventions of the system on Windows-1251 byte strings.
#include "text.h"

#include <array>

namespace marvo {

namespace {
// lowerByte for every byte, looked up instead of computed in the loops over whole texts.
constexpr auto kLower = [] {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = lowerByte(static_cast<unsigned char>(c));
  return table;
}();

unsigned char lowered(char c) { return kLower[static_cast<unsigned char>(c)]; }
}  // namespace

std::string lower(std::string_view s) {
  std::string out(s);
  lowerInPlace(out);
  return out;
}

void lowerInPlace(std::string& s) {
  for (auto& ch : s) ch = static_cast<char>(lowered(ch));
}

std::string_view trimView(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

std::string trim(std::string_view s) { return std::string(trimView(s)); }

bool containsLowered(std::string_view s, std::string_view part) {
  if (part.empty() || part.size() > s.size()) return false;
  const auto first = static_cast<unsigned char>(part[0]);
  for (std::size_t i = 0; i + part.size() <= s.size(); ++i) {
    if (lowered(s[i]) != first) continue;
    std::size_t k = 1;
    while (k < part.size() && lowered(s[i + k]) == static_cast<unsigned char>(part[k])) ++k;
    if (k == part.size()) return true;
  }
  return false;
}

bool replaceFirst(std::string& s, std::string_view what, std::string_view with) {
  if (what.empty()) return false;
  auto pos = s.find(what);
  if (pos == std::string::npos) return false;
  s.replace(pos, what.size(), with);
  return true;
}

std::string decimal(std::int64_t v) { return std::to_string(v); }

std::vector<std::string_view> splitRuns(std::string_view s, char sep, std::size_t maxParts) {
  std::vector<std::string_view> parts;
  std::size_t i = 0;
  while (i < s.size() && parts.size() < maxParts) {
    while (i < s.size() && s[i] == sep) ++i;
    if (i >= s.size()) break;
    std::size_t j = i;
    while (j < s.size() && s[j] != sep) ++j;
    parts.push_back(s.substr(i, j - i));
    i = j;
  }
  return parts;
}

}  // namespace marvo
