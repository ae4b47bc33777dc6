// The web player's game: the same game start, Talk and replay as the desktop, events as JSON Lines.
#include "web_session.h"

#include <algorithm>

#include "engine/codec.h"
#include "game/json_events.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"
#include "game/talk_matcher.h"

namespace marvo::web {

namespace {

// Bytes that no typed command holds: a saved game is text lines.
bool isBinary(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c < 0x20 && c != '\r' && c != '\n' && c != '\t';
  });
}

// Swallows everything: the scratch game of the saved-game check is not shown.
struct SilentHost : EngineHost {
  void clearOutput() override {}
  void appendOutput(std::string_view) override {}
  void showMessage(std::string_view) override {}
};

}  // namespace

void WebSession::RecordingHost::clearOutput() { lines += events::clear() + '\n'; }
void WebSession::RecordingHost::appendOutput(std::string_view line) { lines += events::out(line) + '\n'; }
void WebSession::RecordingHost::showMessage(std::string_view text) { lines += events::message(text) + '\n'; }
void WebSession::RecordingHost::showMessageAt(std::string_view text, const MessageContext& context) {
  lines += events::message(text, game.locate(context)) + '\n';
}

WebSession::WebSession() : game_(engine_) {}

template <typename Action>
void WebSession::guarded(Action&& action) {
  host_.lines.clear();
  lastError_.clear();
  try {
    action();
  } catch (const IndexError& error) {
    host_.lines += events::indexError(game_.locate(error)) + '\n';
    lastError_ = error.what();
  }
}

void WebSession::start(std::string_view scenarioFile, std::string_view libraryFile) {
  scenario_ = parseScenarioText(scenarioFile);
  library_ = parseScenarioText(libraryFile);
  restart();
}

void WebSession::restart() {
  guarded([&] { game_.begin(scenario_, library_, host_); });
}

void WebSession::talk(std::string_view utf8Command) {
  const std::string command = utf8ToCp1251(utf8Command);
  guarded([&] { game_.talk(command, host_); });
}

bool WebSession::looksLikeOtherGame(const std::vector<std::string>& commands) {
  Engine engine;
  Game game(engine);
  SilentHost silent;
  unmatched_ = checked_ = 0;
  try {
    game.begin(scenario_, library_, silent);
    for (const auto& command : commands) {
      const bool matched = game.talk(command, silent);
      if (command.empty()) continue;
      ++checked_;
      if (!matched) ++unmatched_;
    }
  } catch (const IndexError&) {
    // The real load reports it; what was replayed so far decides.
  }
  return checked_ > 0 && unmatched_ * 2 > checked_;
}

LoadResult WebSession::load(std::string_view savBytes, bool check) {
  if (check && isBinary(savBytes)) return LoadResult::NotSavedGame;
  const auto commands = parseSavedGame(savBytes);
  if (check && looksLikeOtherGame(commands)) return LoadResult::OtherGame;
  guarded([&] {
    game_.begin(scenario_, library_, host_);
    game_.replay(commands, host_);
  });
  return LoadResult::Loaded;
}

std::string WebSession::saveText() const { return savedGameText(game_.commandLog()); }

std::string WebSession::views(bool monitor) const {
  std::string out = events::list("inventory", engine_.inventoryView()) + '\n' +
                    events::list("characteristics", engine_.characteristicsView()) + '\n';
  if (monitor) out += events::list("monitor", engine_.monitorView()) + '\n';
  return out;
}

std::string WebSession::choices() const {
  std::string out = "[";
  const auto& s = engine_.state();
  for (const auto line : s.talk) {
    if (line <= 0 || line >= static_cast<std::int32_t>(s.program.size())) break;
    const std::string pattern = talkPattern(s.program[line]);
    if (pattern.empty() || pattern.size() > 9) continue;
    if (!std::all_of(pattern.begin(), pattern.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
    if (out.size() > 1) out += ", ";
    out += events::jsonString(pattern);
  }
  return out + "]";
}

}  // namespace marvo::web
