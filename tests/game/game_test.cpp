// Game start, New and replay: state resets, the random course, and the command log.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/scenario_file.h"
#include "support/play.h"

using namespace marvo;
using marvo::test::Play;
using marvo::test::u;
using marvo::test::w;
using Lines = std::vector<std::string>;

namespace {
const Lines kDice{":a", "!бросок [#rnd]", "TALK бросить", "!выпало [#rnd]", "REDO", "READ", ":common", "RETURN"};
}

TEST(Game, StartResetsTablesButKeepsContentAndCurrentObject) {
  Play p;
  p.start({"CREATE ключ", "ключ_Содержание=внутри", ":a", "TALK взять <object>", "REDO", "x = 1", "READ"});
  p.say("взять ключ");
  EXPECT_EQ(p.engine.state().currentObject, 0);
  p.start({":b", "READ"});
  EXPECT_EQ(p.engine.state().currentObject, 0);  // kept from the previous game
  EXPECT_EQ(p.engine.state().objects[0].name, "");
  EXPECT_EQ(u(p.engine.state().objects[0].content), "внутри");
  EXPECT_FALSE(p.has("x"));
  EXPECT_EQ(p.var("step"), 1);
  EXPECT_TRUE(p.game.commandLog().empty());
}

TEST(Game, SameInputsGiveTheSameRandomCourse) {
  Play a, b;
  a.start(kDice);
  b.start(kDice);
  for (int i = 0; i < 5; ++i) {
    a.say("бросить");
    b.say("бросить");
  }
  EXPECT_EQ(a.out(), b.out());
  Play c;
  c.start(kDice);
  c.game.replay(a.game.commandLog(), c.host);
  EXPECT_EQ(c.out(), a.out());
  EXPECT_EQ(c.game.commandLog(), a.game.commandLog());
}

TEST(Game, ResetEmptiesProgramAndVariablesButKeepsObjects) {
  Play p;
  p.start({"CREATE ключ", ":a", "x = 1", "READ"});
  p.say("anything");
  p.game.reset(p.host);
  EXPECT_TRUE(p.engine.state().program.empty());
  EXPECT_FALSE(p.has("x"));
  EXPECT_NE(p.object("ключ"), nullptr);
  EXPECT_EQ(p.game.commandLog().size(), 1u);
  p.say("");  // nothing runs without a program
  EXPECT_EQ(p.out(), Lines{">"});
}

TEST(Game, BrokenButtonStopsBeforeTheRun) {
  Play p;
  EXPECT_THROW(p.start({":a", "!hello", "btn broken", "READ"}), IndexError);
  EXPECT_TRUE(p.out().empty());
  EXPECT_EQ(p.host.events, Lines{"clear"});
}

TEST(Game, CopyOfTheScenarioIsWrittenAndAFailureIsReportedOnce) {
  auto dir = std::filesystem::temp_directory_path() / "marvo_game_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  Play p;
  p.game.begin(w(Lines{":a", "!hi", "READ"}), {}, p.host, dir / "tmp.scn");
  auto copy = readScenarioFile(dir / "tmp.scn");
  EXPECT_EQ(copy.lines, w(Lines{":a", "!hi", "READ"}));
  auto missing = dir / "no" / "such" / "tmp.scn";
  p.game.begin(w(Lines{":a", "!hi", "READ"}), {}, p.host, missing);
  p.game.begin(w(Lines{":a", "!hi", "READ"}), {}, p.host, missing);
  EXPECT_EQ(p.messages().size(), 1u);
  EXPECT_NE(p.messages()[0].find("tmp.scn"), std::string::npos);
  EXPECT_EQ(p.out(), Lines{"hi"});  // the game started anyway
  std::filesystem::remove_all(dir);
}
