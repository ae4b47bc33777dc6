// Tests of the ".map" file: layout, round trip, short and long files, line ends, file errors.
#include "mapedit/map_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/file_io.h"
#include "engine/text.h"

using namespace marvo::literals;
using marvo::mapedit::kMapFileLines;
using marvo::mapedit::Map;

namespace {

std::filesystem::path scratchDir() {
  auto dir = std::filesystem::temp_directory_path() /
             ("marvo_map_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

std::string lines(int count, std::string_view end) {
  std::string out;
  for (int i = 0; i < count; ++i) out.append(end);
  return out;
}

}  // namespace

TEST(MapFile, EmptyMapIs19901EmptyLinesWithCrLf) {
  const std::string text = marvo::mapedit::formatMapFile(Map());
  EXPECT_EQ(kMapFileLines, 19901);
  EXPECT_EQ(text.size(), 39802u);
  EXPECT_EQ(text, lines(19901, "\r\n"));
}

TEST(MapFile, CellsRowByRowThenDescriptionsInIndexOrder) {
  Map map;
  map.setName(1, 1, "first");
  map.setName(2, 1, "second");
  map.setName(1, 2, "row two");
  map.setName(99, 99, "last");
  map.setDescription(0, "d0");
  map.setDescription(10099, "dlast");
  auto read = marvo::splitLines(marvo::mapedit::formatMapFile(map), false);
  ASSERT_EQ(read.size(), 19901u);
  EXPECT_EQ(read[0], "first");
  EXPECT_EQ(read[1], "second");
  EXPECT_EQ(read[99], "row two");  // line 100: row 2, column 1
  EXPECT_EQ(read[9800], "last");
  EXPECT_EQ(read[9801], "d0");  // line 9802 holds description 0
  EXPECT_EQ(read[19900], "dlast");
}

TEST(MapFile, RoundTripRestoresEveryCellAndDescription) {
  Map map;
  for (int r = 1; r <= 99; ++r)
    for (int c = 1; c <= 99; ++c) map.setName(c, r, std::string("Комната "_w) + std::to_string(r * 100 + c));
  for (int k = 0; k < 10100; ++k) map.setDescription(k, std::string(k % 200, 'x').append("ё"_w));

  const auto dir = scratchDir();
  ASSERT_FALSE(marvo::mapedit::saveMapFile(dir / "full.map", map));
  auto loaded = marvo::mapedit::loadMapFile(dir / "full.map");
  ASSERT_TRUE(loaded.map) << loaded.error;
  EXPECT_TRUE(*loaded.map == map);
  std::filesystem::remove_all(dir);
}

TEST(MapFile, AcceptsCrLfAndMixedLineEnds) {
  for (std::string_view end : {"\r\n", "\n", "\r"}) {
    std::string text = "a" + std::string(end) + "b" + std::string(end) + lines(19899, end);
    auto parsed = marvo::mapedit::parseMapFile(text);
    ASSERT_TRUE(parsed.map) << "line end of size " << end.size();
    EXPECT_EQ(parsed.map->name(1, 1), "a");
    EXPECT_EQ(parsed.map->name(2, 1), "b");
  }
  // A last line without its line end still counts.
  std::string text = lines(19900, "\n") + "tail";
  auto parsed = marvo::mapedit::parseMapFile(text);
  ASSERT_TRUE(parsed.map);
  EXPECT_EQ(parsed.map->description(10099), "tail");
}

TEST(MapFile, ShortFileGivesNoMapAndNamesFileAndLineCount) {
  auto parsed = marvo::mapedit::parseMapFile("x\r\n" + lines(19899, "\r\n"));
  EXPECT_FALSE(parsed.map);
  EXPECT_EQ(parsed.lineCount, 19900u);

  const auto dir = scratchDir();
  ASSERT_FALSE(marvo::replaceFile(dir / "short.map", "one\r\ntwo\r\n"));
  auto loaded = marvo::mapedit::loadMapFile(dir / "short.map");
  EXPECT_FALSE(loaded.map);
  EXPECT_NE(loaded.error.find("short.map"), std::string::npos) << loaded.error;
  EXPECT_NE(loaded.error.find("строк в файле 2,"), std::string::npos) << loaded.error;
  EXPECT_NE(loaded.error.find("19901"), std::string::npos) << loaded.error;

  ASSERT_FALSE(marvo::replaceFile(dir / "empty.map", ""));
  EXPECT_NE(marvo::mapedit::loadMapFile(dir / "empty.map").error.find("строк в файле 0,"), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST(MapFile, LinesBeyondTheMapAreIgnored) {
  std::string text = lines(19900, "\r\n") + "last description\r\nextra 1\r\nextra 2\r\n";
  auto parsed = marvo::mapedit::parseMapFile(text);
  ASSERT_TRUE(parsed.map);
  EXPECT_EQ(parsed.lineCount, 19903u);
  EXPECT_EQ(parsed.map->description(10099), "last description");
}

TEST(MapFile, ReadingStopsAtNulLikeEveryTextFile) {
  std::string text = lines(19901, "\r\n");
  text.insert(10, std::string("\0", 1));
  EXPECT_FALSE(marvo::mapedit::parseMapFile(text).map);
}

TEST(MapFile, UnreadableAndUnwritableFilesReportTheFile) {
  const auto dir = scratchDir();
  auto missing = marvo::mapedit::loadMapFile(dir / "missing.map");
  EXPECT_FALSE(missing.map);
  EXPECT_NE(missing.error.find("missing.map"), std::string::npos);

  auto error = marvo::mapedit::saveMapFile(dir / "no such dir" / "x.map", Map());
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("x.map"), std::string::npos);

  std::filesystem::create_directory(dir / "taken");
  EXPECT_TRUE(marvo::mapedit::saveMapFile(dir / "taken", Map()));  // a directory is not replaced
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken"));
  std::filesystem::remove_all(dir);
}
