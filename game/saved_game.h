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
  std::string error;       // empty on success; names the file and the reason
  int errorNumber = 0;     // the errno of a failed read
  bool commandLog = true;  // false: the file holds bytes no typed command holds (see isCommandLog)
};

// Whether `content` can be a command log: text lines only, no NUL or other control byte besides
// CR, LF and TAB (a random or binary file has them within its first few hundred bytes).
bool isCommandLog(std::string_view content);

// How a saved game fits a scenario: its non-empty commands replayed on a scratch game, and how many
// of them matched nothing there.
struct SavedGameFit {
  int checked = 0;
  int unmatched = 0;
  // Most commands match nothing: the log probably belongs to another game.
  bool looksLikeOtherGame() const { return checked > 0 && unmatched * 2 > checked; }
};
SavedGameFit savedGameFit(const std::vector<std::string>& scenario, const std::vector<std::string>& library,
                          const std::vector<std::string>& commands);

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
