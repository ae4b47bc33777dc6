// The library that marvo-cli plays and publishes a scenario with, and the word on doubtful scenarios.
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

void warnDoubtfulScenario(const std::string& path, const ScenarioRead& read) {
  switch (read.doubt) {
    case ScenarioDoubt::None:
      return;
    case ScenarioDoubt::Empty:
      std::fprintf(stderr, "marvo-cli: %s: файл пуст (0 байт), в нём нет сценария\n", path.c_str());
      return;
    case ScenarioDoubt::Binary:
      std::fprintf(stderr,
                   "marvo-cli: %s: файл не похож на сценарий: в нём двоичные данные, а не текст; "
                   "прочитан как есть\n",
                   path.c_str());
      return;
    case ScenarioDoubt::UnclosedRtf:
      std::fprintf(stderr,
                   "marvo-cli: %s: документ RTF без конца (файл, видимо, обрезан при записи или копировании); "
                   "прочитано строк: %zu\n",
                   path.c_str(), read.lines.size());
      return;
  }
}

}  // namespace marvo::cli
