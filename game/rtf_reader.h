// Reading the text lines of an RTF document, as word processors and our own writer produce it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marvo {

// True when `content` starts with "{\rtf", after optional whitespace and a UTF-8 byte order mark.
bool isRtf(std::string_view content);

// The plain-text lines of an RTF document as Windows-1251 text.
//
// Paragraph convention: every paragraph mark (\par, \sect, \row, \line and "\" before a line end)
// ends a line; text after the last mark forms one more line only when it is not empty. So a
// document that ends every line with \par (as ours does) gives back exactly its lines: none for an
// empty document, one empty line for a lone \par; and a document whose last paragraph has no mark
// (as some word processors write it) loses nothing.
//
// \'hh gives the byte hh (the document's code page is Windows-1251 for the files this program
// writes; with another code page a byte stays that byte). \uN gives the Windows-1251 character of
// code point N, or "?" when the code page has none, and skips its \ucN fallback characters.
// Non-text destinations (font and colour tables, style sheet, info, pictures, headers, {\*...}) and
// hidden text are left out; \bin data is skipped. The parser is iterative, so nesting depth is
// bounded only by memory; a document whose groups are never closed gives what it holds, and
// anything after the closing brace of the document is ignored. Never fails: any input gives lines.
// `closed`, when given, tells whether the document's outermost group was closed (a document cut
// short, as by a full disk or an interrupted copy, is not).
std::vector<std::string> rtfToLines(std::string_view rtf, bool* closed = nullptr);

}  // namespace marvo
