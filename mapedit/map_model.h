// The map of the map editor: 99 x 99 location names and the 10100-entry description table.
#pragma once

#include <string>
#include <vector>

namespace marvo::mapedit {

inline constexpr int kMapSize = 99;              // map cells have column and row 1..99
inline constexpr int kDescriptionCount = 10100;  // description entries 0..10099

// The cell number of a position: row x 100 + column. It indexes the description table
// and ends every location label.
constexpr int cellNumber(int column, int row) { return row * 100 + column; }

constexpr bool isMapCell(int column, int row) {
  return column >= 1 && column <= kMapSize && row >= 1 && row <= kMapSize;
}

class Map {
 public:
  Map();

  // Location name of a map cell; empty when the position holds no location.
  // Throws std::out_of_range for a position outside 1..99.
  const std::string& name(int column, int row) const;
  void setName(int column, int row, std::string name);

  // Description entry 0..10099; throws std::out_of_range for any other index.
  const std::string& description(int index) const;
  void setDescription(int index, std::string text);

  // Empties every name and every description.
  void clear();

  friend bool operator==(const Map&, const Map&) = default;

 private:
  static std::size_t cellIndex(int column, int row);

  std::vector<std::string> names_;  // row by row, columns 1..99 within a row
  std::vector<std::string> descriptions_;
};

}  // namespace marvo::mapedit
