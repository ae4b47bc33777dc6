// Which walkthroughs belong to a scenario: names beside it, a folder named for it, other games kept out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "walkthrough/walk_selection.h"

namespace marvo::walk {
namespace {

namespace fs = std::filesystem;

TEST(WalkSelection, NamesThatBelongToAScenario) {
  EXPECT_TRUE(belongsTo("mayak.walk", "mayak"));
  EXPECT_TRUE(belongsTo("mayak-crash.walk", "mayak"));
  EXPECT_TRUE(belongsTo("mayak-a-b.walk", "mayak"));
  EXPECT_TRUE(belongsTo("Маяк-1.walk", "Маяк"));
  for (const char* other : {"yarmarka.walk", "mayakk.walk", "mayak_crash.walk", "mayak-.walk", "mayak.walk.bak",
                            "mayak.wal", "Mayak.walk", "ayak.walk", "mayak.scn"})
    EXPECT_FALSE(belongsTo(other, "mayak")) << other;
  EXPECT_FALSE(belongsTo(".walk", ""));
  // A scenario with the longer name beside it takes its own walkthroughs.
  const std::vector<std::string_view> others{"mayak", "mayak-2", "mayak-20x"};
  EXPECT_FALSE(belongsTo("mayak-2.walk", "mayak", others));
  EXPECT_FALSE(belongsTo("mayak-2-end.walk", "mayak", others));
  EXPECT_TRUE(belongsTo("mayak-2-end.walk", "mayak-2", others));
  EXPECT_TRUE(belongsTo("mayak-20.walk", "mayak", others));
  EXPECT_TRUE(belongsTo("mayak-3.walk", "mayak", others));
}

TEST(WalkSelection, FindsTheScenariosFilesBesideItAndInItsFolder) {
  const fs::path dir = fs::temp_directory_path() / ("walk_selection_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "mayak" / "deeper");
  fs::create_directories(dir / "yarmarka");
  fs::create_directories(dir / "mayak-dir.walk");  // a folder, not a walkthrough
  for (const char* name :
       {"mayak.scn", "mayak.walk", "mayak-b.walk", "mayak-a.walk", "yarmarka.scn", "yarmarka.walk", "mayak-2.scn",
        "mayak-2.walk", "mayak/z.walk", "mayak/a.walk", "mayak/notes.txt", "mayak/deeper/x.walk", "yarmarka/y.walk"})
    std::ofstream(dir / name) << "> \n";

  const std::vector<fs::path> expected{dir / "mayak-a.walk", dir / "mayak-b.walk", dir / "mayak.walk",
                                       dir / "mayak" / "a.walk", dir / "mayak" / "z.walk"};
  EXPECT_EQ(walkthroughsFor(dir / "mayak.scn"), expected);
  EXPECT_EQ(walkthroughsFor(dir / "mayak-2.scn"), std::vector<fs::path>{dir / "mayak-2.walk"});
  EXPECT_EQ(walkthroughsFor(dir / "yarmarka.scn"),
            (std::vector<fs::path>{dir / "yarmarka.walk", dir / "yarmarka" / "y.walk"}));
  EXPECT_TRUE(walkthroughsFor(dir / "none.scn").empty());
  EXPECT_TRUE(walkthroughsFor(dir / "missing" / "mayak.scn").empty());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace marvo::walk
