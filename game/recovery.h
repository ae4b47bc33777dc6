// Recovery files: the unsaved scenario text, written aside now and then so that a crash or a kill
// loses at most a few seconds of the author's work.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

// One recovery file: the scenario file it belongs to (empty for a text never saved) and the text.
struct Recovery {
  std::filesystem::path file;      // the recovery file itself
  std::filesystem::path scenario;  // empty: the text had no file yet
  std::vector<std::string> lines;  // Windows-1251
  std::filesystem::file_time_type written{};
  std::uintmax_t size = 0;  // bytes of the recovery file
};

// The recovery file for `scenario` in `folder`: one per scenario path, another for untitled text.
std::filesystem::path recoveryFileFor(const std::filesystem::path& folder, const std::filesystem::path& scenario);
// Writes `lines` of `scenario` to `file` (the folder is created when missing), replacing the
// previous recovery file atomically. Returns "<file>: <reason>" on failure.
std::optional<std::string> writeRecovery(const std::filesystem::path& file, const std::filesystem::path& scenario,
                                         const std::vector<std::string>& lines);
// The content of a recovery file: a header line, the scenario's absolute name, then the lines,
// each followed by CR LF. parseRecovery gives std::nullopt for anything else.
std::string recoveryText(const std::filesystem::path& scenario, const std::vector<std::string>& lines);
std::optional<Recovery> parseRecovery(std::string_view bytes);
// Reads a recovery file; std::nullopt when it is missing or not a recovery file.
std::optional<Recovery> readRecovery(const std::filesystem::path& file);
// The recovery files of `folder` worth offering, oldest first: those written after their scenario
// was last changed (or whose scenario is gone or was never saved). Files older than their
// scenario were superseded by a later save and are removed.
std::vector<Recovery> pendingRecoveries(const std::filesystem::path& folder);
// Removes a recovery file; a missing file is no error.
void removeRecovery(const std::filesystem::path& file);

}  // namespace marvo
