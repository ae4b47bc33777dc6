// Game start's one-pass build: the same program and source map as merging then building, lines
// taken over from a scenario given up by its caller, and the author's own text quoted for lines
// that game start changes or that change while the game runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/error_location.h"
#include "game/program_builder.h"
#include "game/scenario_file.h"
#include "support/play.h"

using namespace marvo;
using namespace marvo::test;
using Lines = std::vector<std::string>;

TEST(PreparedProgram, EqualsMergingThenBuilding) {
  const Lines scenario = w(Lines{"* intro", "  :Hall  ", "@Холл %", "btn [Вверх] attic", "do Ждать", "call shop", "ret",
                                 "TALK (открыть) дверь", "^!однажды", "Read", "RETURN", "x = 1", "return"});
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

// The build looks for "read", "return", "btn" and talk brackets eight bytes at a time: each is
// found at every place in lines of every length, and a keyword cut short by the line's end is not.
TEST(PreparedProgram, KeywordsAreFoundWhereverTheyStandInTheLine) {
  const std::string filler = w("xРр qЯ");  // Cyrillic р is no "r"
  const auto around = [&](std::size_t before, const std::string& word, std::size_t after) {
    std::string line;
    for (std::size_t i = 0; i < before; ++i) line += filler[i % filler.size()];
    line += word;
    for (std::size_t i = 0; i < after; ++i) line += filler[(i + 3) % filler.size()];
    return line;
  };
  const Lines library{"LIB"};
  const auto program = [&](const Lines& scenario) { return prepareProgram(scenario, nullptr, library).lines; };
  const auto has = [](const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  for (std::size_t before = 0; before <= 17; ++before) {
    for (std::size_t after = 0; after <= 9; ++after) {
      SCOPED_TRACE(testing::Message() << before << " before, " << after << " after");
      EXPECT_TRUE(has(program({around(before, "ReTuRn", after)}), "LIB"));
      EXPECT_FALSE(has(program({around(before, "retur", 0)}), "LIB"));
      // "read" starts the button numbers again.
      EXPECT_TRUE(has(program({"btn [a] b", around(before, "rEAd", after), "btn [c] d"}), "@1. c"));
      EXPECT_TRUE(has(program({"btn [a] b", around(before, "rea", 0), "btn [c] d"}), "@2. c"));
      // "btn" anywhere makes a button of the line (the text between the first brackets).
      EXPECT_TRUE(has(program({around(before, "Btn", after) + "[go] there"}), "@1. go"));
      EXPECT_TRUE(has(program({around(before, "bt", 0)}), around(before, "bt", 0)));
      // Brackets in a talk line are blanked.
      const std::string talk = around(before, "talk (x", after) + ")";
      std::string blanked = talk;
      blanked[blanked.find('(')] = ' ';
      blanked.back() = ' ';
      EXPECT_TRUE(has(program({talk}), blanked));
    }
  }
}

// A game started again writes its program over the previous one's strings: whatever the previous
// program was, the new one is the same as a program built afresh.
TEST(PreparedProgram, AProgramBuiltOverAnotherEqualsOneBuiltAfresh) {
  const Lines longLines = w(Lines{":Зал", "!" + std::string(300, 'x'), "btn [Дальше] b", "READ", ":b",
                                  "!" + std::string(40, 'y'), "call sub", "READ", ":sub", "ret", ":common", "RETURN"});
  const Lines shortLines = w(Lines{":a", "x = 1", "do Ждать", "x = 2", "REDO", "READ", ":common", "return"});
  const Lines library = w(Lines{"TALK (взять) <object>", "REDO"});
  for (const Lines* second : {&shortLines, &longLines}) {
    for (const Lines* first : {&longLines, &shortLines}) {
      auto reused = prepareProgram(*first, nullptr, library).lines;
      const auto over = prepareProgram(*second, nullptr, library, std::move(reused));
      const auto fresh = prepareProgram(*second, nullptr, library);
      EXPECT_EQ(over.lines, fresh.lines);
      EXPECT_EQ(over.origins, fresh.origins);
    }
  }
  Play p;
  for (const Lines* scenario : {&longLines, &shortLines, &longLines}) {
    p.game.begin(*scenario, library, p.host);
    EXPECT_EQ(p.engine.state().program, prepareProgram(*scenario, nullptr, library).lines);
  }
}

// The copy is written on another thread while the program is built from the same lines, which a
// caller giving them up lets the program take over: a scenario of many megabytes of copy comes out
// whole in both, and the same as when nothing runs beside the build.
TEST(PreparedProgram, TheCopyWrittenBesideTheBuildHoldsEveryLine) {
  const auto dir = std::filesystem::temp_directory_path() / "marvo_copy_beside_build";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  Lines scenario;
  for (int i = 0; i < 60000; ++i)
    scenario.push_back(i % 3 == 0 ? ":место" + std::to_string(i)
                                  : "!Довольно длинная строка текста номер " + std::to_string(i));
  scenario = w(scenario);
  scenario.push_back("READ");
  Play alone, beside;
  alone.game.begin(scenario, {}, alone.host);
  Lines given = scenario;
  beside.game.begin(std::move(given), {}, beside.host, dir / "tmp.scn");
  EXPECT_EQ(beside.engine.state().program, alone.engine.state().program);
  EXPECT_EQ(readScenarioFile(dir / "tmp.scn").lines, scenario);
  EXPECT_TRUE(beside.messages().empty());
  std::filesystem::remove_all(dir);
}
