// Scenario files (".scn"): written as RTF, read as RTF or, when not RTF, as plain text.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_io.h"

namespace marvo {

// Lines are Windows-1251 text. Errors name the file and the reason.
struct ScenarioRead {
  std::vector<std::string> lines;
  std::string error;  // empty on success
};

// Reads a scenario file: RTF when it starts with "{\rtf" (after optional whitespace and a UTF-8
// byte order mark), plain text otherwise. Only a file that cannot be read gives an error.
ScenarioRead readScenarioFile(const std::filesystem::path& path);
// Parses file content already in memory (RTF or plain text). Plain text is Windows-1251 (UTF-8 or
// UTF-16 when it starts with their byte order mark); lines end at CR, LF or CR LF, a line end at
// the very end adds no empty line, and a NUL byte ends the text.
std::vector<std::string> parseScenarioText(std::string_view content);
// The RTF document for `lines`: Windows-1251, one paragraph per line, every line followed by \par.
std::string scenarioToRtf(const std::vector<std::string>& lines);
// Writes through a temporary file beside the target, renamed over it. Returns an error text or
// std::nullopt on success. Flush::No skips waiting for the disk (for a scratch copy).
std::optional<std::string> writeScenarioFile(const std::filesystem::path& path,
                                             const std::vector<std::string>& lines,
                                             Flush flush = Flush::ToDisk);

}  // namespace marvo
