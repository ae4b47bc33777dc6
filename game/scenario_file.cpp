// Scenario files: RTF writing, and reading of RTF or plain text.
#include "scenario_file.h"

#include <endian.h>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "engine/file_io.h"
#include "plain_text.h"
#include "rtf_reader.h"

namespace marvo {

namespace {

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

}  // namespace

std::vector<std::string> parseScenarioText(std::string_view content) {
  if (isRtf(content)) return rtfToLines(content);
  return decodePlainText(content).lines;
}

ScenarioRead readScenarioFile(const std::filesystem::path& path) {
  ScenarioRead result;
  FileRead file = readWholeFile(path);
  if (!file.error.empty()) {
    result.error = std::move(file.error);
    return result;
  }
  if (isRtf(file.bytes)) {
    result.lines = rtfToLines(file.bytes);
    return result;
  }
  result.plainText = true;
  PlainText plain = decodePlainText(file.bytes);
  result.lines = std::move(plain.lines);
  result.notes = std::move(plain.notes);
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

std::optional<std::string> writeScenarioFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                                             Flush flush, const std::function<void(std::size_t)>& converted) {
  // Written in pieces of about 256 KB: the RTF of a large scenario is several times its size.
  constexpr std::size_t kPiece = 1 << 18;
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
        if (converted) converted(next);
        if (next == lines.size()) {
          piece += "}\r\n";
          ended = true;
        }
        return piece;
      },
      flush);
}

std::string scenarioToPlainText(const std::vector<std::string>& lines) { return joinLines(lines); }

std::filesystem::path backupPath(const std::filesystem::path& path) {
  std::filesystem::path backup = path;
  backup += ".bak";
  return backup;
}

std::optional<std::string> saveScenarioFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                                            ScenarioFormat format) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) {
    FileRead old = readWholeFile(path);
    if (!old.error.empty()) return old.error;
    if (auto error = replaceFile(backupPath(path), old.bytes)) return error;
  }
  return replaceFile(path, format == ScenarioFormat::Rtf ? scenarioToRtf(lines) : scenarioToPlainText(lines));
}

}  // namespace marvo
