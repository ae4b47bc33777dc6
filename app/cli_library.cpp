// The library that marvo-cli plays and publishes a scenario with.
#include <cstdio>
#include <filesystem>

#include "cli_commands.h"
#include "game/scenario_file.h"

namespace marvo::cli {

std::vector<std::string> readLibrary(const std::string& option, const char* doing, bool* unreadable) {
  std::string path = option;
  if (path.empty() && std::filesystem::exists("marvo.lib")) path = "marvo.lib";
  if (path.empty()) {
    std::fprintf(stderr, "marvo-cli: no marvo.lib here; %s without a library\n", doing);
    return {};
  }
  auto read = readScenarioFile(path);
  if (!read.error.empty()) {
    std::fprintf(stderr, "marvo-cli: %s; %s without a library\n", read.error.c_str(), doing);
    if (unreadable) *unreadable = true;
    return {};
  }
  return std::move(read.lines);
}

}  // namespace marvo::cli
