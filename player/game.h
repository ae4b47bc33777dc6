// A game in progress: game start, Talk, the game clock, New and the replay of a saved game.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "program_builder.h"

namespace marvo {

class Game {
 public:
  explicit Game(Engine& engine) : engine_(engine) {}

  // Begingame1Click. Builds the program from the scenario and library lines (Windows-1251),
  // resets the state and runs the engine once. When `copyPath` is not empty the scenario is first
  // written there as a scenario file ("tmp.scn"); a failed write is reported once through the
  // host and the game starts anyway. Throws IndexError for a broken btn/do line and for a run
  // past the end of the program.
  void begin(const std::vector<std::string>& scenario, const std::vector<std::string>& library,
             EngineHost& host, const std::filesystem::path& copyPath = {});
  // The same game start on a program prepared beforehand by buildProgram (no copy is written).
  void begin(BuiltProgram built, EngineHost& host);

  // Talk1Click on the input line's raw text. Throws IndexError when the run does.
  void talk(const std::string& raw, EngineHost& host);

  // Load game, step 5: Talk for every saved line, in order.
  void replay(const std::vector<std::string>& commands, EngineHost& host);

  // New1Click, the engine part: empties the program and most of the state; no game starts.
  void reset(EngineHost& host);

  // Timer1Timer.
  void tick() { engine_.tickClock(); }

  const std::vector<std::string>& commandLog() const { return log_; }
  Engine& engine() { return engine_; }

 private:
  // The reset shared by game start and New: program, control items, output pane, variables
  // (and at game start the objects), the common line.
  void resetProgram(EngineHost& host, bool objectsToo);

  Engine& engine_;
  std::vector<std::string> log_;
  bool copyFailureReported_ = false;
};

}  // namespace marvo
