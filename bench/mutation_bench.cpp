// The full mutation run: every mutant of every kind in the shipped games and the library, judged by
// the walkthroughs and the checker; prints the figures per kind and the false alarms on the
// unmutated games (which must be none).
//   bench_mutation [--kind NAME] [--seed N] [--threads N] [--list] [--unreported]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/mutation/harness.h"

int main(int argc, char** argv) {
  using namespace marvo::mutation;
  std::string only;
  std::uint64_t seed = 22;
  unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  bool list = false;
  bool unreported = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--list") {
      list = true;
    } else if (a == "--unreported") {
      unreported = true;
    } else if (i + 1 < argc && a == "--kind") {
      only = argv[++i];
    } else if (i + 1 < argc && a == "--seed") {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (i + 1 < argc && a == "--threads") {
      threads = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else {
      std::fprintf(stderr, "usage: bench_mutation [--kind NAME] [--seed N] [--threads N] [--list] [--unreported]\n");
      return 2;
    }
  }
  const Corpus corpus = loadCorpus(MARVO_SOURCE_DIR);
  std::printf("library %s (%zu lines)", corpus.libraryName.c_str(), corpus.library.size());
  for (const auto& g : corpus.games)
    std::printf(", %s (%zu lines, %zu walkthroughs)", g.name.c_str(), g.scenario.size(), g.walks.size());
  std::printf("\n");

  const auto alarms = falseAlarms(corpus);
  std::printf("false alarms on the unmutated games: %zu\n", alarms.size());
  for (const auto& a : alarms) std::printf("  %s\n", a.c_str());

  std::vector<Planted> mutants;
  for (std::size_t k = 0; k < kKindCount; ++k) {
    const Kind kind = static_cast<Kind>(k);
    if (!only.empty() && kindName(kind) != only) continue;
    for (auto& p : plantable(corpus, kind, seed)) mutants.push_back(std::move(p));
  }
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = judgeAll(corpus, mutants, threads);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fputs(report(outcome).c_str(), stdout);
  std::printf(
      "%zu mutants judged in %.1f s on %u threads; one mutant (its walkthroughs and the checker): median %.2f ms\n",
      mutants.size(), seconds, threads, outcome.medianMs);
  std::printf(
      "the issue's aim: of mutants that break a walkthrough >= 95%% reported, >= 95%% on the right line, "
      ">= 90%% as errors; of all mutants >= 90%% reported; no false alarm\n");
  if (list) {
    std::printf("mutants that break a walkthrough and are not reported as errors on their line:\n");
    for (const auto& [p, v] : outcome.missed)
      std::printf("  %s  -- %s\n", describe(corpus, p).c_str(),
                  !v.reported    ? "not reported"
                  : !v.rightLine ? "reported elsewhere"
                                 : "warning only");
  }
  if (unreported) {
    std::printf("mutants the checker says nothing about:\n");
    for (const auto& p : outcome.unreported) std::printf("  %s\n", describe(corpus, p).c_str());
  }
  return alarms.empty() && outcome.total.crashed == 0 ? 0 : 1;
}
