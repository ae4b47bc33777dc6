// Variables and conditions: operands, assignment and arithmetic, IF forms and skips, VIP, CLEAR.
#include <gtest/gtest.h>

#include "support/play.h"

using marvo::test::Play;

namespace {
// Runs `body` as the first location of a scenario with a common section.
Play run(std::vector<std::string> body) {
  Play p;
  std::vector<std::string> scenario{":loc"};
  scenario.insert(scenario.end(), body.begin(), body.end());
  scenario.insert(scenario.end(), {"READ", ":common", "RETURN"});
  p.start(scenario);
  return p;
}
}  // namespace

TEST(Variables, OperandsAssignmentAndArithmetic) {
  auto p = run({"x = 7", "y = x", "z = q", "a = 12abc", "b = xa", "c = -5", "d = 0 - 5", "e = 7 / 2", "f = 0 - 7",
                "g = f / 2", "h = f / 0", "i = 2147483647 + 1", "j = 65536 * 65536", "k = да", "l = дальний",
                "m = FALSE", "n = $10 + x"});
  EXPECT_EQ(p.var("y"), 7);
  EXPECT_EQ(p.var("z"), 0);
  EXPECT_EQ(p.var("a"), 0);
  EXPECT_EQ(p.var("b"), 10);
  EXPECT_EQ(p.var("c"), 5);
  EXPECT_EQ(p.var("d"), -5);
  EXPECT_EQ(p.var("e"), 3);
  EXPECT_EQ(p.var("g"), -3);
  EXPECT_EQ(p.var("h"), 0);
  EXPECT_EQ(p.var("i"), -2147483647 - 1);
  EXPECT_EQ(p.var("j"), 0);
  EXPECT_EQ(p.var("k"), 1);
  EXPECT_EQ(p.var("l"), 1);
  EXPECT_EQ(p.var("m"), 0);
  EXPECT_EQ(p.var("n"), 23);
  EXPECT_TRUE(p.messages().empty());
}

TEST(Variables, MixedOperatorsRunBothRowsAndTheProductRemains) {
  auto p = run({"x = 3", "x = x +* 2", "m = 0 - 2147483647", "m = m - 1", "q = m / 0", "r = m / 1"});
  // Row 22 stores 3 + 2 = 5, then row 23 multiplies the new x by 2.
  EXPECT_EQ(p.var("x"), 10);
  EXPECT_EQ(p.var("r"), -2147483647 - 1);
}

TEST(Variables, MinIntDividedByMinusOneWrapsInsteadOfTrapping) {
  auto p = run({"m = 0 - 2147483647", "m = m - 1", "one = 0 - 1", "r = m / one"});
  EXPECT_EQ(p.var("r"), -2147483647 - 1);
}

TEST(Variables, AssignmentTakesTheFirstFreeSlotBeforeTheNamedOne) {
  auto p = run({"a = 1", "b = 2", "CLEAR a", "b = 5"});
  // b now lives in a's old slot (3) too; lookups find the lower slot.
  const auto& vars = p.engine.state().vars;
  EXPECT_EQ(vars[3].name, "b");
  EXPECT_EQ(vars[3].value, 5);
  EXPECT_EQ(vars[4].name, "b");
  EXPECT_EQ(vars[4].value, 2);
  EXPECT_EQ(p.var("b"), 5);
}

TEST(Variables, TableOverflowStoresInTheLastSlotThenRefuses) {
  std::vector<std::string> body;
  for (int i = 3; i <= 1000; ++i) body.push_back("v" + std::to_string(i) + " = " + std::to_string(i));
  auto p = run(body);
  EXPECT_EQ(p.engine.state().vars[999].name, "v999");
  EXPECT_EQ(p.var("v999"), 999);
  EXPECT_FALSE(p.has("v1000"));
  EXPECT_EQ(p.messages(), (std::vector<std::string>{"Массив переменных переполнен", "Массив переменных переполнен"}));
}

TEST(Variables, VipShowsPositiveCharacteristicsInSlotOrder) {
  auto p = run({"VIP сила", "сила = 3", "VIP ловкость", "ловкость = 0", "VIP ум", "ум = 0 - 4", "VIP удача",
                "удача = 7", "удача = 8"});
  EXPECT_EQ(p.characteristics(), (std::vector<std::string>{"сила 3", "удача 8"}));
  auto q = run({"сила = 5", "VIP сила"});
  EXPECT_EQ(q.var("сила"), 0);  // VIP resets the value of an existing variable
}

TEST(Variables, ClearKeepsTimeAndRestartsStep) {
  Play p;
  p.start({":a", "x = 1", "CLEAR", "y = step", "READ"});
  p.game.tick();
  EXPECT_EQ(p.var("time"), 1);
  EXPECT_FALSE(p.has("x"));
  EXPECT_EQ(p.var("y"), 0);  // step restarted from 0 after CLEAR
  EXPECT_EQ(p.engine.state().vars[2].name, "step");
}

TEST(Variables, TimerTicksWrapAfterOneDay) {
  Play p;
  p.start({":a", "READ"});
  EXPECT_EQ(p.var("time"), 0);
  p.game.tick();
  EXPECT_EQ(p.var("time"), 1);
  p.engine.setValue(1, 86400);
  p.game.tick();
  EXPECT_EQ(p.var("time"), 1);
}

TEST(Conditions, TheEightFormsInTheirOrder) {
  auto p = run({"x = 10", "r1 = 0", "IF x < 10",         "r1 = 1", "ENDIF", "r2 = 0", "IF x =< 10",   "r2 = 1",
                "ENDIF",  "r3 = 0", "IF x => 10",        "r3 = 1", "ENDIF", "r4 = 0", "IF x <> 9",    "r4 = 1",
                "ENDIF",  "r5 = 0", "IF x > 9",          "r5 = 1", "ENDIF", "r6 = 0", "IF x = 10",    "r6 = 1",
                "ENDIF",  "r7 = 0", "IF LOCATION = loc", "r7 = 1", "ENDIF", "r8 = 0", "ЕСЛИ x >= 11", "r8 = 1",
                "КОНЕЦ",  "r9 = 0", "IF флаг = нет",     "r9 = 1", "ENDIF"});
  EXPECT_EQ(p.var("r1"), 0);
  EXPECT_EQ(p.var("r2"), 1);
  EXPECT_EQ(p.var("r3"), 1);
  EXPECT_EQ(p.var("r4"), 1);
  EXPECT_EQ(p.var("r5"), 1);
  EXPECT_EQ(p.var("r6"), 1);
  EXPECT_EQ(p.var("r7"), 1);
  EXPECT_EQ(p.var("r8"), 0);
  EXPECT_EQ(p.var("r9"), 1);
}

TEST(Conditions, FalseIfSkipsNestedBlocksToItsOwnEndif) {
  auto p = run({"a = 0", "IF a = 1", "IF a = 0", "b = 1", "ENDIF", "c = 1", "ENDIF", "d = 1", "IF a = 0", "IF a = 1",
                "e = 1", "ENDIF", "f = 1", "ENDIF"});
  EXPECT_FALSE(p.has("b"));
  EXPECT_FALSE(p.has("c"));
  EXPECT_EQ(p.var("d"), 1);
  EXPECT_FALSE(p.has("e"));
  EXPECT_EQ(p.var("f"), 1);
}

TEST(Conditions, TextContainingEndiClosesASkip) {
  auto p = run({"IF 1 = 2", "!Endive", "x = 1", "ENDIF"});
  EXPECT_EQ(p.var("x"), 1);
}

TEST(Conditions, WordContainingIfIsAConditionThatNeedsAnotherIfToClose) {
  Play p;
  EXPECT_THROW(p.start({":loc", "gift = 5", "x = 1", "ENDIF", "READ"}), marvo::IndexError);
  EXPECT_FALSE(p.has("gift"));
  EXPECT_FALSE(p.has("x"));
  EXPECT_EQ(p.messages(), std::vector<std::string>{"Не найден Endif"});
}

TEST(Conditions, ObjectLocationForm) {
  auto p = run({"CREATE ключ", "CREATE камень", "камень_Расположение=location", "a = 0", "IF ключ_Расположение = inv",
                "a = 1", "ENDIF", "b = 0", "IF камень_Расположение = enable", "b = 1", "ENDIF", "c = 0",
                "IF камень_Расположение = location", "c = 1", "ENDIF", "d = 0", "IF ключ_Расположение = loc", "d = 1",
                "ENDIF"});
  EXPECT_EQ(p.var("a"), 1);
  EXPECT_EQ(p.var("b"), 1);
  EXPECT_EQ(p.var("c"), 1);
  EXPECT_EQ(p.var("d"), 0);
}
