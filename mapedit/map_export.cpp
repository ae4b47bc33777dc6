// Export of a map as scenario text.
#include "map_export.h"

#include "description_lines.h"
#include "engine/text.h"

namespace marvo::mapedit {

using namespace marvo::literals;

std::string strip(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    if (kLabelDelimiters.find(c) == std::string_view::npos) out += c;
  }
  return out;
}

std::string locationLabel(std::string_view name, int column, int row) {
  std::string label = strip(name);
  if (label.size() > kLabelNameLimit) label.resize(kLabelNameLimit);
  return label + decimal(cellNumber(column, row));
}

std::vector<Neighbour> namedNeighbours(const Map& map, int column, int row) {
  std::vector<Neighbour> out;
  auto consider = [&](Direction d, int c, int r) {
    if (isMapCell(c, r) && !map.name(c, r).empty()) out.push_back({d, c, r});
  };
  consider(Direction::North, column, row - 1);
  consider(Direction::South, column, row + 1);
  consider(Direction::West, column - 1, row);
  consider(Direction::East, column + 1, row);
  return out;
}

std::array<std::string, 4> defaultDirectionPhrases() {
  return {std::string("на север"_w), std::string("на юг"_w), std::string("на запад"_w),
          std::string("на восток"_w)};
}

namespace {

struct DirectionWords {
  std::string_view described;  // the description line of text navigation
  std::string_view talk;       // the talk line's alternatives before the neighbour's name
};

DirectionWords wordsFor(Direction d) {
  switch (d) {
    case Direction::North:
      return {"@На север "_w, "talk nort/севе/"_w};
    case Direction::South:
      return {"@На юг "_w, "talk sout/юг/"_w};
    case Direction::West:
      return {"@На запад "_w, "talk west/запа/"_w};
    case Direction::East:
      return {"@На восток "_w, "talk east/вост/"_w};
  }
  return {};
}

class Exporter {
 public:
  Exporter(const Map& map, const ExportOptions& options) : map_(map), options_(options) {}

  MapExport run() {
    MapExport result;
    lines_ = &result.lines;
    if (options_.jumpToCursor) result.cursorOnEmptyCell = !addJumpLine();
    for (int row = 1; row <= kMapSize; ++row) {
      for (int column = 1; column <= kMapSize; ++column) {
        if (!map_.name(column, row).empty()) addLocation(column, row);
      }
    }
    add(std::string("* End of location"));
    return result;
  }

 private:
  void add(std::string line) { lines_->push_back(std::move(line)); }

  // Returns false when the cursor cell has no name that survives stripping.
  bool addJumpLine() {
    const int c = options_.cursorColumn, r = options_.cursorRow;
    if (!isMapCell(c, r) || strip(map_.name(c, r)).empty()) return false;
    add("goto " + locationLabel(map_.name(c, r), c, r));
    return true;
  }

  void addLocation(int column, int row) {
    const std::string& name = map_.name(column, row);
    add({});
    add(std::string("*- - - - Локация "_w) + name + " - - - -");
    add(":" + locationLabel(name, column, row));
    add("@ ");
    if (options_.namesInDescription) add("@" + name);
    for (auto& line : breakDescription(map_.description(cellNumber(column, row)))) {
      if (!line.empty()) add("@" + line);
    }
    const auto neighbours = namedNeighbours(map_, column, row);
    if (options_.textNavigation) {
      addTextNavigation(neighbours);
    } else {
      addButtons(neighbours);
    }
    add("Read");
    add({});
  }

  void addButtons(const std::vector<Neighbour>& neighbours) {
    for (int i = 0; i < 3; ++i) add({});
    for (const auto& n : neighbours) {
      const std::string& target = map_.name(n.column, n.row);
      const std::string& caption = options_.namesAsDirections
                                       ? target
                                       : options_.directionPhrases[static_cast<std::size_t>(n.direction)];
      add("btn [" + caption + "] " + locationLabel(target, n.column, n.row));
    }
  }

  void addTextNavigation(const std::vector<Neighbour>& neighbours) {
    for (const auto& n : neighbours) {
      add(std::string(wordsFor(n.direction).described) + map_.name(n.column, n.row));
    }
    for (int i = 0; i < 3; ++i) add({});
    for (const auto& n : neighbours) {
      const std::string& target = map_.name(n.column, n.row);
      add(std::string(wordsFor(n.direction).talk) + target);
      add("goto " + locationLabel(target, n.column, n.row));
      add("redo");
    }
  }

  const Map& map_;
  const ExportOptions& options_;
  std::vector<std::string>* lines_ = nullptr;
};

}  // namespace

MapExport exportMap(const Map& map, const ExportOptions& options) { return Exporter(map, options).run(); }

}  // namespace marvo::mapedit
