// Export of a map as scenario text: one location per named cell, exits to the named neighbours.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "map_model.h"

namespace marvo::mapedit {

// The twelve word delimiters of a statement; strip() removes them so a label is a single word.
inline constexpr std::string_view kLabelDelimiters = " +-=<>*/,;()";

// `name` without any of the twelve delimiters; every other character stays, in order and case.
std::string strip(std::string_view name);

// A label uses at most this many characters of the stripped name.
inline constexpr std::size_t kLabelNameLimit = 79;

// Label of the location at (column, row): strip(name) followed by the cell number in decimal.
// A stripped name longer than kLabelNameLimit is cut at its end; the cell number keeps labels
// unique.
std::string locationLabel(std::string_view name, int column, int row);

// The labels the export gives every named cell, indexed by cell number (empty for unnamed
// cells). Normally locationLabel(); two mends keep game start and GOTO from confusing them:
// "read", "return" and "btn" inside a label (in any letter case) are broken by a "." after their
// first letter, since game start would restart the choice numbers, splice the library in or make
// a button of every line holding them; and when labels of two cells coincide (letter case
// ignored), those whose name part ends in a digit get a "." before the cell number.
std::vector<std::string> exportLabels(const Map& map);

// Text shown to the player (button captions, name and description lines): a soft hyphen after
// the first letter of every "read", "return" and "btn" (any letter case). It is not drawn, but
// game start no longer restarts the choice numbers, splices the library in or makes a button.
std::string shownSafely(std::string_view text);

enum class Direction { North, South, West, East };

struct Neighbour {
  Direction direction;
  int column;
  int row;
};

// The neighbours of a map cell that hold a name, in the order north, south, west, east.
// Only map cells count: row 1 has no northern neighbour, column 99 no eastern one, and so on.
std::vector<Neighbour> namedNeighbours(const Map& map, int column, int row);

// The window's initial button captions for north, south, west and east.
std::array<std::string, 4> defaultDirectionPhrases();

struct ExportOptions {
  bool jumpToCursor = true;  // jump line to the cursor cell
  int cursorColumn = 1;      // the grid's current cell
  int cursorRow = 1;
  bool namesInDescription = false;  // "@" + name line in every location
  bool namesAsDirections = false;   // button captions are the neighbours' names
  bool textNavigation = false;      // typed directions instead of buttons
  // Button captions for north, south, west and east, used exactly as given.
  std::array<std::string, 4> directionPhrases = defaultDirectionPhrases();
};

struct MapExport {
  std::vector<std::string> lines;
  // The jump line was asked for but the cursor cell has no usable name, so none was written.
  bool cursorOnEmptyCell = false;
};

// The scenario text of the map. Pure: neither the map nor the options change.
MapExport exportMap(const Map& map, const ExportOptions& options);

}  // namespace marvo::mapedit
