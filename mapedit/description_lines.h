// Breaking a location description into the lines the description area shows and the export writes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::mapedit {

// Width of the description area in characters. The area is 497 pixels wide with a 13-pixel font;
// after the scroll bar and the margins about 470 pixels remain, at some 6 pixels a character,
// which gives 78 characters. It also keeps the visible part of an exported description line
// ("@" and the line) within the 79 characters of a statement.
inline constexpr std::size_t kDescriptionWidth = 78;

// Word wrap of one paragraph, as an edit control wraps it. A line is broken after the last blank
// (space or tab) within the first `width` characters; a word longer than the width is cut at the
// width. The blanks at which a line is broken stay at its end, even past the width, so no line
// after the first begins with a blank. No character is lost or added: the lines joined without
// separator give the text back. An empty text gives no lines.
std::vector<std::string> breakDescription(std::string_view text, std::size_t width = kDescriptionWidth);

// The stored description of the area's lines: every non-empty line, joined without separator.
// Line breaks, typed or from wrapping, thus vanish; a paragraph that was only wrapped comes back
// unchanged.
std::string joinDescriptionLines(const std::vector<std::string>& lines);

}  // namespace marvo::mapedit
