// Undo and redo by exact replay of the command log and the clock ticks.
#include "play_history.h"

#include <string_view>

namespace marvo {

namespace {

// The host of a replay: messages are not shown again, and the output pane gets only the last
// turn's text (kept from the echo of its command on, or from the game start for no command).
class ReplayHost : public EngineHost {
 public:
  explicit ReplayHost(EngineHost& shown) : shown_(shown) {}
  void newTurn() { lines_.clear(); }
  void clearOutput() override { lines_.clear(); }
  void appendOutput(std::string_view line) override { lines_.emplace_back(line); }
  void showMessage(std::string_view) override {}
  void showMessageAt(std::string_view, const MessageContext&) override {}
  void viewsChanged() override { viewsChanged_ = true; }
  // Shows the last turn on the real host.
  void finish() {
    shown_.clearOutput();
    for (const auto& line : lines_) shown_.appendOutput(line);
    if (viewsChanged_) shown_.viewsChanged();
    shown_.focusInput();
  }

 private:
  EngineHost& shown_;
  std::vector<std::string> lines_;
  bool viewsChanged_ = false;
};

}  // namespace

void PlayHistory::begin(const std::vector<std::string>& scenario, const std::vector<std::string>& library,
                        EngineHost& host, const std::filesystem::path& copyPath) {
  carry();
  scenario_ = scenario;
  library_ = library;
  prepared_.reset();
  steps_.clear();
  redo_.clear();
  pending_ = 0;
  started_ = true;
  game_.begin(scenario, library, host, copyPath);
}

bool PlayHistory::talk(const std::string& raw, EngineHost& host) {
  if (started_) {
    steps_.push_back({pending_, raw});
    pending_ = 0;
    redo_.clear();
  }
  return game_.talk(raw, host);
}

void PlayHistory::tick() {
  if (started_) ++pending_;
  game_.tick();
}

void PlayHistory::forget() {
  started_ = false;
  steps_.clear();
  redo_.clear();
  pending_ = 0;
  scenario_.clear();
  library_.clear();
  prepared_.reset();
}

bool PlayHistory::undo(EngineHost& host) {
  if (!canUndo()) return false;
  redo_.push_back({std::move(steps_.back()), pending_});
  steps_.pop_back();
  pending_ = redo_.back().step.ticksBefore;
  replayAll(host);
  return true;
}

bool PlayHistory::redo(EngineHost& host) {
  if (!canRedo()) return false;
  Undone undone = std::move(redo_.back());
  redo_.pop_back();
  steps_.push_back(undone.step);
  pending_ = undone.ticksAfter;
  replayAll(host);
  return true;
}

void PlayHistory::resume(std::vector<PlayStep> steps, std::uint32_t pendingTicks, EngineHost& host) {
  if (!started_) return;
  steps_ = std::move(steps);
  pending_ = pendingTicks;
  redo_.clear();
  replayAll(host);
}

void PlayHistory::carry() {
  const RuntimeState& s = game_.engine().state();
  carried_.locationLine = s.locationLine;
  carried_.currentLocation = s.currentLocation;
  carried_.once = s.once;
  carried_.talkDepth = s.talkDepth;
  carried_.ifDepth = s.ifDepth;
  carried_.saveRegister = s.saveRegister;
  carried_.textQueue = s.textQueue;
  carried_.menuQueue = s.menuQueue;
  carried_.objectsText = s.objectsText;
  carried_.shown = s.shown;
  carried_.currentObject = s.currentObject;
  carried_.contents.clear();
  for (const auto& object : s.objects) carried_.contents.push_back(object.content);
}

void PlayHistory::restoreCarried() {
  Engine& engine = game_.engine();
  RuntimeState& s = engine.mutableState();
  s.locationLine = carried_.locationLine;
  s.currentLocation = carried_.currentLocation;
  s.once = carried_.once;
  s.talkDepth = carried_.talkDepth;
  s.ifDepth = carried_.ifDepth;
  s.saveRegister = carried_.saveRegister;
  s.textQueue = carried_.textQueue;
  s.menuQueue = carried_.menuQueue;
  s.objectsText = carried_.objectsText;
  s.shown = carried_.shown;
  s.currentObject = carried_.currentObject;
  for (std::size_t i = 0; i < carried_.contents.size() && i < s.objects.size(); ++i)
    s.objects[i].content = carried_.contents[i];
  engine.invalidateViews();
}

void PlayHistory::replayAll(EngineHost& host) {
  if (!prepared_) prepared_ = prepareProgram(scenario_, nullptr, library_);
  ReplayHost replay(host);
  restoreCarried();
  // A turn that failed in play (a run past the end of the program) fails alike in the replay; the
  // game went on after it then, and goes on now.
  try {
    game_.begin(*prepared_, replay);
  } catch (const IndexError&) {
  }
  for (const PlayStep& step : steps_) {
    for (std::uint32_t i = 0; i < step.ticksBefore; ++i) game_.tick();
    replay.newTurn();
    try {
      game_.talk(step.command, replay);
    } catch (const IndexError&) {
    }
  }
  for (std::uint32_t i = 0; i < pending_; ++i) game_.tick();
  replay.finish();
}

}  // namespace marvo
