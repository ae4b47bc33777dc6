// Recording, blessing and coverage.
#include <gtest/gtest.h>

#include "walkthrough/coverage.h"
#include "walkthrough/recording.h"
#include "walkthrough_test.h"

namespace marvo::walk {
namespace {

using test::prepared;
using test::runText;
using test::w;

TEST(Recording, RecordedWalkthroughPassesAndSkipsTheEcho) {
  const auto game = prepared();
  const std::string text = recordWalkthrough(game, {w("ждать"), w("1"), w("что-то")}, "запись");
  EXPECT_EQ(text,
            "* запись\nКомната. Тикают часы.\n1. Выйти в сад\n"
            "> ждать\nВы ждёте.\n"
            "> 1\nСад.\n1. Вернуться\n"
            "> что-то\nэто невозможно\n");
  std::vector<WalkFile> files;
  EXPECT_EQ(runText(game, files, text).passed, 1);
}

TEST(Recording, BlessRewritesFailingTestsKeepingCommentsAndChecks) {
  const std::string walk =
      "# мой комментарий\n"
      "* старый\n"
      "> ждать\n"
      "Вы ждали.\n"
      "!ждёте\n"
      "/ждал/\n"
      "? var счёт = 1\n"
      "> 1\n"
      "+ clock 2\n"
      "* верный\n"
      "> ждать\n"
      "Вы ждёте.\n";
  const auto game = prepared();
  std::vector<WalkFile> files;
  const auto r = runText(game, files, walk);
  ASSERT_EQ(r.failed, 1);
  bool changed = false;
  const std::string blessed = blessedText(files[0], r.tests, changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(blessed,
            "# мой комментарий\n* старый\n"
            "> ждать\nВы ждёте.\n? var счёт = 1\n"
            "> 1\n+ clock 2\n"
            "* верный\n> ждать\nВы ждёте.\n");
  std::vector<WalkFile> again;
  EXPECT_EQ(runText(game, again, blessed).failed, 0);
  bool unchanged = true;
  blessedText(again[0], runWalkthroughs(game, again).tests, unchanged);
  EXPECT_FALSE(unchanged);
}

// A changed line is rewritten where it stands; the author's trimmed expectations that still hold
// stay, and steps that passed are not filled in with everything they printed.
TEST(Recording, BlessKeepsTrimmedExpectationsThatStillHold) {
  const auto game = prepared({":a", "@Место.%", "TALK ждать", "!Раз.", "!Два стало.", "!Три.", "!Четыре.", "REDO",
                              "TALK идти", "!Куда?", "REDO", "READ"});
  const std::string walk =
      "* правка\n> ждать\nРаз.\nДва было.\nЧетыре.\n> идти\n> ждать\nТри.\n"
      "* одна строка\n> ждать\nДва было.\n"
      "* без общих слов\n> ждать\nРаз.\nПять.\n";
  std::vector<WalkFile> files;
  const auto r = runText(game, files, walk);
  ASSERT_EQ(r.failed, 3);
  bool changed = false;
  const std::string blessed = blessedText(files[0], r.tests, changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(blessed,
            "* правка\n> ждать\nРаз.\nДва стало.\nЧетыре.\n> идти\n> ждать\nТри.\n"
            "* одна строка\n> ждать\nДва стало.\n"
            "* без общих слов\n> ждать\nРаз.\nДва стало.\nТри.\nЧетыре.\n");
  std::vector<WalkFile> again;
  EXPECT_EQ(runText(game, again, blessed).failed, 0) << blessed;
}

// Messages are recorded and blessed so that the test passes again, and keeps passing when the
// program grows: the index error right after a message is left to it, one on its own loses its number.
TEST(Recording, MessagesAreRecordedAndBlessedAsTheRunnerExpectsThem) {
  const auto game = prepared(
      {":a", "@Место.%", "TALK выйти", "GOTO улица", "REDO", "TALK ждать", "!Итог: [#нет]", "IF 1=2", "REDO", "READ"});
  const std::string text = recordWalkthrough(game, {w("выйти")});
  EXPECT_EQ(text, "Место.\n> выйти\n? message: Нет метки для перехода!\n");
  std::vector<WalkFile> files;
  EXPECT_EQ(runText(game, files, text).passed, 1);

  const auto broken = prepared({":a", "btn без скобок"});
  EXPECT_EQ(recordWalkthrough(broken, {}), "? message: List index out of bounds\n");

  // A step that expects one message gets the other one added by bless, not a second copy.
  std::vector<WalkFile> expecting;
  const auto r = runText(game, expecting, "> ждать\n? message: Не найден Endif\n");
  ASSERT_EQ(r.failed, 1);
  bool changed = false;
  const std::string blessed = blessedText(expecting[0], r.tests, changed);
  std::vector<WalkFile> again;
  EXPECT_EQ(runText(game, again, blessed).passed, 1) << blessed;
  EXPECT_EQ(blessed.find("Не найден Endif"), blessed.rfind("Не найден Endif")) << blessed;
}

TEST(Coverage, ReportsWhatNoWalkthroughReached) {
  const auto game = prepared();
  RunOptions options;
  options.coverage = true;
  std::vector<WalkFile> files;
  const auto r = runText(game, files, "> 1\n", options);
  const Coverage c = computeCoverage(game, r.executed);
  std::vector<std::string> missed;
  for (const auto& m : c.missed) missed.push_back(std::to_string(m.line) + " " + test::u(m.text));
  EXPECT_EQ(missed,
            (std::vector<std::string>{"5 !Часы пробили полдень.", "7 TALK ждать", "8 !Вы ждёте.", "9 счёт=счёт+1",
                                      "10 REDO", "11 TALK сломать", "12 !Не выходит.", "13 REDO",
                                      "17 btn [Вернуться] start", "19 :тайник", "20 !Сюда не попасть.", "21 READ"}));
  EXPECT_EQ(c.locations.reached, 3);
  EXPECT_EQ(c.locations.total, 4);
  EXPECT_EQ(c.talks.total, 2);
  EXPECT_EQ(c.menus.reached, 1);
  const auto report = coverageReport(c, "g.scn");
  EXPECT_EQ(report[9], "g.scn:19: not reached: location :тайник");
  EXPECT_EQ(report.back().rfind("coverage: ", 0), 0u);
}

TEST(Coverage, LeavesOutLinesNoPathCanRun) {
  // The REDO closing a block that leaves by GOTO, and ":common"'s RETURN after the library's own,
  // can never run; the talk block nobody chose is a real gap.
  const auto game = walk::prepareGame(w({":a", "@A.", "TALK идти", "GOTO b", "REDO", "TALK ждать", "!Ждём.", "REDO",
                                         "READ", ":b", "@B.", "READ", ":common", "RETURN"}),
                                      w({"TALK помощь", "!Справка.", "REDO", "RETURN"}));
  std::vector<WalkFile> files;
  RunOptions options;
  options.coverage = true;
  const auto r = runText(game, files, "> идти\nB.\n", options);
  const Coverage c = computeCoverage(game, r.executed);
  std::vector<int> missed;
  for (const auto& m : c.missed) missed.push_back(m.line);
  EXPECT_EQ(missed, (std::vector<int>{6, 7, 8}));
  EXPECT_EQ(c.leftOut, 2);
  EXPECT_EQ(c.lines.total, 12);
  EXPECT_NE(coverageReport(c, "g.scn").back().find("; 2 lines no path can run left out"), std::string::npos);
}

TEST(Coverage, LibraryLinesShiftTheMapButAreNotCounted) {
  const auto game =
      walk::prepareGame(w({":a", "@A.%", "READ", ":common", "RETURN"}), w({"TALK помощь", "!Справка.", "REDO"}));
  ASSERT_EQ(game.spans.size(), 5u);
  EXPECT_EQ(game.built.lines[static_cast<std::size_t>(game.spans[4].first)], "RETURN");
  EXPECT_EQ(game.built.lines[static_cast<std::size_t>(game.spans[3].first)], ":common");
}

}  // namespace
}  // namespace marvo::walk
