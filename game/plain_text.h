// Plain-text scenarios: Windows-1251 bytes, or UTF-8 / UTF-16 converted to Windows-1251.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

// Something the reader changed in the author's text, at a 1-based line of the file.
struct TextNote {
  std::size_t line = 0;
  std::string text;  // Windows-1251
};

struct PlainText {
  std::vector<std::string> lines;
  std::vector<TextNote> notes;
};

// Splits plain text into Windows-1251 lines (CR, LF or CR LF; a line end at the very end adds no
// empty line). The text is UTF-16 or UTF-8 when it starts with their byte order mark, UTF-8 also
// without one when it is valid UTF-8 holding non-ASCII characters, Windows-1251 otherwise.
// NUL bytes are dropped (every later line is kept) and reported once with their first line;
// characters that Windows-1251 cannot hold, and broken UTF-8/UTF-16, become "?" and are reported
// with their lines (at most kMaxLineNotes lines, then one summary note).
PlainText decodePlainText(std::string_view content);

// Whether `bytes` is well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF) that holds at least one non-ASCII character.
bool looksLikeUtf8(std::string_view bytes);

inline constexpr std::size_t kMaxLineNotes = 20;

}  // namespace marvo
