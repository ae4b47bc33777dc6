// Benchmark of the play tree's re-check: a tree of 100 leaves of 200 commands each on the largest
// shipped game, every branch replayed on both cores.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "bench/shipped_game.h"
#include "engine/engine.h"
#include "game/game.h"
#include "playtree/tree_check.h"

using namespace marvo;
using Lines = std::vector<std::string>;

int main() {
  const bench::ShippedGame shipped = bench::largestShippedGame();
  const PreparedProgram program = prepareProgram(shipped.scenario, nullptr, shipped.library);

  Engine engine;
  Game game(engine);
  bench::QuietHost host;
  try {
    game.begin(program, host);
  } catch (const IndexError&) {
  }
  const Lines kinds = bench::commandsFromTalkPatterns(engine.state());
  tree::PlayTree playTree;
  for (std::size_t leaf = 0; leaf < 100; ++leaf) {
    Lines commands;
    for (std::size_t i = 0; i < 200; ++i) commands.push_back(kinds[(leaf * 13 + i * 7) % kinds.size()]);
    playTree.addPlay(commands);
  }
  tree::checkTree(playTree, program, 2);  // every reply recorded once
  for (std::size_t id : playTree.order()) playTree.bless(id);
  std::printf("%s with marvo.lib: %zu leaves, %zu nodes\n", shipped.file.filename().c_str(), playTree.leaves().size(),
              playTree.order().size());
  tree::CheckResult result;
  const double ms = bench::medianMs(5, [&] { result = tree::checkTree(playTree, program, 2); });
  std::printf("  %zu changed after the check (expected 0)\n", result.changed);
  return bench::report("re-check of 100 leaves x 200 commands, two threads", ms, 2000.0, "ms") && result.changed == 0
             ? 0
             : 1;
}
