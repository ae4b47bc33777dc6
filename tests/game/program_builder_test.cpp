// Program preparation: library splicing and the expansion rules, in their order.
#include <gtest/gtest.h>

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
  EXPECT_EQ(built({"* The hall", ":Hall", "You are in the hall.", "btn [Go north] attic", "do Look around",
                   "call shop", "Ret", "READ", "talk (open/unlock) door", "TALK (open/unlock) door", ""}),
            (Lines{"* Start programm ", ":hall", "You are in the hall.", "@1. Go north", "talk 1", "goto attic",
                   "redo", "@2. Look around", "talk 2", "PUSHINDEX", "JUMP shop", "POPINDEX", "REDO", "Ret", "READ",
                   "talk  open/unlock  door", "TALK (open/unlock) door", "", "read", "* End of programm "}));
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
