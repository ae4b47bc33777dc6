// marvo-cli test, record and replay-check: walkthroughs run, recorded and blessed from the terminal.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli_commands.h"
#include "engine/codec.h"
#include "engine/engine.h"
#include "engine/file_io.h"
#include "game/game.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"
#include "walkthrough/coverage.h"
#include "walkthrough/recording.h"
#include "walkthrough/runner.h"
#include "walkthrough/walk_selection.h"

namespace marvo::cli {

namespace {

struct Options {
  std::string library;
  std::string from;
  std::string against;
  bool bless = false;
  bool coverage = false;
  std::vector<std::string> files;  // SCENARIO first, then the rest
};

// Reads the options a subcommand allows (`flags`: "--bless", "--coverage"; `values`: "--library",
// "--from", "--against"); false on anything else.
bool parse(const Args& args, Options& o, std::initializer_list<std::string_view> flags,
           std::initializer_list<std::string_view> values) {
  auto allowed = [](auto list, const std::string& a) {
    for (auto f : list)
      if (a == f) return true;
    return false;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (allowed(values, a)) {
      if (i + 1 >= args.size()) return false;
      std::string& into = a == "--library" ? o.library : a == "--from" ? o.from : o.against;
      into = args[++i];
    } else if (allowed(flags, a)) {
      (a == "--bless" ? o.bless : o.coverage) = true;
    } else if (a.starts_with("--")) {
      return false;
    } else {
      o.files.push_back(a);
    }
  }
  return !o.files.empty();
}

bool readScenario(const std::string& path, std::vector<std::string>& lines) {
  auto read = readScenarioFile(path);
  if (!read.error.empty()) {
    std::fprintf(stderr, "marvo-cli: %s\n", read.error.c_str());
    return false;
  }
  lines = std::move(read.lines);
  return true;
}

// The library file play would take (--library, else marvo.lib here, else none); unlike play, an
// unreadable one stops the subcommand.
bool readLibrary(const std::string& given, std::vector<std::string>& lines) {
  std::string path = given;
  if (path.empty() && std::filesystem::exists("marvo.lib")) path = "marvo.lib";
  if (path.empty()) return true;
  return readScenario(path, lines);
}

void printFailure(const walk::TestOutcome& o, const walk::Failure& f) {
  const std::string at = walk::where(*o.file, f.line);
  if (f.fault) {
    std::printf("%s: error: %s\n", at.c_str(), f.expected.c_str());
    return;
  }
  std::printf("%s: expected %s / got:\n", at.c_str(), f.expected.c_str());
  for (const auto& line : f.got) std::printf("    %s\n", line.c_str());
}

}  // namespace

int test(const Args& args) {
  Options o;
  if (!parse(args, o, {"--bless", "--coverage"}, {"--library"})) {
    std::fputs("usage: marvo-cli test [--library FILE] [--bless] [--coverage] SCENARIO [WALK...]\n", stderr);
    return 2;
  }
  // Without walkthroughs named, those that belong to the scenario, as the code editor runs them.
  if (o.files.size() == 1) {
    for (const auto& walk : walk::walkthroughsFor(o.files[0])) o.files.push_back(walk.string());
    if (o.files.size() == 1) {
      std::fprintf(stderr, "marvo-cli: no walkthroughs of %s (NAME.walk, NAME-*.walk or NAME/*.walk beside it)\n",
                   o.files[0].c_str());
      return 1;
    }
  }
  std::vector<std::string> scenario, library;
  if (!readScenario(o.files[0], scenario) || !readLibrary(o.library, library)) return 1;
  const auto game = walk::prepareGame(std::move(scenario), std::move(library));
  std::vector<walk::WalkFile> walks;
  for (std::size_t i = 1; i < o.files.size(); ++i) walks.push_back(walk::readWalkFile(o.files[i]));

  walk::RunOptions options;
  options.coverage = o.coverage;
  const auto result = walk::runWalkthroughs(game, walks, options);
  for (const auto& t : result.tests) {
    for (const auto& f : t.failures) printFailure(t, f);
    std::printf("%s %s\n", t.passed ? "PASS" : "FAIL", t.name().c_str());
  }
  std::printf("%d passed, %d failed\n", result.passed, result.failed);

  int status = result.failed ? 1 : 0;
  if (o.bless) {
    bool blessed = false, writeFailed = false;
    for (const auto& file : walks) {
      bool changed = false;
      const std::string text = walk::blessedText(file, result.tests, changed);
      if (!changed) continue;
      if (auto error = replaceFile(file.path, text)) {
        std::fprintf(stderr, "marvo-cli: %s\n", error->c_str());
        writeFailed = true;
      } else {
        std::printf("blessed %s\n", file.path.c_str());
        blessed = true;
      }
    }
    // The status is that of the blessed files: 0 when blessing mended every failure, 1 when some
    // remain (a faulty line, a "?" check of the game's state) or a file could not be written.
    if (blessed) {
      std::vector<walk::WalkFile> again;
      for (std::size_t i = 1; i < o.files.size(); ++i) again.push_back(walk::readWalkFile(o.files[i]));
      const auto rerun = walk::runWalkthroughs(game, again);
      std::printf("after blessing: %d passed, %d failed\n", rerun.passed, rerun.failed);
      status = rerun.failed ? 1 : 0;
    }
    if (writeFailed) status = 1;
  }
  if (o.coverage) {
    for (const auto& line : walk::coverageReport(walk::computeCoverage(game, result.executed), o.files[0]))
      std::printf("%s\n", line.c_str());
  }
  std::fflush(stdout);
  return status;
}

int record(const Args& args) {
  Options o;
  if (!parse(args, o, {}, {"--library", "--from"}) || o.files.size() != 1) {
    std::fputs("usage: marvo-cli record [--library FILE] SCENARIO [--from SAVE.sav | < commands]\n", stderr);
    return 2;
  }
  std::vector<std::string> scenario, library, commands;
  if (!readScenario(o.files[0], scenario) || !readLibrary(o.library, library)) return 1;
  if (!o.from.empty()) {
    auto saved = readSavedGame(o.from);
    if (!saved.error.empty()) {
      std::fprintf(stderr, "marvo-cli: %s\n", saved.error.c_str());
      return 1;
    }
    commands = std::move(saved.commands);
  } else {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      commands.push_back(utf8ToCp1251(line));
    }
  }
  const auto game = walk::prepareGame(std::move(scenario), std::move(library));
  const std::string title = std::filesystem::path(o.from.empty() ? o.files[0] : o.from).filename().string();
  std::fputs(walk::recordWalkthrough(game, commands, title).c_str(), stdout);
  return 0;
}

int replayCheck(const Args& args) {
  Options o;
  if (!parse(args, o, {}, {"--library", "--against"}) || o.files.size() != 2 || o.against.empty()) {
    std::fputs("usage: marvo-cli replay-check [--library FILE] SCENARIO SAVE.sav --against OLD_SCENARIO\n", stderr);
    return 2;
  }
  std::vector<std::string> scenario, old, library;
  if (!readScenario(o.files[0], scenario) || !readScenario(o.against, old) || !readLibrary(o.library, library))
    return 1;
  auto saved = readSavedGame(o.files[1]);
  if (!saved.error.empty()) {
    std::fprintf(stderr, "marvo-cli: %s\n", saved.error.c_str());
    return 1;
  }
  const auto before = walk::playCommands(walk::prepareGame(old, library), saved.commands);
  const auto after = walk::playCommands(walk::prepareGame(scenario, library), saved.commands);
  for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
    if (before[i].seen == after[i].seen && before[i].dropped == after[i].dropped) continue;
    const auto a = walk::renderOutput(before[i]), b = walk::renderOutput(after[i]);
    if (i == 0)
      std::printf("game start differs\n");
    else
      std::printf("command %zu differs: %s\n", i, cp1251ToUtf8(saved.commands[i - 1]).c_str());
    std::printf("--- %s\n", o.against.c_str());
    for (const auto& l : a) std::printf("    %s\n", l.c_str());
    std::printf("+++ %s\n", o.files[0].c_str());
    for (const auto& l : b) std::printf("    %s\n", l.c_str());
    return 1;
  }
  std::printf("no difference in %zu commands\n", saved.commands.size());
  return 0;
}

}  // namespace marvo::cli
