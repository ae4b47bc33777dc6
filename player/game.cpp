// Game start, Talk, New and replay on top of the engine.
#include "game.h"

#include "engine/text.h"
#include "program_builder.h"
#include "scenario_file.h"
#include "talk_matcher.h"

namespace marvo {

using namespace literals;

void Game::begin(const std::vector<std::string>& scenario, const std::vector<std::string>& library,
                 EngineHost& host, const std::filesystem::path& copyPath) {
  if (!copyPath.empty()) {
    // The copy is never read back; a failure must not keep the game from starting.
    if (auto error = writeScenarioFile(copyPath, scenario)) {
      if (!copyFailureReported_) host.showMessage(*error);
      copyFailureReported_ = true;
    } else {
      copyFailureReported_ = false;
    }
  }
  begin(buildProgram(mergeLibrary(scenario, library)), host);
}

void Game::begin(BuiltProgram built, EngineHost& host) {
  log_.clear();
  engine_.random().seed(99);
  auto& s = engine_.mutableState();
  s.impossibleReply = std::string("это невозможно"_w);
  resetProgram(host, /*objectsToo=*/true);

  s.program = std::move(built.lines);
  engine_.programChanged();
  if (built.brokenAt) throw IndexError(*built.brokenAt);
  engine_.setVariable(2, "step", 0);
  engine_.run(host);
}

void Game::talk(const std::string& raw, EngineHost& host) {
  log_.push_back(raw);
  const bool empty = raw.empty();
  const std::string input = lower(trim(raw));
  const TalkMatch match = matchInput(engine_, input);
  auto& s = engine_.mutableState();
  if (match.matched) {
    s.pc = match.line + 1;
    s.talk.fill(0);
    host.appendOutput(">" + input);
    engine_.run(host);
    return;
  }
  host.appendOutput(">" + input);
  if (!empty) {
    host.appendOutput(s.impossibleReply);
  } else if (!s.program.empty()) {
    s.pc = s.locationLine;
    s.shown.fill(false);
    s.once.fill(0);
    engine_.run(host);
  }
}

void Game::replay(const std::vector<std::string>& commands, EngineHost& host) {
  for (const auto& command : commands) talk(command, host);
}

void Game::reset(EngineHost& host) { resetProgram(host, /*objectsToo=*/false); }

void Game::resetProgram(EngineHost& host, bool objectsToo) {
  auto& s = engine_.mutableState();
  s.program.clear();
  engine_.programChanged();
  s.menuMarker = 0;
  s.pc = 0;
  s.talk.fill(0);
  s.clearOutputFlag = false;
  host.clearOutput();
  if (objectsToo) engine_.resetTables();
  else engine_.resetVariables();
  s.commonLine = 0;
  s.commonFound = false;
}

}  // namespace marvo
