// Scenario files (".scn"): written as RTF, read as RTF or, when not RTF, as plain text.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_io.h"
#include "plain_text.h"

namespace marvo {

// What makes a readable file doubtful as a scenario: opening it is worth a question first.
enum class ScenarioDoubt {
  None,
  Empty,        // 0 bytes
  Binary,       // control bytes no text holds: an image, a program, an archive ...
  UnclosedRtf,  // an RTF document cut short: its outermost group is never closed
};

// Lines are Windows-1251 text. Errors name the file and the reason.
struct ScenarioRead {
  std::vector<std::string> lines;
  std::string error;            // empty on success
  int errorNumber = 0;          // the errno of a failed read (EISDIR for a folder)
  std::vector<TextNote> notes;  // what plain-text reading had to change (NUL bytes, "?")
  bool plainText = false;       // the file was not RTF
  ScenarioDoubt doubt = ScenarioDoubt::None;
};

// The errno behind a failed read of `path`, found again from the file system (EISDIR for a folder).
int readErrorNumber(const std::filesystem::path& path);

// Whether plain-text content looks like a program, an image or other data rather than text: many
// control bytes (other than tab, line ends, form feed and the end-of-file mark) among its first
// bytes. A stray NUL in a text is not enough.
bool looksBinary(std::string_view content);

// A failed save: the file that was not written, the reason as the system words it, and its errno.
struct SaveFailure {
  std::string text;  // "<file>: <reason>"
  int errorNumber = 0;
  bool operator==(const SaveFailure&) const = default;
};

// How a scenario is written: RTF as the rich-text control streams it, or plain Windows-1251 text.
enum class ScenarioFormat { Rtf, PlainText };

// Reads a scenario file: RTF when it starts with "{\rtf" (after optional whitespace and a UTF-8
// byte order mark), plain text otherwise. Only a file that cannot be read gives an error.
ScenarioRead readScenarioFile(const std::filesystem::path& path);
// Parses file content already in memory (RTF or plain text, see decodePlainText).
std::vector<std::string> parseScenarioText(std::string_view content);
// The RTF document for `lines`: Windows-1251, one paragraph per line, every line followed by \par.
std::string scenarioToRtf(const std::vector<std::string>& lines);
// Plain text: Windows-1251, every line (the last one too) followed by CR LF.
std::string scenarioToPlainText(const std::vector<std::string>& lines);
// Saves the author's scenario: the new text goes to a temporary file beside `path` first; only
// when it is completely on disk does the old file become "<path>.bak" (one generation, replaced by
// the next save; a hard link, so a full disk cannot stop it) and the new one take its name. When
// anything fails, the old file and the old backup stay as they were and no temporary file is
// left. A symbolic link is followed. Returns the failure, or std::nullopt on success.
std::optional<SaveFailure> saveScenarioFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                                            ScenarioFormat format);
// The backup name of a scenario file: "NAME.scn" -> "NAME.scn.bak".
std::filesystem::path backupPath(const std::filesystem::path& path);
// Writes through a temporary file beside the target, renamed over it. Returns an error text or
// std::nullopt on success. Flush::No skips waiting for the disk (for a scratch copy). `converted`
// is told, piece by piece, how many of the first lines have been turned into file text and are
// not read again.
std::optional<std::string> writeScenarioFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                                             Flush flush = Flush::ToDisk,
                                             const std::function<void(std::size_t)>& converted = {});

}  // namespace marvo
