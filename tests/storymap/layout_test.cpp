// The story map's layout: no overlapping boxes, compass directions kept where they agree and
// conflicts reported, the author's places and the places before an edit kept, the sidecar file.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "engine/codec.h"
#include "engine/file_io.h"
#include "game/scenario_file.h"
#include "storymap/export.h"
#include "storymap/layout.h"
#include "storymap/sidecar.h"

namespace marvo::storymap {
namespace {

std::vector<std::string> lines(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* l : utf8) out.push_back(utf8ToCp1251(l));
  return out;
}

std::vector<std::string> file(const std::string& name) {
  return readScenarioFile(std::string(MARVO_SOURCE_DIR) + "/" + name).lines;
}

// Pairs of boxes that overlap, except pairs both placed by the author.
int overlapping(const Layout& layout, const std::vector<bool>& authored = {}) {
  int count = 0;
  for (std::size_t i = 0; i < layout.at.size(); ++i)
    for (std::size_t j = i + 1; j < layout.at.size(); ++j) {
      const bool both = i < authored.size() && j < authored.size() && authored[i] && authored[j];
      if (!both && overlaps(layout.at[i], layout.at[j])) ++count;
    }
  return count;
}

// Compass edges not reported as conflicts whose target does not stand one cell in that direction.
int brokenDirections(const StoryGraph& g, const Layout& layout) {
  int broken = 0;
  for (std::size_t i = 0; i < g.edges.size(); ++i) {
    const Edge& e = g.edges[i];
    double dx = 0, dy = 0;
    switch (e.direction) {
      case Direction::North:
        dy = -kCellHeight;
        break;
      case Direction::South:
        dy = kCellHeight;
        break;
      case Direction::West:
        dx = -kCellWidth;
        break;
      case Direction::East:
        dx = kCellWidth;
        break;
      default:
        continue;
    }
    bool conflict = false;
    for (const auto& c : layout.conflicts) conflict |= c.edge == static_cast<int>(i);
    const Point a = layout.at[static_cast<std::size_t>(e.from)], b = layout.at[static_cast<std::size_t>(e.to)];
    if (!conflict && e.from != e.to && (std::abs(b.x - a.x - dx) > 0.5 || std::abs(b.y - a.y - dy) > 0.5)) ++broken;
  }
  return broken;
}

TEST(StoryLayout, ShippedGamesKeepTheirCompassAndNoBoxesOverlap) {
  const auto library = file("games/marvo.lib");
  for (const std::string game : {"mayak", "yarmarka"}) {
    SCOPED_TRACE(game);
    const StoryGraph g = buildStoryGraph(file("games/" + game + ".scn"), library);
    const Layout layout = layoutStory(g);
    ASSERT_EQ(layout.at.size(), g.nodes.size());
    EXPECT_EQ(overlapping(layout), 0);
    EXPECT_EQ(brokenDirections(g, layout), 0);
    EXPECT_TRUE(layout.conflicts.empty());
  }
  // The lighthouse game is a map: its village lies north of the pier, the path north of the village.
  const StoryGraph g = buildStoryGraph(file("games/mayak.scn"), library);
  const Layout layout = layoutStory(g);
  const auto at = [&](const char* name) { return layout.at[static_cast<std::size_t>(g.find(utf8ToCp1251(name)))]; };
  EXPECT_LT(at("деревня").y, at("причал").y);
  EXPECT_LT(at("тропа").y, at("деревня").y);
  EXPECT_LT(at("лавка").x, at("деревня").x);
  // Up the lighthouse's stairs: a floor above is drawn to the north-east.
  EXPECT_EQ(at("лестница").x - at("маяк").x, kCellWidth);
  EXPECT_EQ(at("лестница").y - at("маяк").y, -kCellHeight);
}

TEST(StoryLayout, DirectionsThatDisagreeAreReportedNotHidden) {
  // b and c both north of a; d south of b is where a stands.
  const StoryGraph g =
      buildStoryGraph(lines({":a", "TALK север", "GOTO b", "REDO", "TALK north", "GOTO c", "REDO", "READ", ":b",
                             "TALK юг", "GOTO d", "REDO", "READ", ":c", "READ", ":d", "READ"}),
                      {});
  const Layout layout = layoutStory(g);
  ASSERT_EQ(layout.conflicts.size(), 2u);
  EXPECT_EQ(g.edges[static_cast<std::size_t>(layout.conflicts[0].edge)].line, 6);
  EXPECT_EQ(layout.conflicts[0].other, g.find("b"));
  EXPECT_EQ(g.edges[static_cast<std::size_t>(layout.conflicts[1].edge)].line, 11);
  EXPECT_EQ(layout.conflicts[1].other, g.find("a"));
  EXPECT_EQ(cp1251ToUtf8(conflictText(g, layout.conflicts[0])),
            "Строка 6: переход «север» из «a» в «c» не ложится на сетку карты: это место уже занято локацией «b».");
  EXPECT_EQ(overlapping(layout), 0);
  EXPECT_EQ(brokenDirections(g, layout), 0);
}

TEST(StoryLayout, TheAuthorsPlacesAndThePlacesBeforeAnEditStay) {
  auto text = lines({":a", "btn [b] b", "btn [c] c", "READ", ":b", "btn [a] a", "READ", ":c", "READ"});
  const StoryGraph g = buildStoryGraph(text, {});
  const Layout first = layoutStory(g);

  // The author drags b onto c's place: b stands there, c moves off it.
  Placement author{{"b", first.at[2]}};
  const Layout dragged = layoutStory(g, author, &first);
  EXPECT_EQ(dragged.at[1], first.at[2]);
  EXPECT_EQ(dragged.at[0], first.at[0]);
  EXPECT_EQ(overlapping(dragged), 0);

  // A new location after an edit: the others keep their places, the new one stands beside its
  // neighbour without covering anyone.
  text[8] = "btn [d] d";
  text.insert(text.end(), {"READ", ":d", "READ"});
  const StoryGraph edited = buildStoryGraph(text, {});
  ASSERT_EQ(edited.nodes.size(), 4u);
  const Layout after = layoutStory(edited, author, &dragged);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(after.at[static_cast<std::size_t>(k)], dragged.at[static_cast<std::size_t>(k)]);
  EXPECT_EQ(overlapping(after), 0);
  EXPECT_LT(std::abs(after.at[3].x - after.at[2].x), 3 * kCellWidth);
}

TEST(StoryLayout, ManyUnlinkedLocationsAndSelfLoops) {
  std::vector<std::string> text;
  for (int i = 0; i < 3000; ++i) {
    text.push_back(":loc" + std::to_string(i));
    if (i % 10 == 0) text.push_back("GOTO loc" + std::to_string(i));
    text.push_back("READ");
  }
  const StoryGraph g = buildStoryGraph(text, {});
  const Layout layout = layoutStory(g);
  ASSERT_EQ(layout.at.size(), 3000u);
  EXPECT_EQ(overlapping(layout), 0);
  for (const Point& p : layout.at) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

class SidecarFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("storymap-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(SidecarFile, WrittenSortedAndReadBack) {
  const auto path = sidecarPath(dir_ / "game.scn");
  EXPECT_EQ(path.filename(), "game.layout");
  EXPECT_TRUE(readSidecar(path).placement.empty());  // no file: nothing, no note
  EXPECT_TRUE(readSidecar(path).note.empty());
  const Placement placement{{utf8ToCp1251("причал"), {10, -20}}, {"b", {300.4, 7}}, {"a", {-5, 0}}};
  ASSERT_EQ(writeSidecar(path, placement), std::nullopt);
  EXPECT_EQ(readWholeFile(path).bytes, "# Marvo IF story map: X Y LOCATION\n-5 0 a\n300 7 b\n10 -20 причал\n");
  const SidecarRead read = readSidecar(path);
  EXPECT_TRUE(read.note.empty());
  EXPECT_EQ(read.placement.size(), 3u);
  EXPECT_EQ(read.placement.at(utf8ToCp1251("причал")), (Point{10, -20}));
}

TEST_F(SidecarFile, ABrokenFileIsIgnoredWithANoteAndKeptAsBak) {
  const auto path = dir_ / "game.layout";
  for (const std::string broken : {"# Marvo IF story map: X Y LOCATION\n1 2 a\nthree 4 b\n", "garbage"}) {
    ASSERT_EQ(replaceFile(path, broken), std::nullopt);
    const SidecarRead read = readSidecar(path);
    EXPECT_TRUE(read.placement.empty());
    EXPECT_NE(read.note, "");
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  // Neither broken file is lost: the second did not overwrite the first.
  EXPECT_EQ(readWholeFile(dir_ / "game.layout.bak").bytes, "# Marvo IF story map: X Y LOCATION\n1 2 a\nthree 4 b\n");
  EXPECT_EQ(readWholeFile(dir_ / "game.layout.bak.2").bytes, "garbage");
  // Only read (as marvo-cli does): the file stays where it is.
  ASSERT_EQ(replaceFile(path, "garbage"), std::nullopt);
  EXPECT_NE(readSidecar(path, false).note, "");
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(StoryExport, JsonAndSvgOfAShippedGame) {
  const StoryGraph g = buildStoryGraph(file("games/yarmarka.scn"), {});
  const Layout layout = layoutStory(g);
  const std::string json = toJson(g, &layout);
  EXPECT_NE(json.find("{\"name\": \"начало\", \"line\": 13, \"text\": \"ЯРМАРКА\", \"marks\": [\"start\"], \"x\": "),
            std::string::npos);
  EXPECT_NE(json.find("{\"from\": \"начало\", \"to\": \"Ворота202\", \"kind\": \"choice\", \"line\": 17, "
                      "\"label\": \"Войти на ярмарку\"}"),
            std::string::npos);
  const auto svg = toSvg(g, layout);
  ASSERT_TRUE(svg);
  EXPECT_NE(svg->find("<svg"), std::string::npos);
  EXPECT_NE(svg->find("Ворота202"), std::string::npos);
}

}  // namespace
}  // namespace marvo::storymap
