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
  auto merged = mergeLibraryMapped(scenario, library);
  auto built = buildProgram(merged);
  begin(std::move(built), std::move(merged), host);
}

void Game::begin(BuiltProgram built, MergedText merged, EngineHost& host) {
  log_.clear();
  engine_.random().seed(99);
  auto& s = engine_.mutableState();
  s.impossibleReply = std::string("это невозможно"_w);
  resetProgram(host, /*objectsToo=*/true);

  s.program = std::move(built.lines);
  engine_.programChanged();
  origins_ = std::move(built.origins);
  merged_ = std::move(merged);  // the texts locations quote, kept without another copy
  if (built.brokenAt) {
    brokenLine_ = built.brokenLine;
    throw IndexError(*built.brokenAt);
  }
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
  origins_.clear();
  merged_ = {};
  brokenLine_.reset();
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

std::string Game::originText(const LineOrigin& origin) const {
  if (origin.source == LineOrigin::Game) return {};
  // Looked up only when a location is shown: a scan is cheaper than an index built at every start.
  for (std::size_t i = 0; i < merged_.origins.size(); ++i) {
    const LineOrigin& m = merged_.origins[i];
    if (m.source == origin.source && m.line == origin.line) return merged_.lines[i];
  }
  return {};
}

std::optional<ErrorLocation> Game::locate(const MessageContext& context) const {
  const auto line = static_cast<std::size_t>(context.line);
  if (context.line < 0 || line >= origins_.size()) return std::nullopt;
  ErrorLocation at{origins_[line], originText(origins_[line]), context.nameKind, std::string(context.name)};
  // A line game start made on its own: show it as the program holds it.
  const auto& program = engine_.state().program;
  if (at.origin.source == LineOrigin::Game && line < program.size()) at.text = program[line];
  return at;
}

std::optional<ErrorLocation> Game::locate(const IndexError& error) const {
  if (error.line() >= 0) return locate(error.context());
  // The program stops short of the broken line, so a later run past its end is placed there too.
  if (!brokenLine_) return std::nullopt;
  return ErrorLocation{*brokenLine_, originText(*brokenLine_), MessageName::None, {}};
}

}  // namespace marvo
