// Checker: labels and jumps, IF/ENDIF and TALK/REDO pairing, location ends, the shipped games.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "check_util.h"
#include "game/scenario_file.h"

namespace marvo::check::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(CheckerFlow, ShippedGamesAndLibraryCheckClean) {
  const auto lib = readScenarioFile(MARVO_SOURCE_DIR "/games/marvo.lib");
  ASSERT_TRUE(lib.error.empty());
  for (const char* name : {"/games/mayak.scn", "/games/yarmarka.scn"}) {
    const auto scenario = readScenarioFile(std::string(MARVO_SOURCE_DIR) + name);
    ASSERT_TRUE(scenario.error.empty()) << name;
    EXPECT_THAT(findings(scenario.lines, lib.lines), IsEmpty()) << name;
  }
}

TEST(CheckerFlow, EveryJumpFormNeedsItsLabel) {
  EXPECT_THAT(findings(game({"IF x=1", "GOTO нет_такой", "GOTOS пропало", "JUMP куда", "JUMPS туда", "ENDIF", "x=1",
                             "btn [Выйти] коридорр", "call магазин"})),
              ElementsAre("3 missing-label", "4 missing-label", "5 missing-label", "6 missing-label", "9 missing-label",
                          "10 missing-label"));
  // Only the first jump of the block can run.
  EXPECT_THAT(findings(game({"IF x=1", "GOTO start", "GOTOS start", "JUMP start", "JUMPS start", "ENDIF", "x=1",
                             "btn [Выйти] Start", "call start"})),
              ElementsAre("4 unreachable-line"));
}

TEST(CheckerFlow, MissingLabelSaysWhatTheEngineLooksFor) {
  const auto found = run(game({"IF x=1", "GOTO дальний", "GOTO strat", "ENDIF", "x=1"}));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_NE(found[0].text.find(":1"), std::string::npos);                      // "дальний" starts with "да"
  EXPECT_NE(found[1].text.find(utf8ToCp1251("«:start»")), std::string::npos);  // the nearest label
}

TEST(CheckerFlow, DuplicateLabelsAndMalformedJumps) {
  EXPECT_THAT(findings(lines({":a", "btn [В b] b", "READ", ":b", "GOTO a", ":A", "READ", ":common", "RETURN"})),
              ElementsAre("6 duplicate-label"));
  EXPECT_THAT(findings(game({"btn Выйти коридор", "btn [Выйти] два слова", "btn [Выйти]", "GOTO", "GOTO a b", "call"})),
              ElementsAre("2 malformed-btn", "3 malformed-btn", "4 malformed-btn", "5 malformed-goto",
                          "6 malformed-goto", "7 malformed-call"));
}

TEST(CheckerFlow, IfBlocksAsTheEngineSkipsThem) {
  // Closed nested blocks, a true IF falling through: nothing to say.
  EXPECT_THAT(findings(game({"IF x=1", "IF y=2", "!да", "ENDIF", "ENDIF", "x=1", "y=2"})), IsEmpty());
  // No ENDIF before the next label; no ENDIF at all; an ENDIF that closes nothing.
  EXPECT_THAT(
      findings(lines({":a", "x=1", "IF x=1", "!раз", "READ", ":b", "IF x=2", "ENDIF", "READ", ":common", "RETURN"})),
      ElementsAre("3 unclosed-if"));
  const auto unclosed = run(lines({":a", "x=1", "IF x=1", "!раз", "READ", ":b", "ENDIF", "READ", ":common", "RETURN"}));
  ASSERT_FALSE(unclosed.empty());
  EXPECT_NE(cp1251ToUtf8(unclosed[0].text).find("(до строки 7)"), std::string::npos) << cp1251ToUtf8(unclosed[0].text);
  EXPECT_THAT(findings(game({"x=1", "IF x=1", "!раз"})), ElementsAre("3 unclosed-if"));
  EXPECT_THAT(findings(game({"ENDIF"})), ElementsAre("2 endif-without-if"));
  // A text line with "endi" inside a word ends the skip early.
  EXPECT_THAT(findings(game({"x=1", "IF x=2", "!Endive", "!салат", "ENDIF"})),
              ElementsAre("4 taken-as-endif", "6 endif-without-if"));
}

TEST(CheckerFlow, AnAssignmentStartingLikeEndifClosesOnlyASkippedBlock) {
  // "конец=0" runs as an assignment where no skip reaches it: nothing to say.
  EXPECT_THAT(findings(game({"конец=0", "IF конец=1", "!Конец игры.", "ENDIF", "endive=0", "![#endive]"})), IsEmpty());
  EXPECT_THAT(findings(lines({":a", "x=1", "IF x=1", "ENDIF", "конец=0", "x=конец", "READ", ":common", "RETURN"}), {}),
              IsEmpty());
  // Inside an IF block the skip of a false IF stops on it: the block ends there, and the line runs.
  const auto found = run(game({"x=1", "IF x=2", "конец=0", "!салат", "ENDIF", "IF конец=1", "ENDIF"}));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].line, 4);
  EXPECT_EQ(found[0].rule, "taken-as-endif");
  EXPECT_EQ(cp1251ToUtf8(found[0].text),
            "Строка «конец=0» начинается с «коне…»: пропуская блок IF из строки 3, игра примет её за ENDIF — "
            "пропущенный блок закончится здесь, а сама строка выполнится и при ложном условии. Переименуйте "
            "переменную.");
  EXPECT_EQ(found[1].line, 6);
  EXPECT_EQ(found[1].rule, "endif-without-if");
  EXPECT_THAT(findings(game({"x=1", "IF x=2", "endive=0", "ENDIF", "!Салат: [#endive]"})),
              ElementsAre("4 taken-as-endif", "5 endif-without-if"));
  // In a nested block the skip of the inner IF stops on it; the outer one ends at the first ENDIF.
  EXPECT_THAT(findings(game({"x=1", "IF x=2", "IF x=3", "конец=0", "ENDIF", "ENDIF", "x=конец"})),
              ElementsAre("5 taken-as-endif", "7 endif-without-if"));
}

TEST(CheckerFlow, TalkBlocksNeedRedoInTheirLocation) {
  EXPECT_THAT(findings(game({"TALK смотреть", "!Ничего.", "REDO"})), IsEmpty());
  EXPECT_THAT(findings(game({"TALK смотреть", "!Ничего."})), ElementsAre("2 talk-without-redo"));
  EXPECT_THAT(
      findings(lines({":a", "TALK смотреть", "!Ничего.", "READ", ":b", "TALK x", "REDO", "READ", ":common", "RETURN"})),
      ElementsAre("2 talk-without-redo", "7 empty-talk"));
  // "talker_dialog=0" starts with "talk": the skip counts it as a block of its own (and the IF
  // closed at once is inside the block left open).
  EXPECT_THAT(findings(game({"TALK общатс", "talker_dialog=0", "REDO", "IF talker_dialog=0", "ENDIF"})),
              ElementsAre("2 talk-without-redo", "3 taken-as-talk", "5 empty-if"));
  // Between blocks no skip reaches it: it runs as an assignment.
  EXPECT_THAT(findings(game({"TALK a", "REDO", "talker_dialog=0", "парсер=1", "TALK b", "REDO",
                             "IF talker_dialog=парсер", "ENDIF"})),
              ElementsAre("3 empty-talk", "7 empty-talk"));  // blocks with no lines do nothing
}

TEST(CheckerFlow, LocationEndsAndReachability) {
  // Told at the last line of the location, where READ or GOTO is missing.
  EXPECT_THAT(findings(lines({":a", "!Холл", ":b", "READ", ":common", "RETURN"})), ElementsAre("2 falls-into-next"));
  EXPECT_THAT(findings(lines({":s", "GOTO a", ":common", "RETURN", ":a", "!Холл"})), ElementsAre("5 runs-past-end"));
  EXPECT_THAT(findings(lines({":a", "READ", ":common", "!общее"}), {}), ElementsAre("3 common-without-return"));
  EXPECT_THAT(findings(lines({":a", "READ", ":b", "READ", ":common", "RETURN"})),
              ElementsAre("3 unreachable-location"));
  // Conditional ends do not count; an unconditional one after them does; a lead-in falls into the first.
  EXPECT_THAT(findings(lines({"x=1", ":a", "IF x=1", "GOTO b", "ENDIF", "GOTO b", ":b", "READ", ":common", "RETURN"})),
              IsEmpty());
  EXPECT_THAT(findings(lines({":a", "x=1", "IF x=1", "GOTO b", "ENDIF", ":b", "READ", ":common", "RETURN"})),
              ElementsAre("5 falls-into-next"));
}

TEST(CheckerFlow, LibraryNeedsCommonWithReturn) {
  EXPECT_THAT(findings(lines({":a", "READ"})), ElementsAre("1 library-not-spliced"));
  EXPECT_THAT(findings(lines({":a", "READ"}), {}), IsEmpty());
  EXPECT_THAT(findings(lines({":a", "READ", ":common", "RETURN"})), IsEmpty());
  // A menu-driven story takes numbers, not typed commands.
  EXPECT_THAT(findings(lines({":a", "btn [Дальше] b", "READ", ":b", "READ"})), IsEmpty());
}

TEST(CheckerFlow, ScenarioLocationMayShadowALibraryHook) {
  const auto lib = lines({"TALK помощь", "call подсказки", "REDO", "RETURN", ":подсказки", "!Нет подсказок.", "ret"});
  EXPECT_THAT(findings(lines({":a", "READ", ":подсказки", "!Ищите ключ.", "ret", ":common", "RETURN"}), lib),
              IsEmpty());
  EXPECT_THAT(findings(lines({":a", "READ", ":a", "READ", ":common", "RETURN"}), lib),
              ElementsAre("3 duplicate-label"));
}

}  // namespace
}  // namespace marvo::check::test
