// Checker: lines no run reaches, talk pattern syntax, names nothing declares, library words over
// objects, mixed encodings, negative numbers, severities, the library checked alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "check_util.h"
#include "checker/unrunnable_lines.h"

namespace marvo::check::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string textOf(const std::vector<Diagnostic>& found, const std::string& rule) {
  for (const auto& d : found)
    if (d.rule == rule) return cp1251ToUtf8(d.text);
  return {};
}

TEST(CheckerRunnable, FollowsTheEnginesFlow) {
  // A REDO after GOTO, lines after READ and after RETURN never run; a false IF's ENDIF, the line
  // behind a call's JUMP and a talk block's body do.
  const auto flags =
      runnableLines(lines({":a", "TALK x", "GOTO b", "REDO", "IF x=1", "GOTO b", "ENDIF", "PUSHINDEX", "JUMP b",
                           "!back", "READ", "!dead", ":b", "POPINDEX", "REDO", ":common", "RETURN", "RETURN"}));
  EXPECT_EQ(flags, (std::vector<std::uint8_t>{1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 0, 1, 1, 0}));
}

TEST(CheckerRules, StatementsAfterAnUnconditionalJump) {
  // The GOTO of a talk block, and the REDO that only closes it: silent.
  EXPECT_THAT(findings(game({"TALK юг", "GOTO start", "REDO", "TALK север/north", "!Север.", "REDO"})), IsEmpty());
  // Swapped: the GOTO runs on every visit and the talk line after it never.
  EXPECT_THAT(findings(game({"TALK юг", "!Юг.", "REDO", "GOTO start", "TALK север/north", "!Север.", "REDO"})),
              ElementsAre("5 jump-after-block", "6 unreachable-line"));
  // REDO before the GOTO: the block is empty and the GOTO runs on every visit.
  EXPECT_THAT(findings(game({"TALK север", "REDO", "GOTO start"})), ElementsAre("3 empty-talk"));
  // A READ after the GOTO changes nothing; a talk block after the READ is never offered.
  EXPECT_THAT(findings(game({"GOTO start", "READ", "TALK север", "!С.", "REDO"})), ElementsAre("4 unreachable-line"));
  EXPECT_THAT(findings(game({"!Вы здесь.", "RETURN", "!Никогда."})), ElementsAre("4 unreachable-line"));
}

TEST(CheckerRules, CreateThatRunsAgain) {
  EXPECT_THAT(findings(lines({"CREATE шляпа", ":a", "^CREATE перо", "x=1", "IF x=1", "CREATE плащ", "ENDIF", "READ",
                              ":common", "RETURN"})),
              IsEmpty());
  const auto found = run(game({"CREATE шляпа"}));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].line, 2);
  EXPECT_EQ(found[0].rule, "create-rerun");
  EXPECT_THAT(cp1251ToUtf8(found[0].text), HasSubstr("«Объект шляпа объявлен повторно»"));
}

TEST(CheckerRules, TalkPatternsNoTypedInputMatches) {
  EXPECT_THAT(findings(game({"TALK север/north", "!С.", "REDO", "talk (юг/south) дорога", "!Ю.", "REDO",
                             "TALK спросить о маяке", "!М.", "REDO", "TALK x", "!X.", "REDO"})),
              IsEmpty());
  for (const char* broken : {"TALK северnorth", "TALK з(апад/west", "TALK «север»", "TALK \"север", "TALK север'",
                             "TALK с/север", "TALK", "TALK взять<object>"}) {
    EXPECT_THAT(findings(game({broken, "!С.", "REDO"})), ElementsAre("2 talk-syntax")) << broken;
  }
  // Two words of the game's patterns glued together.
  EXPECT_THAT(
      findings(game({"TALK наверх", "!Н.", "REDO", "TALK вверх", "!В.", "REDO", "TALK наверхвверх/up", "!У.", "REDO"})),
      ElementsAre("8 talk-syntax"));
}

TEST(CheckerRules, PlacesAndNamesNothingDeclares) {
  const auto ok = lines({"CREATE масло", "CREATE сундук", "сундук_Расположение=a", "масло_Расположение=сундук",
                         "масло_Расположение=нигде", ":a", "IF LOCATION=a", "ENDIF", "IF масло_Расположение=inv",
                         "ENDIF", "READ", ":common", "RETURN"});
  EXPECT_THAT(findings(ok), IsEmpty());
  auto bad = ok;
  bad[3] = utf8ToCp1251("масло_Расположение=снудук");
  bad[6] = utf8ToCp1251("IF LOCATION=б");
  const auto found = run(bad);
  EXPECT_THAT(findings(bad), ElementsAre("4 unknown-place", "7 unknown-place"));
  EXPECT_THAT(textOf(found, "unknown-place"), HasSubstr("Возможно, имелось в виду «сундук»"));
  // A misspelt variable, and an object flag the library gives only to declared objects.
  EXPECT_THAT(textOf(run(game({"рояль.настроен=1", "IF рояль.настроин=1", "ENDIF", "IF рояль.настроен=1", "ENDIF"})),
                     "never-assigned"),
              HasSubstr("Возможно, имелось в виду «рояль.настроен»"));
  const auto lib = lines({"TALK открыть <object>", "<object>_открыт=1", "REDO"});
  EXPECT_THAT(findings(lines({"CREATE дверь", ":a", "IF дверь_открыт=1", "ENDIF", "READ", ":common", "RETURN"}), lib),
              IsEmpty());
  const auto door = run(lines({"CREATE дверь", ":a", "IF дери_открыт=1", "ENDIF", "READ", ":common", "RETURN"}), lib);
  ASSERT_EQ(door.size(), 1u);
  EXPECT_EQ(door[0].line, 3);
  EXPECT_THAT(cp1251ToUtf8(door[0].text), HasSubstr("Возможно, имелось в виду «дверь_открыт»"));
}

TEST(CheckerRules, LibraryWordInsideAnObjectsName) {
  const auto lib = lines({"TALK взять <object>", "!Взято.", "REDO", "TALK счёт/очки/score", "!Счёт.", "REDO"});
  EXPECT_THAT(findings(lines({"CREATE шляпа", ":a", "READ", ":common", "RETURN"}), lib), IsEmpty());
  const auto found = run(lines({"CREATE шляпа", "CREATE очки", ":a", "READ", ":common", "RETURN"}), lib);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].line, 2);
  EXPECT_EQ(found[0].rule, "library-word-over-object");
  EXPECT_THAT(cp1251ToUtf8(found[0].text), HasSubstr("(строка 4 библиотеки marvo.lib)"));
  // A mask that holds the word is caught as well.
  EXPECT_THAT(findings(lines({"CREATE пенсне", "пенсне_Маска=очки", ":a", "READ", ":common", "RETURN"}), lib),
              ElementsAre("1 library-word-over-object"));
}

TEST(CheckerRules, Utf8WordsInAWindows1251Text) {
  EXPECT_THAT(findings(game({"!«ТОВАР» и ГРЁЗЫ. Рёв ветра, ВЕС…"}), {}), IsEmpty());
  auto mixed = game({"!Шумная улица.", "!Тихая улица.", "!Пустая улица."});
  mixed[1].insert(3, "\xD0\x81");      // a UTF-8 letter inside a word: «ШуРЃмная»
  mixed[2].insert(1, "\xD0\xA2");      // «Т» as UTF-8 at the start of a word
  mixed[3].replace(1, 1, "\xD0\x9F");  // «П» as UTF-8 before a letter
  const auto found = run(mixed, {});
  EXPECT_THAT(findings(mixed, {}), ElementsAre("2 wrong-encoding", "3 wrong-encoding", "4 wrong-encoding"));
  EXPECT_THAT(cp1251ToUtf8(found[0].text), HasSubstr("«ШуРЃмная»"));
}

TEST(CheckerRules, NegativeNumbers) {
  EXPECT_THAT(findings(game({"x=0-5", "y=x-1", "IF y<x", "ENDIF"})), IsEmpty());
  EXPECT_THAT(findings(game({"x=-5", "IF x > -1", "ENDIF"})), ElementsAre("2 negative-number", "3 negative-number"));
}

TEST(CheckerRules, MistakesThatChangePlayAreErrors) {
  // A lost IF, a lost READ, "@" typed as '"', a dropped "!", FI for IF, a misspelt ":common".
  for (const auto& scenario :
       {game({"x=1", "!Да.", "ENDIF"}),
        lines({":a", "!Холл", "TALK x", "!X.", "REDO", ":b", "READ", ":common", "RETURN"}), game({"\"Описание."}),
        game({"Описание."}), game({"x=1", "FI x=1", "!Да.", "ENDIF"}), lines({":a", "READ", ":commom", "RETURN"})}) {
    const auto found = run(scenario);
    EXPECT_FALSE(found.empty());
    EXPECT_GT(countDiagnostics(found).errors, 0) << cp1251ToUtf8(scenario[1]);
  }
  EXPECT_THAT(findings(lines({":a", "READ", ":commom", "RETURN"})),
              ElementsAre("3 common-misspelt", "3 unreachable-location"));
}

TEST(CheckerRules, TheLibraryAlone) {
  CheckInput in;
  in.library = lines({"ход = ход + 1", "TALK счёт", "!Ходов: [#ход], очков: [#счёт].", "REDO", "TALK подсказка",
                      "call подсказки", "REDO", "RETURN", ":подсказки", "!Нет.", "ret"});
  EXPECT_THAT(checkLibrary(in), IsEmpty());
  in.library.push_back(utf8ToCp1251("TALK помощь"));
  const auto found = checkLibrary(in);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].source, Source::Library);
  EXPECT_EQ(found[0].rule, "talk-without-redo");
  // A NUL in the library: its bytes are dropped, every line kept.
  const auto nul = checkFileBytes(std::string_view("TALK x\nRE\0DO\n", 13), Source::Library);
  ASSERT_EQ(nul.size(), 1u);
  EXPECT_EQ(nul[0].source, Source::Library);
  EXPECT_EQ(nul[0].severity, Severity::Warning);
  EXPECT_THAT(cp1251ToUtf8(nul[0].text), HasSubstr("все строки сохраняются"));
}

TEST(CheckerRules, BlocksOutOfOrder) {
  // Correct: IF blocks inside a talk block, talk blocks inside an IF, CREATE before its properties.
  EXPECT_THAT(findings(lines({"CREATE лодка", "лодка_Расположение=start", ":start", "IF x=0", "TALK a", "x=1", "IF x=1",
                              "!Да.", "ENDIF", "REDO", "ENDIF", "TALK b", "!Б.", "REDO", "READ", ":common", "RETURN"})),
              IsEmpty());
  // An ENDIF and the IF after it swapped: the IF is closed at once.
  EXPECT_THAT(findings(game({"TALK a", "x=1", "IF x=1", "ENDIF", "!Да.", "ENDIF", "REDO"})),
              ElementsAre("4 empty-if", "6 missing-if", "7 crossed-blocks", "7 endif-without-if"));
  // REDO before the ENDIF of an IF opened in its block; an ENDIF closing an IF opened before the block.
  EXPECT_THAT(findings(game({"x=1", "TALK a", "IF x=1", "!Да.", "REDO", "ENDIF"})), ElementsAre("6 crossed-blocks"));
  EXPECT_THAT(findings(game({"x=1", "IF x=1", "TALK a", "!Да.", "ENDIF", "REDO"})),
              ElementsAre("3 crossed-blocks", "6 crossed-blocks"));
  EXPECT_THAT(findings(game({"x=1", "IF x=1", "do Поговорить", "!Да.", "ENDIF", "REDO"})),
              ElementsAre("3 crossed-blocks", "6 crossed-blocks"));
  // A lost REDO: told on the line before the next talk line.
  EXPECT_THAT(findings(game({"TALK a", "!А.", "TALK b", "!Б.", "REDO"})),
              ElementsAre("2 talk-without-redo", "3 talk-inside-talk"));
  // A lost IF: told at the first of its lines that is no text, and at the ENDIF left alone.
  EXPECT_THAT(findings(game({"x=1", "TALK a", "!Да.", "x=2", "ENDIF", "IF x=2", "!Два.", "ENDIF", "REDO"})),
              ElementsAre("5 missing-if", "6 crossed-blocks", "6 endif-without-if"));
  // A property set before its object's CREATE in the same run.
  EXPECT_THAT(findings(lines({"лодка_Расположение=start", "CREATE лодка", ":start", "READ", ":common", "RETURN"})),
              ElementsAre("1 property-before-create"));
  // A talk block whose body is a deleted (blank) line.
  EXPECT_THAT(findings(game({"TALK a", "", "REDO"})), ElementsAre("4 empty-talk"));
}

TEST(CheckerRules, ConditionsDecidedByTheLineAbove) {
  // A value that depends on the path, a one-shot line, a value set before a jump: silent.
  EXPECT_THAT(findings(game({"TALK a", "x=0", "IF y=1", "x=1", "ENDIF", "IF x=1", "!Да.", "ENDIF", "y=x", "REDO"})),
              IsEmpty());
  EXPECT_THAT(findings(game({"^x=0", "IF x=1", "!Да.", "ENDIF", "x=1"})), IsEmpty());
  EXPECT_THAT(
      findings(lines({":start", "x=0", "GOTO b", ":b", "IF x=1", "!Да.", "ENDIF", "x=1", "READ", ":common", "RETURN"})),
      IsEmpty());
  // An assignment moved out of its IF block: the next IF is never true; told at the assignment.
  EXPECT_THAT(
      findings(game({"TALK a", "x=1", "IF y=0", "!Нет.", "ENDIF", "x=0", "IF x=1", "!Да.", "ENDIF", "y=x", "REDO"})),
      ElementsAre("7 decided-condition"));
  // Moved out of the inner block: on the other path the outer condition already said x is not 1.
  EXPECT_THAT(findings(game({"TALK a", "IF x=1", "IF y=1", "!Да.", "ENDIF", "x=0", "ENDIF", "IF x=1", "!Да.", "ENDIF",
                             "y=x", "REDO"})),
              ElementsAre("7 decided-condition"));
}

TEST(CheckerRules, ValuesLostAndChoiceLabelsMisplaced) {
  // A value read before it is replaced, one replaced only under a condition, a dialogue as the
  // dialogue maker writes it: silent.
  EXPECT_THAT(
      findings(game({"TALK a", "можно=1", "!Было [#можно].", "можно=2", "IF y=1", "можно=3", "ENDIF", "y=можно", "REDO",
                     "!1. Кто вы?", "TALK 1", "!Смотритель.", "REDO", "!2. Пока.", "TALK 2", "!Ступай.", "REDO"})),
      IsEmpty());
  // An assignment swapped into the block that replaces it at once: a warning at the lost one.
  EXPECT_THAT(findings(game({"TALK a", "IF y=0", "можно=1", "!Нет.", "можно=0", "ENDIF", "y=можно", "REDO"})),
              ElementsAre("4 lost-assignment"));
  // The menu line of a choice inside the choice's own block, or inside the previous one.
  EXPECT_THAT(findings(game({"TALK 1", "!1. Кто вы?", "!Смотритель.", "REDO"})), ElementsAre("3 label-inside-choice"));
  EXPECT_THAT(
      findings(game({"!1. Кто вы?", "TALK 1", "!Смотритель.", "!2. Пока.", "REDO", "TALK 2", "!Ступай.", "REDO"})),
      ElementsAre("5 label-inside-choice"));
}

}  // namespace
}  // namespace marvo::check::test
