// Program preparation: library splicing and the expansion rules, in their order.
#include <gtest/gtest.h>

#include <tuple>

#include "engine/text.h"
#include "game/program_builder.h"
#include "support/recording_host.h"

using namespace marvo;
using marvo::test::w;
using Lines = std::vector<std::string>;

namespace {
Lines built(const Lines& merged) {
  auto result = buildProgram(w(merged));
  EXPECT_FALSE(result.brokenAt.has_value());
  Lines out;
  for (const auto& l : result.lines) out.push_back(test::u(l));
  return out;
}
}  // namespace

TEST(ProgramBuilder, TheExpansionTable) {
  EXPECT_EQ(built({"* The hall", ":Hall", "You are in the hall.", "btn [Go north] attic", "do Look around", "call shop",
                   "Ret", "READ", "talk (open/unlock) door", "TALK (open/unlock) door", ""}),
            (Lines{"* Start programm ",
                   ":hall",
                   "You are in the hall.",
                   "@1. Go north",
                   "talk 1",
                   "goto attic",
                   "redo",
                   "@2. Look around",
                   "talk 2",
                   "PUSHINDEX",
                   "JUMP shop",
                   "POPINDEX",
                   "REDO",
                   "Ret",
                   "READ",
                   "talk  open/unlock  door",
                   "TALK (open/unlock) door",
                   "",
                   "read",
                   "* End of programm "}));
}

TEST(ProgramBuilder, EdgeCasesOfTheRules) {
  EXPECT_EQ(built({"callgate", "call Shop", "RET", "!a btn word [x]Target Up", "bread", "btn [a] b"}),
            (Lines{"* Start programm ", "PUSHINDEX", "JUMP gate", "PUSHINDEX", "JUMP shop", "POPINDEX", "REDO", "RET",
                   "@1. x", "talk 1", "goto Target Up", "redo", "bread", "@1. a", "talk 1", "goto b", "redo", "read",
                   "* End of programm "}));
  EXPECT_EQ(built({}), (Lines{"* Start programm ", "read", "* End of programm "}));
  // "[]" takes the "]" as text and runs on to the next "]".
  EXPECT_EQ(built({"btn []x] y"})[1], "@1. ]x");
  EXPECT_EQ(built({"  :Loc  ", "\tx = 1 "})[1], ":loc");
  EXPECT_EQ(built({"  :Loc  ", "\tx = 1 "})[2], "x = 1");
}

TEST(ProgramBuilder, BrokenButtonsAndChoicesStopWithThePartialProgram) {
  for (const char* broken : {"btn no bracket", "btn [", "btn [text without end", "do", "don't"}) {
    auto result = buildProgram(w(Lines{":a", "x = 1", broken, "y = 2"}));
    EXPECT_TRUE(result.brokenAt.has_value()) << broken;
    EXPECT_EQ(result.lines, (Lines{"* Start programm ", ":a", "x = 1"})) << broken;
  }
  EXPECT_FALSE(buildProgram(w(Lines{"do it"})).brokenAt.has_value());
}

TEST(ProgramBuilder, LibraryGoesBeforeEveryLineContainingReturn) {
  EXPECT_EQ(mergeLibrary({"a", "RETURN", "x", "no Return here"}, {"L1", "L2"}),
            (Lines{"a", "L1", "L2", "RETURN", "x", "L1", "L2", "no Return here"}));
  EXPECT_EQ(mergeLibrary({"a", "b"}, {"L"}), (Lines{"a", "b"}));
}

TEST(ProgramBuilder, TheMapSaysWhatMadeEachLineAndLeavesBrokenLinesOut) {
  const Lines scenario{":A", "btn [x] b", "btn broken", "do y", "call B", "* note", "ret", "return"};
  const auto map = mapProgram(w(scenario), w(Lines{"do"}));
  EXPECT_EQ(map.lines,
            (Lines{"* Start programm ", ":a", "@1. x", "talk 1", "goto b", "redo", "@2. y", "talk 2", "PUSHINDEX",
                   "JUMP b", "POPINDEX", "REDO", "ret", "return", "read", "* End of programm "}));
  const auto at = [](int line) { return LineOrigin{LineOrigin::Scenario, line}; };
  ASSERT_EQ(map.takings.size(), 9u);
  const std::vector<std::tuple<LineOrigin, Made, int, std::size_t, std::size_t>> expected{
      {at(1), Made::Copy, 0, 1, 1},   {at(2), Made::Button, 1, 2, 4},
      {at(3), Made::Button, 2, 6, 0}, {at(4), Made::Choice, 2, 6, 2},
      {at(5), Made::Call, 0, 8, 2},   {at(7), Made::Return, 0, 10, 2},
      {at(7), Made::Copy, 0, 12, 1},  {{LineOrigin::Library, 1}, Made::Choice, 3, 13, 0},
      {at(8), Made::Copy, 0, 13, 1}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Taking& t = map.takings[i];
    EXPECT_EQ(std::tie(t.origin, t.made, t.button, t.first, t.count),
              std::tie(std::get<0>(expected[i]), std::get<1>(expected[i]), std::get<2>(expected[i]),
                       std::get<3>(expected[i]), std::get<4>(expected[i])))
        << i;
  }
  EXPECT_EQ(map.origins[3], (LineOrigin{LineOrigin::Scenario, 2, true}));
  EXPECT_EQ(map.splicesStoppedAt, 0);
  // Game start stops at the first broken line.
  EXPECT_TRUE(prepareProgram(w(scenario), nullptr, w(Lines{"do"})).brokenAt.has_value());
  EXPECT_EQ(readSourceLine("  :Зал \t"_w), ":зал"_w);
  EXPECT_EQ(readSourceLine(" BTN [X] Y "), "BTN [X] Y");
}

TEST(ProgramBuilder, TheMapSplicesTheLibraryUpToItsBound) {
  const auto map = mapProgram(Lines{"return", "x", "RETURN", "Return"}, Lines{"L1", "L2"}, 4);
  EXPECT_EQ(map.lines, (Lines{"* Start programm ", "L1", "L2", "return", "x", "L1", "L2", "RETURN", "Return", "read",
                              "* End of programm "}));
  EXPECT_EQ(map.splicesStoppedAt, 4);
  EXPECT_EQ(mapProgram(Lines{"return", "x", "RETURN", "Return"}, Lines{"L1", "L2"}).lines,
            prepareProgram(Lines{"return", "x", "RETURN", "Return"}, nullptr, Lines{"L1", "L2"}).lines);
}
