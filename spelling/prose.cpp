// Prose of a scenario line: found through game start's build of the line and the engine's decoding
// of each program line it makes, mapped back to the bytes of the line as written.
#include "prose.h"

#include <algorithm>
#include <string>

#include "engine/decode.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"
#include "game/program_builder.h"

namespace marvo::spelling {

namespace {

using namespace literals;

// Where the run cycle puts the current object's name for "<object>": a byte that cuts no word,
// enough to decide which statement rows execute on the line.
constexpr std::string_view kCurrentObject = "\xA7";
constexpr std::string_view kObjectWord = "<object>";

// Adds [from, to) of a program line, shifted by `shift` into the source line, for the part at or
// after `keepFrom` (a program line of a btn or do line begins with "@N. ", which is not the author's).
void addSpan(std::vector<Span>& out, std::size_t from, std::size_t to, std::size_t keepFrom, long shift) {
  from = std::max(from, keepFrom);
  if (from >= to) return;
  out.push_back({static_cast<int>(static_cast<long>(from) + shift), static_cast<int>(to - from)});
}

// The prose of one program line (as the engine meets it) in program-line positions.
void programLineProse(std::string_view stored, std::size_t keepFrom, long shift, std::vector<Span>& out) {
  // Engine::stepLine: the first "<object>" becomes the current object's name (unless the line
  // mentions talk), a leading "^" is dropped, then the line is decoded.
  std::string raw(stored);
  if (raw.find(kObjectWord) != std::string::npos && !mentionsTalk(raw)) replaceFirst(raw, kObjectWord, kCurrentObject);
  std::size_t bodyAt = 0;
  if (!raw.empty() && raw[0] == '^') {
    raw[0] = ' ';
    raw.assign(trimView(raw));
    bodyAt = 1;
    while (bodyAt < stored.size() && static_cast<unsigned char>(stored[bodyAt]) <= 32) ++bodyAt;
  }
  DecodedLine d;
  decodeLine(raw, d);
  const std::uint32_t rows = executedRows(d.rows);
  // The same line as written (with "<object>"): positions are counted in it.
  const std::string_view body = stored.substr(bodyAt);
  if (rows & kProperty) {
    if (d.property != Property::Descriptor && d.property != Property::Content && d.property != Property::Description)
      return;
    // The value is what follows word 0 and the one character after it (Engine::propertyAssignment).
    DecodedLine asWritten;
    decodeLine(body, asWritten);
    const std::string& w0 = asWritten.word(0).text;
    const std::size_t at = asWritten.statement.find(w0);
    if (at == std::string::npos) return;
    const auto lead = static_cast<std::size_t>(trimView(body).data() - body.data());
    addSpan(out, bodyAt + lead + at + w0.size() + 1, stored.size(), keepFrom, shift);
    return;
  }
  if (!(rows & kText)) return;
  // Engine::textLine shows the pieces of the line; a piece "#name" is a variable's value.
  std::vector<Piece> pieces;
  decodePieces(body, pieces);
  const std::size_t lead = static_cast<std::size_t>(trimView(body).data() - body.data());
  std::size_t cursor = lead + 1;  // the "!" or "@" itself is no piece
  for (const Piece& piece : pieces) {
    if (piece.isVariable) {
      const std::size_t hash = body.find('#', cursor);
      if (hash == std::string_view::npos) break;
      cursor = std::min(body.size(), body.find_first_of("_[]", hash));
      continue;
    }
    const std::size_t at = body.find(piece.word.text, cursor);
    if (at == std::string_view::npos) break;
    cursor = at + piece.word.text.size();
    addSpan(out, bodyAt + at, bodyAt + cursor, keepFrom, shift);
  }
}

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isInnerMark(unsigned char c) { return c == '-' || c == '\'' || c == 0x92; }  // hyphen, ' and ’

// A web or mail address: the whole blank-separated chunk is left alone.
bool isAddress(std::string_view chunk) {
  const std::string lowered = lower(chunk);
  if (lowered.find("://") != std::string::npos || lowered.starts_with("www.")) return true;
  const auto at = lowered.find('@');
  return at != std::string::npos && at > 0 && lowered.find('.', at) != std::string::npos;
}

}  // namespace

bool isLetter(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0) return true;
  switch (c) {
    case 0x80:
    case 0x81:
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8D:
    case 0x8E:
    case 0x8F:
    case 0x90:
    case 0x9A:
    case 0x9C:
    case 0x9D:
    case 0x9E:
    case 0x9F:
    case 0xA1:
    case 0xA2:
    case 0xA3:
    case 0xA5:
    case 0xA8:
    case 0xAA:
    case 0xAF:
    case 0xB2:
    case 0xB3:
    case 0xB4:
    case 0xB8:
    case 0xBA:
    case 0xBC:
    case 0xBD:
    case 0xBE:
    case 0xBF:
      return true;
    default:
      return false;
  }
}

bool isCyrillic(std::string_view word) {
  return std::any_of(word.begin(), word.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x80 && isLetter(b);
  });
}

std::vector<Span> proseSpans(std::string_view line) {
  std::vector<Span> out;
  const std::vector<std::string> one{std::string(line)};
  const ProgramMap map = mapProgram(one, {});
  const std::string_view trimmed = trimView(line);
  const long base = trimmed.empty() ? 0 : trimmed.data() - line.data();
  for (const Taking& taking : map.takings) {
    if (taking.count == 0) continue;  // a btn or do line game start cannot expand
    const std::string& first = map.lines[taking.first];
    if (taking.made == Made::Copy) {
      // The line trimmed; a label lower-cased and talk brackets blanked keep every position.
      programLineProse(first, 0, base, out);
    } else if (taking.made == Made::Button || taking.made == Made::Choice) {
      // "@N. text": the text stands in the line after its first "[" (btn) or first blank (do).
      const std::size_t prefix = first.find(". ") + 2;
      const std::size_t from = taking.made == Made::Button ? trimmed.find('[') + 1 : trimmed.find(' ') + 1;
      programLineProse(first, prefix, base + static_cast<long>(from) - static_cast<long>(prefix), out);
    }
  }
  return out;
}

std::vector<Span> proseWords(std::string_view line) {
  std::vector<Span> words;
  for (const Span& span : proseSpans(line)) {
    const auto end = static_cast<std::size_t>(span.offset + span.length);
    std::size_t i = static_cast<std::size_t>(span.offset);
    while (i < end) {
      // One blank-separated chunk at a time: an address is skipped whole.
      while (i < end && static_cast<unsigned char>(line[i]) <= 32) ++i;
      std::size_t chunkEnd = i;
      while (chunkEnd<end&& static_cast<unsigned char>(line[chunkEnd])> 32) ++chunkEnd;
      if (isAddress(line.substr(i, chunkEnd - i))) {
        i = chunkEnd;
        continue;
      }
      while (i < chunkEnd) {
        if (line.substr(i).starts_with(kObjectWord)) {
          i += kObjectWord.size();
          continue;
        }
        const auto c = static_cast<unsigned char>(line[i]);
        if (!isLetter(c) && !isDigit(c) && c != '_') {
          ++i;
          continue;
        }
        // A run of letters, digits, "_" and inner marks; the marks at its ends are not part of it.
        std::size_t j = i;
        bool code = false;
        while (j < chunkEnd) {
          const auto b = static_cast<unsigned char>(line[j]);
          if (isDigit(b) || b == '_')
            code = true;
          else if (!isLetter(b) && !isInnerMark(b))
            break;
          ++j;
        }
        std::size_t last = j;
        while (last > i && isInnerMark(static_cast<unsigned char>(line[last - 1]))) --last;
        if (!code && last - i > 1) words.push_back({static_cast<int>(i), static_cast<int>(last - i)});
        i = j;
      }
    }
  }
  return words;
}

}  // namespace marvo::spelling
