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
// Lines end at CR, LF or CR LF; a NUL byte ends the text.
std::vector<std::string> parseSavedGame(std::string_view content);
std::string savedGameText(const std::vector<std::string>& commands);
std::optional<std::string> writeSavedGame(const std::filesystem::path& path,
                                          const std::vector<std::string>& commands);

}  // namespace marvo
