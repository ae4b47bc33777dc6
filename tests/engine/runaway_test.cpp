// Runaway scenarios: whatever a run does without waiting for the player, its memory stays bounded
// and it ends in seconds. A process of its own, so that the measured peak is this test's.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include "engine/engine.h"
#include "game/game.h"
#include "support/recording_host.h"

namespace {

using marvo::test::w;

// Keeps only counts and the messages: the output pane of the window keeps 200 lines, not all.
class CountingHost : public marvo::EngineHost {
 public:
  std::size_t outputLines = 0;
  std::vector<std::string> messages;
  void focusInput() override {}
  void clearOutput() override {}
  void appendOutput(std::string_view) override { ++outputLines; }
  void showMessage(std::string_view text) override { messages.push_back(marvo::cp1251ToUtf8(text)); }
  void viewsChanged() override {}
};

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Processor time of this process: other work on a shared machine does not count.
double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
// Sanitizer and debug builds run many times slower: a shorter guard, and no clock.
constexpr bool kTimed = false;
constexpr std::uint64_t kBudget = 2'000'000;
constexpr long kPeakLimitKilobytes = 400 * 1024;  // the address sanitizer's shadow memory and redzones
#else
constexpr bool kTimed = true;
constexpr std::uint64_t kBudget = marvo::Engine::kDefaultLineBudget;
constexpr long kPeakLimitKilobytes = 200 * 1024;
#endif

struct Runaway {
  const char* name;
  std::vector<std::string> scenario;
  bool enterAgain;  // one more Enter runs the location again
};

TEST(Runaway, EveryRunawayRunStaysUnder200MegabytesAnd5Seconds) {
  const std::vector<Runaway> cases = {
      {"text line and jump back", {":a", "!Текст, который печатается снова и снова", "GOTO a"}, true},
      {"menu line between two locations", {":a", "@Меню снова и снова", "GOTO b", ":b", "GOTO a"}, true},
      {"examine in a loop", {"CREATE ключ", "ключ_Описание=Ключ", ":a", "осмотреть ключ", "GOTO a"}, true},
      // Output flows through READ here, so only the guard of executed lines stops it.
      {"common section without RETURN", {":a", "!x", "READ", ":common", "!y"}, false},
  };
  for (const auto& c : cases) {
    marvo::Engine engine;
    engine.setLineBudget(kBudget);
    marvo::Game game(engine);
    CountingHost host;
    const double started = cpuSeconds();
    game.begin(w(c.scenario), {}, host);
    if (c.enterAgain) game.talk("", host);
    const double seconds = cpuSeconds() - started;
    ASSERT_FALSE(host.messages.empty()) << c.name;
    EXPECT_NE(host.messages.back().find("отброшены"), std::string::npos) << c.name;
    EXPECT_TRUE(engine.state().textQueue.empty()) << c.name;
    EXPECT_TRUE(engine.state().menuQueue.empty()) << c.name;
    if (kTimed) {
      EXPECT_LT(seconds, c.enterAgain ? 2 * 5.0 : 5.0) << c.name;
    }
    EXPECT_LT(peakKilobytes(), kPeakLimitKilobytes) << c.name;
  }
}

// Keeps the lines it is given, as the window's pane and the terminal player show them.
class KeepingHost : public CountingHost {
 public:
  std::vector<std::string> lines;
  void appendOutput(std::string_view line) override {
    CountingHost::appendOutput(line);
    lines.emplace_back(line);
  }
};

TEST(Runaway, ALongTurnShowsItsEndAndARunThatNeverStopsIsStoppedByTheGuard) {
  // More text lines than the queue keeps, with a menu line that takes the objects' text early on:
  // the READ shows the menu, no line of objects of its own, and the last kQueueLimit texts.
  const std::string last = std::to_string(marvo::Engine::kQueueLimit * 2 - 1);
  marvo::Engine engine;
  marvo::Game game(engine);
  KeepingHost host;
  game.begin(
      w({":start", "CREATE ключ", "ключ_расположение=count", "@Меню %", "n = 0", ":count", "!Строка [#n]", "!",
         "n = n + 1", "IF n < " + std::to_string(marvo::Engine::kQueueLimit * 2), "JUMP count", "ENDIF", "READ"}),
      {}, host);
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(host.lines.size(), marvo::Engine::kQueueLimit + 1);
  EXPECT_EQ(marvo::cp1251ToUtf8(host.lines.front()).find("Меню "), 0u);
  EXPECT_NE(host.lines.front().find(marvo::utf8ToCp1251("ключ")), std::string::npos);
  EXPECT_EQ(marvo::cp1251ToUtf8(host.lines[1]), "Строка " + std::to_string(marvo::Engine::kQueueLimit));
  EXPECT_EQ(marvo::cp1251ToUtf8(host.lines.back()), "Строка " + last);
  EXPECT_TRUE(engine.state().textQueue.empty());

  // The guard of executed lines ends a run that never stops and drops what was queued.
  marvo::Engine guarded;
  guarded.setLineBudget(1000);
  marvo::Game second(guarded);
  CountingHost other;
  second.begin(w({":a", "!раз", "GOTO a"}), {}, other);
  ASSERT_EQ(other.messages.size(), 1u);
  EXPECT_NE(other.messages[0].find("зациклился"), std::string::npos);
  EXPECT_NE(other.messages[0].find("(333)"), std::string::npos);
  EXPECT_EQ(other.outputLines, 0u);
  EXPECT_TRUE(guarded.state().textQueue.empty());
}

}  // namespace
