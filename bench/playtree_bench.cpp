// Benchmark of the play tree's re-check: a tree of 100 leaves of 200 commands each on the largest
// shipped game, every branch replayed on both cores.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "engine/engine.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"
#include "game/game.h"
#include "game/scenario_file.h"
#include "game/talk_matcher.h"
#include "playtree/tree_check.h"

using namespace marvo;
using Lines = std::vector<std::string>;

namespace {

class QuietHost : public EngineHost {
 public:
  void clearOutput() override {}
  void appendOutput(std::string_view) override {}
  void showMessage(std::string_view) override {}
};

}  // namespace

int main() {
  namespace fs = std::filesystem;
  const fs::path games = fs::path(MARVO_SOURCE_DIR) / "games";
  fs::path largest;
  for (const auto& entry : fs::directory_iterator(games))
    if (entry.path().extension() == ".scn" && (largest.empty() || entry.file_size() > fs::file_size(largest)))
      largest = entry.path();
  const auto scenario = readScenarioFile(largest).lines;
  const auto lib = readScenarioFile(games / "marvo.lib").lines;
  const PreparedProgram program = prepareProgram(scenario, nullptr, lib);

  // Commands made from the game's own talk patterns, as the engine benchmark makes them.
  Engine engine;
  Game game(engine);
  QuietHost host;
  try {
    game.begin(program, host);
  } catch (const IndexError&) {
  }
  Lines kinds{"", "1", "2", "3", "xyzzy"};
  std::vector<std::string> masks;
  for (const auto& object : engine.state().objects)
    if (!object.name.empty()) masks.push_back(object.mask);
  for (const auto& line : engine.state().program) {
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
  tree::PlayTree playTree;
  for (std::size_t leaf = 0; leaf < 100; ++leaf) {
    Lines commands;
    for (std::size_t i = 0; i < 200; ++i) commands.push_back(kinds[(leaf * 13 + i * 7) % kinds.size()]);
    playTree.addPlay(commands);
  }
  tree::checkTree(playTree, program, 2);  // every reply recorded once
  for (std::size_t id : playTree.order()) playTree.bless(id);
  std::printf("%s with marvo.lib: %zu leaves, %zu nodes\n", largest.filename().c_str(), playTree.leaves().size(),
              playTree.order().size());
  tree::CheckResult result;
  const double ms = bench::medianMs(5, [&] { result = tree::checkTree(playTree, program, 2); });
  std::printf("  %zu changed after the check (expected 0)\n", result.changed);
  return bench::report("re-check of 100 leaves x 200 commands, two threads", ms, 2000.0, "ms") && result.changed == 0
             ? 0
             : 1;
}
