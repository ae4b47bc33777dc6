// Benchmark of the symbol index on the editor benchmarks' 90,000-line scenario with the standard
// library (games/marvo.lib): building it must take at most 50 ms, and updating it after a one-line
// edit (a replaced, an inserted, a removed line) at most 5 ms, each as the median of repeated runs.
//
// Google Benchmark measures; the verdict is on processor time (the machine may be shared), wall
// time is shown beside it. The process runs on one processor (MARVO_BENCH_CPU, default 0).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "editor_scenario.h"
#include "game/scenario_file.h"
#include "game/symbol_index.h"

namespace {

using marvo::SymbolIndex;
using Source = SymbolIndex::Source;

struct Texts {
  std::vector<std::string> scenario;
  std::vector<std::string> library;
  int label = -1;  // a label line in the middle of the scenario
};
Texts texts;

std::vector<std::string> readLines(const std::filesystem::path& path) {
  auto read = marvo::readScenarioFile(path);
  if (!read.error.empty()) throw std::runtime_error(read.error);
  return std::move(read.lines);
}

void build(benchmark::State& state) {
  std::optional<SymbolIndex> index;
  for (auto _ : state) {
    state.PauseTiming();
    index.reset();
    state.ResumeTiming();
    index.emplace(texts.scenario, texts.library);
  }
  state.counters["definitions"] = static_cast<double>(index->allDefinitions(marvo::SymbolKind::Location).size());
}

// A location renamed and back: its definition leaves one entry and makes another.
void replaceLine(benchmark::State& state) {
  SymbolIndex index(texts.scenario, texts.library);
  const std::string& original = texts.scenario[static_cast<std::size_t>(texts.label)];
  const std::string renamed = original + "x";
  bool flip = false;
  for (auto _ : state) {
    index.replaceLine(Source::Scenario, texts.label, (flip = !flip) ? renamed : original);
  }
}

void insertLine(benchmark::State& state) {
  SymbolIndex index(texts.scenario, texts.library);
  for (auto _ : state) {
    index.insertLine(Source::Scenario, texts.label, "GOTO loc17");
    state.PauseTiming();
    index.removeLine(Source::Scenario, texts.label);
    state.ResumeTiming();
  }
}

void removeLine(benchmark::State& state) {
  SymbolIndex index(texts.scenario, texts.library);
  const std::string& original = texts.scenario[static_cast<std::size_t>(texts.label)];
  for (auto _ : state) {
    index.removeLine(Source::Scenario, texts.label);
    state.PauseTiming();
    index.insertLine(Source::Scenario, texts.label, original);
    state.ResumeTiming();
  }
}

// Prints Google Benchmark's table (without colours: scripts/bench collects it) and keeps the
// medians (CPU and wall time).
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(OO_Tabular) {}
  struct Median {
    double cpu = 0, wall = 0;
  };
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians[run.run_name.function_name] = {run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, Median> medians;
};

}  // namespace

int main(int argc, char** argv) {
  const int cpu = marvo::bench::pinToBenchProcessor();
  char pattern[] = "/tmp/marvo-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::filesystem::path dir = pattern;
  try {
    texts.scenario = readLines(marvo::bench::writeEditorScenario(dir));
    texts.library = readLines(std::filesystem::path(MARVO_SOURCE_DIR) / "games" / "marvo.lib");
  } catch (const std::exception& e) {
    std::printf("error: %s\n", e.what());
    std::filesystem::remove_all(dir);
    return 1;
  }
  std::filesystem::remove_all(dir);
  for (int i = static_cast<int>(texts.scenario.size()) / 2; i < static_cast<int>(texts.scenario.size()); ++i)
    if (texts.scenario[static_cast<std::size_t>(i)].starts_with(":")) {
      texts.label = i;
      break;
    }

  benchmark::RegisterBenchmark("build", build)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(15);
  using Body = void (*)(benchmark::State&);
  const std::pair<const char*, Body> edits[] = {
      {"replaceLine", replaceLine}, {"insertLine", insertLine}, {"removeLine", removeLine}};
  for (const auto& [name, body] : edits)
    benchmark::RegisterBenchmark(name, body)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
  benchmark::Initialize(&argc, argv);
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("symbol index: %zu scenario lines, %zu library lines, on processor %d; edits at line %d (\"%s\")\n",
              texts.scenario.size(), texts.library.size(), cpu, texts.label,
              texts.scenario[static_cast<std::size_t>(texts.label)].c_str());
  bool ok = true;
  // The medians are in each benchmark's unit: ms for the build, µs for the edits.
  const auto verdict = [&](const char* name, const char* title, double limit, const char* unit) {
    const auto it = reporter.medians.find(name);
    if (it == reporter.medians.end()) return;  // left out by --benchmark_filter
    ok &= marvo::bench::report(title, it->second.cpu, limit, unit);
    std::printf("  (wall time %.2f %s)\n", it->second.wall, unit);
  };
  verdict("build", "symbol index of a 90,000-line scenario + library (CPU time)", 50, "ms");
  verdict("replaceLine", "symbol index update: one line replaced (CPU time)", 5000, "us");
  verdict("insertLine", "symbol index update: one line inserted (CPU time)", 5000, "us");
  verdict("removeLine", "symbol index update: one line removed (CPU time)", 5000, "us");
  return ok ? 0 : 1;
}
