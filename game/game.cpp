// Game start, Talk, New and replay on top of the engine.
#include "game.h"

#include "engine/text.h"
#include "program_builder.h"
#include "scenario_copy.h"
#include "scenario_file.h"
#include "talk_matcher.h"

namespace marvo {

using namespace literals;

void Game::begin(const std::vector<std::string>& scenario, const std::vector<std::string>& library, EngineHost& host,
                 const std::filesystem::path& copyPath) {
  start(scenario, nullptr, library, host, copyPath);
}

void Game::begin(std::vector<std::string>&& scenario, const std::vector<std::string>& library, EngineHost& host,
                 const std::filesystem::path& copyPath) {
  start(scenario, &scenario, library, host, copyPath);
}

void Game::start(const std::vector<std::string>& scenario, std::vector<std::string>* owned,
                 const std::vector<std::string>& library, EngineHost& host, const std::filesystem::path& copyPath) {
  log_.clear();
  engine_.random().seed(99);
  ScenarioCopy copy(copyPath, scenario);  // written while the program is built
  auto built = prepareProgram(scenario, owned, library, takeProgram(), &copy.linesPassed());
  // The copy is never read back; a failure must not keep the game from starting.
  if (auto error = copy.finish()) {
    if (!copyFailureReported_) host.showMessage(*error);
    copyFailureReported_ = true;
  } else if (!copyPath.empty()) {
    copyFailureReported_ = false;
  }
  if (owned) std::vector<std::string>().swap(*owned);  // what is left of it is not needed
  startPrepared(std::move(built), host);
}

void Game::begin(const PreparedProgram& prepared, EngineHost& host) {
  log_.clear();
  engine_.random().seed(99);
  PreparedProgram copy;
  copy.lines = takeProgram();
  copy.lines = prepared.lines;  // copied into the old program's strings
  copy.origins = prepared.origins;
  copy.texts = prepared.texts;
  copy.brokenAt = prepared.brokenAt;
  copy.brokenLine = prepared.brokenLine;
  startPrepared(std::move(copy), host);
}

std::vector<std::string> Game::takeProgram() {
  std::vector<std::string> lines;
  lines.swap(engine_.mutableState().program);
  engine_.programChanged();
  return lines;
}

void Game::startPrepared(PreparedProgram built, EngineHost& host) {
  auto& s = engine_.mutableState();
  s.impossibleReply = std::string("это невозможно"_w);
  resetProgram(host, /*objectsToo=*/true);
  s.program = std::move(built.lines);
  engine_.programChanged();
  origins_ = std::move(built.origins);
  texts_ = std::move(built.texts);  // what locations quote beside the program's own lines
  if (built.brokenAt) {
    brokenLine_ = built.brokenLine;
    throw IndexError(*built.brokenAt);
  }
  engine_.setVariable(2, "step", 0);
  engine_.run(host);
}

bool Game::talk(const std::string& raw, EngineHost& host) {
  log_.push_back(raw);
  const bool empty = raw.empty();
  const std::string input = lower(trim(raw));
  const TalkMatch match = matchInput(engine_, input, talkPatterns_);
  auto& s = engine_.mutableState();
  if (match.matched) {
    s.pc = match.line + 1;
    s.talk.fill(0);
    host.appendOutput(">" + input);
    engine_.run(host);
    return true;
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
  return false;
}

void Game::replay(const std::vector<std::string>& commands, EngineHost& host) {
  for (const auto& command : commands) talk(command, host);
}

void Game::reset(EngineHost& host) { resetProgram(host, /*objectsToo=*/false); }

void Game::resetProgram(EngineHost& host, bool objectsToo) {
  auto& s = engine_.mutableState();
  s.program.clear();
  origins_.clear();
  texts_ = {};
  talkPatterns_.clear();
  brokenLine_.reset();
  engine_.programChanged();
  s.menuMarker = 0;
  s.pc = 0;
  s.talk.fill(0);
  s.clearOutputFlag = false;
  host.clearOutput();
  if (objectsToo)
    engine_.resetTables();
  else
    engine_.resetVariables();
  s.commonLine = 0;
  s.commonFound = false;
}

std::vector<LineOrigin> Game::origins() const {
  std::vector<LineOrigin> out;
  out.reserve(origins_.size());
  for (std::uint32_t packed : origins_) out.push_back(unpackOrigin(packed));
  return out;
}

std::string Game::originText(const LineOrigin& origin) const {
  if (origin.source == LineOrigin::Game) return {};
  if (auto kept = texts_.text(origin)) return std::string(*kept);
  // Otherwise the program holds the line as written. Looked up only when a location is shown: a
  // scan is cheaper than an index built at every start.
  const std::uint32_t own = packOrigin({origin.source, origin.line, false});
  const auto& program = engine_.state().program;
  for (std::size_t i = 0; i < origins_.size() && i < program.size(); ++i)
    if (origins_[i] == own) return program[i];
  return {};
}

std::optional<ErrorLocation> Game::locate(const MessageContext& context) const {
  const auto line = static_cast<std::size_t>(context.line);
  if (context.line < 0 || line >= origins_.size()) return std::nullopt;
  const LineOrigin origin = unpackOrigin(origins_[line]);
  ErrorLocation at{origin, originText(origin), context.nameKind, std::string(context.name)};
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
