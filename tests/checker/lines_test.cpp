// Checker: statements the engine takes for something else, objects, variables, talk patterns.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "check_util.h"

namespace marvo::check::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(CheckerLines, NearMissKeywordsAndIgnoredLines) {
  EXPECT_THAT(
      findings(game({"x=1", "IF x=1", "ENDFI", "GOT start", "RETRUN", "Вы в комнате."})),
      ElementsAre("3 unclosed-if", "4 unknown-keyword", "5 unknown-keyword", "6 unknown-keyword", "7 ignored-line"));
  // REDOX works as REDO (keywords are recognised by their first letters); ENDIF markers, labels.
  EXPECT_THAT(findings(game({"TALK x", "REDOX", "x=1", "IF x=1", "ENDIF", "КОНЕЦ"})),
              ElementsAre("3 empty-talk", "4 missing-if", "7 endif-without-if"));
}

TEST(CheckerLines, LinesTakenForSomethingElse) {
  EXPECT_THAT(findings(game({"gift = 5", "!life = 5", "ENDIF", "ENDIF"})),
              ElementsAre("2 taken-as-if", "2 unclosed-if", "3 taken-as-if", "3 unclosed-if", "4 endif-without-if",
                          "5 endif-without-if"));
  EXPECT_THAT(findings(game({"reader_dialog=399", "redone=1", "x=reader_dialog+redone"})),
              ElementsAre("2 taken-as-command", "3 taken-as-command", "4 never-read"));
  EXPECT_THAT(findings(game({"doorman_first=1", "dog = 1", "callie_first=1", "!Нажмите btn"})),
              ElementsAre("2 taken-as-do", "3 taken-as-do", "3 talk-without-redo", "4 malformed-call",
                          "4 taken-as-call", "5 taken-as-btn"));
  EXPECT_THAT(findings(game({"!Нажмите return", "* return сюда"})),
              ElementsAre("2 return-in-text", "3 return-in-text"));
  EXPECT_THAT(findings(game({"!Нажмите [Enter]", "!ключ_от двери", "x=3", "!У вас [#x] монет"})),
              ElementsAre("2 vanishing-characters", "3 vanishing-characters"));
}

TEST(CheckerLines, ObjectsAndProperties) {
  EXPECT_THAT(findings(lines({"CREATE ключ", "ключ_Расположение=start", "ключ_Описание=Старый ключ.", ":start",
                              "IF ключ_Расположение=inv", "!Есть.", "ENDIF", "READ", ":common", "RETURN"})),
              IsEmpty());
  EXPECT_THAT(
      findings(lines({"CREATE ключ", "ключ_Расположенние=start", "дверь_Описание=Дубовая.",
                      "ключ_Описание = Старый ключ", ":start", "IF ключ_Расположение <> inv", "IF LOCATION <> start",
                      "ENDIF", "ENDIF", "IF замок_Расположение=inv", "ENDIF", "READ", ":common", "RETURN"})),
      ElementsAre("2 never-assigned", "2 never-read", "2 property-near-miss", "3 undeclared-object", "4 stored-blanks",
                  "6 location-comparison", "7 location-comparison", "10 undeclared-object"));
}

TEST(CheckerLines, ObjectDeclaredTwice) {
  EXPECT_THAT(findings(lines({"CREATE ключ", "CREATE дверь", "CREATE Ключ", ":start", "READ", ":common", "RETURN"})),
              ElementsAre("3 duplicate-create"));
  const auto scenario = lines({"* CREATE ключ", "ключ=1", "CREATE ключ", "^CREATE дверь"});
  EXPECT_EQ(findCreate(scenario, utf8ToCp1251("КЛЮЧ")), 2);
  EXPECT_EQ(findCreate(scenario, utf8ToCp1251("дверь")), 3);
  EXPECT_EQ(findCreate(scenario, utf8ToCp1251("окно")), -1);
}

TEST(CheckerLines, VariablesReadAndAssigned) {
  EXPECT_THAT(findings(game({"x=1", "y=x+1", "IF y>1", "!Итого: [#y]", "ENDIF", "VIP сила", "IF rnd<50", "ENDIF",
                             "CREATE сундук", "сундук_непереносимый=1", "IF <object>_непереносимый=1", "ENDIF"})),
              ElementsAre("10 create-rerun"));
  EXPECT_THAT(findings(game({"IF x=1", "ENDIF", "!Итого: [#золото]", "z=5", "w=да"})),
              ElementsAre("2 never-assigned", "4 never-assigned", "5 never-read", "6 never-read"));
}

TEST(CheckerLines, TalkPatternsAndChoiceNumbers) {
  // (Blocks with no lines are reported as empty.)
  EXPECT_THAT(findings(game({"TALK открыть дверь", "REDO", "TALK открыть", "REDO"})),
              ElementsAre("3 empty-talk", "5 empty-talk"));
  EXPECT_THAT(findings(game({"TALK открыть", "REDO", "TALK открыть дверь/открой", "REDO"})),
              ElementsAre("3 empty-talk", "5 empty-talk"));
  EXPECT_THAT(findings(game({"TALK открыть", "REDO", "TALK открыть дверь/открыть окно", "REDO"})),
              ElementsAre("3 empty-talk", "4 shadowed-talk", "5 empty-talk"));
  // An author's digit pattern and a button number; a pattern with <object> never shadows.
  EXPECT_THAT(findings(game({"btn [Выйти] start", "TALK 1", "REDO", "TALK взять <object>", "REDO",
                             "TALK взять <object> быстро", "REDO"})),
              ElementsAre("3 talk-button-collision", "4 empty-talk", "6 empty-talk", "8 empty-talk"));
  // Ten choices: 10 contains 1.
  EXPECT_THAT(findings(game({"do a", "REDO", "do b", "REDO", "do c", "REDO", "do d", "REDO", "do e", "REDO",
                             "do f", "REDO", "do g", "REDO", "do h", "REDO", "do i", "REDO", "do j", "REDO"})),
              ElementsAre("20 choice-number-collision"));
  // "read" inside a text restarts the numbering: the second choice gets 1 again.
  const auto restarted = run(game({"btn [Выйти] start", "!Please read this", "btn [Назад] start"}));
  ASSERT_EQ(restarted.size(), 1u);
  EXPECT_EQ(restarted[0].rule, "choice-number-collision");
  EXPECT_EQ(restarted[0].line, 4);
  EXPECT_NE(restarted[0].text.find("read this"), std::string::npos);
}

TEST(CheckerLines, FileLevelProblems) {
  EXPECT_THAT(findings(lines({":a", "!Привет", "READ", ":common", "RETURN"}), {}), IsEmpty());
  // UTF-8 bytes read as Windows-1251.
  std::vector<std::string> utf8{":a", "!Привет, как дела?", "READ", ":common", "RETURN"};
  EXPECT_THAT(findings(utf8, {}), ElementsAre("2 wrong-encoding"));
  const auto nul = checkFileBytes(std::string_view(":a\r\n!x\r\nRE\0AD\n", 14));
  ASSERT_EQ(nul.size(), 1u);
  EXPECT_EQ(nul[0].line, 3);
  EXPECT_EQ(nul[0].rule, "nul-byte");
  EXPECT_TRUE(checkFileBytes(":a\nREAD\n").empty());
}

TEST(CheckerLines, FormatAndSummary) {
  const auto found = run(game({"GOTO нигде"}));
  ASSERT_EQ(found.size(), 1u);
  const std::string line = cp1251ToUtf8(formatDiagnostic(found[0], "game.scn"));
  EXPECT_EQ(line.rfind("game.scn:2: error: ", 0), 0u);
  EXPECT_EQ(line.substr(line.size() - 16), " [missing-label]");
  EXPECT_EQ(cp1251ToUtf8(summaryLine(countDiagnostics(found))), "Ошибок: 1, предупреждений: 0.");
}

}  // namespace
}  // namespace marvo::check::test
