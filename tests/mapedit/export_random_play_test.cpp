// Random maps whose names make labels coincide or hold "read", "return" and "btn": the export
// checks without errors and every button leads where the map says when the export is played.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "checker/checker.h"
#include "engine/engine.h"
#include "engine/text.h"
#include "game/game.h"
#include "mapedit/map_export.h"
#include "tests/support/recording_host.h"

using namespace marvo::literals;
using namespace marvo::mapedit;

namespace {

const std::vector<std::string>& trickyNames() {
  static const std::vector<std::string> names = {std::string("Комната 1"_w),
                                                 std::string("Комната"_w),
                                                 "Room1",
                                                 "room",
                                                 "Room 11",
                                                 "Bread",
                                                 "READING room",
                                                 "Return hall",
                                                 "Sub btn",
                                                 "A-1",
                                                 "a1",
                                                 "Hall",
                                                 std::string("Зал 2"_w),
                                                 std::string("Зал"_w)};
  return names;
}

Map randomMap(std::mt19937& rng) {
  Map map;
  const auto& names = trickyNames();
  // A small area near the corner, so that many cells are neighbours and numbers collide often.
  for (int row = 1; row <= 12; ++row)
    for (int column = 1; column <= 12; ++column)
      if (rng() % 3 != 0) map.setName(column, row, names[rng() % names.size()]);
  for (int row = 1; row <= 12; ++row)
    if (rng() % 4 == 0) map.setDescription(cellNumber(1, row), "Read the sign: return to btn hall");
  return map;
}

}  // namespace

TEST(MapExportPlay, LabelsWithoutClashKeepTheirForm) {
  Map map;
  map.setName(1, 1, "Hall");
  map.setName(2, 1, "Room 7");
  const auto labels = exportLabels(map);
  EXPECT_EQ(labels[101], "Hall101");
  EXPECT_EQ(labels[102], "Room7102");
  map.setName(1, 11, "Room");  // cell 1101: "Room" + "1101" would equal "Room1" + "101"
  map.setName(1, 1, "Room 1");
  const auto mended = exportLabels(map);
  EXPECT_EQ(mended[101], "Room1.101");
  EXPECT_EQ(mended[1101], "Room1101");
  map.setName(3, 1, "Bread");
  EXPECT_EQ(exportLabels(map)[103], "Br.ead103");
}

TEST(MapExportPlay, RandomTrickyMapsCheckCleanAndPlayAsTheMapSays) {
  std::mt19937 rng(2026);
  for (int round = 0; round < 12; ++round) {
    const Map map = randomMap(rng);
    ExportOptions options;
    options.jumpToCursor = false;
    options.namesAsDirections = round % 2 == 1;
    options.namesInDescription = round % 3 == 0;
    const auto exported = exportMap(map, options);

    marvo::check::CheckInput input;
    input.scenario = exported.lines;
    for (const auto& d : marvo::check::checkScenario(input))
      EXPECT_NE(d.severity, marvo::check::Severity::Error) << d.line << " " << d.rule << " round " << round;

    const auto labels = exportLabels(map);
    std::set<std::string> distinct;
    for (const auto& label : labels) {
      if (!label.empty()) {
        EXPECT_TRUE(distinct.insert(marvo::lower(label)).second) << label;
      }
    }

    // Walk the map at random through the buttons: each choice lands where the map says.
    marvo::Engine engine;
    marvo::Game game(engine);
    marvo::test::RecordingHost host;
    game.begin(exported.lines, {}, host);
    int column = 0, row = 0;
    for (int r = 1; r <= kMapSize && !column; ++r)
      for (int c = 1; c <= kMapSize && !column; ++c)
        if (!map.name(c, r).empty()) {
          column = c;
          row = r;
        }
    ASSERT_EQ(engine.state().currentLocation, marvo::lower(labels[static_cast<std::size_t>(cellNumber(column, row))]));
    for (int step = 0; step < 40; ++step) {
      const auto exits = namedNeighbours(map, column, row);
      if (exits.empty()) break;
      const std::size_t pick = rng() % exits.size();
      game.talk(std::to_string(pick + 1), host);
      column = exits[pick].column;
      row = exits[pick].row;
      ASSERT_EQ(engine.state().currentLocation, marvo::lower(labels[static_cast<std::size_t>(cellNumber(column, row))]))
          << "round " << round << " step " << step;
    }
  }
}
