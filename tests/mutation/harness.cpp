// The mutation harness: walkthroughs as the oracle, the checker as the subject, in process.
#include "harness.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "checker/checker.h"
#include "engine/codec.h"
#include "game/scenario_file.h"
#include "walkthrough/prepared_game.h"
#include "walkthrough/runner.h"

namespace marvo::mutation {

namespace fs = std::filesystem;

namespace {

// A turn of a shipped game runs a few thousand lines; a mutant that loops is stopped far sooner
// than the walkthrough default, so a runaway costs milliseconds.
constexpr std::uint64_t kLineBudget = 1'000'000;

std::vector<std::string> readText(const fs::path& path) {
  auto read = readScenarioFile(path);
  if (!read.error.empty()) throw std::runtime_error(read.error);
  return std::move(read.lines);
}

walk::WalkFile readWalk(const fs::path& path, const fs::path& root) {
  auto f = walk::readWalkFile(path);
  if (!f.errors.empty()) throw std::runtime_error(path.string() + ": " + f.errors[0].text);
  f.path = fs::relative(path, root).generic_string();
  return f;
}

std::vector<fs::path> filesIn(const fs::path& dir, std::string_view extension) {
  std::vector<fs::path> out;
  if (!fs::is_directory(dir)) return out;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file() && e.path().extension() == extension) out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

// Plays the game's walkthroughs; true when one fails.
bool walkthroughsFail(const GameUnderTest& game, std::vector<std::string> scenario, std::vector<std::string> library,
                      std::string* firstFailure = nullptr) {
  const auto prepared = walk::prepareGame(std::move(scenario), std::move(library));
  walk::RunOptions options;
  options.threads = 1;
  options.lineBudget = kLineBudget;
  options.stopAtFirstFailure = !firstFailure;
  const auto result = walk::runWalkthroughs(prepared, game.walks, options);
  if (firstFailure) {
    for (const auto& t : result.tests)
      for (const auto& f : t.failures) {
        *firstFailure += walk::where(*t.file, f.line) + ": expected " + f.expected + "\n";
        for (const auto& g : f.got) *firstFailure += "    " + g + "\n";
      }
  }
  return result.failed > 0;
}

std::vector<check::Diagnostic> diagnostics(const Corpus& corpus, std::vector<std::string> scenario,
                                           std::vector<std::string> library) {
  check::CheckInput input;
  input.scenario = std::move(scenario);
  input.library = std::move(library);
  input.libraryName = corpus.libraryName;
  return check::checkScenario(input);
}

}  // namespace

Corpus loadCorpus(const fs::path& sourceDir) {
  Corpus c;
  c.libraryName = "games/marvo.lib";
  c.library = readText(sourceDir / c.libraryName);
  auto addGames = [&](const fs::path& dir, const fs::path& more) {
    for (const auto& scn : filesIn(dir, ".scn")) {
      GameUnderTest g;
      g.name = fs::relative(scn, sourceDir).generic_string();
      g.scenario = readText(scn);
      const std::string stem = scn.stem().string();
      for (const auto& w : filesIn(dir, ".walk"))
        if (w.stem() == stem) g.walks.push_back(readWalk(w, sourceDir));
      for (const auto& w : filesIn(more, ".walk"))
        if (w.stem().string().starts_with(stem)) g.walks.push_back(readWalk(w, sourceDir));
      if (!g.walks.empty()) c.games.push_back(std::move(g));
    }
  };
  addGames(sourceDir / "games", sourceDir / "tests/games");
  addGames(sourceDir / "tests/library", {});
  if (c.games.empty()) throw std::runtime_error(sourceDir.string() + ": no game with a walkthrough");
  return c;
}

std::vector<Planted> plantable(const Corpus& corpus, Kind kind, std::uint64_t seed) {
  std::vector<Planted> out;
  // The library is spliced into scenarios, never into itself: "return" in its text is only a word.
  if (kind != Kind::ReturnInText)
    for (auto& m : mutantsOf(kind, corpus.library, seed)) out.push_back({-1, std::move(m)});
  for (std::size_t g = 0; g < corpus.games.size(); ++g)
    for (auto& m : mutantsOf(kind, corpus.games[g].scenario, seed + g + 1))
      out.push_back({static_cast<int>(g), std::move(m)});
  return out;
}

Verdict judge(const Corpus& corpus, const Planted& planted) {
  Verdict v;
  const bool inLibrary = planted.game < 0;
  const auto library = inLibrary ? apply(corpus.library, planted.mutant) : corpus.library;
  try {
    for (std::size_t g = 0; g < corpus.games.size(); ++g) {
      if (!inLibrary && static_cast<int>(g) != planted.game) continue;
      const GameUnderTest& game = corpus.games[g];
      const auto scenario = inLibrary ? game.scenario : apply(game.scenario, planted.mutant);
      if (!v.breaks) v.breaks = walkthroughsFail(game, scenario, library);
      for (const auto& d : diagnostics(corpus, scenario, library)) {
        v.reported = true;
        v.asError |= d.severity == check::Severity::Error;
        const bool sameText = (d.source == check::Source::Library) == inLibrary;
        const auto& lines = planted.mutant.lines;
        v.rightLine |= sameText && std::find(lines.begin(), lines.end(), d.line) != lines.end();
      }
    }
  } catch (const std::exception&) {
    v.crashed = true;
  }
  return v;
}

void Figures::add(const Verdict& v) {
  ++mutants;
  crashed += v.crashed;
  reported += v.reported;
  if (v.breaks) {
    ++breaking;
    breakingReported += v.reported;
    breakingRightLine += v.rightLine;
    breakingErrors += v.asError;
  } else if (!v.reported) {
    ++silentHarmless;
  }
}

Outcome judgeAll(const Corpus& corpus, const std::vector<Planted>& mutants, unsigned threads) {
  std::vector<Verdict> verdicts(mutants.size());
  std::vector<double> ms(mutants.size());
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t i; (i = next++) < mutants.size();) {
      const auto start = std::chrono::steady_clock::now();
      verdicts[i] = judge(corpus, mutants[i]);
      ms[i] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < std::max(1u, threads); ++t) pool.emplace_back(worker);
  worker();
  for (auto& t : pool) t.join();

  Outcome o;
  if (!ms.empty()) {
    std::nth_element(ms.begin(), ms.begin() + static_cast<std::ptrdiff_t>(ms.size() / 2), ms.end());
    o.medianMs = ms[ms.size() / 2];
  }
  for (std::size_t i = 0; i < mutants.size(); ++i) {
    const Verdict& v = verdicts[i];
    o.perKind[static_cast<std::size_t>(mutants[i].mutant.kind)].add(v);
    o.total.add(v);
    if (v.breaks && !(v.asError && v.rightLine)) o.missed.emplace_back(mutants[i], v);
    if (!v.reported) o.unreported.push_back(mutants[i]);
  }
  return o;
}

std::vector<std::string> falseAlarms(const Corpus& corpus) {
  std::vector<std::string> out;
  for (const auto& game : corpus.games) {
    std::string failures;
    if (walkthroughsFail(game, game.scenario, corpus.library, &failures)) out.push_back(failures);
    for (const auto& d : diagnostics(corpus, game.scenario, corpus.library))
      out.push_back(cp1251ToUtf8(
          check::formatDiagnostic(d, d.source == check::Source::Library ? corpus.libraryName : game.name)));
  }
  return out;
}

double percent(int part, int whole) { return whole ? 100.0 * part / whole : 100.0; }

std::string report(const Outcome& o) {
  std::string out;
  char line[256];
  auto row = [&](std::string_view name, const Figures& f) {
    auto rate = [&](int part) {
      static thread_local char buf[16];
      if (!f.breaking) return "    -";
      std::snprintf(buf, sizeof buf, "%4.0f%%", percent(part, f.breaking));
      return static_cast<const char*>(buf);
    };
    std::string cells;
    for (int part : {f.breakingReported, f.breakingRightLine, f.breakingErrors}) cells += std::string(" ") + rate(part);
    std::snprintf(line, sizeof line, "%-20s %7d %7d %7.0f%%   %s %9d %6d\n", std::string(name).c_str(), f.mutants,
                  f.breaking, percent(f.reported, f.mutants), cells.c_str(), f.silentHarmless, f.crashed);
    out += line;
  };
  out += "kind                 mutants  breaks reported   of breaking: reported line error   silent crashed\n";
  for (std::size_t k = 0; k < kKindCount; ++k) row(kindName(static_cast<Kind>(k)), o.perKind[k]);
  row("all", o.total);
  const Figures& t = o.total;
  std::snprintf(line, sizeof line,
                "of %d mutants that break a walkthrough: %.1f%% reported, %.1f%% on the right line, %.1f%% as errors "
                "(exit status 1)\n",
                t.breaking, percent(t.breakingReported, t.breaking), percent(t.breakingRightLine, t.breaking),
                percent(t.breakingErrors, t.breaking));
  out += line;
  std::snprintf(line, sizeof line,
                "of all %d mutants: %.1f%% reported; %d neither break a walkthrough nor are reported; %d crashed\n",
                t.mutants, percent(t.reported, t.mutants), t.silentHarmless, t.crashed);
  out += line;
  return out;
}

std::string describe(const Corpus& corpus, const Planted& p) {
  const auto& text = p.game < 0 ? corpus.library : corpus.games[static_cast<std::size_t>(p.game)].scenario;
  const std::string file = p.game < 0 ? corpus.libraryName : corpus.games[static_cast<std::size_t>(p.game)].name;
  const Edit& e = p.mutant.edits.at(0);
  std::string s = file + ":" + std::to_string(e.line + 1) + " [" + std::string(kindName(p.mutant.kind)) + "] ";
  s += e.text.empty() ? "(deleted)" : cp1251ToUtf8(e.text);
  return s + "  (was: " + cp1251ToUtf8(text.at(e.line)) + ")";
}

}  // namespace marvo::mutation
