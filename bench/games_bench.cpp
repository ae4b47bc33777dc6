// Benchmarks of the shipped games: game start of the parser game with the real standard library,
// and its whole walkthrough replayed (every turn runs the library in the common location).
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "engine/codec.h"
#include "engine/engine.h"
#include "engine/file_io.h"
#include "game/game.h"
#include "game/scenario_file.h"

using namespace marvo;
using Lines = std::vector<std::string>;

namespace {

class QuietHost : public EngineHost {
 public:
  void clearOutput() override {}
  void appendOutput(std::string_view) override { ++lines; }
  void showMessage(std::string_view) override { ++messages; }
  int lines = 0, messages = 0;
};

}  // namespace

int main() {
  const std::string games = std::string(MARVO_SOURCE_DIR) + "/games/";
  const ScenarioRead scenario = readScenarioFile(games + "mayak.scn");
  const FileRead library = readWholeFile(games + "marvo.lib");
  const FileRead walk = readWholeFile(games + "mayak.walk");
  if (!scenario.error.empty() || !library.error.empty() || !walk.error.empty()) {
    std::printf("cannot read the game: %s%s%s\n", scenario.error.c_str(), library.error.c_str(), walk.error.c_str());
    return 1;
  }
  const Lines lib = splitLines(library.bytes, true);
  Lines commands;
  for (const auto& line : splitLines(walk.bytes, true)) {
    if (line.starts_with(">")) commands.push_back(utf8ToCp1251(line.size() > 2 ? line.substr(2) : ""));
  }
  std::printf("  %zu scenario lines, %zu library lines, %zu commands\n", scenario.lines.size(), lib.size(),
              commands.size());
  bool ok = lib.size() <= 200;  // the game-start benchmark of bench_engine assumes a library of 200 lines
  if (!ok) std::printf("  the library has grown past 200 lines\n");

  Engine engine;
  Game game(engine);
  QuietHost host;
  // Writing tmp.scn (flushed to disk) costs what the disk costs; it is measured apart.
  const double start = bench::medianMs(21, [&] { game.begin(scenario.lines, lib, host); });
  ok &= bench::report("game start, Маяк + standard library", start, 2.0, "ms");
  const double withCopy = bench::medianMs(9, [&] { game.begin(scenario.lines, lib, host, "bench_tmp.scn"); });
  std::remove("bench_tmp.scn");
  ok &= bench::report("game start, Маяк + standard library, tmp.scn included", withCopy, 200.0, "ms");
  const double whole = bench::medianMs(9, [&] {
    game.begin(scenario.lines, lib, host);
    game.replay(commands, host);
  });
  std::printf("  %d output lines, %d messages\n", host.lines, host.messages);
  ok &= bench::report("Маяк walkthrough replayed, per command", (whole - start) / static_cast<double>(commands.size()),
                      1.0, "ms");
  return ok ? 0 : 1;
}
