// Game start's one-pass build: the same program and source map as merging then building, lines
// taken over from a scenario given up by its caller, and the author's own text quoted for lines
// that game start changes or that change while the game runs.
#include <gtest/gtest.h>

#include "player/error_location.h"
#include "player/program_builder.h"
#include "support/play.h"

using namespace marvo;
using namespace marvo::test;
using Lines = std::vector<std::string>;

TEST(PreparedProgram, EqualsMergingThenBuilding) {
  const Lines scenario = w(Lines{"* intro", "  :Hall  ", "@Холл %", "btn [Вверх] attic", "do Ждать", "call shop",
                                 "ret", "TALK (открыть) дверь", "^!однажды", "Read", "RETURN", "x = 1", "return"});
  const Lines library = w(Lines{"TALK взять <object>", "btn [x] y", "REDO"});
  const auto reference = buildProgram(mergeLibraryMapped(scenario, library));
  Lines owned = scenario;
  for (auto* given : {static_cast<Lines*>(nullptr), &owned}) {
    const auto prepared = prepareProgram(scenario, given, library);
    EXPECT_EQ(prepared.lines, reference.lines);
    std::vector<LineOrigin> origins;
    for (auto packed : prepared.origins) origins.push_back(unpackOrigin(packed));
    EXPECT_EQ(origins, reference.origins);
  }
}

TEST(PreparedProgram, PackedOriginsKeepEveryField) {
  for (const LineOrigin& o : {LineOrigin{LineOrigin::Scenario, 1, false}, LineOrigin{LineOrigin::Library, 77, true},
                              LineOrigin{LineOrigin::Game, 0, true}, LineOrigin{LineOrigin::Scenario, kMaxPackedLine}})
    EXPECT_EQ(unpackOrigin(packOrigin(o)), o);
}

TEST(PreparedProgram, LocationsQuoteTheAuthorsTextAsWritten) {
  Play p;
  // A one-shot line is emptied once executed; a trimmed line and an upper-case label are held
  // changed by the program; the quote is the author's line all the same.
  p.start({"  ^!Раз [#нет]  ", ":Зал", "!Два [#нет2]", "READ"});
  ASSERT_EQ(p.host.places.size(), 2u);
  auto first = p.game.locate(MessageContext(p.host.places[0].line));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->origin, (LineOrigin{LineOrigin::Scenario, 1, false}));
  EXPECT_EQ(u(first->text), "  ^!Раз [#нет]  ");
  auto second = p.game.locate(MessageContext(p.host.places[1].line));
  ASSERT_TRUE(second);
  EXPECT_EQ(u(second->text), "!Два [#нет2]");
  EXPECT_EQ(p.engine.state().program[1], "");
}

TEST(PreparedProgram, AScenarioGivenUpPlaysAsACopiedOne) {
  const Lines scenario{":a", "@Меню %", "btn [Дальше] b", "READ", ":b", "!Дальше", "READ", ":common", "RETURN"};
  Play copied, moved;
  copied.start(scenario);
  moved.game.begin(w(scenario), {}, moved.host);
  copied.say("1");
  moved.say("1");
  EXPECT_EQ(moved.host.events, copied.host.events);
  EXPECT_EQ(moved.engine.state().program, copied.engine.state().program);
}
