// marvo-cli publish: writes a game as a folder for the web player.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli_commands.h"
#include "engine/codec.h"
#include "game/scenario_file.h"
#include "web/publish.h"

namespace marvo::cli {

namespace {

constexpr const char* kUsage = "usage: marvo-cli publish [--library FILE] [--title TEXT] [--force] SCENARIO OUT_DIR\n";

struct PublishOptions {
  std::string library;
  std::string title;
  bool titleGiven = false;
  bool force = false;
  std::vector<std::string> paths;
};

bool parsePublish(const Args& args, PublishOptions& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "--library" || a == "--title") && i + 1 < args.size()) {
      (a == "--library" ? o.library : o.title) = args[++i];
      if (a == "--title") o.titleGiven = true;
    } else if (a == "--force") {
      o.force = true;
    } else if (a.starts_with("--")) {
      return false;
    } else {
      o.paths.push_back(a);
    }
  }
  return o.paths.size() == 2;
}

void fail(const std::string& cp1251) { std::fprintf(stderr, "marvo-cli: %s\n", cp1251ToUtf8(cp1251).c_str()); }

}  // namespace

int publish(const Args& args) {
  PublishOptions o;
  if (!parsePublish(args, o)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::error_code ec;
  const auto programDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  web::PublishRequest request;
  request.playerFiles = web::findPlayerFiles(programDir);
  if (request.playerFiles.empty()) {
    fail(web::missingPlayerFilesMessage());
    return 1;
  }
  auto scenario = readScenarioFile(o.paths[0]);
  if (!scenario.error.empty()) {
    std::fprintf(stderr, "marvo-cli: %s\n", scenario.error.c_str());
    return 1;
  }
  warnDoubtfulScenario(o.paths[0], scenario);
  request.scenario = std::move(scenario.lines);
  request.library = readLibrary(libraryFor(o.library, o.paths[0]), "publishing");
  // Without --title the page is named by the scenario's first text line or comment, else its file.
  if (o.titleGiven) request.title = utf8ToCp1251(o.title);
  request.fallbackTitle = utf8ToCp1251(std::filesystem::path(o.paths[0]).stem().string());
  request.folder = o.paths[1];
  request.force = o.force;
  const auto result = web::publishGame(request);
  if (!result.error.empty()) {
    fail(result.error);
    return 1;
  }
  const std::string folder = request.folder.string();
  std::printf(
      "Игра опубликована в папке %s. Чтобы сыграть, запустите\n"
      "  python3 -m http.server 8000 --bind 127.0.0.1 --directory %s\n"
      "и откройте http://127.0.0.1:8000/ (или выложите папку на любой веб-сервер).\n",
      folder.c_str(), folder.c_str());
  return 0;
}

}  // namespace marvo::cli
