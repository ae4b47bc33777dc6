// Saved games (".sav"): the command log, one raw command per line, each followed by CR LF.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

struct SavedGameRead {
  std::vector<std::string> commands;
  std::string error;  // empty on success; names the file and the reason
};

SavedGameRead readSavedGame(const std::filesystem::path& path);
// Lines end at CR, LF or CR LF; a NUL byte ends the text; a last line without a line end counts.
// Bytes are kept as they are: no trimming, no conversion.
std::vector<std::string> parseSavedGame(std::string_view content);
// Each command, the last one too, followed by CR LF; no commands give an empty text.
std::string savedGameText(const std::vector<std::string>& commands);
// Writes through a temporary file renamed over `path`. Returns an error text naming the file and
// the reason, or std::nullopt on success; on failure the previous file is left as it was.
std::optional<std::string> writeSavedGame(const std::filesystem::path& path, const std::vector<std::string>& commands);

}  // namespace marvo
