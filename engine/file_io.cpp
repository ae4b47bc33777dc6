// Whole-file reading and safe replacement of files.
#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace marvo {

namespace {
std::string describe(const std::filesystem::path& path, const std::string& reason) {
  return path.string() + ": " + reason;
}
}  // namespace

FileRead readWholeFile(const std::filesystem::path& path) {
  FileRead result;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    result.error = describe(path, "is a directory");
    return result;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    result.error = describe(path, std::strerror(errno));
    return result;
  }
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) result.bytes.append(buffer, n);
  if (std::ferror(f)) result.error = describe(path, std::strerror(errno));
  std::fclose(f);
  return result;
}

std::optional<std::string> replaceFile(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  std::string pattern = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return describe(path, std::strerror(errno));
  std::size_t written = 0;
  while (written < bytes.size()) {
    ssize_t w = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (w < 0) {
      if (errno == EINTR) continue;
      std::string reason = std::strerror(errno);
      ::close(fd);
      ::unlink(pattern.c_str());
      return describe(path, reason);
    }
    written += static_cast<std::size_t>(w);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    std::string reason = std::strerror(errno);
    ::unlink(pattern.c_str());
    return describe(path, reason);
  }
  // mkstemp creates the file with mode 0600; give it the usual mode of a new file.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(pattern.c_str(), 0666 & ~mask);
  if (std::rename(pattern.c_str(), path.c_str()) != 0) {
    std::string reason = std::strerror(errno);
    ::unlink(pattern.c_str());
    return describe(path, reason);
  }
  return std::nullopt;
}

std::vector<std::string> splitLines(std::string_view text, bool stopAtNul) {
  if (stopAtNul) {
    auto nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace marvo
