// Where engine messages arise: the program line and the name each message hands to the host, and
// the place an index error inherits from the message that sent the run past the end.
#include <gtest/gtest.h>

#include "support/play.h"

using namespace marvo;
using marvo::test::Play;
using Place = marvo::test::RecordingHost::Place;
using Lines = std::vector<std::string>;

// Program line n is scenario line n here: game start puts only its start marker before them.
TEST(MessageContext, EachMessageNamesItsLineAndName) {
  Play p;
  p.start({":a", "!счёт [#очки]", "CREATE ключ", "TALK беги", "GOTO Нигде", "REDO", "READ", ":common", "CREATE ключ"});
  EXPECT_EQ(p.host.places,
            (std::vector<Place>{{2, MessageName::MissingVariable, "очки"}, {9, MessageName::Object, "ключ"}}));
  p.host.places.clear();
  try {
    p.say("беги");
    FAIL() << "no index error";
  } catch (const IndexError& e) {
    // The label is named as the engine looks it up: lower-cased.
    EXPECT_EQ(p.host.places, (std::vector<Place>{{5, MessageName::MissingLabel, "нигде"}}));
    EXPECT_EQ(e.line(), 5);
    EXPECT_EQ(e.context().nameKind, MessageName::MissingLabel);
    EXPECT_EQ(test::u(e.context().name), "нигде");
    EXPECT_STREQ(e.what(),
                 ("List index out of bounds (" + std::to_string(p.engine.state().program.size()) + ")").c_str());
  }
}

TEST(MessageContext, SkipsThatRunOffTheEndNameTheLineTheyStartedAt) {
  Play p;
  EXPECT_THROW(p.start({":a", "x = 1", "TALK a", "!никогда"}), IndexError);
  EXPECT_EQ(p.host.places, (std::vector<Place>{{3, MessageName::None, ""}}));
  Play q;
  try {
    q.start({":a", "IF 1 = 2", "!не здесь"});
    FAIL() << "no index error";
  } catch (const IndexError& e) {
    EXPECT_EQ(q.host.places, (std::vector<Place>{{2, MessageName::None, ""}}));
    EXPECT_EQ(e.line(), 2);
  }
}

TEST(MessageContext, TableOverflowsNameTheVariableOrObject) {
  Lines vars;
  for (int i = 3; i <= 1000; ++i) vars.push_back("v" + std::to_string(i) + " = 1");
  Play p;
  p.start(vars);
  ASSERT_EQ(p.host.places.size(), 2u);
  EXPECT_EQ(p.host.places[0], (Place{997, MessageName::Variable, "v999"}));
  EXPECT_EQ(p.host.places[1], (Place{998, MessageName::Variable, "v1000"}));

  Lines objects;
  for (int i = 0; i < 1001; ++i) objects.push_back("CREATE o" + std::to_string(i));
  Play q;
  q.start(objects);
  EXPECT_EQ(q.host.places, (std::vector<Place>{{1001, MessageName::Object, "o1000"}}));
}

TEST(MessageContext, RunLimitsNameTheLineTheRunStoppedAt) {
  Play p;
  p.engine.setLineBudget(1000);
  p.start({":a", "n = n + 1", "GOTO a"});
  ASSERT_EQ(p.host.places.size(), 1u);
  EXPECT_GE(p.host.places[0].line, 1);
  EXPECT_LE(p.host.places[0].line, 3);

  Lines scenario{":a"};
  scenario.resize(90010, "x = 1");
  Play q;
  q.start(scenario);
  EXPECT_EQ(q.host.places, (std::vector<Place>{{89999, MessageName::None, ""}}));
}

TEST(MessageContext, AnIndexErrorWithoutAMessageInItsRunHasNoLine) {
  Play p;
  p.start({":a", "TALK x", "GOTO нет", "REDO", "READ"});
  EXPECT_THROW(p.say("x"), IndexError);
  // A run with no message of its own does not inherit the place of the previous run's message.
  p.engine.mutableState().pc = 999;
  try {
    p.engine.run(p.host);
    FAIL() << "no index error";
  } catch (const IndexError& e) {
    EXPECT_EQ(e.line(), -1);
  }
}
