// Recovery files: the unsaved scenario text, written aside now and then so that a crash or a kill
// loses at most a few seconds of the author's work, and the game in progress, written after every
// turn.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "play_history.h"

namespace marvo {

// One recovery file: the scenario file it belongs to (empty for a text never saved) and the text.
struct Recovery {
  std::filesystem::path file;      // the recovery file itself
  std::filesystem::path scenario;  // empty: the text had no file yet
  std::vector<std::string> lines;  // Windows-1251
  std::filesystem::file_time_type written{};
  std::uintmax_t size = 0;  // bytes of the recovery file
};

// The recovery file for `scenario` in `folder`: one per scenario path, another for untitled text;
// with `owner`, the file of that running instance (see RecoveryOwner). A file without an owner in
// its name belongs to no running instance.
std::filesystem::path recoveryFileFor(const std::filesystem::path& folder, const std::filesystem::path& scenario,
                                      std::string_view owner = {});

// The file of the game in progress of `scenario`, named as its recovery file is, with an extension
// of its own.
std::filesystem::path playRecoveryFileFor(const std::filesystem::path& folder, const std::filesystem::path& scenario,
                                          std::string_view owner = {});

// A running instance's claim on the recovery files it writes: the lock file "<id>.lock" in the
// folder, locked (flock) from the first write until the owner is destroyed or the process ends,
// however it ends. Recovery files whose owner's lock can be taken belong to an ended run.
class RecoveryOwner {
 public:
  // `id` names the owner in its files; empty: made from the process id and the time.
  explicit RecoveryOwner(std::filesystem::path folder, std::string id = {});
  ~RecoveryOwner();
  RecoveryOwner(const RecoveryOwner&) = delete;
  RecoveryOwner& operator=(const RecoveryOwner&) = delete;

  const std::string& id() const { return id_; }
  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path fileFor(const std::filesystem::path& scenario) const {
    return recoveryFileFor(folder_, scenario, id_);
  }
  std::filesystem::path playFileFor(const std::filesystem::path& scenario) const {
    return playRecoveryFileFor(folder_, scenario, id_);
  }
  // Creates the folder and takes the lock, once. False when that failed (the files are then
  // written without a claim, and another instance may offer them).
  bool claim();

 private:
  std::filesystem::path folder_;
  std::string id_;
  int lock_ = -1;
};

// Whether the instance that wrote `file` has ended (or the file names no instance).
bool recoveryOwnerGone(const std::filesystem::path& file);
// Makes `file` of an ended run the recovery file `to` of this run. Returns false when it could not
// be renamed.
bool adoptRecovery(const std::filesystem::path& file, const std::filesystem::path& to);
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
// The recovery files of `folder` worth offering, oldest first: those of ended runs written after
// their scenario was last changed (or whose scenario is gone or was never saved). Files of running
// instances are left alone. Files of ended runs older than their scenario were superseded by a
// later save and are removed, as are the lock files of ended runs that left no recovery file.
std::vector<Recovery> pendingRecoveries(const std::filesystem::path& folder);
// Removes a recovery file; a missing file is no error.
void removeRecovery(const std::filesystem::path& file);

// What a game was started on: the scenario and library text at game start, so that a game resumed
// later can tell whether the text has changed since.
struct PlayFingerprint {
  std::uint64_t hash = 0;   // FNV-1a of the scenario lines, then of the library lines
  std::uint32_t lines = 0;  // scenario and library lines together
  bool operator==(const PlayFingerprint&) const = default;
};
PlayFingerprint playFingerprint(const std::vector<std::string>& scenario, const std::vector<std::string>& library);

// The game in progress, kept beside the text: every command with the clock ticks before it and
// the ticks since the last one, so that a restored game comes back with its clock; the scenario it
// was played on (empty: a text never saved) and the fingerprint of the text at game start. (A saved
// game keeps the commands alone.)
struct PlayRecovery {
  std::vector<PlayStep> steps;
  std::uint32_t pendingTicks = 0;
  std::filesystem::path scenario{};
  PlayFingerprint fingerprint{};
  bool operator==(const PlayRecovery&) const = default;
};
// A header line, the scenario's absolute name, the fingerprint ("HASH LINES", 16 hex digits), then
// "TICKS<TAB>COMMAND" per command and "TICKS" for the ticks since, each followed by CR LF.
// parsePlayRecovery gives std::nullopt for anything else (a command holding CR or LF cannot be
// written: such commands are written without those bytes).
std::string playRecoveryText(const PlayRecovery& play);
std::optional<PlayRecovery> parsePlayRecovery(std::string_view bytes);
// Replaces `file` atomically (the folder is created when missing). Returns "<file>: <reason>" on
// failure.
std::optional<std::string> writePlayRecovery(const std::filesystem::path& file, const PlayRecovery& play);
// std::nullopt when the file is missing or holds no game in progress.
std::optional<PlayRecovery> readPlayRecovery(const std::filesystem::path& file);

// A game in progress an ended run left behind.
struct PendingPlay {
  std::filesystem::path file;
  std::filesystem::file_time_type written{};
  PlayRecovery play;
};
// The games in progress of ended runs in `folder`, oldest first. Files of running instances are
// left alone; a file that holds no game in progress is neither offered nor removed (it stays for
// the user to look at).
std::vector<PendingPlay> pendingPlayRecoveries(const std::filesystem::path& folder);

}  // namespace marvo
