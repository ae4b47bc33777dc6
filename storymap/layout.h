// The layout of the story map: locations joined by compass directions are set on a grid first
// (north above, east to the right), Graphviz's layered layout places those grids and the rest, the
// author's own placement wins, and an edit places only the locations that are new.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "story_graph.h"

namespace marvo::storymap {

// The centre of a location's box, in points; y grows downwards.
struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Every box has this size; grid cells are a box and the room for the edges' labels.
inline constexpr double kBoxWidth = 170;
inline constexpr double kBoxHeight = 56;
inline constexpr double kCellWidth = kBoxWidth + 80;
inline constexpr double kCellHeight = kBoxHeight + 64;

// A compass edge the grid cannot keep: its target's cell is taken by another location (`other`),
// or the target already stands elsewhere (`other` is -1).
struct GridConflict {
  int edge = 0;
  int other = -1;
};

// Where the author put locations, by their lower-cased names (the sidecar file's content).
using Placement = std::map<std::string, Point>;

struct Layout {
  std::vector<Point> at;                             // per node of the graph
  std::vector<bool> onGrid;                          // per node: placed on a compass grid
  std::vector<GridConflict> conflicts;               // in edge order
  std::unordered_map<std::string, Point> positions;  // by node key, to carry over to the next graph
};

// Lays out `graph`. Locations in `author` stand where it says; with `previous` (the layout of the
// graph before an edit), the locations it placed keep their places and only new ones are placed,
// next to a neighbour (or, when most of the graph is new, by a fresh layout around the kept ones).
// No two boxes overlap. Never throws on any graph.
Layout layoutStory(const StoryGraph& graph, const Placement& author = {}, const Layout* previous = nullptr);

// The grid cells of compass-joined locations (and of locations linked to one grid only, set
// beside their neighbour there): per node its component (-1 when it has none) and cell, and the
// conflicts. Exposed for tests.
struct Grid {
  std::vector<int> component;
  std::vector<int> column, row;
  std::vector<GridConflict> conflicts;
  int components = 0;
};
Grid placeOnGrid(const StoryGraph& graph);

// Do the boxes centred at a and b overlap?
bool overlaps(const Point& a, const Point& b);

}  // namespace marvo::storymap
