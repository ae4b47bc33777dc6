// marvo-cli play and cat: the terminal player and the scenario printer.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "cli_commands.h"
#include "engine/codec.h"
#include "engine/engine.h"
#include "engine/text.h"
#include "game/error_location.h"
#include "game/game.h"
#include "game/installed_data.h"
#include "game/json_events.h"
#include "game/play_history.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"
#include "marvo_version.h"

namespace marvo::cli {

namespace {

// Prints what the engine does: JSON Lines with --events, else a plain terminal transcript.
class TerminalHost : public EngineHost {
 public:
  TerminalHost(bool events, const Game& game) : events_(events), game_(game) {}

  void clearOutput() override {
    if (events_) event(events::clear());
  }
  void appendOutput(std::string_view line) override {
    if (events_)
      event(events::out(line));
    else
      std::printf("%s\n", cp1251ToUtf8(line).c_str());
  }
  // Messages that belong to no line, each about a file: game start reports only one it could not
  // write ("tmp.scn"), and play itself an unreadable --replay saved game.
  void showMessage(std::string_view text) override {
    fileError = true;
    message(text, std::nullopt);
  }
  void showMessageAt(std::string_view text, const MessageContext& context) override {
    engineError = true;
    message(text, game_.locate(context));
  }
  void indexError(const IndexError& error) {
    engineError = true;
    const auto at = game_.locate(error);
    if (events_) {
      event(events::indexError(at));
    } else {
      std::printf("[%s]%s\n", error.what(), transcriptLocation(at).c_str());
    }
  }

  bool engineError = false;  // an engine message or the index error was shown
  bool fileError = false;    // a file could not be read or written

 private:
  void message(std::string_view text, const std::optional<ErrorLocation>& at) {
    if (!events_) {
      std::printf("[%s]%s\n", cp1251ToUtf8(text).c_str(), transcriptLocation(at).c_str());
    } else {
      event(events::message(text, at));
    }
  }
  static void event(const std::string& line) { std::printf("%s\n", line.c_str()); }
  static std::string transcriptLocation(const std::optional<ErrorLocation>& at) {
    return at ? " " + cp1251ToUtf8(describeLocation(*at)) : std::string();
  }

  bool events_;
  const Game& game_;
};

struct PlayOptions {
  std::string library;
  std::string replay;
  std::string saveLog;
  bool events = false;
  bool clock = true;
  long long clockStep = -1;  // ticks before every command instead of real seconds
  std::string undoWord;      // a command that takes back the last one instead (UTF-8); empty: none
  std::string scenario;
};

bool parsePlay(const Args& args, PlayOptions& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (a == "--library") {
      if (!value(o.library)) return false;
    } else if (a == "--replay") {
      if (!value(o.replay)) return false;
    } else if (a == "--save-log") {
      if (!value(o.saveLog)) return false;
    } else if (a == "--undo-word") {
      if (!value(o.undoWord) || o.undoWord.find_first_not_of(" \t") == std::string::npos) return false;
    } else if (a == "--events")
      o.events = true;
    else if (a == "--no-clock")
      o.clock = false;
    else if (a == "--clock-step") {
      std::string n;
      if (!value(n) || n.empty() || n.size() > 9 || n.find_first_not_of("0123456789") != std::string::npos)
        return false;
      o.clockStep = std::stoll(n);
    } else if (a.starts_with("--") || !o.scenario.empty())
      return false;
    else
      o.scenario = a;
  }
  return !o.scenario.empty();
}

// The window's one-second timer: ticks for every whole second since start.
class Clock {
 public:
  explicit Clock(bool running) : running_(running), start_(std::chrono::steady_clock::now()) {}
  void catchUp(PlayHistory& game) {
    if (!running_) return;
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    const auto due = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    for (; ticked_ < due; ++ticked_) game.tick();
  }

 private:
  bool running_;
  std::chrono::steady_clock::time_point start_;
  long long ticked_ = 0;
};

// What reading a plain-text scenario had to change, as "FILE:LINE: text" on standard error.
void printReadNotes(const std::string& path, const ScenarioRead& read) {
  warnDoubtfulScenario(path, read);
  for (const auto& note : read.notes)
    std::fprintf(stderr, "%s:%zu: %s\n", path.c_str(), note.line, cp1251ToUtf8(note.text).c_str());
}

// Where game start writes its copy of the scenario: "tmp.scn" here, or in the user's folder
// (said on standard error) when this folder may not be written.
std::filesystem::path scenarioCopyPath() {
  const std::filesystem::path here = "tmp.scn";
  if (writableFolder(".")) return here;
  const auto userDir = userDataFolder();
  std::error_code ec;
  if (userDir.empty() ||
      (!std::filesystem::is_directory(userDir, ec) && !std::filesystem::create_directories(userDir, ec)))
    return here;  // the failed write is then reported as always
  std::fprintf(stderr, "marvo-cli: в текущую папку писать нельзя; копия сценария записывается в %s\n",
               (userDir / "tmp.scn").c_str());
  return userDir / "tmp.scn";
}

}  // namespace

std::string libraryFor(const std::string& option, const std::string& scenario) {
  if (!option.empty()) return option;
  std::error_code ec;
  const auto programDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  const auto installed =
      programDir.empty() ? std::filesystem::path() : (programDir / MARVO_GAMES_FROM_BINDIR).lexically_normal();
  const FoundLibrary found = findLibrary(scenario, userDataFolder(), installed);
  const char* where = "";
  switch (found.place) {
    case LibraryPlace::None:
      return {};
    case LibraryPlace::CurrentFolder:
      where = "из текущей папки";
      break;
    case LibraryPlace::ScenarioFolder:
      where = "из папки сценария";
      break;
    case LibraryPlace::UserFolder:
      where = "из папки пользователя";
      break;
    case LibraryPlace::Installed:
      where = "установленная";
      break;
  }
  std::fprintf(stderr, "marvo-cli: библиотека %s: %s\n", where, found.file.c_str());
  return found.file.string();
}

// Exit statuses of play (documented in the README).
constexpr int kExitOk = 0, kExitFile = 1, kExitUsage = 2, kExitEngine = 3;

int play(const Args& args) {
  PlayOptions o;
  if (!parsePlay(args, o)) {
    std::fputs(
        "usage: marvo-cli play [--library FILE] [--replay SAVEFILE] [--save-log SAVEFILE]"
        " [--events] [--no-clock] [--clock-step N] [--undo-word WORD] SCENARIO\n",
        stderr);
    return kExitUsage;
  }
  auto scenario = readScenarioFile(o.scenario);
  if (!scenario.error.empty()) {
    std::fprintf(stderr, "marvo-cli: %s\n", scenario.error.c_str());
    return kExitFile;
  }
  bool libraryUnreadable = false;
  printReadNotes(o.scenario, scenario);
  const std::vector<std::string> library =
      readLibrary(libraryFor(o.library, o.scenario), "playing", &libraryUnreadable);
  const std::filesystem::path copyPath = scenarioCopyPath();

  Engine engine;
  Game game(engine);
  PlayHistory history(game);  // started only with an undo word: it keeps a copy of the scenario
  const std::string undoWord = lower(trim(utf8ToCp1251(o.undoWord)));
  TerminalHost host(o.events, game);
  host.fileError = libraryUnreadable;
  Clock clock(o.clock && o.clockStep < 0);
  auto guarded = [&](auto&& action) {
    try {
      action();
    } catch (const IndexError& error) {
      host.indexError(error);
    }
    std::fflush(stdout);
  };

  // Without a saved game to load the scenario is needed once: its lines become the program.
  guarded([&] {
    if (!undoWord.empty())
      history.begin(scenario.lines, library, host, copyPath);
    else if (o.replay.empty())
      game.begin(std::move(scenario.lines), library, host, copyPath);
    else
      game.begin(scenario.lines, library, host, copyPath);
  });
  if (!o.replay.empty()) {
    auto saved = readSavedGame(o.replay);
    if (!saved.error.empty()) {
      // Load game reads the file first; an unreadable file leaves the game as it was.
      std::fprintf(stderr, "marvo-cli: %s\n", saved.error.c_str());
      host.showMessage(utf8ToCp1251(saved.error));
    } else {
      guarded([&] {
        if (undoWord.empty()) {
          game.begin(scenario.lines, library, host, copyPath);
          game.replay(saved.commands, host);
        } else {
          history.begin(scenario.lines, library, host, copyPath);
          for (const auto& command : saved.commands) history.talk(command, host);
        }
      });
    }
  }

  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (o.clock && o.clockStep >= 0)
      for (long long t = 0; t < o.clockStep; ++t) history.tick();
    clock.catchUp(history);
    std::string command = utf8ToCp1251(line);
    if (!undoWord.empty() && lower(trim(command)) == undoWord) {
      // The game as it was before the last command, its last turn shown again; not logged.
      if (!history.canUndo()) {
        host.appendOutput(std::string("Отменять нечего"_w));
        std::fflush(stdout);
        continue;
      }
      guarded([&] { history.undo(host); });
      continue;
    }
    guarded([&] { history.talk(command, host); });
  }
  clock.catchUp(history);

  if (o.events) {
    std::printf("%s\n", events::list("inventory", engine.inventoryView()).c_str());
    std::printf("%s\n", events::list("characteristics", engine.characteristicsView()).c_str());
    std::printf("%s\n", events::list("monitor", engine.monitorView()).c_str());
  }
  std::fflush(stdout);
  if (!o.saveLog.empty()) {
    if (auto error = writeSavedGame(o.saveLog, game.commandLog())) {
      std::fprintf(stderr, "marvo-cli: %s\n", error->c_str());
      return kExitFile;
    }
  }
  if (host.fileError) return kExitFile;
  return host.engineError ? kExitEngine : kExitOk;
}

int cat(const Args& args) {
  if (args.size() != 1) {
    std::fputs("usage: marvo-cli cat SCENARIO\n", stderr);
    return 2;
  }
  auto scenario = readScenarioFile(args[0]);
  if (!scenario.error.empty()) {
    std::fprintf(stderr, "marvo-cli: %s\n", scenario.error.c_str());
    return 1;
  }
  printReadNotes(args[0], scenario);
  for (const auto& line : scenario.lines) std::printf("%s\n", cp1251ToUtf8(line).c_str());
  return 0;
}

}  // namespace marvo::cli
