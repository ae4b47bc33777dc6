// Scenario files (".scn"): written as RTF, read as RTF or, when not RTF, as plain text.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

// Lines are Windows-1251 text. Errors name the file and the reason.
struct ScenarioRead {
  std::vector<std::string> lines;
  std::string error;  // empty on success
};

ScenarioRead readScenarioFile(const std::filesystem::path& path);
// Parses file content already in memory (RTF or plain text).
std::vector<std::string> parseScenarioText(std::string_view content);
std::string scenarioToRtf(const std::vector<std::string>& lines);
// Writes through a temporary file beside the target, renamed over it. Returns an error text or
// std::nullopt on success.
std::optional<std::string> writeScenarioFile(const std::filesystem::path& path,
                                             const std::vector<std::string>& lines);

}  // namespace marvo
