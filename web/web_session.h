// One game of the web player: game start from file contents, Talk, the clock and saved games.
// Every call records the events it caused as the JSON Lines of `marvo-cli play --events`.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "game/game.h"

namespace marvo::web {

enum class LoadResult {
  Loaded = 0,
  NotSavedGame = 1,  // binary content: not a command log at all
  OtherGame = 2,     // most commands fit nothing in this game
};

class WebSession {
 public:
  WebSession();

  // Begin game with the contents of a scenario file and a library file (each RTF or plain text,
  // read as "Open File" reads a scenario). The texts are kept for restart and load.
  void start(std::string_view scenarioFile, std::string_view libraryFile);
  // Begin game again with the same texts.
  void restart();
  // Talk on a command typed in the page (UTF-8).
  void talk(std::string_view utf8Command);
  // clockTick; records no events.
  void tick() { game_.tick(); }

  // Load game from the bytes of a .sav file. With `check`, a file that is not a command log
  // (NUL or other control bytes) or whose non-empty commands mostly match nothing in this game
  // (found by replaying them on a scratch copy) is refused and the game in progress is kept; the
  // result says which. Without `check` it replays whatever the file holds, as the desktop does.
  LoadResult load(std::string_view savBytes, bool check);
  // The command log as a .sav file: Windows-1251, every command followed by CR LF.
  std::string saveText() const;

  // The events of the last start, restart, talk or load: JSON Lines, each ended by "\n".
  const std::string& events() const { return host_.lines; }
  // {"inventory": [...]}, {"characteristics": [...]} and, when asked, {"monitor": [...]}.
  std::string views(bool monitor) const;
  // The registered talk patterns made of digits only (menu choices), as a JSON array of strings.
  std::string choices() const;
  // The text of the index error that ended the last call, or empty.
  const std::string& lastError() const { return lastError_; }
  // What the last refused load found: commands that matched nothing, non-empty commands.
  int unmatchedCommands() const { return unmatched_; }
  int checkedCommands() const { return checked_; }
  std::uint64_t linesExecuted() const { return engine_.linesExecuted(); }
  std::size_t commandCount() const { return game_.commandLog().size(); }

 private:
  // Records events as JSON Lines; engine messages carry the place they arose at.
  struct RecordingHost : EngineHost {
    explicit RecordingHost(const Game& game) : game(game) {}
    void clearOutput() override;
    void appendOutput(std::string_view line) override;
    void showMessage(std::string_view text) override;
    void showMessageAt(std::string_view text, const MessageContext& context) override;
    const Game& game;
    std::string lines;
  };
  template <typename Action>
  void guarded(Action&& action);
  bool looksLikeOtherGame(const std::vector<std::string>& commands);

  std::vector<std::string> scenario_;
  std::vector<std::string> library_;
  Engine engine_;
  Game game_;
  RecordingHost host_{game_};
  std::string lastError_;
  int unmatched_ = 0;
  int checked_ = 0;
};

}  // namespace marvo::web
