// Word wrap of descriptions and joining of the description area's lines.
#include "description_lines.h"

namespace marvo::mapedit {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::vector<std::string> breakDescription(std::string_view text, std::size_t width) {
  std::vector<std::string> lines;
  if (width == 0) width = 1;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t rest = text.size() - pos;
    if (rest <= width) {
      lines.emplace_back(text.substr(pos));
      break;
    }
    // A word that ends right at the margin keeps the whole width; otherwise the line ends after
    // the last blank that fits, and a word longer than the line is cut at the width.
    std::size_t length = width;
    if (!isBlank(text[pos + width])) {
      for (std::size_t i = pos + width; i > pos; --i) {
        if (isBlank(text[i - 1])) {
          length = i - pos;
          break;
        }
      }
    }
    // The blanks at the break hang at the end of the line instead of starting the next one.
    while (pos + length < text.size() && isBlank(text[pos + length])) ++length;
    lines.emplace_back(text.substr(pos, length));
    pos += length;
  }
  return lines;
}

std::string joinDescriptionLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line;  // empty lines add nothing
  return out;
}

}  // namespace marvo::mapedit
