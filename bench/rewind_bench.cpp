// Benchmark of undo while playing: one undo on a game of 10,000 commands of the largest shipped
// game (a fresh game start and 9,999 commands replayed, with a clock tick before every command).
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "bench/shipped_game.h"
#include "engine/engine.h"
#include "game/play_history.h"

using namespace marvo;
using Lines = std::vector<std::string>;

namespace {

// Processor time of this thread: the undo runs on one thread, and on a busy machine the wall time
// measures the other builds as well (the wall time is printed beside it).
double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace

int main() {
  const bench::ShippedGame shipped = bench::largestShippedGame();
  Engine engine;
  Game game(engine);
  PlayHistory history(game);
  bench::QuietHost host;
  auto guarded = [](auto&& action) {
    try {
      action();
    } catch (const IndexError&) {
    }
  };
  guarded([&] { history.begin(shipped.scenario, shipped.library, host); });
  const Lines kinds = bench::commandsFromTalkPatterns(engine.state());
  for (std::size_t i = 0; history.steps().size() < 10000; ++i) {
    history.tick();
    guarded([&] { history.talk(kinds[(i * 7) % kinds.size()], host); });
  }
  std::printf("%s with marvo.lib, %zu commands\n", shipped.file.filename().c_str(), history.steps().size());
  // Undo then redo: every timed undo starts from 10,000 commands. Only the undo is timed.
  std::vector<double> undos, walls;
  guarded([&] { history.undo(host); });  // builds the program once
  guarded([&] { history.redo(host); });
  for (int run = 0; run < 9; ++run) {
    const double cpu = cpuMs();
    walls.push_back(bench::medianMs(1, [&] { guarded([&] { history.undo(host); }); }));
    undos.push_back(cpuMs() - cpu);
    guarded([&] { history.redo(host); });
  }
  std::sort(undos.begin(), undos.end());
  std::sort(walls.begin(), walls.end());
  std::printf("  CPU %.2f ms, wall %.2f ms (medians of %zu)\n", undos[undos.size() / 2], walls[walls.size() / 2],
              undos.size());
  return bench::report("one undo on a game of 10,000 commands", undos[undos.size() / 2], 50.0, "ms") ? 0 : 1;
}
