// The story graph: the shipped games against their expected edge lists, each edge kind, the
// compass words, the marks (unreachable as the checker finds it), and input that is not a story.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "checker/checker.h"
#include "engine/codec.h"
#include "game/scenario_file.h"
#include "storymap/story_graph.h"

namespace marvo::storymap {
namespace {

std::vector<std::string> lines(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* l : utf8) out.push_back(utf8ToCp1251(l));
  return out;
}

std::vector<std::string> file(const std::string& name) {
  auto read = readScenarioFile(std::string(MARVO_SOURCE_DIR) + "/" + name);
  EXPECT_EQ(read.error, "");
  return read.lines;
}

// "from -> to kind line [label] (direction)", one edge a line, in UTF-8.
std::string edgeList(const StoryGraph& g) {
  std::string out;
  for (const Edge& e : g.edges) {
    out += cp1251ToUtf8(g.nodes[static_cast<std::size_t>(e.from)].name) + " -> " +
           cp1251ToUtf8(g.nodes[static_cast<std::size_t>(e.to)].name) + " " + std::string(kindName(e.kind)) + " " +
           (e.source == LineOrigin::Library ? "L" : "") + std::to_string(e.line);
    if (!e.label.empty()) out += " [" + cp1251ToUtf8(e.label) + "]";
    if (e.direction != Direction::None) out += " (" + std::string(directionName(e.direction)) + ")";
    out += "\n";
  }
  for (const Node& n : g.nodes) {
    const auto marks = markNames(n.marks);
    if (marks.empty()) continue;
    out += cp1251ToUtf8(n.name) + ":";
    for (auto m : marks) out += " " + std::string(m);
    out += "\n";
  }
  return out;
}

std::string names(const StoryGraph& g, std::uint8_t mark) {
  std::string out;
  for (const Node& n : g.nodes)
    if (n.marks & mark) out += (out.empty() ? "" : " ") + cp1251ToUtf8(n.name);
  return out;
}

TEST(StoryGraph, ShippedGamesGiveTheExpectedEdges) {
  const auto library = file("games/marvo.lib");
  for (const std::string game : {"mayak", "yarmarka"}) {
    SCOPED_TRACE(game);
    const StoryGraph g = buildStoryGraph(file("games/" + game + ".scn"), library);
    const std::string path = std::string(MARVO_SOURCE_DIR) + "/tests/storymap/expected/" + game + ".edges";
    if (std::getenv("MARVO_BLESS")) std::ofstream(path) << edgeList(g);  // after a deliberate change
    std::ifstream in(path);
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(edgeList(g), expected.str());
  }
}

TEST(StoryGraph, EveryEdgeKindWithItsLineAndLabel) {
  const StoryGraph g = buildStoryGraph(lines({
                                           ":hall",               // 1
                                           "!Большой зал.",       // 2
                                           "talk (север)/north",  // 3
                                           "GOTO attic",          // 4
                                           "REDO",                // 5
                                           "btn [Во двор] yard",  // 6
                                           "do Подумать",         // 7
                                           "JUMPS yard",          // 8
                                           "REDO",                // 9
                                           "@1. Позвать слугу",   // 10
                                           "TALK 1",              // 11
                                           "GOTO attic",          // 12
                                           "REDO",                // 13
                                           "call shop",           // 14
                                           "IF rnd>50",           // 15
                                           "GOTOS attic",         // 16
                                           "ENDIF",               // 17
                                           "READ",                // 18
                                           ":attic",              // 19
                                           "!Чердак.",            // 20
                                           ":yard",               // 21
                                           "READ",                // 22
                                           ":shop",               // 23
                                           "ret",                 // 24
                                           ":common",             // 25
                                           "RETURN",              // 26
                                       }),
                                       lines({"TALK помощь", "GOTO yard", "REDO"}));
  EXPECT_EQ(edgeList(g),
            "hall -> attic command 4 [север] (north)\n"
            "hall -> yard choice 6 [Во двор]\n"
            "hall -> yard choice 8 [Подумать]\n"
            "hall -> attic choice 12 [Позвать слугу]\n"
            "hall -> shop call 14\n"
            "hall -> attic jump 16\n"
            "attic -> yard fall 21\n"
            "common -> yard hook L2 [помощь]\n"
            "hall: start\n"
            "yard: ending\n");
  EXPECT_EQ(cp1251ToUtf8(g.nodes[0].text), "Большой зал.");
}

TEST(StoryGraph, CompassWordsOfTheLibraryAndTheMapExport) {
  EXPECT_EQ(directionOf(utf8ToCp1251("север")), Direction::North);
  EXPECT_EQ(directionOf(utf8ToCp1251("На юг")), Direction::South);
  EXPECT_EQ(directionOf(utf8ToCp1251("идти на запад")), Direction::West);
  EXPECT_EQ(directionOf("east"), Direction::East);
  EXPECT_EQ(directionOf(utf8ToCp1251("наверх")), Direction::Up);
  EXPECT_EQ(directionOf(utf8ToCp1251("вниз")), Direction::Down);
  EXPECT_EQ(directionOf("nort"), Direction::North);  // the export's "talk nort/севе/NAME"
  // Words that only start like a direction, or a phrase about one, are no direction.
  EXPECT_EQ(directionOf(utf8ToCp1251("осмотреть север")), Direction::None);
  EXPECT_EQ(directionOf(utf8ToCp1251("югурт")), Direction::None);
  EXPECT_EQ(directionOf("upstairs"), Direction::None);
  EXPECT_EQ(directionOf(""), Direction::None);

  // The map export's buttons named by location names take the direction from the cell numbers.
  const StoryGraph g =
      buildStoryGraph(lines({"goto A101", "", "*- - - - Локация A - - - -", ":A101", "@ ", "", "btn [B] B102", "Read",
                             "", "*- - - - Локация B - - - -", ":B102", "@ ", "btn [A] A101", "Read"}),
                      {});
  EXPECT_EQ(edgeList(g),
            "A101 -> B102 choice 7 [B] (east)\nB102 -> A101 choice 13 [A] (west)\nA101: start loop\nB102: loop\n");
}

TEST(StoryGraph, MarksOfEndingsDeadEndsAndClosedLoops) {
  const StoryGraph g = buildStoryGraph(lines({
                                           ":start", "btn [1] stuck", "btn [2] loopa", "btn [3] end", "READ",
                                           ":stuck", "TALK смотреть", "REDO",          "READ",  // offers, leads nowhere
                                           ":loopa", "btn [b] loopb", "READ",                   // a and b only lead
                                           ":loopb", "btn [a] loopa", "READ",                   //   to each other
                                           ":end",   "!Конец.",       "READ",                   // nothing to do
                                           ":sub",   "ret",                                     // a subroutine
                                           ":lost",  "READ",                                    // nothing leads here
                                       }),
                                       {});
  EXPECT_EQ(names(g, kStart), "start");
  EXPECT_EQ(names(g, kDeadEnd), "stuck");
  EXPECT_EQ(names(g, kClosedLoop), "loopa loopb");
  EXPECT_EQ(names(g, kEnding), "end lost");
  EXPECT_EQ(names(g, kUnreachable), "sub lost");
}

// The map's unreachable locations are the checker's: the same program, the same rule.
TEST(StoryGraph, UnreachableLocationsAreTheCheckersFinding) {
  const auto library = file("games/marvo.lib");
  std::vector<std::vector<std::string>> scenarios = {
      file("games/mayak.scn"), file("games/yarmarka.scn"),
      lines({"GOTO b", ":a", "READ", ":b", "IF x=1", "GOTO c", "ENDIF", ":c", "READ", ":d", "GOTO d", ":common",
             "RETURN"}),
      lines({"x=1", ":a", "btn [go] c", "READ", ":b", "READ", ":c", "call b", "READ"})};
  for (std::size_t i = 0; i < scenarios.size(); ++i) {
    SCOPED_TRACE(i);
    check::CheckInput in;
    in.scenario = scenarios[i];
    in.library = library;
    std::vector<int> checker, map;
    for (const auto& d : check::checkScenario(in))
      if (d.rule == "unreachable-location") checker.push_back(d.line);
    for (const Node& n : buildStoryGraph(scenarios[i], library).nodes)
      if (n.marks & kUnreachable) map.push_back(n.line);
    EXPECT_EQ(map, checker);
  }
}

TEST(StoryGraph, InputThatIsNoStory) {
  // No labels at all, a label twice, self-loops, a jump to nowhere, a broken btn line.
  EXPECT_TRUE(buildStoryGraph({}, {}).nodes.empty());
  const StoryGraph g = buildStoryGraph(
      lines({":a", "GOTO a", ":a", "btn [x", "GOTO nowhere", "TALK", ":b", "TALK b/b", "GOTO b", "REDO", "READ"}), {});
  ASSERT_EQ(g.nodes.size(), 2u);
  EXPECT_EQ(edgeList(g), "a -> a jump 2\nb -> b command 9 [b]\na: start dead-end\nb: dead-end\n");

  // Thousands of locations with no label in common: every one is a node, each unreachable but the first.
  std::vector<std::string> many;
  for (int i = 0; i < 5000; ++i) {
    many.push_back(":loc" + std::to_string(i));
    many.push_back("READ");
  }
  const StoryGraph big = buildStoryGraph(many, {});
  ASSERT_EQ(big.nodes.size(), 5000u);
  EXPECT_TRUE(big.edges.empty());
  EXPECT_EQ(big.nodes[4999].marks, kUnreachable | kEnding);
}

TEST(StoryGraph, CoverageByVisitedLines) {
  const StoryGraph g = buildStoryGraph(lines({":a", "btn [b] b", "btn [c] c", "READ", ":b", "READ", ":c", "READ"}), {});
  const Coverage c = coverageOf(g, {1, 2, 5});
  EXPECT_EQ(c.nodes, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(c.edges, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace marvo::storymap
