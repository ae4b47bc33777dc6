// Which bytes of a scenario line are prose (what the player reads) and which words of it a
// spelling check looks at.
#pragma once

#include <string_view>
#include <vector>

namespace marvo::spelling {

// A run of bytes of one line: `offset` counts from 0 in the Windows-1251 line as written.
struct Span {
  int offset = 0;
  int length = 0;
  friend bool operator==(const Span&, const Span&) = default;
};

// The prose of a scenario line, decided as game start builds the line (program_builder) and as the
// engine decodes the program lines it makes (engine/decode): the pieces of a text ("!") or menu
// ("@") line without its "#name" variables, the caption of a btn line, the text of a do line, the
// value of a description, descriptor or contents property. Nothing else: labels, comments,
// statements, talk patterns, masks and synonyms, locations, lines game start cannot expand.
// The same line always gives the same spans; the lines around it do not matter.
std::vector<Span> proseSpans(std::string_view line);

// The words of the prose spans: runs of Latin or Cyrillic letters, with single hyphens and
// apostrophes inside ("кто-то", "don't"). A run touching a digit or "_" ("loc1", "2-й"), anything in
// a web address or mail address, and "<object>" are no words to check.
std::vector<Span> proseWords(std::string_view line);

// Is the byte a letter of Windows-1251 (Latin, Russian and the other Cyrillic ones)?
bool isLetter(unsigned char c);
// Does the word hold a Cyrillic letter?
bool isCyrillic(std::string_view word);

}  // namespace marvo::spelling
