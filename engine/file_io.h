// Whole-file reading and safe replacement of files (temporary file beside it, then rename).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

struct FileRead {
  std::string bytes;
  std::string error;  // empty on success: "<file>: <reason>"
};

FileRead readWholeFile(const std::filesystem::path& path);
// Replaces `path` with `bytes` atomically; the previous content survives a failed write.
std::optional<std::string> replaceFile(const std::filesystem::path& path, std::string_view bytes);
// Splits text into lines at CR, LF or CR LF; stops at a NUL byte when `stopAtNul`.
std::vector<std::string> splitLines(std::string_view text, bool stopAtNul);

}  // namespace marvo
