// The web player's game: the same game start, Talk and replay as the desktop, events as JSON Lines.
#include "web_session.h"

#include <algorithm>

#include "engine/codec.h"
#include "game/json_events.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"
#include "player/menu_lines.h"

namespace marvo::web {

void WebSession::RecordingHost::clearOutput() { lines += events::clear() + '\n'; }
void WebSession::RecordingHost::appendOutput(std::string_view line) { lines += events::out(line) + '\n'; }
void WebSession::RecordingHost::showMessage(std::string_view text) { lines += events::message(text) + '\n'; }
void WebSession::RecordingHost::showMessageAt(std::string_view text, const MessageContext& context) {
  lines += events::message(text, game.locate(context)) + '\n';
}

WebSession::WebSession() : play_(std::make_unique<Play>(events_)) {}

template <typename Action>
bool WebSession::guarded(Play& play, Action&& action) {
  events_.clear();
  lastError_.clear();
  try {
    action();
    return true;
  } catch (const IndexError& error) {
    events_ += events::indexError(play.game.locate(error)) + '\n';
    lastError_ = error.what();
    return false;
  }
}

void WebSession::start(std::string_view scenarioFile, std::string_view libraryFile) {
  scenario_ = parseScenarioText(scenarioFile);
  library_ = parseScenarioText(libraryFile);
  restart();
}

void WebSession::restart() {
  guarded(*play_, [&] { play_->history.begin(scenario_, library_, play_->host); });
}

void WebSession::talk(std::string_view utf8Command) {
  const std::string command = utf8ToCp1251(utf8Command);
  guarded(*play_, [&] { play_->history.talk(command, play_->host); });
}

bool WebSession::undo() {
  bool done = false;
  guarded(*play_, [&] { done = play_->history.undo(play_->host); });
  return done;
}

bool WebSession::redo() {
  bool done = false;
  guarded(*play_, [&] { done = play_->history.redo(play_->host); });
  return done;
}

LoadResult WebSession::beginLoad(std::string_view savBytes, bool check) {
  loading_.reset();
  pending_.clear();
  replayed_ = 0;
  unmatched_ = checked_ = 0;
  if (!isCommandLog(savBytes)) return LoadResult::NotSavedGame;
  pending_ = parseSavedGame(savBytes);
  loading_ = std::make_unique<Play>(events_);
  Play& play = *loading_;
  if (!guarded(play, [&] { play.history.begin(scenario_, library_, play.host); })) replayed_ = pending_.size();
  return LoadResult::Loaded;
}

std::size_t WebSession::continueLoad(std::size_t maxCommands) {
  if (!loading_) return 0;
  Play& play = *loading_;
  const std::size_t end = replayed_ + std::min(maxCommands, pending_.size() - replayed_);
  const bool clean = guarded(play, [&] {
    // Counted as they go: whether the commands fit this game decides a checked load.
    for (; replayed_ < end; ++replayed_) {
      const std::string& command = pending_[replayed_];
      const bool matched = play.history.talk(command, play.host);
      if (command.empty()) continue;
      ++checked_;
      if (!matched) ++unmatched_;
    }
  });
  if (!clean) replayed_ = pending_.size();  // the commands after the one that failed are dropped
  return pending_.size() - replayed_;
}

LoadResult WebSession::finishLoad(bool check) {
  if (!loading_) return LoadResult::Loaded;
  if (replayed_ < pending_.size()) {
    const std::string before = events_;
    continueLoad(pending_.size());
    events_.insert(0, before);
  }
  if (check && checked_ > 0 && unmatched_ * 2 > checked_) return LoadResult::OtherGame;
  adoptLoad();
  return LoadResult::Loaded;
}

bool WebSession::adoptLoad() {
  if (!loading_) return false;
  play_ = std::move(loading_);
  pending_.clear();
  pending_.shrink_to_fit();
  replayed_ = 0;
  return true;
}

LoadResult WebSession::load(std::string_view savBytes, bool check) {
  // One call: the events are those of the whole load, and a refused load leaves the last ones.
  const std::string previous = events_;
  const std::string previousError = lastError_;
  if (beginLoad(savBytes, check) == LoadResult::NotSavedGame) {
    events_ = previous;
    return LoadResult::NotSavedGame;
  }
  const std::string started = events_;
  const std::string startError = lastError_;
  continueLoad(pending_.size());
  events_.insert(0, started);
  if (lastError_.empty()) lastError_ = startError;
  const LoadResult result = finishLoad(check);
  if (result == LoadResult::OtherGame) {
    loading_.reset();
    events_ = previous;
    lastError_ = previousError;
  }
  return result;
}

std::string WebSession::saveText() const { return savedGameText(play_->game.commandLog()); }

std::string WebSession::views(bool monitor) const {
  const Engine& engine = play_->engine;
  std::string out = events::list("inventory", engine.inventoryView()) + '\n' +
                    events::list("characteristics", engine.characteristicsView()) + '\n';
  if (monitor) out += events::list("monitor", engine.monitorView()) + '\n';
  return out;
}

std::string WebSession::choices() const {
  std::string out = "[";
  for (const auto& choice : menuChoices(play_->engine.state())) {
    if (out.size() > 1) out += ", ";
    out += events::jsonString(choice);
  }
  return out + "]";
}

}  // namespace marvo::web
