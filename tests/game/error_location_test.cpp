// The source map of program preparation, Game's locations of messages and index errors, and their
// Russian wording.
#include <gtest/gtest.h>

#include "game/error_location.h"
#include "game/program_builder.h"
#include "support/play.h"

using namespace marvo;
using namespace marvo::test;
using Lines = std::vector<std::string>;

namespace {
LineOrigin scn(int line, bool generated = false) { return {LineOrigin::Scenario, line, generated}; }
LineOrigin lib(int line, bool generated = false) { return {LineOrigin::Library, line, generated}; }
const LineOrigin kMade{LineOrigin::Game, 0, true};
}  // namespace

TEST(SourceMap, EveryProgramLineHasItsOrigin) {
  // Scenario lines 1..11 of the expansion table; comments leave no line, expansions map to the
  // line they were made from, "ret" itself stays the author's line.
  auto built =
      buildProgram(w(Lines{"* The hall", ":Hall", "You are in the hall.", "btn [Go north] attic", "do Look around",
                           "call shop", "Ret", "READ", "talk (open/unlock) door", "", "x = 1"}));
  ASSERT_EQ(built.origins.size(), built.lines.size());
  EXPECT_EQ(built.origins,
            (std::vector<LineOrigin>{kMade,        scn(2),       scn(3),       scn(4, true), scn(4, true),
                                     scn(4, true), scn(4, true), scn(5, true), scn(5, true), scn(6, true),
                                     scn(6, true), scn(7, true), scn(7, true), scn(7),       scn(8),
                                     scn(9),       scn(10),      scn(11),      kMade,        kMade}));
}

TEST(SourceMap, LibraryLinesKeepTheirOwnNumbersInEveryCopy) {
  auto merged = mergeLibraryMapped(w(Lines{":a", "RETURN", "b", "return"}), w(Lines{"L1", "btn [x] y"}));
  EXPECT_EQ(merged.lines, w(Lines{":a", "L1", "btn [x] y", "RETURN", "b", "L1", "btn [x] y", "return"}));
  EXPECT_EQ(merged.origins, (std::vector<LineOrigin>{scn(1), lib(1), lib(2), scn(2), scn(3), lib(1), lib(2), scn(4)}));
  auto built = buildProgram(merged);
  EXPECT_EQ(built.origins[2], lib(1));
  EXPECT_EQ(built.origins[3], lib(2, true));
  EXPECT_EQ(built.origins[6], lib(2, true));
  EXPECT_EQ(built.origins[7], scn(2));
}

TEST(SourceMap, ABrokenLineIsNamedWithThePartialProgram) {
  auto built = buildProgram(mergeLibraryMapped(w(Lines{":a", "RETURN"}), w(Lines{"x = 1", "do"})));
  ASSERT_TRUE(built.brokenAt.has_value());
  EXPECT_EQ(built.brokenLine, lib(2));
  EXPECT_EQ(built.origins.size(), built.lines.size());
}

TEST(GameLocations, MessagesArePlacedInTheAuthorsLines) {
  Play p;
  p.start({":a", "!Вход", "btn [Выйти] Коридорр", "READ", ":common", "RETURN"}, {"* lib", "!Счёт [#очки]"});
  ASSERT_EQ(p.host.places.size(), 1u);
  auto inLibrary = p.game.locate(MessageContext(p.host.places[0].line, MessageName::MissingVariable, w("очки")));
  ASSERT_TRUE(inLibrary);
  EXPECT_EQ(inLibrary->origin, lib(2));
  EXPECT_EQ(u(inLibrary->text), "!Счёт [#очки]");
  EXPECT_EQ(u(describeLocation(*inLibrary)), "Строка 2 библиотеки: !Счёт [#очки] — переменной «очки» нет");

  try {
    p.say("1");
    FAIL() << "no index error";
  } catch (const IndexError& e) {
    auto at = p.game.locate(e);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->origin, scn(3, true));
    EXPECT_EQ(u(at->name), "коридорр");
    EXPECT_EQ(u(describeLocation(*at)),
              "Строка, созданная запуском игры из строки 3 сценария: btn [Выйти] Коридорр — метки «коридорр» нет");
  }

  // The final "read" and the markers are game start's own lines.
  const int last = static_cast<int>(p.engine.state().program.size()) - 2;
  auto made = p.game.locate(MessageContext(last));
  ASSERT_TRUE(made);
  EXPECT_EQ(made->origin, kMade);
  EXPECT_EQ(u(describeLocation(*made)), "Строка, созданная запуском игры: read");
  EXPECT_FALSE(p.game.locate(MessageContext(-1)));
  EXPECT_FALSE(p.game.locate(MessageContext(last + 2)));

  p.game.reset(p.host);
  EXPECT_TRUE(p.game.origins().empty());
  EXPECT_FALSE(p.game.locate(MessageContext(1)));
}

TEST(GameLocations, ABrokenButtonAtGameStartIsPlacedAtItsLine) {
  Play p;
  try {
    p.start({":a", "btn без скобок", "READ"});
    FAIL() << "no index error";
  } catch (const IndexError& e) {
    auto at = p.game.locate(e);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->origin, scn(2));
    EXPECT_EQ(u(describeLocation(*at)), "Строка 2 сценария: btn без скобок");
  }
  // The next game start forgets it.
  p.start({":a", "READ"});
  EXPECT_FALSE(p.game.locate(IndexError(5)));
}

TEST(GameLocations, WordingOfOriginsAndNames) {
  EXPECT_EQ(u(describeOrigin(scn(54))), "Строка 54 сценария");
  EXPECT_EQ(u(describeOrigin(lib(7))), "Строка 7 библиотеки");
  EXPECT_EQ(u(describeOrigin(lib(7, true))), "Строка, созданная запуском игры из строки 7 библиотеки");
  ErrorLocation at{scn(9), w("  CREATE ключ \t"), MessageName::Object, w("ключ")};
  EXPECT_EQ(u(describeLocation(at)), "Строка 9 сценария: CREATE ключ — объект «ключ»");
  at.nameKind = MessageName::Variable;
  EXPECT_EQ(u(describeLocation(at)), "Строка 9 сценария: CREATE ключ — переменная «ключ»");
  at.text.clear();
  at.nameKind = MessageName::None;
  EXPECT_EQ(u(describeLocation(at)), "Строка 9 сценария");
}
