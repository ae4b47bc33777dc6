// Control flow: locations and arrivals, GOTO/JUMP, RETURN/REDO, the save register, talk blocks,
// READ with the common section, text and menu lines, one-shot lines, and the engine's limits.
#include <gtest/gtest.h>

#include "support/play.h"

using marvo::IndexError;
using marvo::test::Play;
using Lines = std::vector<std::string>;

TEST(Control, TurnCycleOfTheHall) {
  Play p;
  p.start({"CREATE ключ", "ключ_Расположение=hall", ":hall", "@Вы в холле. %", "TALK осмотреть", "!Ничего интересного.",
           "REDO", "READ", ":common", "RETURN"});
  EXPECT_EQ(p.out(), Lines{"Вы в холле.   Так же есть ключ"});
  EXPECT_EQ(p.var("step"), 1);
  p.say("осмотреть");
  EXPECT_EQ(p.out(), (Lines{"Вы в холле.   Так же есть ключ", ">осмотреть", "Ничего интересного."}));
  p.say("");
  EXPECT_EQ(p.out().back(), "Вы в холле.   Так же есть ключ");
  EXPECT_EQ(p.var("step"), 1);  // the menu marker still holds the hall: no arrival
}

TEST(Control, GotoToTheSameLocationIsNoArrivalButAnotherLocationIs) {
  Play p;
  p.start({":a", "@menu a", "n = n + 1", "IF n < 3", "GOTO a", "ENDIF", "READ", ":common", "RETURN"});
  EXPECT_EQ(p.var("step"), 1);
  EXPECT_EQ(p.out(), Lines{"menu a"});
  Play q;
  q.start({":a", "n = n + 1", "IF n < 3", "GOTO b", "ENDIF", "READ", ":b", "GOTO a"});
  EXPECT_EQ(q.var("step"), 5);  // a, b, a, b, a
}

TEST(Control, GotosClearsAtTheNextLabelAndJumpsKeepsTheFlag) {
  Play q;
  q.start({":a", "!first", "GOTOS b", ":b", "!second", "JUMPS c", ":c", "!third", "READ"});
  // GOTOS empties the pane at :b; JUMPS skips :c's label line, so the flag waits for a label.
  EXPECT_EQ(q.host.events, (Lines{"clear", "clear", "out:first", "out:second", "out:third"}));
  EXPECT_TRUE(q.engine.state().clearOutputFlag);
  EXPECT_EQ(marvo::test::u(q.engine.state().currentLocation), "b");
}

TEST(Control, JumpKeepsLocationAndTalkRegistry) {
  Play p;
  p.start({":a", "TALK x", "REDO", "JUMP b", ":b", "TALK y", "REDO", "READ"});
  EXPECT_EQ(marvo::test::u(p.engine.state().currentLocation), "a");
  EXPECT_NE(p.engine.state().talk[0], 0);
  EXPECT_NE(p.engine.state().talk[1], 0);
}

TEST(Control, MissingLabelShowsMessageThenEndsWithIndexError) {
  Play p;
  EXPECT_THROW(p.start({":a", "GOTO nowhere", "READ"}), IndexError);
  EXPECT_EQ(p.messages(), Lines{"Нет метки для перехода!"});
}

TEST(Control, PushlocKeepsTheReturnTargetAcrossAnotherLabel) {
  Play p;
  p.start({":a", "PUSHLOC", "GOTO b", ":b", "POPLOC", "RETURN"});
  EXPECT_EQ(p.engine.state().pc, 1);  // the label line of :a
  EXPECT_EQ(marvo::test::u(p.engine.state().currentLocation), "b");
}

TEST(Control, CallAndRetComeBackBehindTheCall) {
  Play p;
  p.start({":a", "!before", "call sub", "!after", "READ", ":sub", "!inside", "ret"});
  EXPECT_EQ(p.out(), (Lines{"before", "inside", "after"}));
}

TEST(Control, TalkBlocksNestAndRegisterInOrder) {
  Play p;
  p.start({":a", "TALK one", "TALK inner", "!x", "REDO", "!y", "REDO", "TALK two", "!two", "REDO", "READ"});
  const auto& talk = p.engine.state().talk;
  EXPECT_EQ(talk[0], 2);
  EXPECT_EQ(talk[1], 8);
  EXPECT_EQ(talk[2], 0);
  p.say("two");
  EXPECT_EQ(p.out(), (Lines{">two", "two"}));
  Play q;
  EXPECT_THROW(q.start({":a", "TALK one", "!never closed", "READ"}), IndexError);
  EXPECT_EQ(q.messages(), Lines{"Не найдена комманда REDO или RETURN"});
}

TEST(Control, TalkSkipStopsOnATalkLineThatDoesNotStartWithTalk) {
  // The depth is tested on every line looked at: "(TALK x" and "^TALK x" leave it at 0, so the
  // skip stops on the talk line itself and the block's body runs on.
  Play p;
  p.start({":a", "(TALK x", "!X-body", "READ"});
  EXPECT_EQ(p.out(), Lines{"X-body"});
  EXPECT_TRUE(p.messages().empty());
  Play q;
  q.start({":a", "^TALK x", "!body", "READ"});
  EXPECT_EQ(q.out(), Lines{"body"});
  EXPECT_TRUE(q.messages().empty());
}

TEST(Control, RedoOutsideATalkBlockRegistersTheLocationAgain) {
  Play p;
  p.start({":a", "TALK x", "REDO", "n = n + 1", "IF n < 2", "REDO", "ENDIF", "READ"});
  EXPECT_EQ(p.engine.state().talk[0], 2);
  EXPECT_EQ(p.engine.state().talk[1], 2);
}

TEST(Control, ReadPlacesObjectsTextAndShowsQueuesInOrder) {
  Play p;
  p.start({"CREATE ключ", "CREATE сундук", "ключ_Расположение=hall", "сундук_Расположение=hall", ":hall", "!text 1",
           "@menu 1 %", "@menu 2 %", "!", "!text 2", "READ", ":other", "@plain menu", "!text", "READ"});
  EXPECT_EQ(p.out(), (Lines{"menu 1   Так же есть ключ Так же есть сундук",
                            "menu 2   Так же есть ключ Так же есть сундук", "text 1", "text 2"}));
  Play q;
  q.start({"CREATE ключ", "ключ_Расположение=other", ":other", "@plain menu", "!text", "READ"});
  EXPECT_EQ(q.out(), (Lines{"plain menu", " Так же есть ключ", "text"}));
}

TEST(Control, MenuLinesShowOncePerVisitTextLinesEveryTime) {
  Play p;
  p.start({":a", "@menu", "!text", "TALK go", "REDO", "READ", ":common", "RETURN"});
  p.say("go");
  EXPECT_EQ(p.out(), (Lines{"menu", "text", ">go", "text"}));
  p.say("");
  EXPECT_EQ(p.out().back(), "text");
  EXPECT_EQ(p.out()[p.out().size() - 2], "menu");
}

TEST(Control, VariableReferencesInTextLines) {
  Play p;
  p.start({":a", "gold = 12", "!У вас [#gold] монет", "!Итого: [#пусто]", "!a_b__c [##GOLD#x]", "READ"});
  EXPECT_EQ(p.out(), (Lines{"У вас 12 монет", "Итого: ", "abc 12"}));
  EXPECT_EQ(p.messages(), Lines{"Не найдена переменная"});
}

TEST(Control, OneShotLinesRunOnceUntilTheNextGameStart) {
  Play p;
  p.start({":a", "^!Добро пожаловать", "^n = n + 1", "TALK again", "REDO", "READ", ":common", "RETURN"});
  p.say("again");
  p.say("");
  EXPECT_EQ(p.out(), (Lines{"Добро пожаловать", ">again", ">"}));
  EXPECT_EQ(p.var("n"), 1);
  EXPECT_EQ(p.engine.state().program[2], "");
}

TEST(Control, ClsEmptiesAtOnceAndQueuedLinesSurvive) {
  Play p;
  p.start({":a", "!queued", "CLS", "READ"});
  EXPECT_EQ(p.host.events, (Lines{"clear", "clear", "out:queued"}));
}

TEST(Control, ImpossibleReplyStatementKeepsLowerCasedWordsAndTwoBlanks) {
  Play p;
  p.start({":a", "EMPOSSIBLE Так нельзя, друг!", "READ"});
  p.say("что-то");
  EXPECT_EQ(p.out().back(), "так нельзя друг!  ");
}

TEST(Control, ReturnWithoutReadKeepsQueuedTextForTheNextGame) {
  Play p;
  p.start({":a", "!kept", "RETURN"});
  EXPECT_TRUE(p.out().empty());
  p.start({":b", "READ"});
  EXPECT_EQ(p.out(), Lines{"kept"});
}

TEST(Control, ScenarioOverflowStopsAt90000) {
  Lines scenario{":a"};
  scenario.resize(90010, "x = 1");
  Play p;
  p.start(scenario);
  EXPECT_EQ(p.messages(), Lines{"Переполнение сценария"});
  EXPECT_EQ(p.engine.state().pc, 90000);
}

TEST(Control, EndlessRunIsStoppedAndTheGameStaysUsable) {
  Play p;
  p.engine.setLineBudget(100000);
  p.start({":a", "TALK stop", "!stopped", "REDO", "n = n + 1", "GOTO a"});
  ASSERT_EQ(p.messages().size(), 1u);
  EXPECT_NE(p.messages()[0].find("100000"), std::string::npos);
  p.start({":b", "!fine", "READ"});
  EXPECT_EQ(p.out(), Lines{"fine"});
}

TEST(Control, RunningPastTheEndIsAnIndexErrorAndTheNextInputRecovers) {
  Play p;
  p.start({":a", "TALK go", "GOTO b", "REDO", "READ", ":common", "RETURN", ":b", "n = n + 1", "IF n = 2"});
  EXPECT_THROW(p.say("go"), IndexError);
  EXPECT_EQ(p.messages(), Lines{"Не найден Endif"});
  EXPECT_NO_THROW(p.say(""));  // an empty input runs the location again from its label
}

TEST(Control, FirstWordDecidesMenuLineAndTrimmedLineDecidesTheQueue) {
  Play p;
  p.start({":a", "(@Скобка меню", "!текст", "TALK again", "REDO", "READ", ":common", "RETURN"});
  // Only the first character is dropped, and the line joins the text queue in its order.
  EXPECT_EQ(p.out(), (Lines{"@Скобка меню", "текст"}));
  p.say("again");
  EXPECT_EQ(p.out().back(), "текст");  // remembered as shown, like any menu line
  p.say("");
  EXPECT_EQ(p.var("step"), 1);  // the menu marker holds the location: no arrival
}

TEST(Control, AnEmptyReferenceNamesTheFirstFreeSlot) {
  Play p;
  p.start({":a", "![#]|[##]", "READ"});
  EXPECT_EQ(p.out(), Lines{"0|0"});
  EXPECT_TRUE(p.messages().empty());
}
