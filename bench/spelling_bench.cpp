// Benchmark of the spelling check: the dictionaries (hunspell-ru and hunspell-en-us) take at most
// 60 MB of memory (resident size before and after loading); the editor benchmarks' 90,000-line
// scenario is checked in full in at most 2 s with a cold word cache, and so is a 90,000-line text
// made of the shipped game's lines (a real vocabulary); one edited line holding a word not seen
// before is checked again in at most 2 ms. Medians of repeated runs, on one processor
// (MARVO_BENCH_CPU, default 0).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "editor_scenario.h"
#include "engine/codec.h"
#include "engine/text.h"
#include "game/scenario_file.h"
#include "spelling/speller.h"

namespace {

using namespace marvo::literals;
using marvo::spelling::Dictionaries;
using marvo::spelling::Speller;

double residentMb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
  auto read = marvo::readScenarioFile(path);
  if (!read.error.empty()) throw std::runtime_error(read.error);
  return std::move(read.lines);
}

// A made-up Cyrillic word for a number: a new word for every edit, so the cache never knows it.
std::string freshWord(int n) {
  std::string word = std::string("тих"_w);
  do {
    word += static_cast<char>(0xE0 + n % 32);
    n /= 32;
  } while (n > 0);
  return word;
}

}  // namespace

int main() {
  const int cpu = marvo::bench::pinToBenchProcessor();

  const double before = residentMb();
  const auto dictionaries = Dictionaries::load();
  const double after = residentMb();
  if (!dictionaries->available()) {
    std::printf("bench: %s\n", dictionaries->note().c_str());
    return 1;
  }
  const double loadMs = marvo::bench::medianMs(3, [] { Dictionaries::load(); });

  char pattern[] = "/tmp/marvo-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::filesystem::path dir = pattern;
  std::vector<std::string> scenario, games;
  try {
    scenario = readLines(marvo::bench::writeEditorScenario(dir));
    const auto mayak = readLines(std::filesystem::path(MARVO_SOURCE_DIR) / "games" / "mayak.scn");
    while (games.size() < scenario.size())
      for (const auto& line : mayak)
        if (games.size() < scenario.size()) games.push_back(line);
  } catch (const std::exception& e) {
    std::printf("error: %s\n", e.what());
    std::filesystem::remove_all(dir);
    return 1;
  }
  std::filesystem::remove_all(dir);

  // A whole text with a new Speller each run: every word goes to the dictionary once.
  std::size_t found = 0;
  const auto wholeText = [&](const std::vector<std::string>& lines) {
    return marvo::bench::medianMs(7, [&] {
      Speller speller(dictionaries);
      found = 0;
      for (const auto& line : marvo::spelling::checkText(speller, lines).lines) found += line.size();
    });
  };
  const double editorMs = wholeText(scenario);
  const std::size_t editorFound = found;
  const double gamesMs = wholeText(games);
  const std::size_t gamesFound = found;

  // One edited line: a text line of the scenario with a word the check has not seen.
  Speller speller(dictionaries);
  marvo::spelling::SpellingResults results;
  results.assign(marvo::spelling::checkText(speller, scenario));
  int edit = 0;
  std::size_t line = scenario.size() / 2;
  while (line < scenario.size() && !scenario[line].starts_with("!")) ++line;
  const double lineMs = marvo::bench::medianMs(
      501, [&] { results.replaceLine(speller, static_cast<int>(line), scenario[line] + " " + freshWord(++edit)); });

  // Suggestions for a new typo each time (what a context menu asks for): a figure, no limit.
  int typo = 0;
  const char* typos[] = {"сундку", "смотритль", "лестинца", "кладбишще", "пароходд", "карусль", "спчки"};
  const double suggestMs = marvo::bench::medianMs(7, [&] {
    Speller fresh(dictionaries);
    fresh.suggest(marvo::utf8ToCp1251(typos[typo++ % 7]));
  });

  std::printf(
      "spelling: %zu lines; %zu unknown words in the editor scenario, %zu in the games' text; on processor %d\n",
      scenario.size(), editorFound, gamesFound, cpu);
  std::printf("  dictionaries loaded in %.0f ms (median of 3); suggestions for a new typo in %.0f ms (median of 7)\n",
              loadMs, suggestMs);
  bool ok = true;
  ok &= marvo::bench::report("spelling: memory of the dictionaries (resident, MB)", after - before, 60, "MB");
  ok &= marvo::bench::report("spelling: 90,000-line editor scenario checked", editorMs, 2000, "ms");
  ok &= marvo::bench::report("spelling: 90,000 lines of the shipped game checked", gamesMs, 2000, "ms");
  ok &= marvo::bench::report("spelling: one edited line checked again (new word)", lineMs * 1000, 2000, "us");
  return ok ? 0 : 1;
}
