// Scenario files: RTF writing, and reading of RTF or plain text.
#include "scenario_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <endian.h>

#include "engine/codec.h"
#include "engine/cp1251.h"
#include "engine/file_io.h"
#include "rtf_reader.h"

namespace marvo {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// Header of the RTF we write: Windows-1251 with a Cyrillic font, so that word processors show
// the \'hh bytes as the right letters.
constexpr std::string_view kRtfHeader =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0"
    "{\\fonttbl{\\f0\\fmodern\\fcharset204 Courier New;}}\r\n"
    "\\pard\\plain\\f0\\fs20\r\n";

// The RTF text of every byte, packed for one unaligned store: up to five characters in the low
// bytes and their count in the top byte.
constexpr auto kRtfBytes = [] {
  std::array<std::uint64_t, 256> table{};
  constexpr char kHex[] = "0123456789abcdef";
  for (int c = 0; c < 256; ++c) {
    std::string_view text;
    char buffer[5] = {static_cast<char>(c), 0, 0, 0, 0};
    if (c == '\\' || c == '{' || c == '}') {
      buffer[0] = '\\';
      buffer[1] = static_cast<char>(c);
      text = std::string_view(buffer, 2);
    } else if (c == '\t') {
      text = "\\tab ";  // the blank ends the control word; a blank after it stays text
    } else if (c < 0x20 || c >= 0x7F) {
      buffer[0] = '\\';
      buffer[1] = '\'';
      buffer[2] = kHex[c >> 4];
      buffer[3] = kHex[c & 0x0F];
      text = std::string_view(buffer, 4);
    } else {
      text = std::string_view(buffer, 1);
    }
    std::uint64_t packed = static_cast<std::uint64_t>(text.size()) << 56;
    for (std::size_t i = 0; i < text.size(); ++i)
      packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(text[i])) << (8 * i);
    table[static_cast<std::size_t>(c)] = packed;
  }
  return table;
}();

// Appends lines[next...] as paragraphs (each line followed by \par) until `out` holds about
// `limit` bytes; returns the index of the first line not appended.
std::size_t appendParagraphs(std::string& out, const std::vector<std::string>& lines, std::size_t next,
                             std::size_t limit) {
  constexpr std::string_view kParagraphEnd = "\\par\r\n";
  std::size_t used = out.size();
  for (; next < lines.size() && used < limit; ++next) {
    const std::string& line = lines[next];
    // Each byte becomes at most five characters; eight are stored at a time.
    const std::size_t room = used + 5 * line.size() + kParagraphEnd.size() + 8;
    if (out.size() < room) out.resize(std::max(room, 2 * out.size()));
    char* p = out.data() + used;
    for (char ch : line) {
      const std::uint64_t packed = kRtfBytes[static_cast<unsigned char>(ch)];
      const std::uint64_t little = htole64(packed);
      std::memcpy(p, &little, 8);
      p += packed >> 56;
    }
    std::memcpy(p, kParagraphEnd.data(), kParagraphEnd.size());
    p += kParagraphEnd.size();
    used = static_cast<std::size_t>(p - out.data());
  }
  out.resize(used);
  return next;
}

// UTF-16 text (after its byte order mark) as Windows-1251; "?" for what the code page cannot
// hold. A NUL character ends the text, as a NUL byte does in Windows-1251 text.
std::string utf16ToCp1251(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() / 2);
  bool afterHighSurrogate = false;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    const char32_t unit = bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
    if (unit == 0) break;
    if (unit >= 0xDC00 && unit <= 0xDFFF && afterHighSurrogate) {
      afterHighSurrogate = false;  // the pair's one "?" was already written
      continue;
    }
    afterHighSurrogate = unit >= 0xD800 && unit <= 0xDBFF;
    const int byte = (unit >= 0xD800 && unit <= 0xDFFF) ? -1 : cp1251::byteFor(unit);
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

// Plain text: Windows-1251, one line per line of the file (CR, LF or CR LF; a line end at the
// very end adds no empty line). A NUL byte ends the text, as it ends the text a text control
// shows. A file that announces itself as UTF-8 or UTF-16 by a byte order mark is converted.
std::vector<std::string> plainTextLines(std::string_view content) {
  if (content.starts_with(kUtf8Bom))
    return splitLines(utf8ToCp1251(content.substr(kUtf8Bom.size())), true);
  if (content.starts_with(kUtf16LeBom))
    return splitLines(utf16ToCp1251(content.substr(kUtf16LeBom.size()), false), true);
  if (content.starts_with(kUtf16BeBom))
    return splitLines(utf16ToCp1251(content.substr(kUtf16BeBom.size()), true), true);
  return splitLines(content, true);
}

}  // namespace

std::vector<std::string> parseScenarioText(std::string_view content) {
  if (isRtf(content)) return rtfToLines(content);
  return plainTextLines(content);
}

ScenarioRead readScenarioFile(const std::filesystem::path& path) {
  ScenarioRead result;
  FileRead file = readWholeFile(path);
  if (!file.error.empty()) {
    result.error = std::move(file.error);
    return result;
  }
  result.lines = parseScenarioText(file.bytes);
  return result;
}

// Every line, the last one too, is followed by \par; the reader turns each \par into the end of
// a line, so N lines give back N lines (no lines: no \par; one empty line: a lone \par).
std::string scenarioToRtf(const std::vector<std::string>& lines) {
  std::size_t size = kRtfHeader.size() + 4;
  for (const auto& line : lines) size += line.size() + 8;
  std::string out;
  out.reserve(size + size / 4);
  out += kRtfHeader;
  appendParagraphs(out, lines, 0, std::string::npos);
  out += "}\r\n";
  return out;
}

std::optional<std::string> writeScenarioFile(const std::filesystem::path& path,
                                             const std::vector<std::string>& lines, Flush flush) {
  // Written in pieces of about a megabyte: the RTF of a large scenario is several times its size.
  constexpr std::size_t kPiece = 1 << 20;
  std::string piece;
  std::size_t next = 0;
  bool started = false, ended = false;
  return replaceFileInPieces(
      path,
      [&]() -> std::optional<std::string_view> {
        if (ended) return std::nullopt;
        piece.clear();
        if (!started) piece += kRtfHeader;
        started = true;
        next = appendParagraphs(piece, lines, next, kPiece);
        if (next == lines.size()) {
          piece += "}\r\n";
          ended = true;
        }
        return piece;
      },
      flush);
}

}  // namespace marvo
