// Scenario files: RTF writing, and reading of RTF or plain text.
#include "scenario_file.h"

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

void appendEscaped(std::string& out, std::string_view line) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (char ch : line) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += ch;
    } else if (c == '\t') {
      out += "\\tab ";  // the blank ends the control word; a blank after it stays text
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\'";
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
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
  for (const auto& line : lines) {
    appendEscaped(out, line);
    out += "\\par\r\n";
  }
  out += "}\r\n";
  return out;
}

std::optional<std::string> writeScenarioFile(const std::filesystem::path& path,
                                             const std::vector<std::string>& lines) {
  return replaceFile(path, scenarioToRtf(lines));
}

std::string scenarioToPlainText(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::filesystem::path backupPath(const std::filesystem::path& path) {
  std::filesystem::path backup = path;
  backup += ".bak";
  return backup;
}

std::optional<std::string> saveScenarioFile(const std::filesystem::path& path,
                                            const std::vector<std::string>& lines, ScenarioFormat format) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) {
    FileRead old = readWholeFile(path);
    if (!old.error.empty()) return old.error;
    if (auto error = replaceFile(backupPath(path), old.bytes)) return error;
  }
  return replaceFile(path, format == ScenarioFormat::Rtf ? scenarioToRtf(lines) : scenarioToPlainText(lines));
}

}  // namespace marvo
