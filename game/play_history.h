// Undo and redo while playing: the command log with the clock ticks between commands, replayed
// exactly on a fresh game of the program as it was started.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "game.h"
#include "program_builder.h"

namespace marvo {

// One command of the log and the ticks of the game clock that came before it.
struct PlayStep {
  std::uint32_t ticksBefore = 0;
  std::string command;  // raw, Windows-1251
  bool operator==(const PlayStep&) const = default;
};

// Plays a Game and keeps what undo and redo need. Every game start, command and tick of the game
// it watches must go through it. Undo starts the game afresh on the program built at the last
// game start (the scenario text may have changed since: undo never reads it) and replays every
// command but the last one, each after its ticks; the random numbers repeat because game start
// reseeds them, and the clock repeats because the ticks are replayed.
class PlayHistory {
 public:
  explicit PlayHistory(Game& game) : game_(game) {}

  // Game start: as Game::begin, and the history starts empty. Throws what Game::begin throws (the
  // history is started all the same, so a failed start can still be replayed).
  void begin(const std::vector<std::string>& scenario, const std::vector<std::string>& library, EngineHost& host,
             const std::filesystem::path& copyPath = {});
  // Talk, logged with the ticks since the previous command; forgets what could be redone.
  // Throws what Game::talk throws (a turn that ran past the end is logged all the same).
  bool talk(const std::string& raw, EngineHost& host);
  // One tick of the game clock.
  void tick();
  // The game no longer belongs to this history (New, a game started elsewhere).
  void forget();

  bool canUndo() const { return started_ && !steps_.empty(); }
  bool canRedo() const { return started_ && !redo_.empty(); }
  // Takes back the last command: the game as it was just before it was given, its ticks included.
  // `host` receives the output of the last turn replayed (the pane is emptied first), never a
  // message: the messages of replayed turns were shown when they were played. Returns false when
  // there is nothing to undo.
  bool undo(EngineHost& host);
  // Gives the last undone command again: the game as it was before that undo. False when nothing
  // was undone since the last command.
  bool redo(EngineHost& host);

  // A game in progress kept aside (recovery data): after begin, replays `steps` with their ticks
  // and then `pendingTicks`; nothing to redo.
  void resume(std::vector<PlayStep> steps, std::uint32_t pendingTicks, EngineHost& host);

  const std::vector<PlayStep>& steps() const { return steps_; }
  // Ticks since the last command (or game start).
  std::uint32_t pendingTicks() const { return pending_; }

 private:
  struct Undone {
    PlayStep step;
    std::uint32_t ticksAfter = 0;
  };
  // What game start leaves as the previous game left it, kept so that a replay starts alike.
  struct Carried {
    std::int32_t locationLine = 0;
    std::string currentLocation;
    std::array<std::int32_t, kOnceSlots> once{};
    std::int32_t talkDepth = 0, ifDepth = 0, saveRegister = 0;
    std::vector<std::string> textQueue, menuQueue;
    std::string objectsText;
    std::array<bool, kTableSize> shown{};
    int currentObject = kNoObject;
    std::vector<std::string> contents;  // of every object slot
  };
  void carry();
  void restoreCarried();
  // A fresh game with steps_ replayed and `pending_` ticks after them.
  void replayAll(EngineHost& host);

  Game& game_;
  bool started_ = false;
  std::vector<std::string> scenario_, library_;
  std::optional<PreparedProgram> prepared_;  // built on the first undo
  Carried carried_;
  std::vector<PlayStep> steps_;
  std::vector<Undone> redo_;
  std::uint32_t pending_ = 0;
};

}  // namespace marvo
