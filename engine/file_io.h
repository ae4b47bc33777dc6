// Whole-file reading and safe replacement of files (temporary file beside it, then rename).
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

struct FileRead {
  std::string bytes;
  std::string error;  // empty on success: "<file>: <reason>"
};

// Reads the whole file as bytes. On failure (missing, no permission, a directory ...) `bytes` is
// empty and `error` is "<file>: <reason>".
FileRead readWholeFile(const std::filesystem::path& path);
// Replaces `path` with `bytes` atomically: writes a temporary file beside it, flushes it to disk
// and renames it over `path`; the previous content survives a failed write and no temporary file
// is left behind. A symbolic link is followed; the replaced file's permissions are kept. Returns
// "<file>: <reason>" on failure, std::nullopt on success.
std::optional<std::string> replaceFile(const std::filesystem::path& path, std::string_view bytes);
// How much a replacement waits for the disk: a scratch copy that nothing reads back need not.
enum class Flush { ToDisk, No };
// replaceFile with the content made piece by piece, so that a large file is never whole in
// memory: `next` returns the next piece (valid until it is called again), nothing after the last.
std::optional<std::string> replaceFileInPieces(const std::filesystem::path& path,
                                               const std::function<std::optional<std::string_view>()>& next,
                                               Flush flush = Flush::ToDisk);
// Splits text into lines at CR, LF or CR LF; stops at a NUL byte when `stopAtNul`. A line end at
// the very end adds no empty line; a last line without a line end counts.
std::vector<std::string> splitLines(std::string_view text, bool stopAtNul);
// The lines as text, each followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace marvo
