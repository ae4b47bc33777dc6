// An open document: its lines as Windows-1251 text (what the checker and the symbol index read) and
// the exact mapping between the protocol's positions (UTF-16 code units) and byte columns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marvo::lsp {

// A place in the Windows-1251 text: a 0-based line and byte column.
struct Place {
  int line = 0;
  int column = 0;
  friend bool operator==(const Place&, const Place&) = default;
};

// Which lines an edit replaced: [first, first + removed) became [first, first + inserted).
struct LineEdit {
  int first = 0;
  int removed = 0;
  int inserted = 0;
};

class TextDocument {
 public:
  TextDocument() : lines_(1), wide_(1) {}
  explicit TextDocument(std::string_view utf8) { setText(utf8); }

  // Replaces the whole text (UTF-8; lines end at "\r\n", "\n" or "\r", as the protocol counts).
  void setText(std::string_view utf8);
  // Replaces the text between two places with `utf8`. Places are clamped into the text; a range
  // given backwards is taken forwards.
  LineEdit replace(Place from, Place to, std::string_view utf8);

  const std::vector<std::string>& lines() const { return lines_; }
  int lineCount() const { return static_cast<int>(lines_.size()); }
  std::size_t bytes() const;

  // The place of a protocol position: a line past the end is the end of the text, a character past
  // the end of its line is the end of the line, one inside a surrogate pair is the character's
  // start. Negative values count as 0.
  Place place(long long line, long long character) const;
  // The UTF-16 column of a byte column of a line (clamped to the line).
  int utf16Column(int line, int column) const;
  // The line as UTF-8.
  std::string utf8Line(int line) const;

  int version = 0;

 private:
  // Characters that take two UTF-16 code units (outside the Basic Multilingual Plane) stand as one
  // "?" byte in the Windows-1251 text; wide_[line] lists their byte columns, ascending.
  std::vector<std::string> lines_;
  std::vector<std::vector<int>> wide_;
};

// A UTF-8 line in Windows-1251, with the columns of its characters beyond the Basic Multilingual
// Plane (`shift` is added to each column).
void convertLine(std::string_view utf8, std::string& out, std::vector<int>& wide, int shift = 0);

}  // namespace marvo::lsp
