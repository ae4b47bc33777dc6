// Scenario files: RTF writing, and reading of RTF or plain text.
#include "scenario_file.h"

#include <endian.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
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

// The file text of `lines` in `format`, piece by piece (see replaceFileInPieces).
std::function<std::optional<std::string_view>()> filePieces(const std::vector<std::string>& lines,
                                                            ScenarioFormat format, std::string& piece,
                                                            const std::function<void(std::size_t)>& converted = {}) {
  if (format == ScenarioFormat::PlainText) {
    return [&lines, &piece, done = false]() mutable -> std::optional<std::string_view> {
      if (done) return std::nullopt;
      done = true;
      piece = joinLines(lines);
      return piece;
    };
  }
  // Written in pieces of about 256 KB: the RTF of a large scenario is several times its size.
  constexpr std::size_t kPiece = 1 << 18;
  return [&lines, &piece, converted, next = std::size_t{0}, started = false,
          ended = false]() mutable -> std::optional<std::string_view> {
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
  };
}

SaveFailure failure(const std::filesystem::path& file, int errorNumber) {
  return {file.string() + ": " + std::strerror(errorNumber), errorNumber};
}

// Writes everything `next` gives into a new temporary file `name` (a mkstemp pattern, replaced by
// the name made), flushed to disk, with `mode`. Returns 0, or the errno with nothing left behind.
int writeTemporary(std::string& name, const std::function<std::optional<std::string_view>()>& next, mode_t mode) {
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return errno;
  auto fail = [&](int error) {
    ::close(fd);
    ::unlink(name.c_str());
    return error;
  };
  while (const auto piece = next()) {
    std::size_t written = 0;
    while (written < piece->size()) {
      const ssize_t w = ::write(fd, piece->data() + written, piece->size() - written);
      if (w < 0) {
        if (errno == EINTR) continue;
        return fail(errno);
      }
      written += static_cast<std::size_t>(w);
    }
  }
  ::fchmod(fd, mode);
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(name.c_str());
    return error;
  }
  return 0;
}

}  // namespace

int readErrorNumber(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (::access(path.c_str(), R_OK) != 0) return errno;
  return EIO;
}

bool looksBinary(std::string_view content) {
  // UTF-16 text holds a NUL in every ASCII character: the plain-text reader knows it by its mark.
  if (content.starts_with("\xFF\xFE") || content.starts_with("\xFE\xFF")) return false;
  const std::string_view sample = content.substr(0, 1 << 16);
  std::size_t control = 0;
  for (char ch : sample) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' && c != 0x1A) ++control;
  }
  return control >= 8 && control * 32 > sample.size();
}

std::vector<std::string> parseScenarioText(std::string_view content) {
  if (isRtf(content)) return rtfToLines(content);
  return decodePlainText(content).lines;
}

ScenarioRead readScenarioFile(const std::filesystem::path& path) {
  ScenarioRead result;
  FileRead file = readWholeFile(path);
  if (!file.error.empty()) {
    result.error = std::move(file.error);
    result.errorNumber = readErrorNumber(path);
    return result;
  }
  if (file.bytes.empty()) result.doubt = ScenarioDoubt::Empty;
  if (isRtf(file.bytes)) {
    bool closed = true;
    result.lines = rtfToLines(file.bytes, &closed);
    if (!closed) result.doubt = ScenarioDoubt::UnclosedRtf;
    return result;
  }
  result.plainText = true;
  if (looksBinary(file.bytes)) result.doubt = ScenarioDoubt::Binary;
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
  std::string piece;
  return replaceFileInPieces(path, filePieces(lines, ScenarioFormat::Rtf, piece, converted), flush);
}

std::string scenarioToPlainText(const std::vector<std::string>& lines) { return joinLines(lines); }

std::filesystem::path backupPath(const std::filesystem::path& path) {
  std::filesystem::path backup = path;
  backup += ".bak";
  return backup;
}

std::optional<SaveFailure> saveScenarioFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                                            ScenarioFormat format) {
  // Saving through a symbolic link updates the file it points to.
  std::filesystem::path target = path;
  std::error_code ec;
  if (std::filesystem::is_symlink(path, ec)) {
    auto resolved = std::filesystem::weakly_canonical(path, ec);
    if (!ec) target = resolved;
  }
  std::filesystem::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) return failure(path, EISDIR);
  mode_t mode = old.st_mode & 07777;
  if (!replacing) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  // 1. The new text, completely on disk under a hidden name beside the file.
  std::string temp = (dir / ("." + target.filename().string().substr(0, 200) + ".XXXXXX")).string();
  std::string piece;
  if (const int error = writeTemporary(temp, filePieces(lines, format, piece), mode)) return failure(path, error);

  // 2. The old file becomes the backup: a second name for it, renamed over the old backup.
  if (replacing && S_ISREG(old.st_mode)) {
    const std::filesystem::path backup = backupPath(path);
    const std::string link = temp + ".bak";
    if (::link(target.c_str(), link.c_str()) == 0) {
      const int error = std::rename(link.c_str(), backup.c_str()) == 0 ? 0 : errno;
      ::unlink(link.c_str());  // left when the backup already was another name of the same file
      if (error != 0) {
        ::unlink(temp.c_str());
        return failure(backupPath(path), error);
      }
    } else {
      // No hard links here (the backup on another file system, or a file system without them).
      FileRead copy = readWholeFile(target);
      std::optional<std::string> error = copy.error.empty() ? replaceFile(backup, copy.bytes) : copy.error;
      if (error) {
        const int number = errno != 0 ? errno : EIO;
        ::unlink(temp.c_str());
        return SaveFailure{*error, number};
      }
    }
  }

  // 3. The new text takes the file's name.
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return failure(path, error);
  }
  return std::nullopt;
}

}  // namespace marvo
