// The checker's program against game start's: on random scenarios, every program line the checker
// looks at has the text, the origin and the making (with its choice number) of the line game start
// builds, the making read off the shapes of game start's own lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "checker/program.h"
#include "engine/codec.h"
#include "engine/text.h"
#include "game/program_builder.h"
#include "support/random_scenario.h"

namespace marvo::check {
namespace {

using Lines = std::vector<std::string>;

Lines cp1251(const Lines& utf8) {
  Lines out;
  for (const auto& line : utf8) out.push_back(utf8ToCp1251(line));
  return out;
}

struct Expected {
  std::string text;
  LineOrigin origin;
  Made made = Made::Copy;
  int button = 0;
};

// Game start's program (prepareProgram, as Game::begin calls it) without its frame, each line with
// what made it as its shape shows: "PUSHINDEX", "JUMP x" for call; "POPINDEX", "REDO" for ret;
// "@N. text", "talk N" for do, followed by "goto x", "redo" for btn. Sets `broken` when game start
// stopped at a broken btn or do line.
std::vector<Expected> gameStartProgram(const Lines& scenario, const Lines& library, std::optional<LineOrigin>& broken) {
  const PreparedProgram built = marvo::prepareProgram(scenario, nullptr, library);
  std::vector<LineOrigin> origins;
  for (std::uint32_t packed : built.origins) origins.push_back(unpackOrigin(packed));
  const std::size_t end = built.brokenAt ? built.lines.size() : built.lines.size() - 2;  // "read", end marker
  broken.reset();
  if (built.brokenAt) broken = built.brokenLine;
  EXPECT_EQ(built.lines.at(0), "* Start programm ");
  std::vector<Expected> out;
  for (std::size_t i = 1; i < end;) {
    const LineOrigin& o = origins[i];
    const std::string& t = built.lines[i];
    EXPECT_NE(o.source, LineOrigin::Game) << i;
    if (!o.generated) {
      out.push_back({t, o, Made::Copy, 0});
      ++i;
      continue;
    }
    if (t == "PUSHINDEX" || t == "POPINDEX") {
      const Made made = t == "PUSHINDEX" ? Made::Call : Made::Return;
      EXPECT_TRUE(i + 1 < end && origins[i + 1] == o) << t;
      if (made == Made::Call)
        EXPECT_TRUE(built.lines[i + 1].starts_with("JUMP ")) << built.lines[i + 1];
      else
        EXPECT_EQ(built.lines[i + 1], "REDO");
      out.push_back({t, o, made, 0});
      out.push_back({built.lines[i + 1], o, made, 0});
      i += 2;
      continue;
    }
    // A menu line "@N. text" and "talk N"; a btn line goes on with "goto label" and "redo".
    EXPECT_TRUE(t.starts_with("@")) << t;
    const int n = std::atoi(t.c_str() + 1);
    EXPECT_TRUE(t.starts_with("@" + std::to_string(n) + ". ")) << t;
    EXPECT_TRUE(i + 1 < end && origins[i + 1] == o && built.lines[i + 1] == "talk " + std::to_string(n)) << t;
    const bool button = i + 3 < end && origins[i + 2] == o && built.lines[i + 2].starts_with("goto ") &&
                        origins[i + 3] == o && built.lines[i + 3] == "redo";
    const std::size_t count = button ? 4 : 2;
    for (std::size_t k = 0; k < count && i + k < end; ++k)
      out.push_back({built.lines[i + k], o, button ? Made::Button : Made::Choice, n});
    i += count;
  }
  return out;
}

const char* madeName(Made m) {
  switch (m) {
    case Made::Copy:
      return "copy";
    case Made::Button:
      return "button";
    case Made::Choice:
      return "choice";
    case Made::Call:
      return "call";
    case Made::Return:
      return "return";
  }
  return "?";
}

// Do the checker's lines begin with game start's? Else `why` says where they part.
bool sameLines(const Program& checked, const std::vector<Expected>& expected, std::string& why) {
  if (checked.lines.size() < expected.size()) {
    why = "the checker has fewer lines";
    return false;
  }
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ProgramLine& l = checked.lines[i];
    const Expected& e = expected[i];
    const Source source = e.origin.source == LineOrigin::Library ? Source::Library : Source::Scenario;
    if (l.text != e.text || l.source != source || l.origin + 1 != e.origin.line || l.made != e.made ||
        ((e.made == Made::Button || e.made == Made::Choice) && l.button != e.button)) {
      why = concat("line ", std::to_string(i), ": checker «", cp1251ToUtf8(l.text), "» ",
                   l.source == Source::Library ? "library " : "scenario ", std::to_string(l.origin + 1), " ",
                   madeName(l.made), " ", std::to_string(l.button), "; game start «", cp1251ToUtf8(e.text), "» ",
                   e.origin.source == LineOrigin::Library ? "library " : "scenario ", std::to_string(e.origin.line),
                   " ", madeName(e.made), " ", std::to_string(e.button));
      return false;
    }
  }
  return true;
}

bool reportsBrokenLine(const Program& checked, const LineOrigin& at) {
  const Source source = at.source == LineOrigin::Library ? Source::Library : Source::Scenario;
  for (const Diagnostic& d : checked.problems)
    if (d.source == source && d.line == at.line &&
        (d.rule == "malformed-btn" || d.rule == "malformed-do" || d.rule == "taken-as-btn" || d.rule == "taken-as-do"))
      return true;
  return false;
}

TEST(CheckerProgram, IsGameStartsProgramOnRandomScenarios) {
  constexpr int kCases = 6000;
  int mismatches = 0, brokenCases = 0, expansions = 0;
  for (int seed = 0; seed < kCases && mismatches < 3; ++seed) {
    test::ScenarioMaker maker(static_cast<std::uint32_t>(seed), /*buildForms=*/true);
    CheckInput input;
    input.scenario = cp1251(maker.scenario());
    switch (maker.pick(0, 2)) {
      case 0:
        break;
      case 1:
        input.library = cp1251({"TALK осмотреть <object>", "EXAMINE <object>", "REDO"});
        break;
      default:
        input.library = cp1251(maker.scenario());
        break;
    }
    const Program checked = prepareProgram(input);
    // Game start stops at a broken btn or do line, where the checker reports it and goes on: the
    // checker's lines are compared with game start's program as far as it goes, then with that of
    // the text with the broken line made a comment (one that still holds "return" where the line
    // did), unless that line restarted the choice numbers.
    Lines scenario = input.scenario, library = input.library;
    std::string why;
    for (int round = 0; round < 100; ++round) {
      std::optional<LineOrigin> broken;
      const std::vector<Expected> expected = gameStartProgram(scenario, library, broken);
      if (round == 0)
        for (const auto& e : expected) expansions += e.made != Made::Copy;
      if (!sameLines(checked, expected, why)) break;
      if (!broken) {
        if (expected.size() != checked.lines.size()) why = "the checker has more lines";
        break;
      }
      brokenCases += round == 0;
      if (!reportsBrokenLine(checked, *broken)) {
        why = concat("the broken line ", std::to_string(broken->line), " is not reported");
        break;
      }
      std::string& line = (broken->source == LineOrigin::Library ? library : scenario)[broken->line - 1];
      if (containsLowered(line, "read")) break;
      line = containsLowered(line, "return") ? "* return" : "*";
    }
    if (!why.empty()) {
      ++mismatches;
      std::string text;
      for (const auto& line : input.scenario) text += cp1251ToUtf8(line) + "\n";
      text += "-- library:\n";
      for (const auto& line : input.library) text += cp1251ToUtf8(line) + "\n";
      ADD_FAILURE() << "seed " << seed << ": " << why << "\n" << text;
    }
  }
  EXPECT_EQ(mismatches, 0);
  // The scenarios exercise what they are meant to.
  EXPECT_GT(brokenCases, kCases / 20);
  EXPECT_GT(expansions, kCases);
}

}  // namespace
}  // namespace marvo::check
