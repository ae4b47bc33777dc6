// Classification of scenario lines for syntax colouring.
#include "syntax.h"

#include "engine/keyword_aliases.h"
#include "engine/text.h"
#include "keywords.h"

namespace marvo::editor {

namespace {
constexpr std::string_view kDelimiters = " +-=<>*/,;()";

bool isDelimiter(char c) { return kDelimiters.find(c) != std::string_view::npos; }

// Compares a word with an already lower-cased keyword, ignoring the word's letter case.
bool equalsLowered(std::string_view word, std::string_view lowered) {
  if (word.size() != lowered.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (static_cast<char>(lowerByte(static_cast<unsigned char>(word[i]))) != lowered[i]) return false;
  return true;
}

bool isKeyword(std::string_view word) {
  for (const auto& keyword : lowerKeywordTable())
    if (keyword.front() != ':' && equalsLowered(word, keyword)) return true;
  return false;
}
}  // namespace

void styleLine(std::string_view line, LineStyle& style) {
  style.kind = LineKind::Plain;
  style.keywords.clear();

  std::string_view body = trimView(line);
  if (!body.empty() && body.front() == '^') body = trimView(body.substr(1));
  if (body.empty()) return;
  if (body.front() == '*') {
    style.kind = LineKind::Comment;
    return;
  }
  if (body.front() == ':') {
    style.kind = LineKind::Label;
    return;
  }

  std::size_t first = 0;
  while (first < body.size() && isDelimiter(body[first])) ++first;
  if (first < body.size() && body[first] == '!') {
    style.kind = LineKind::Text;
    return;
  }
  if (first < body.size() && body[first] == '@') {
    style.kind = LineKind::Menu;
    return;
  }

  // Words are cut exactly where the engine cuts them.
  const auto offset = static_cast<int>(body.data() - line.data());
  bool firstWord = true;
  std::size_t i = 0;
  while (i < body.size()) {
    while (i < body.size() && isDelimiter(body[i])) ++i;
    if (i >= body.size()) break;
    std::size_t end = i;
    while (end < body.size() && !isDelimiter(body[end])) ++end;
    const std::string_view word = body.substr(i, end - i);
    if (firstWord && (equalsLowered(word, alias::kTalk.stem) || equalsLowered(word, alias::kTalk.russianStem)))
      style.kind = LineKind::Talk;
    if (isKeyword(word)) style.keywords.push_back({offset + static_cast<int>(i), static_cast<int>(end - i)});
    firstWord = false;
    i = end;
  }
}

}  // namespace marvo::editor
