// Talk: the command log, input normalisation, pattern matching and "<object>".
#include <gtest/gtest.h>

#include "game/talk_matcher.h"
#include "support/play.h"

using namespace marvo;
using marvo::test::Play;
using marvo::test::u;
using marvo::test::w;
using Lines = std::vector<std::string>;

TEST(Talk, PatternBlanksTheKeywordAndLowerCases) {
  EXPECT_EQ(talkPattern("  TALK Open Door  "), "open door");
  EXPECT_EQ(u(talkPattern(w("ПАРС Взять"))), "взять");
  EXPECT_EQ(talkPattern("tal"), "");
}

TEST(Talk, EchoImpossibleReplyEmptyAndBlankInput) {
  Play p;
  p.start({":a", "@Комната", "TALK Open Door", "!opened", "REDO", "READ", ":common", "RETURN"});
  p.say("  Please OPEN the DOOR  ");
  p.say("door, open");
  p.say("   ");
  p.say("");
  EXPECT_EQ(p.out(), (Lines{"Комната", ">please open the door", "opened", ">door, open", "opened", ">",
                            "это невозможно", ">", "Комната"}));
  EXPECT_EQ(u(p.game.commandLog()[0]), "  Please OPEN the DOOR  ");
  EXPECT_EQ(p.game.commandLog().size(), 4u);
  EXPECT_EQ(p.game.commandLog()[3], "");
}

TEST(Talk, EarliestRegisteredLineWinsAndDigitsAreSubstrings) {
  Lines scenario{":a"};
  for (int i = 1; i <= 12; ++i) {
    scenario.push_back("do choice " + std::to_string(i));
    scenario.push_back("!chose " + std::to_string(i));
    scenario.push_back("REDO");
  }
  scenario.insert(scenario.end(), {"READ", ":common", "RETURN"});
  Play p;
  p.start(scenario);
  EXPECT_EQ(p.out()[11], "12. choice 12");
  p.say("12");
  EXPECT_EQ(p.out().back(), "chose 1");
  p.say("21");
  EXPECT_EQ(p.out().back(), "chose 1");
  p.say("3");
  EXPECT_EQ(p.out().back(), "chose 3");
}

TEST(Talk, AlternativesAndWordLimits) {
  Play p;
  p.start({":a", "TALK look/examine room//", "!seen", "REDO",
           "TALK a1/a2/a3/a4/a5/a6/a7/a8/a9/a10/a11/a12/a13/a14/a15/a16/a17/a18/a19/a20/a21x", "!alt", "REDO",
           "TALK w1 w2 w3 w4 w5 w6 w7 w8 w9 w10 w11", "!words", "REDO", "READ", ":common", "RETURN"});
  p.say("look");
  EXPECT_EQ(p.out().back(), "seen");
  p.say("examine the room");
  EXPECT_EQ(p.out().back(), "seen");
  p.say("examine");
  EXPECT_EQ(p.out().back(), "это невозможно");
  p.say("a21x");  // the 21st alternative does not count, but "a2" is contained in it
  EXPECT_EQ(p.out().back(), "alt");
  p.say("w1 w2 w3 w4 w5 w6 w7 w8 w9 w10");  // only the first ten words count
  EXPECT_EQ(p.out().back(), "words");
}

TEST(Talk, ObjectMustBeAtHandOneContainerDeep) {
  Play p;
  p.start({"CREATE сундук", "сундук_Расположение=hall", "CREATE шкатулка", "шкатулка_Расположение=сундук",
           "CREATE кольцо", "кольцо_Расположение=шкатулка", "CREATE лампа", "лампа_Расположение=сад", "CREATE нож",
           ":hall", "TALK взять <object>", "!взял [#x]", "REDO", "READ", ":common", "RETURN"});
  p.say("взять шкатулка");
  EXPECT_EQ(u(p.engine.currentObjectName()), "шкатулка");
  EXPECT_EQ(p.out().back(), "взял ");
  p.say("взять кольцо");  // two containers deep
  EXPECT_EQ(p.out().back(), "это невозможно");
  p.say("взять лампа");  // elsewhere
  EXPECT_EQ(p.out().back(), "это невозможно");
  p.say("взять нож");  // carried
  EXPECT_EQ(u(p.engine.currentObjectName()), "нож");
}

TEST(Talk, ObjectNamedFirstInTheInputWinsWhateverTheCreationOrder) {
  Play p;
  p.start({"CREATE сундук", "сундук_Расположение=hall", "CREATE монета", "монета_Расположение=сундук",
           "монета_Маска=монет", "CREATE монетка", "монетка_Расположение=hall", "монетка_Маска=монетк", ":hall",
           "TALK взять <object>", "!взял", "REDO", "READ", ":common", "RETURN"});
  p.say("взять монету из сундука");
  EXPECT_EQ(u(p.engine.currentObjectName()), "монета");
  p.say("взять из сундука монету");
  EXPECT_EQ(u(p.engine.currentObjectName()), "сундук");
  p.say("взять монетку");  // both masks start at the same place: the earlier slot, as ever
  EXPECT_EQ(u(p.engine.currentObjectName()), "монета");
}

TEST(Talk, ObjectNamedByThePatternItselfIsNeverTaken) {
  Play p;
  p.start({"CREATE дверь", "CREATE ключ", "дверь_Расположение=hall", ":hall", "TALK открыть дверь <object>", "!открыто",
           "REDO", "READ", ":common", "RETURN"});
  p.say("открыть дверь");
  EXPECT_EQ(p.out().back(), "это невозможно");
  p.say("открыть дверь ключ");
  EXPECT_EQ(p.out().back(), "открыто");
  EXPECT_EQ(u(p.engine.currentObjectName()), "ключ");
}

TEST(Talk, CurrentObjectStaysEvenWhenTheAlternativeFails) {
  Play p;
  p.start({"CREATE ключ", ":hall", "TALK <object> отпереть", "!ok", "REDO", "READ", ":common", "RETURN"});
  p.say("ключ");
  EXPECT_EQ(p.out().back(), "это невозможно");
  EXPECT_EQ(u(p.engine.currentObjectName()), "ключ");
}

TEST(Talk, BeforeAnyGameInputOnlyEchoes) {
  Play p;
  p.say("");
  p.say("x");
  EXPECT_EQ(p.out(), (Lines{">", ">x", "это невозможно"}));
}

// Patterns are cut into words once per talk line, and cut again when the line's text changes (a
// line rewritten by the program, or a new game on other lines).
TEST(Talk, APatternIsReadAgainWhenItsLineChanges) {
  Engine engine;
  auto& s = engine.mutableState();
  s.program = w(Lines{":a", "TALK открыть дверь", "!x", "REDO"});
  s.talk[0] = 1;
  TalkPatterns patterns;
  EXPECT_TRUE(matchInput(engine, w("открыть дверь"), patterns).matched);
  EXPECT_FALSE(matchInput(engine, w("закрыть окно"), patterns).matched);
  s.program[1] = w("TALK закрыть окно");
  EXPECT_TRUE(matchInput(engine, w("закрыть окно"), patterns).matched);
  EXPECT_FALSE(matchInput(engine, w("открыть дверь"), patterns).matched);
  s.program[1] = w("TALK закрыть окно/<object>");
  EXPECT_EQ(patterns.of(1, s.program[1]).alternativeEnds.size(), 2u);
}
