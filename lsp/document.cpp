// An open document and the mapping of protocol positions onto its Windows-1251 text.
#include "document.h"

#include <algorithm>

#include "engine/codec.h"

namespace marvo::lsp {

namespace {

// Splits UTF-8 text at "\r\n", "\n" and "\r"; there is always at least one line.
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    out.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  out.push_back(text.substr(start));
  return out;
}

}  // namespace

void convertLine(std::string_view utf8, std::string& out, std::vector<int>& wide, int shift) {
  out = utf8ToCp1251(utf8);
  // The codec makes one byte of every character; a four-byte sequence is a character beyond the
  // Basic Multilingual Plane. Count characters to find its column.
  int column = 0;
  for (unsigned char b : utf8) {
    if ((b & 0xC0) == 0x80) continue;
    if (b >= 0xF0 && b < 0xF8) wide.push_back(column + shift);
    ++column;
  }
}

void TextDocument::setText(std::string_view utf8) {
  const auto parts = splitLines(utf8);
  lines_.assign(parts.size(), {});
  wide_.assign(parts.size(), {});
  for (std::size_t i = 0; i < parts.size(); ++i) convertLine(parts[i], lines_[i], wide_[i]);
}

std::size_t TextDocument::bytes() const {
  std::size_t n = 0;
  for (const auto& l : lines_) n += l.size() + 1;
  return n;
}

Place TextDocument::place(long long line, long long character) const {
  if (line < 0) return {0, 0};
  if (line >= lineCount()) return {lineCount() - 1, static_cast<int>(lines_.back().size())};
  const int l = static_cast<int>(line);
  const int length = static_cast<int>(lines_[l].size());
  long long units = std::max(0LL, character);
  int column = 0;  // walk the wide characters before the position
  for (int w : wide_[l]) {
    if (units <= w - column) break;
    units -= w - column;
    column = w;
    if (units < 2) return {l, w};  // at the wide character or inside its pair
    units -= 2;
    column = w + 1;
  }
  return {l, static_cast<int>(std::min<long long>(length, column + units))};
}

int TextDocument::utf16Column(int line, int column) const {
  if (line < 0 || line >= lineCount()) return 0;
  column = std::clamp(column, 0, static_cast<int>(lines_[line].size()));
  int units = column;
  for (int w : wide_[line]) {
    if (w >= column) break;
    ++units;
  }
  return units;
}

std::string TextDocument::utf8Line(int line) const {
  if (line < 0 || line >= lineCount()) return {};
  std::string out = cp1251ToUtf8(lines_[line]);
  if (wide_[line].empty()) return out;
  // The "?" bytes stand for characters that are no longer known; they stay "?".
  return out;
}

LineEdit TextDocument::replace(Place from, Place to, std::string_view utf8) {
  auto clampPlace = [this](Place p) {
    p.line = std::clamp(p.line, 0, lineCount() - 1);
    p.column = std::clamp(p.column, 0, static_cast<int>(lines_[p.line].size()));
    return p;
  };
  from = clampPlace(from);
  to = clampPlace(to);
  if (to.line < from.line || (to.line == from.line && to.column < from.column)) std::swap(from, to);

  const std::string prefix = lines_[from.line].substr(0, static_cast<std::size_t>(from.column));
  const std::string suffix = lines_[to.line].substr(static_cast<std::size_t>(to.column));
  std::vector<int> prefixWide, suffixWide;
  for (int w : wide_[from.line])
    if (w < from.column) prefixWide.push_back(w);
  for (int w : wide_[to.line])
    if (w >= to.column) suffixWide.push_back(w - to.column);

  const auto parts = splitLines(utf8);
  std::vector<std::string> newLines(parts.size());
  std::vector<std::vector<int>> newWide(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const int shift = i == 0 ? from.column : 0;
    if (i == 0) newWide[0] = prefixWide;
    convertLine(parts[i], newLines[i], newWide[i], shift);
    if (i == 0) newLines[0].insert(0, prefix);
  }
  const int lastLength = static_cast<int>(newLines.back().size());
  for (int w : suffixWide) newWide.back().push_back(w + lastLength);
  newLines.back() += suffix;

  const int removed = to.line - from.line + 1;
  const int inserted = static_cast<int>(newLines.size());
  const auto at = static_cast<std::ptrdiff_t>(from.line);
  // Lines replaced one for one are assigned; the rest are erased or inserted.
  const int common = std::min(removed, inserted);
  for (int i = 0; i < common; ++i) {
    lines_[from.line + i] = std::move(newLines[i]);
    wide_[from.line + i] = std::move(newWide[i]);
  }
  if (removed > common) {
    lines_.erase(lines_.begin() + at + common, lines_.begin() + at + removed);
    wide_.erase(wide_.begin() + at + common, wide_.begin() + at + removed);
  } else if (inserted > common) {
    lines_.insert(lines_.begin() + at + common, std::make_move_iterator(newLines.begin() + common),
                  std::make_move_iterator(newLines.end()));
    wide_.insert(wide_.begin() + at + common, std::make_move_iterator(newWide.begin() + common),
                 std::make_move_iterator(newWide.end()));
  }
  return {from.line, removed, inserted};
}

}  // namespace marvo::lsp
