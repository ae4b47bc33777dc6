// The map of the map editor.
#include "map_model.h"

#include <stdexcept>

namespace marvo::mapedit {

Map::Map()
    : names_(static_cast<std::size_t>(kMapSize * kMapSize)),
      descriptions_(static_cast<std::size_t>(kDescriptionCount)) {}

std::size_t Map::cellIndex(int column, int row) {
  if (!isMapCell(column, row)) {
    throw std::out_of_range("map cell (" + std::to_string(column) + ", " + std::to_string(row) +
                            ") is outside the map");
  }
  return static_cast<std::size_t>((row - 1) * kMapSize + (column - 1));
}

const std::string& Map::name(int column, int row) const { return names_[cellIndex(column, row)]; }

void Map::setName(int column, int row, std::string name) { names_[cellIndex(column, row)] = std::move(name); }

const std::string& Map::description(int index) const { return descriptions_.at(static_cast<std::size_t>(index)); }

void Map::setDescription(int index, std::string text) {
  descriptions_.at(static_cast<std::size_t>(index)) = std::move(text);
}

void Map::clear() {
  for (auto& n : names_) n.clear();
  for (auto& d : descriptions_) d.clear();
}

}  // namespace marvo::mapedit
