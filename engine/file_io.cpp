// Whole-file reading and safe replacement of files.
#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace marvo {

namespace {
std::string describe(const std::filesystem::path& path, const std::string& reason) {
  return path.string() + ": " + reason;
}

std::string lastError() { return std::strerror(errno); }

// Closes `fd` on every path out of a scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether the close succeeded (a late write error shows up here).
  bool close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The file a write to `path` really lands in: a symbolic link is followed, so that saving through
// a link updates the file it points to instead of replacing the link.
std::filesystem::path writeTarget(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_symlink(path, ec)) {
    auto resolved = std::filesystem::weakly_canonical(path, ec);
    if (!ec) return resolved;
  }
  return path;
}
}  // namespace

FileRead readWholeFile(const std::filesystem::path& path) {
  FileRead result;
  int rawFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (rawFd < 0) {
    result.error = describe(path, lastError());
    return result;
  }
  FileDescriptor fd(rawFd);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    result.error = describe(path, lastError());
    return result;
  }
  if (S_ISDIR(info.st_mode)) {
    result.error = describe(path, std::strerror(EISDIR));
    return result;
  }
  // The size is only a hint (the file may change while it is read): read until end of file.
  std::size_t capacity = 1 << 16;
  if (S_ISREG(info.st_mode) && info.st_size > 0) capacity = static_cast<std::size_t>(info.st_size) + 1;
  result.bytes.resize(capacity);
  std::size_t filled = 0;
  for (;;) {
    if (filled == result.bytes.size()) result.bytes.resize(filled + std::max<std::size_t>(filled, 1 << 16));
    ssize_t n = ::read(fd.get(), result.bytes.data() + filled, result.bytes.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.error = describe(path, lastError());
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  result.bytes.resize(filled);
  return result;
}

std::optional<std::string> replaceFile(const std::filesystem::path& path, std::string_view bytes) {
  bool given = false;
  return replaceFileInPieces(path, [&]() -> std::optional<std::string_view> {
    if (given) return std::nullopt;
    given = true;
    return bytes;
  });
}

std::optional<std::string> replaceFileInPieces(const std::filesystem::path& path,
                                               const std::function<std::optional<std::string_view>()>& next,
                                               Flush flush) {
  const std::filesystem::path target = writeTarget(path);
  std::filesystem::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  // A hidden name beside the target, short enough even when the target's own name is at the limit.
  std::string tempName = (dir / ("." + target.filename().string().substr(0, 200) + ".XXXXXX")).string();
  int rawFd = ::mkstemp(tempName.data());
  if (rawFd < 0) return describe(path, lastError());
  FileDescriptor fd(rawFd);
  auto fail = [&](std::string reason) {
    ::unlink(tempName.c_str());
    return describe(path, reason);
  };

  while (const auto piece = next()) {
    std::size_t written = 0;
    while (written < piece->size()) {
      ssize_t w = ::write(fd.get(), piece->data() + written, piece->size() - written);
      if (w < 0) {
        if (errno == EINTR) continue;
        return fail(lastError());
      }
      written += static_cast<std::size_t>(w);
    }
  }
  // mkstemp creates the file with mode 0600: keep the mode of the file being replaced, or give a
  // new file the usual mode.
  struct stat old {};
  mode_t mode;
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd.get(), mode);
  if (flush == Flush::ToDisk && ::fsync(fd.get()) != 0) return fail(lastError());
  if (!fd.close()) return fail(lastError());
  if (std::rename(tempName.c_str(), target.c_str()) != 0) return fail(lastError());
  return std::nullopt;
}

std::vector<std::string> splitLines(std::string_view text, bool stopAtNul) {
  if (stopAtNul) {
    auto nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
  }
  std::vector<std::string> lines;
  // Counted first: growing the list of a large text would hold it twice for a moment.
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') +
                                         std::count(text.begin(), text.end(), '\r')) +
                1);
  // The next CR and the next LF at or after `start`, each searched for again only once passed.
  const auto next = [&](char c, std::size_t from) {
    const std::size_t at = text.find(c, from);
    return at == std::string_view::npos ? text.size() : at;
  };
  std::size_t start = 0;
  std::size_t cr = next('\r', 0), lf = next('\n', 0);
  while (start < text.size()) {
    if (cr < start) cr = next('\r', start);
    if (lf < start) lf = next('\n', start);
    const std::size_t end = std::min(cr, lf);
    if (end == text.size()) break;
    lines.emplace_back(text.substr(start, end - start));
    start = end + (end == cr && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace marvo
