// What each scenario line is, as the editor colours it: labels, comments, text, menu and talk lines,
// and the keywords within a line.
#pragma once

#include <string_view>
#include <vector>

namespace marvo::editor {

enum class LineKind { Plain, Label, Comment, Text, Menu, Talk };

struct KeywordSpan {
  int start = 0;  // 0-based column
  int length = 0;
};

struct LineStyle {
  LineKind kind = LineKind::Plain;
  std::vector<KeywordSpan> keywords;  // words that are keywords; only in plain and talk lines
};

// Classifies `line` as the engine reads it: trimmed, a leading one-shot "^" ignored; comments start
// with "*", labels with ":", text lines with "!", menu lines with "@" (the last two after any
// leading delimiters); talk lines have "talk" or "парс" as their first word. Keywords are the words
// equal to a keyword of the table, letter case ignored. `style` is overwritten (its storage reused).
void styleLine(std::string_view line, LineStyle& style);

}  // namespace marvo::editor
