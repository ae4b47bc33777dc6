// Finding places in the scenario text.
#include "navigation.h"

#include <algorithm>

#include "engine/text.h"

namespace marvo::editor {

namespace {
// Sort weight of one byte: letters ignore case; Cyrillic follows Latin in alphabet order, with
// "ё" right after "е"; every other byte keeps its code.
int sortWeight(unsigned char c) {
  c = lowerByte(c);
  if (c >= 0xE0) {
    const int ordinal = c - 0xE0;  // а = 0 ... я = 31
    return 0x200 + ordinal * 2 + (ordinal > 5 ? 2 : 0);
  }
  if (c == 0xB8) return 0x200 + 5 * 2 + 1;  // ё
  return c;
}
}  // namespace

bool isLabelLine(std::string_view line) { return !line.empty() && line.front() == ':'; }

bool alphabeticalLess(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int wa = sortWeight(static_cast<unsigned char>(a[i]));
    const int wb = sortWeight(static_cast<unsigned char>(b[i]));
    if (wa != wb) return wa < wb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // items differing only in letter case get a fixed order
}

std::vector<std::string> locationItems(const std::vector<std::string>& lines) {
  return locationItems(lines, SymbolIndex(lines, {}));
}

std::vector<std::string> locationItems(const std::vector<std::string>& lines, const SymbolIndex& index) {
  std::vector<int> found;
  for (const Symbol& s : index.allDefinitions(SymbolKind::Location)) found.push_back(s.line);
  for (const Symbol& s : index.allDefinitions(SymbolKind::Button)) found.push_back(s.line);
  for (int line : index.brokenLines(SymbolIndex::Source::Scenario)) found.push_back(line);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  std::vector<std::string> items;
  for (int line : found) {
    const std::string& text = lines.at(static_cast<std::size_t>(line));
    if (isLabelLine(text)) items.push_back(text);
  }
  std::stable_sort(items.begin(), items.end(),
                   [](const std::string& a, const std::string& b) { return alphabeticalLess(a, b); });
  return items;
}

int findEqualLine(const std::vector<std::string>& lines, std::string_view item) {
  const auto it = std::find(lines.begin(), lines.end(), item);
  return static_cast<int>(it - lines.begin());
}

int findLineContaining(const std::vector<std::string>& lines, int from, std::string_view needle) {
  const int count = static_cast<int>(lines.size());
  if (needle.empty()) return count;
  for (int i = std::max(from, 0); i < count; ++i)
    if (contains(lines[static_cast<std::size_t>(i)], needle)) return i;
  return count;
}

std::string searchNeedle(std::string_view editText) { return trim(editText); }

int findCommonLine(const std::vector<std::string>& lines) { return findLineContaining(lines, 0, ":common"); }

const std::array<std::string_view, 5>& commonRepairLines() {
  static constexpr std::array<std::string_view, 5> repair = {" ", ":common", " ", " ", "RETURN"};
  return repair;
}

}  // namespace marvo::editor

namespace marvo::editor {

std::vector<OutlineEntry> outlineEntries(const SymbolIndex& index, std::string_view filter) {
  const std::string wanted = lower(trimView(filter));
  std::vector<OutlineEntry> out;
  for (const Symbol& s : index.allDefinitions(SymbolKind::Location))
    if (wanted.empty() || contains(s.name, wanted)) out.push_back({s.line, std::string(s.name)});
  return out;
}

}  // namespace marvo::editor
