// A game in progress: game start, Talk, the game clock, New and the replay of a saved game.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "error_location.h"
#include "program_builder.h"
#include "talk_matcher.h"

namespace marvo {

class Game {
 public:
  explicit Game(Engine& engine) : engine_(engine) {}

  // beginGame. Builds the program from the scenario and library lines (Windows-1251),
  // resets the state and runs the engine once. When `copyPath` is not empty the scenario is first
  // written there as a scenario file ("tmp.scn"); a failed write is reported once through the
  // host and the game starts anyway. Throws IndexError for a broken btn/do line and for a run
  // past the end of the program. Keeps the source map of the program for locate().
  void begin(const std::vector<std::string>& scenario, const std::vector<std::string>& library, EngineHost& host,
             const std::filesystem::path& copyPath = {});
  // The same, taking the scenario's lines over for the program instead of copying them.
  void begin(std::vector<std::string>&& scenario, const std::vector<std::string>& library, EngineHost& host,
             const std::filesystem::path& copyPath = {});
  // Game start on a program prepared beforehand (no copy is written); the program is copied, so
  // one preparation serves many games.
  void begin(const PreparedProgram& prepared, EngineHost& host);

  // submitCommand on the input line's raw text. Returns whether a talk pattern matched. Throws
  // IndexError when the run does.
  bool talk(const std::string& raw, EngineHost& host);

  // Load game, step 5: Talk for every saved line, in order.
  void replay(const std::vector<std::string>& commands, EngineHost& host);

  // newScenario, the engine part: empties the program and most of the state; no game starts.
  void reset(EngineHost& host);

  // clockTick.
  void tick() { engine_.tickClock(); }

  // Where the program line of an engine message came from, with that line's text and the name the
  // message is about; nullopt for a message that belongs to no line of the current program.
  std::optional<ErrorLocation> locate(const MessageContext& context) const;
  // The same for the index error: a run past the end is placed at the message that sent it there;
  // a broken btn/do line at game start at that line.
  std::optional<ErrorLocation> locate(const IndexError& error) const;
  // The origin of every line of the current program (empty before the first game start and
  // after New).
  std::vector<LineOrigin> origins() const;

  const std::vector<std::string>& commandLog() const { return log_; }
  Engine& engine() { return engine_; }

 private:
  void start(const std::vector<std::string>& scenario, std::vector<std::string>* owned,
             const std::vector<std::string>& library, EngineHost& host, const std::filesystem::path& copyPath);
  // The current program's lines, taken out of the engine for the next program to write over.
  std::vector<std::string> takeProgram();
  // Game start from the copy onwards: the state reset, the program installed and run.
  void startPrepared(PreparedProgram prepared, EngineHost& host);
  // The reset shared by game start and New: program, control items, output pane, variables
  // (and at game start the objects), the common line.
  void resetProgram(EngineHost& host, bool objectsToo);
  // The scenario or library line an origin points to, as of game start; empty when none (a library
  // line appears only where the library was spliced in).
  std::string originText(const LineOrigin& origin) const;

  Engine& engine_;
  std::vector<std::string> log_;
  bool copyFailureReported_ = false;
  // The source map of the current program and the texts it points into, as of game start.
  std::vector<std::uint32_t> origins_;  // packed
  SourceTexts texts_;
  std::optional<LineOrigin> brokenLine_;
  TalkPatterns talkPatterns_;  // of the talk lines matched against so far
};

}  // namespace marvo
