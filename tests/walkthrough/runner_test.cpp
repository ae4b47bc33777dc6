// The runner: expectations per command, messages, the clock, runaway commands, parallel runs.
#include <gtest/gtest.h>

#include <algorithm>

#include "walkthrough_test.h"

namespace marvo::walk {
namespace {

using test::prepared;
using test::runText;

TEST(Runner, PassingWalkthroughChecksOutputAndState) {
  std::vector<WalkFile> files;
  const auto r = runText(prepared(), files,
                         "Тикают часы.\n? location: start\n"
                         "> ждать\nВы ждёте.\n/Вы ж.(ё|е)те/\n!полдень\n? var счёт = 1\n"
                         "> ждать\n? var счёт = 2\n"
                         "> 1\nСад.\n? location: сад\n");
  ASSERT_EQ(r.tests.size(), 1u);
  EXPECT_TRUE(r.tests[0].passed) << (r.tests[0].failures.empty() ? "" : r.tests[0].failures[0].expected);
  EXPECT_EQ(r.passed, 1);
}

TEST(Runner, BrokenEditFailsAtTheExpectationLineWithTheOutput) {
  auto scenario = test::kClockGame;
  scenario[7] = "!Вы спите.";  // the author changed the reply
  std::vector<WalkFile> files;
  const auto r = runText(prepared(scenario), files, "* ждём\n> ждать\nВы ждёте.\n? var счёт = 2\n");
  ASSERT_EQ(r.failed, 1);
  const auto& f = r.tests[0].failures;
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].line, 3);
  EXPECT_EQ(f[0].expected, "Вы ждёте.");
  EXPECT_EQ(f[0].command, "ждать");
  EXPECT_EQ(f[0].got, (std::vector<std::string>{">ждать", "Вы спите."}));
  EXPECT_EQ(f[1].line, 4);
  EXPECT_EQ(f[1].got, (std::vector<std::string>{"счёт = 1"}));
  EXPECT_EQ(r.tests[0].name(), "t.walk:1 ждём");
}

TEST(Runner, EngineMessagesFailUnlessExpected) {
  const std::vector<std::string> scenario = {":a", "@Место.%", "IF 1=2", "TALK 1", "!x", "REDO", "READ"};
  std::vector<WalkFile> files;
  const auto r = runText(prepared(scenario), files,
                         "* без проверки\n"
                         "* с проверкой\n? message: Не найден Endif\n");
  ASSERT_EQ(r.tests.size(), 2u);
  EXPECT_FALSE(r.tests[0].passed);
  ASSERT_FALSE(r.tests[0].failures.empty());
  EXPECT_EQ(r.tests[0].failures[0].line, 1);
  EXPECT_EQ(r.tests[0].failures[0].expected, "(без сообщений движка)");
  EXPECT_TRUE(r.tests[1].passed);
}

TEST(Runner, ClockTicksDriveTimedEventsAndEveryTestStartsAtZero) {
  std::vector<WalkFile> files;
  const auto r = runText(prepared(), files,
                         "* поздно\n+ clock 299\n> ждать\n!полдень\n+ clock 1\n>\nЧасы пробили полдень.\n"
                         "? var time = 300\n"
                         "* заново\n>\n!полдень\n? var time = 0\n");
  EXPECT_EQ(r.passed, 2);
}

TEST(Runner, RunawayCommandAndFaultyTestFailAloneOthersRun) {
  const std::vector<std::string> scenario = {":a",   "@Место.%", "TALK петля", ":b",    "GOTO b",
                                             "REDO", "READ",     ":common",    "RETURN"};
  std::vector<WalkFile> files;
  RunOptions options;
  options.lineBudget = 10000;
  const auto r =
      runText(prepared(scenario), files, "* петля\n> петля\n* мусор\n? nonsense\n* хороший\nМесто.\n", options);
  ASSERT_EQ(r.tests.size(), 3u);
  EXPECT_FALSE(r.tests[0].passed);
  ASSERT_EQ(r.tests[0].failures.size(), 1u);
  EXPECT_EQ(r.tests[0].failures[0].line, 2);
  const auto& got = r.tests[0].failures[0].got;
  ASSERT_EQ(got.size(), 3u);
  EXPECT_NE(got[1].find("зациклился"), std::string::npos);
  EXPECT_EQ(got[2].rfind("  (Строка 4 сценария: :b)", 0), 0u);  // where the loop was stopped
  EXPECT_FALSE(r.tests[1].passed);
  EXPECT_TRUE(r.tests[1].failures[0].fault);
  EXPECT_TRUE(r.tests[2].passed);
}

// A READ in the common section loops, printing a line per turn: the runaway guard's message comes
// after thousands of output lines and must still fail the step, unless that very message is expected.
TEST(Runner, RunawayAfterAFloodOfOutputFailsUnlessThatMessageIsExpected) {
  const std::vector<std::string> scenario = {":a", "@Место.%", "READ", ":common", "!Огни парохода.", "READ"};
  std::vector<WalkFile> files;
  RunOptions options;
  options.lineBudget = 100000;
  const auto r = runText(prepared(scenario), files,
                         "* не ждёт\nМесто.\n"
                         "* ждёт другое\n? message: Не найден Endif\n"
                         "* ждёт это\n? message: Сценарий зациклился\n",
                         options);
  ASSERT_EQ(r.tests.size(), 3u);
  ASSERT_EQ(r.tests[0].failures.size(), 1u);
  EXPECT_EQ(r.tests[0].failures[0].expected, "(без сообщений движка)");
  const auto& got = r.tests[0].failures[0].got;
  EXPECT_LT(got.size(), 30u);  // the flood is cut short, the message is kept
  EXPECT_TRUE(
      std::any_of(got.begin(), got.end(), [](const std::string& g) { return g.starts_with("[Сценарий зациклился"); }));
  ASSERT_EQ(r.tests[1].failures.size(), 2u);
  EXPECT_EQ(r.tests[1].failures[1].expected, "(без других сообщений движка)");
  EXPECT_TRUE(r.tests[2].passed);
}

// The index error that follows a message belongs to it; on its own it must be expected too.
TEST(Runner, IndexErrorAfterAnExpectedMessageNeedsNoExpectationOfItsOwn) {
  const std::vector<std::string> scenario = {":a", "@Место.%", "TALK выйти", "GOTO улица", "REDO", "READ"};
  std::vector<WalkFile> files;
  const auto r = runText(prepared(scenario), files,
                         "* ждёт\n> выйти\n? message: Нет метки для перехода!\n"
                         "* не ждёт\n> выйти\n");
  EXPECT_TRUE(r.tests.at(0).passed);
  EXPECT_FALSE(r.tests.at(1).passed);
  ASSERT_EQ(r.tests.at(0).steps.at(1).seen.back().kind, Seen::Kind::Error);
}

TEST(Runner, IndexErrorIsSeenAsAMessage) {
  std::vector<WalkFile> files;
  const auto r = runText(prepared({":a", "btn без скобок"}), files, "? message: List index\n");
  EXPECT_TRUE(r.tests.at(0).passed);
}

TEST(Runner, ParallelRunGivesTheSameResultsAsOneThread) {
  std::string walk;
  for (int i = 0; i < 40; ++i)
    walk += "* t" + std::to_string(i) + "\n> ждать\n? var счёт = 1\n" + (i % 3 ? "" : "> ждать\nнеправда\n");
  std::vector<WalkFile> a, b;
  RunOptions one;
  one.threads = 1;
  RunOptions many;
  many.threads = 4;
  many.coverage = one.coverage = true;
  const auto game = prepared();
  const auto r1 = runText(game, a, walk, one);
  const auto r4 = runText(game, b, walk, many);
  EXPECT_EQ(r1.failed, 14);
  EXPECT_EQ(r4.failed, r1.failed);
  EXPECT_EQ(r4.executed, r1.executed);
  for (std::size_t i = 0; i < r1.tests.size(); ++i) EXPECT_EQ(r1.tests[i].passed, r4.tests[i].passed);
}

}  // namespace
}  // namespace marvo::walk
