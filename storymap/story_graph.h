// The story graph of a scenario: its locations, the ways between them (each with the line that makes
// it and its kind), compass directions where the scenario names them, and the marks a map shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "game/program_builder.h"

namespace marvo::storymap {

enum class EdgeKind : std::uint8_t {
  Command,  // a talk block the player's typed command enters, with a GOTO/JUMP in it
  Choice,   // a menu choice: btn, do, or a numbered talk block under an "@N." menu line
  Jump,     // GOTO/GOTOS/JUMP/JUMPS in the location's own code
  Call,     // call (comes back with ret)
  Hook,     // a library line that leads into a location (the library's hooks, such as call подсказки)
  Fall,     // the location does not stop and runs into the next one
};

enum class Direction : std::uint8_t { None, North, South, West, East, Up, Down };

// English names for files and tools: "command", "north" ...
std::string_view kindName(EdgeKind kind);
std::string_view directionName(Direction direction);

// Marks of a location, as bits.
enum Mark : std::uint8_t {
  kStart = 1,        // the game enters it first
  kEnding = 2,       // no way out and nothing to choose: the story ends here
  kDeadEnd = 4,      // commands or choices offered, but none leads anywhere
  kUnreachable = 8,  // nothing leads to it (the checker's unreachable location)
  kClosedLoop = 16,  // in a group of locations that lead only to each other, with no way out
};
// The names of a node's marks in a fixed order: "start", "ending", "dead-end", "unreachable", "loop".
std::vector<std::string_view> markNames(std::uint8_t marks);

struct Node {
  std::string name;  // the label as written, without ":" (Windows-1251)
  std::string key;   // lower-cased, as the engine compares it
  LineOrigin::Source source = LineOrigin::Scenario;
  int line = 0;      // 1-based label line in its source
  std::string text;  // the location's first text or menu line, without "!"/"@"
  std::uint8_t marks = 0;
  bool returns = false;  // it has ret or RETURN: a subroutine or the common location
  bool offers = false;   // it has a talk block or a menu choice
  int cell = 0;          // the map export's cell number (row * 100 + column) when its label is one
};

struct Edge {
  int from = 0;  // node indexes
  int to = 0;
  EdgeKind kind = EdgeKind::Jump;
  Direction direction = Direction::None;
  LineOrigin::Source source = LineOrigin::Scenario;
  int line = 0;       // 1-based line of the source that makes it
  std::string label;  // the command's first alternative, the choice's text; empty for the rest
};

struct StoryGraph {
  std::vector<Node> nodes;  // in program order of their first label line
  std::vector<Edge> edges;  // in program order of their lines
  int start = -1;           // the node the game enters first, or -1
  int common = -1;          // ":common", or -1

  int find(std::string_view key) const;  // by lower-cased name; -1 when absent
  std::unordered_map<std::string, int> index;
};

// The graph as game start prepares the scenario with the library (game/program_builder's program
// and source map), each line read as the engine decodes it. Never throws on any text.
StoryGraph buildStoryGraph(const std::vector<std::string>& scenario, const std::vector<std::string>& library);

// The compass direction a command alternative or a button caption names ("север", "на юг", "east",
// "вверх"), or None. `phrase` is Windows-1251, any letter case.
Direction directionOf(std::string_view phrase);

// What walkthroughs reached: a location when its label line ran, an edge when its line ran.
struct Coverage {
  std::vector<bool> nodes;  // per node
  std::vector<bool> edges;  // per edge
};
// `visitedLines` are 1-based scenario lines that ran.
Coverage coverageOf(const StoryGraph& graph, const std::vector<int>& visitedLines);

}  // namespace marvo::storymap
