// Tests of the map export: labels, neighbours at the borders, buttons, text navigation, options.
#include "mapedit/map_export.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/text.h"
#include "mapedit/description_lines.h"
#include "two_cell_export.h"

using namespace marvo::literals;
using namespace marvo::mapedit;
using Lines = std::vector<std::string>;

namespace {

std::string w(std::string_view cp1251) { return std::string(cp1251); }

ExportOptions noJump() {
  ExportOptions options;
  options.jumpToCursor = false;
  return options;
}

// The lines of one location block, from its comment line to its "Read".
Lines block(const Lines& all, std::string_view label) {
  auto at = std::find(all.begin(), all.end(), ":" + std::string(label));
  if (at == all.end()) return {};
  auto end = std::find(at, all.end(), "Read");
  return Lines(at - 1, end + 1);
}

}  // namespace

TEST(MapLabels, StripRemovesExactlyTheTwelveDelimiters) {
  EXPECT_EQ(strip(" a+b-c=d<e>f*g/h,i;j(k)l "), "abcdefghijkl");
  EXPECT_EQ(strip(w("Тёмный.Лес_1!?'\"#:^"_w)), w("Тёмный.Лес_1!?'\"#:^"_w));
  EXPECT_EQ(strip("----"), "");
}

TEST(MapLabels, LabelIsStrippedNameAndCellNumber) {
  EXPECT_EQ(locationLabel(w("Старый дом"_w), 7, 2), w("Старыйдом207"_w));
  EXPECT_EQ(locationLabel("A", 1, 1), "A101");
  EXPECT_EQ(locationLabel("A", 12, 1), "A112");
  EXPECT_EQ(locationLabel("A", 5, 12), "A1205");
  EXPECT_EQ(locationLabel("- - -", 99, 99), "9999");
  EXPECT_EQ(cellNumber(5, 3), 305);
}

TEST(MapLabels, NamesUpTo79CharactersKeepTheirWholeLabel) {
  // Every character of a name of up to 79 characters reaches the label, whatever the cell number.
  const std::string longest(79, 'n');
  EXPECT_EQ(locationLabel(longest, 99, 99), longest + "9999");
  EXPECT_EQ(locationLabel(std::string(75, 'n') + " - ()", 1, 1), std::string(75, 'n') + "101");
  // Only a longer stripped name is cut, and cut the same way wherever the label appears.
  EXPECT_EQ(locationLabel(std::string(120, 'n'), 99, 99), longest + "9999");
  Map map;
  map.setName(1, 1, std::string(100, 'a'));
  map.setName(2, 1, "b");
  const auto lines = exportMap(map, ExportOptions()).lines;
  const std::string label = std::string(79, 'a') + "101";
  EXPECT_EQ(lines[0], "goto " + label);
  EXPECT_EQ(lines[3], ":" + label);
  EXPECT_NE(std::find(lines.begin(), lines.end(), w("btn [на запад] "_w) + label), lines.end());
}

TEST(MapNeighbours, OrderIsNorthSouthWestEastAndOnlyNamedCellsCount) {
  Map map;
  for (auto [c, r] : {std::pair{5, 4}, {5, 6}, {4, 5}, {6, 5}}) map.setName(c, r, "x");
  auto n = namedNeighbours(map, 5, 5);
  ASSERT_EQ(n.size(), 4u);
  EXPECT_EQ(n[0].direction, Direction::North);
  EXPECT_EQ(n[1].direction, Direction::South);
  EXPECT_EQ(n[2].direction, Direction::West);
  EXPECT_EQ(n[3].direction, Direction::East);
  EXPECT_EQ(cellNumber(n[0].column, n[0].row), 405);
  EXPECT_EQ(cellNumber(n[3].column, n[3].row), 506);
  map.setName(5, 4, "");
  EXPECT_EQ(namedNeighbours(map, 5, 5).size(), 3u);
  map.setName(5, 6, " ");  // a blank is a name
  EXPECT_EQ(namedNeighbours(map, 5, 5).size(), 3u);
}

TEST(MapNeighbours, BordersGiveNoExitsAndRowsDoNotWrap) {
  Map map;
  for (int r = 1; r <= 99; ++r)
    for (int c = 1; c <= 99; ++c) map.setName(c, r, "x");
  auto directions = [&](int c, int r) {
    std::vector<Direction> out;
    for (auto& n : namedNeighbours(map, c, r)) out.push_back(n.direction);
    return out;
  };
  using D = Direction;
  EXPECT_EQ(directions(1, 1), (std::vector<D>{D::South, D::East}));
  EXPECT_EQ(directions(99, 1), (std::vector<D>{D::South, D::West}));
  EXPECT_EQ(directions(1, 99), (std::vector<D>{D::North, D::East}));
  EXPECT_EQ(directions(99, 99), (std::vector<D>{D::North, D::West}));
  EXPECT_EQ(directions(50, 1), (std::vector<D>{D::South, D::West, D::East}));
  EXPECT_EQ(directions(50, 99), (std::vector<D>{D::North, D::West, D::East}));
  EXPECT_EQ(directions(1, 50), (std::vector<D>{D::North, D::South, D::East}));
  EXPECT_EQ(directions(99, 50), (std::vector<D>{D::North, D::South, D::West}));

  // Column 99 of one row and column 1 of the next are not neighbours (599 + 1 is a header cell).
  Map two;
  two.setName(99, 5, "end");
  two.setName(1, 6, "start");
  EXPECT_TRUE(namedNeighbours(two, 99, 5).empty());
  EXPECT_TRUE(namedNeighbours(two, 1, 6).empty());
}

TEST(MapExport, TwoCellExample) {
  Map map;
  map.setName(1, 1, "A");
  map.setName(2, 1, "B");
  auto result = exportMap(map, ExportOptions());
  EXPECT_FALSE(result.cursorOnEmptyCell);
  const Lines expected = marvo::mapedit::test::twoCellExport();
  EXPECT_EQ(result.lines, expected);
  // Exporting twice gives the same text.
  EXPECT_EQ(exportMap(map, ExportOptions()).lines, expected);
}

TEST(MapExport, EmptyMapAndTheJumpLine) {
  Map map;
  auto result = exportMap(map, ExportOptions());
  EXPECT_TRUE(result.cursorOnEmptyCell);
  EXPECT_EQ(result.lines, Lines{"* End of location"});

  result = exportMap(map, noJump());
  EXPECT_FALSE(result.cursorOnEmptyCell);
  EXPECT_EQ(result.lines, Lines{"* End of location"});

  // A name made only of delimiters counts as empty for the jump line but still forms a location.
  map.setName(3, 2, "- - -");
  ExportOptions options;
  options.cursorColumn = 3;
  options.cursorRow = 2;
  result = exportMap(map, options);
  EXPECT_TRUE(result.cursorOnEmptyCell);
  ASSERT_GE(result.lines.size(), 4u);
  EXPECT_EQ(result.lines[0], "");
  EXPECT_EQ(result.lines[2], ":203");

  map.setName(3, 2, w("Пещера (тёмная)"_w));
  result = exportMap(map, options);
  EXPECT_FALSE(result.cursorOnEmptyCell);
  EXPECT_EQ(result.lines[0], w("goto Пещератёмная203"_w));
}

TEST(MapExport, DescriptionsAreWrappedAndUnnamedCellsExportNothing) {
  Map map;
  map.setName(10, 10, "Room");
  const std::string description =
      "A long description that certainly does not fit on a single line of the description area, "
      "so it is broken after blanks.";
  map.setDescription(cellNumber(10, 10), description);
  map.setDescription(cellNumber(11, 10), "hidden text of an unnamed cell");
  auto lines = exportMap(map, noJump()).lines;

  Lines expected = {w("*- - - - Локация Room - - - -"_w), ":Room1010", "@ "};
  for (const auto& line : breakDescription(description)) expected.push_back("@" + line);
  for (int i = 0; i < 3; ++i) expected.push_back("");
  expected.push_back("Read");
  EXPECT_EQ(block(lines, "Room1010"), expected);
  EXPECT_GE(breakDescription(description).size(), 2u);
  for (const auto& line : lines) EXPECT_EQ(line.find("hidden"), std::string::npos);
}

TEST(MapExport, ABlankAtTheMarginEndsItsLineInsteadOfStartingTheNext) {
  Map map;
  map.setName(1, 1, "Room");
  const std::string full(kDescriptionWidth - 5, 'x');
  map.setDescription(101, full + " word next words");
  auto lines = block(exportMap(map, noJump()).lines, "Room101");
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[3], "@" + full + " word ");
  EXPECT_EQ(lines[4], "@next words");
}

TEST(MapExport, NameLinePhrasesAndNamesAsCaptions) {
  Map map;
  map.setName(5, 5, "Hub");
  map.setName(5, 4, "Tower (top)");
  map.setName(5, 6, "Cellar");
  map.setName(4, 5, "West wing");
  map.setName(6, 5, "East wing");

  ExportOptions options = noJump();
  options.namesInDescription = true;
  options.directionPhrases = {" up ", "down", "left", "right"};
  Lines hub = block(exportMap(map, options).lines, "Hub505");
  EXPECT_EQ(hub,
            (Lines{w("*- - - - Локация Hub - - - -"_w), ":Hub505", "@ ", "@Hub", "", "", "", "btn [ up ] Towertop405",
                   "btn [down] Cellar605", "btn [left] Westwing504", "btn [right] Eastwing506", "Read"}));

  options.namesAsDirections = true;
  hub = block(exportMap(map, options).lines, "Hub505");
  EXPECT_EQ(Lines(hub.begin() + 7, hub.end()),
            (Lines{"btn [Tower (top)] Towertop405", "btn [Cellar] Cellar605", "btn [West wing] Westwing504",
                   "btn [East wing] Eastwing506", "Read"}));
}

TEST(MapExport, TextNavigation) {
  Map map;
  map.setName(5, 5, "Hub");
  map.setName(5, 4, "Tower (top)");
  map.setName(5, 6, "Cellar/Basement");
  map.setName(4, 5, "West wing");
  map.setName(6, 5, "East wing");
  map.setName(20, 20, "Alone");

  ExportOptions options = noJump();
  options.textNavigation = true;
  options.namesAsDirections = true;  // plays no part in text navigation
  options.directionPhrases = {"x", "x", "x", "x"};
  auto lines = exportMap(map, options).lines;
  EXPECT_EQ(block(lines, "Hub505"), (Lines{w("*- - - - Локация Hub - - - -"_w),
                                           ":Hub505",
                                           "@ ",
                                           w("@На север Tower (top)"_w),
                                           w("@На юг Cellar/Basement"_w),
                                           w("@На запад West wing"_w),
                                           w("@На восток East wing"_w),
                                           "",
                                           "",
                                           "",
                                           w("talk nort/севе/Tower (top)"_w),
                                           "goto Towertop405",
                                           "redo",
                                           w("talk sout/юг/Cellar/Basement"_w),
                                           "goto CellarBasement605",
                                           "redo",
                                           w("talk west/запа/West wing"_w),
                                           "goto Westwing504",
                                           "redo",
                                           w("talk east/вост/East wing"_w),
                                           "goto Eastwing506",
                                           "redo",
                                           "Read"}));
  EXPECT_EQ(block(lines, "Alone2020"),
            (Lines{w("*- - - - Локация Alone - - - -"_w), ":Alone2020", "@ ", "", "", "", "Read"}));
}

TEST(MapExport, LocationsInRowOrderAndEndLine) {
  Map map;
  map.setName(2, 3, "c");
  map.setName(9, 1, "a");
  map.setName(1, 3, "b");
  auto lines = exportMap(map, noJump()).lines;
  Lines labels;
  for (const auto& line : lines)
    if (!line.empty() && line[0] == ':') labels.push_back(line);
  EXPECT_EQ(labels, (Lines{":a109", ":b301", ":c302"}));
  EXPECT_EQ(lines.back(), "* End of location");
  EXPECT_EQ(lines.front(), "");
}
