// The mutation harness: mistakes planted in the shipped games and the library, each judged by the
// games' walkthroughs (does it break play?) and by the checker (is it reported, on its line, as an error?).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "mutants.h"
#include "walkthrough/walk_file.h"

namespace marvo::mutation {

struct GameUnderTest {
  std::string name;                   // the scenario's path as reports show it ("games/mayak.scn")
  std::vector<std::string> scenario;  // Windows-1251
  std::vector<walk::WalkFile> walks;  // every walkthrough of the game
};

struct Corpus {
  std::string libraryName;
  std::vector<std::string> library;
  std::vector<GameUnderTest> games;  // every game plays with the library
};

// games/NAME.scn with games/NAME.walk and tests/games/NAME*.walk, and tests/library/NAME.scn with
// tests/library/NAME.walk, all with games/marvo.lib. Throws std::runtime_error naming a file that
// cannot be read.
Corpus loadCorpus(const std::filesystem::path& sourceDir);

// A mutant and where it is planted: in the library (game -1) or in one game's scenario.
struct Planted {
  int game = -1;
  Mutant mutant;
};

// Every mutant of `kind` in the library and in each game.
std::vector<Planted> plantable(const Corpus& corpus, Kind kind, std::uint64_t seed);

struct Verdict {
  bool breaks = false;     // a walkthrough of a game that holds the mutant fails
  bool reported = false;   // the checker reports something
  bool rightLine = false;  // ...on a line of the mistake
  bool asError = false;    // ...as an error (check ends with exit status 1)
  bool crashed = false;    // the walkthrough runner or the checker threw
};

// Plays the walkthroughs of every game that holds the mutant and checks those games.
Verdict judge(const Corpus& corpus, const Planted& planted);

struct Figures {
  int mutants = 0;
  int breaking = 0;  // break a walkthrough
  int reported = 0;  // of all
  int breakingReported = 0;
  int breakingRightLine = 0;
  int breakingErrors = 0;
  int silentHarmless = 0;  // neither break a walkthrough nor are reported
  int crashed = 0;
  void add(const Verdict& v);
};

struct Outcome {
  std::array<Figures, kKindCount> perKind{};
  Figures total;
  // Mutants that break a walkthrough and are not reported as errors on their line.
  std::vector<std::pair<Planted, Verdict>> missed;
  // Mutants the checker says nothing about (whether or not they break a walkthrough).
  std::vector<Planted> unreported;
  double medianMs = 0;  // wall time of judging one mutant (walkthroughs and checker), median
};

// Judges every mutant, on `threads` threads; the figures do not depend on their number.
Outcome judgeAll(const Corpus& corpus, const std::vector<Planted>& mutants, unsigned threads);

// What is wrong with the unmutated games: walkthrough failures and every diagnostic of the checker
// (UTF-8 lines "FILE:LINE: ..."). Must be empty for the figures to mean anything.
std::vector<std::string> falseAlarms(const Corpus& corpus);

// 100 * part / whole; 100 when there is no whole.
double percent(int part, int whole);

// The table of figures per kind and the totals (UTF-8).
std::string report(const Outcome& outcome);

// "FILE:LINE [kind] new text (was: old text)" for one mutant (UTF-8).
std::string describe(const Corpus& corpus, const Planted& planted);

}  // namespace marvo::mutation
