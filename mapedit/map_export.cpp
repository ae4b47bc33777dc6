// Export of a map as scenario text.
#include "map_export.h"

#include <unordered_map>

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

namespace {

// Inserts "." after the first letter of every "read", "return" and "btn", in any letter case.
std::string breakPreparationWords(std::string label) {
  for (std::string_view word : {"read", "return", "btn"}) {
    for (std::size_t at = lower(label).find(word); at != std::string::npos; at = lower(label).find(word, at + 2))
      label.insert(at + 1, ".");
  }
  return label;
}

}  // namespace

std::vector<std::string> exportLabels(const Map& map) {
  std::vector<std::string> names(static_cast<std::size_t>(cellNumber(kMapSize, kMapSize)) + 1);
  std::vector<std::string> labels(names.size());
  std::unordered_map<std::string, int> uses;
  for (int row = 1; row <= kMapSize; ++row) {
    for (int column = 1; column <= kMapSize; ++column) {
      if (map.name(column, row).empty()) continue;
      const auto k = static_cast<std::size_t>(cellNumber(column, row));
      std::string name = strip(map.name(column, row));
      if (name.size() > kLabelNameLimit) name.resize(kLabelNameLimit);
      names[k] = breakPreparationWords(std::move(name));
      labels[k] = names[k] + decimal(static_cast<std::int64_t>(k));
      ++uses[lower(labels[k])];
    }
  }
  // A name ending in a digit runs into the cell number: separate them where labels coincide.
  for (std::string separator = ".";; separator += ".") {
    bool clash = false;
    for (std::size_t k = 0; k < labels.size(); ++k) {
      if (labels[k].empty() || uses[lower(labels[k])] < 2) continue;
      const std::string& name = names[k];
      if (name.empty() || name.back() < '0' || name.back() > '9') continue;
      --uses[lower(labels[k])];
      labels[k] = name + separator + decimal(static_cast<std::int64_t>(k));
      ++uses[lower(labels[k])];
      clash = true;
    }
    if (!clash || separator.size() > 8) break;
  }
  return labels;
}

std::string shownSafely(std::string_view text) {
  constexpr char kSoftHyphen = '\xAD';  // Windows-1251 soft hyphen: not drawn inside a line
  std::string out(text);
  for (std::string_view word : {"read", "return", "btn"}) {
    for (std::size_t at = lower(out).find(word); at != std::string::npos; at = lower(out).find(word, at + 2))
      out.insert(at + 1, 1, kSoftHyphen);
  }
  return out;
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
  return {std::string("на север"_w), std::string("на юг"_w), std::string("на запад"_w), std::string("на восток"_w)};
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
    labels_ = exportLabels(map_);
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
    add("goto " + labelOf(c, r));
    return true;
  }

  void addLocation(int column, int row) {
    const std::string& name = map_.name(column, row);
    add({});
    add(std::string("*- - - - Локация "_w) + name + " - - - -");
    add(":" + labelOf(column, row));
    add("@ ");
    if (options_.namesInDescription) add("@" + shownSafely(name));
    for (auto& line : breakDescription(map_.description(cellNumber(column, row)))) {
      if (!line.empty()) add("@" + shownSafely(line));
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
      const std::string& caption =
          options_.namesAsDirections ? target : options_.directionPhrases[static_cast<std::size_t>(n.direction)];
      add("btn [" + shownSafely(caption) + "] " + labelOf(n.column, n.row));
    }
  }

  void addTextNavigation(const std::vector<Neighbour>& neighbours) {
    for (const auto& n : neighbours) {
      add(std::string(wordsFor(n.direction).described) + shownSafely(map_.name(n.column, n.row)));
    }
    for (int i = 0; i < 3; ++i) add({});
    for (const auto& n : neighbours) {
      const std::string& target = map_.name(n.column, n.row);
      add(std::string(wordsFor(n.direction).talk) + target);
      add("goto " + labelOf(n.column, n.row));
      add("redo");
    }
  }

  const std::string& labelOf(int column, int row) const {
    return labels_[static_cast<std::size_t>(cellNumber(column, row))];
  }

  const Map& map_;
  const ExportOptions& options_;
  std::vector<std::string> labels_;
  std::vector<std::string>* lines_ = nullptr;
};

}  // namespace

MapExport exportMap(const Map& map, const ExportOptions& options) { return Exporter(map, options).run(); }

}  // namespace marvo::mapedit
