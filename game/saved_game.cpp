// Saved games: the command log as plain Windows-1251 text, one command per line.
#include "saved_game.h"

#include "engine/file_io.h"

namespace marvo {

std::vector<std::string> parseSavedGame(std::string_view content) { return splitLines(content, /*stopAtNul=*/true); }

std::string savedGameText(const std::vector<std::string>& commands) { return joinLines(commands); }

SavedGameRead readSavedGame(const std::filesystem::path& path) {
  SavedGameRead result;
  FileRead file = readWholeFile(path);
  if (!file.error.empty()) {
    result.error = std::move(file.error);
    return result;
  }
  result.commands = parseSavedGame(file.bytes);
  return result;
}

std::optional<std::string> writeSavedGame(const std::filesystem::path& path, const std::vector<std::string>& commands) {
  return replaceFile(path, savedGameText(commands));
}

}  // namespace marvo
