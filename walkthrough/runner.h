// Runs walkthrough tests against a prepared scenario, in parallel, and checks every expectation.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "prepared_game.h"
#include "walk_file.h"

namespace marvo::walk {

// One thing a command printed, in order. Texts are Windows-1251.
struct Seen {
  enum class Kind { Out, Message, Error };
  Kind kind = Kind::Out;
  std::string text;
  std::string place;  // messages and errors: the scenario or library line they arose at, if known

  // Equal output: the kind and the text (the place moves with every edit of the scenario).
  friend bool operator==(const Seen& a, const Seen& b) { return a.kind == b.kind && a.text == b.text; }
};

struct StepOutput {
  std::vector<Seen> seen;
  std::size_t dropped = 0;          // output lines beyond the kept maximum (a command that floods the output)
  std::size_t droppedMessages = 0;  // messages and errors beyond their own kept maximum
};

// A failed expectation (or a faulty line of the walkthrough, `fault` set). Texts are UTF-8.
struct Failure {
  int line = 0;
  bool fault = false;
  std::string command;           // the command the expectation belongs to ("" for game start)
  std::string expected;          // the directive as written, or the fault's reason
  std::vector<std::string> got;  // what was seen instead
};

struct TestOutcome {
  const WalkFile* file = nullptr;
  const WalkTest* test = nullptr;  // null for a file that could not be read
  bool passed = false;
  std::vector<Failure> failures;
  std::vector<StepOutput> steps;  // one per step that ran
  std::string name() const;       // "FILE:LINE" and the title
};

struct RunOptions {
  unsigned threads = 0;  // 0: one per core
  bool coverage = false;
  std::uint64_t lineBudget = 5'000'000;  // lines one command may run before it counts as runaway
  bool stopAtFirstFailure = false;       // a test stops after the first step that failed
  // Called after every test from a worker thread, with the tests done and the total.
  std::function<void(std::size_t done, std::size_t total)> progress;
  const std::atomic<bool>* cancel = nullptr;  // tests not yet started are skipped once set
};

struct RunResult {
  std::vector<TestOutcome> tests;      // in file order, then test order
  std::vector<std::uint8_t> executed;  // per program line, with coverage
  int passed = 0;
  int failed = 0;
};

// Every test starts the game afresh from the prepared program (clock at 0). Never throws for a
// faulty walkthrough or game; each test's failures stand on their own.
RunResult runWalkthroughs(const PreparedGame& game, const std::vector<WalkFile>& files, const RunOptions& options = {});

// The messages and errors of a step that no "? message:" of the step accounts for, in order. A
// message is expected when it contains the text of one of them; the index error right after an
// expected message (the program counter the message left past the end) belongs to that message.
// Messages beyond the kept maximum are never expected.
std::vector<const Seen*> unexpectedMessages(const Step& step, const StepOutput& output);

// What a command printed, as "got:" shows it (UTF-8; messages and errors in brackets, followed
// by the line they arose at).
std::vector<std::string> renderOutput(const StepOutput& output);

}  // namespace marvo::walk
