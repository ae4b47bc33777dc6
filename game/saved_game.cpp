// Saved games: the command log as plain Windows-1251 text, one command per line.
#include "saved_game.h"

#include <algorithm>

#include "engine/engine.h"
#include "engine/file_io.h"
#include "game/game.h"
#include "game/scenario_file.h"

namespace marvo {

std::vector<std::string> parseSavedGame(std::string_view content) { return splitLines(content, /*stopAtNul=*/true); }

std::string savedGameText(const std::vector<std::string>& commands) { return joinLines(commands); }

SavedGameRead readSavedGame(const std::filesystem::path& path) {
  SavedGameRead result;
  FileRead file = readWholeFile(path);
  if (!file.error.empty()) {
    result.error = std::move(file.error);
    result.errorNumber = readErrorNumber(path);
    return result;
  }
  result.commandLog = isCommandLog(file.bytes);
  if (result.commandLog) result.commands = parseSavedGame(file.bytes);
  return result;
}

bool isCommandLog(std::string_view content) {
  return std::none_of(content.begin(), content.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c < 0x20 && c != '\r' && c != '\n' && c != '\t';
  });
}

namespace {
// Swallows everything: the scratch game of the check is not shown.
struct SilentHost : EngineHost {
  void clearOutput() override {}
  void appendOutput(std::string_view) override {}
  void showMessage(std::string_view) override {}
};
}  // namespace

SavedGameFit savedGameFit(const std::vector<std::string>& scenario, const std::vector<std::string>& library,
                          const std::vector<std::string>& commands) {
  SavedGameFit fit;
  Engine engine;
  Game game(engine);
  SilentHost silent;
  try {
    game.begin(scenario, library, silent);
    for (const auto& command : commands) {
      const bool matched = game.talk(command, silent);
      if (command.empty()) continue;
      ++fit.checked;
      if (!matched) ++fit.unmatched;
    }
  } catch (const std::exception&) {
    // The real load reports the error; what was replayed so far decides.
  }
  return fit;
}

std::optional<std::string> writeSavedGame(const std::filesystem::path& path, const std::vector<std::string>& commands) {
  return replaceFile(path, savedGameText(commands));
}

}  // namespace marvo
