// What the replay benchmarks play: the largest game shipped in games/ with the standard library,
// and commands made from its own talk patterns.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"
#include "game/scenario_file.h"
#include "game/talk_matcher.h"

namespace marvo::bench {

struct ShippedGame {
  std::filesystem::path file;  // empty when games/ holds no scenario
  std::vector<std::string> scenario, library;
};

// The largest scenario shipped in the source tree's games/ folder and its marvo.lib (MARVO_SOURCE_DIR).
inline ShippedGame largestShippedGame() {
  namespace fs = std::filesystem;
  const fs::path games = fs::path(MARVO_SOURCE_DIR) / "games";
  ShippedGame game;
  for (const auto& entry : fs::directory_iterator(games)) {
    // tmp.scn is game start's copy of whatever was last played here, not a shipped game.
    if (entry.path().extension() != ".scn" || entry.path().filename() == "tmp.scn") continue;
    if (game.file.empty() || entry.file_size() > fs::file_size(game.file)) game.file = entry.path();
  }
  if (game.file.empty()) return game;
  game.scenario = readScenarioFile(game.file).lines;
  game.library = readScenarioFile(games / "marvo.lib").lines;
  return game;
}

// Inputs of every kind a player gives: empty, menu numbers, one that matches nothing, and every
// alternative of the program's talk lines, an "<object>" in it replaced by each object's mask.
// `state` is that of a started game (its program and objects).
inline std::vector<std::string> commandsFromTalkPatterns(const RuntimeState& state) {
  std::vector<std::string> kinds{"", "1", "2", "3", "xyzzy"};
  std::vector<std::string> masks;
  for (const auto& object : state.objects)
    if (!object.name.empty()) masks.push_back(object.mask);
  for (const auto& line : state.program) {
    if (!alias::kTalk.starts(lower(trim(line)))) continue;
    for (auto alternative : splitRuns(talkPattern(line), '/', 20)) {
      std::string command(alternative);
      const auto object = command.find("<object>");
      if (object == std::string::npos) {
        kinds.push_back(command);
        continue;
      }
      for (const auto& mask : masks) kinds.push_back(std::string(command).replace(object, 8, mask));
    }
  }
  return kinds;
}

// A host that shows nothing.
class QuietHost : public EngineHost {
 public:
  void clearOutput() override {}
  void appendOutput(std::string_view) override {}
  void showMessage(std::string_view) override {}
};

}  // namespace marvo::bench
