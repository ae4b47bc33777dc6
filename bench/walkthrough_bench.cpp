// Walkthrough benchmark: 100 walkthroughs of 200 commands against a 5,000-line scenario, with and
// without coverage.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "bench_util.h"
#include "engine/codec.h"
#include "game/scenario_file.h"
#include "walkthrough/coverage.h"
#include "walkthrough/recording.h"
#include "walkthrough/runner.h"

namespace {

constexpr int kLocations = 265;
constexpr int kWalks = 100;
constexpr int kCommands = 200;

std::string n(int i) { return std::to_string(i); }

// A ring of rooms with menus, talk blocks, counters and conditions (UTF-8).
std::vector<std::string> scenario() {
  std::vector<std::string> s = {
      "* Тестовый лабиринт", "CREATE ключ", "ключ_Расположение=loc0", "VIP сила", "сила=5", ""};
  for (int i = 0; i < kLocations; ++i) {
    const std::string loc = "loc" + n(i);
    for (const std::string& line : std::vector<std::string>{
             ":" + loc, "@Комната " + n(i) + ". Здесь тихо, только скрипит пол.%",
             "btn [Вперёд] loc" + n((i + 1) % kLocations), "btn [Назад] loc" + n((i + kLocations - 1) % kLocations),
             "btn [Прыжок] loc" + n((i * 7 + 3) % kLocations), "IF v" + n(i) + ">2", "!Вы бывали здесь уже много раз.",
             "ENDIF", "v" + n(i) + "=v" + n(i) + "+1", "TALK осмотреться/оглядеться",
             "!Комната номер " + n(i) + ", посещений: %v" + n(i) + "%.", "REDO", "TALK постучать/стук", "!Тук-тук.",
             "стуки=стуки+1", "REDO", "READ", "* - - -", ""})
      s.push_back(line);
  }
  s.push_back(":common");
  s.push_back("RETURN");
  return s;
}

std::vector<std::string> commands(unsigned seed) {
  static const char* choices[] = {"1", "2", "3", "1", "осмотреться", "постучать", "взять ключ", "инвентарь", ""};
  std::vector<std::string> out;
  for (int i = 0; i < kCommands; ++i) {
    seed = seed * 1103515245u + 12345u;
    out.push_back(marvo::utf8ToCp1251(choices[(seed >> 16) % 9]));
  }
  return out;
}

}  // namespace

int main() {
  using namespace marvo;
  std::vector<std::string> source;
  for (const auto& l : scenario()) source.push_back(utf8ToCp1251(l));
  auto lib = readScenarioFile(std::string(MARVO_SOURCE_DIR) + "/games/marvo.lib");
  std::printf("scenario: %zu lines, library: %zu lines\n", source.size(), lib.lines.size());

  // The walkthroughs expect what a first run printed, so every test passes and checks its output.
  const auto recordingGame = walk::prepareGame(source, lib.lines);
  std::vector<std::string> texts;
  for (int i = 0; i < kWalks; ++i)
    texts.push_back(walk::recordWalkthrough(recordingGame, commands(static_cast<unsigned>(i) + 1), "w" + n(i)));

  auto runAll = [&](bool coverage) {
    const auto game = walk::prepareGame(source, lib.lines);
    std::vector<walk::WalkFile> files;
    for (int i = 0; i < kWalks; ++i) files.push_back(walk::parseWalkFile(texts[static_cast<std::size_t>(i)], "w.walk"));
    walk::RunOptions options;
    options.coverage = coverage;
    const auto result = walk::runWalkthroughs(game, files, options);
    if (result.failed) std::printf("unexpected: %d tests failed\n", result.failed);
    if (coverage) walk::computeCoverage(game, result.executed);
  };
  const std::clock_t cpuStart = std::clock();
  const double plain = bench::medianMs(5, [&] { runAll(false); });
  // Processor time of all threads: the figure that does not depend on what else the machine runs.
  const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC / 5;
  std::printf("walkthroughs: processor time per run (all threads)              %12.2f ms\n", cpuMs);
  const double covered = bench::medianMs(5, [&] { runAll(true); });
  bool ok = bench::report("walkthroughs: 100 x 200 commands, 5,000-line scenario", plain, 2000, "ms");
  ok = bench::report("walkthroughs with coverage (time, % of the plain run)", covered * 100 / plain, 120, "%") && ok;
  return ok ? 0 : 1;
}
