// One game of the web player: game start from file contents, Talk, the clock and saved games.
// Every call records the events it caused as the JSON Lines of `marvo-cli play --events`.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "game/game.h"
#include "game/play_history.h"

namespace marvo::web {

enum class LoadResult {
  Loaded = 0,
  NotSavedGame = 1,  // binary content: not a command log at all
  OtherGame = 2,     // most commands fit nothing in this game
};

class WebSession {
 public:
  WebSession();
  WebSession(const WebSession&) = delete;  // its games record into its own events
  WebSession& operator=(const WebSession&) = delete;

  // Begin game with the contents of a scenario file and a library file (each RTF or plain text,
  // read as "Open File" reads a scenario). The texts are kept for restart and load.
  void start(std::string_view scenarioFile, std::string_view libraryFile);
  // Begin game again with the same texts.
  void restart();
  // Talk on a command typed in the page (UTF-8).
  void talk(std::string_view utf8Command);
  // clockTick; records no events.
  void tick() { play_->history.tick(); }
  // "Отменить ход" and "Вернуть ход": the game replayed without its last command, or with the last
  // one undone given again; the events are those of the last turn replayed (after a clearing).
  // False when there was nothing to undo or redo (no events then).
  bool undo();
  bool redo();

  // Load game from the bytes of a .sav file. A file that is not a command log (NUL or other
  // control bytes) is refused, as the desktop refuses it; with `check`, so is one whose non-empty
  // commands mostly match nothing in this game (found by replaying them on a scratch copy). A
  // refused load keeps the game in progress; the result says why.
  LoadResult load(std::string_view savBytes, bool check);

  // The same load in steps, so that a long saved game can report progress between them. The game
  // in progress stays until the load is finished; the loaded one is played aside meanwhile.
  // beginLoad: bytes that are no command log are NotSavedGame and nothing starts; otherwise a fresh
  // game starts aside (its events are those of the call) and the result is Loaded.
  LoadResult beginLoad(std::string_view savBytes, bool check);
  // Replays up to `maxCommands` further commands aside (their events are those of the call);
  // returns how many are still to replay. An index error ends the replay there.
  std::size_t continueLoad(std::size_t maxCommands);
  // Replays what is left, then: with `check` and mostly unmatched commands, OtherGame (the loaded
  // game waits aside for adoptLoad); otherwise the loaded game replaces the game in progress.
  LoadResult finishLoad(bool check);
  // Puts the game waiting aside in place of the game in progress; false when none waits.
  bool adoptLoad();
  // Commands of the load begun last (replayed and still to replay).
  std::size_t loadSize() const { return pending_.size(); }
  // The command log as a .sav file: Windows-1251, every command followed by CR LF.
  std::string saveText() const;

  // The events of the last start, restart, talk or load (step): JSON Lines, each ended by "\n".
  const std::string& events() const { return events_; }
  // {"inventory": [...]}, {"characteristics": [...]} and, when asked, {"monitor": [...]}.
  std::string views(bool monitor) const;
  // The registered talk patterns made of digits only (menu choices), as a JSON array of strings.
  std::string choices() const;
  // The text of the index error that ended the last call, or empty.
  const std::string& lastError() const { return lastError_; }
  // What the last refused load found: commands that matched nothing, non-empty commands.
  int unmatchedCommands() const { return unmatched_; }
  int checkedCommands() const { return checked_; }
  std::uint64_t linesExecuted() const { return play_->engine.linesExecuted(); }
  std::size_t commandCount() const { return play_->game.commandLog().size(); }

 private:
  // Records events as JSON Lines; engine messages carry the place they arose at.
  struct RecordingHost : EngineHost {
    RecordingHost(const Game& game, std::string& lines) : game(game), lines(lines) {}
    void clearOutput() override;
    void appendOutput(std::string_view line) override;
    void showMessage(std::string_view text) override;
    void showMessageAt(std::string_view text, const MessageContext& context) override;
    const Game& game;
    std::string& lines;
  };
  // One game with the host that records its events into the session's events.
  struct Play {
    explicit Play(std::string& events) : host(game, events) {}
    Engine engine;
    Game game{engine};
    PlayHistory history{game};
    RecordingHost host;
  };
  // Runs an action on `play`; an index error it throws becomes an event. False after one.
  template <typename Action>
  bool guarded(Play& play, Action&& action);

  std::vector<std::string> scenario_;
  std::vector<std::string> library_;
  std::string events_;
  std::unique_ptr<Play> play_;
  std::unique_ptr<Play> loading_;     // the game a load replays into, until it takes the place of play_
  std::vector<std::string> pending_;  // the commands of that load
  std::size_t replayed_ = 0;
  std::string lastError_;
  int unmatched_ = 0;
  int checked_ = 0;
};

}  // namespace marvo::web
