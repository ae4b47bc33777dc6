// Recovery files on disk: round trip, which files are offered, and garbage in the folder.
#include <gtest/gtest.h>

#include <thread>

#include "files_test_util.h"
#include "game/recovery.h"

using namespace marvo;
using marvo::testing::TempDir;

namespace {

using Lines = std::vector<std::string>;

TEST(Recovery, RoundTripKeepsTheScenarioNameAndEveryLine) {
  TempDir dir;
  const auto folder = dir / "data" / "recovery";  // created on the first write
  const auto scenario = dir / "game.scn";
  const auto file = recoveryFileFor(folder, scenario);
  EXPECT_EQ(file, recoveryFileFor(folder, scenario));  // stable
  EXPECT_NE(file, recoveryFileFor(folder, dir / "other.scn"));
  EXPECT_NE(file, recoveryFileFor(folder, {}));
  const Lines lines{":a", "", "\xC0\xE1\xE2", "", ""};
  ASSERT_EQ(writeRecovery(file, scenario, lines), std::nullopt);
  auto read = readRecovery(file);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->lines, lines);
  EXPECT_EQ(read->scenario, scenario);
  EXPECT_GT(read->size, 0u);
  removeRecovery(file);
  removeRecovery(file);  // a missing file is no error
  EXPECT_FALSE(readRecovery(file));
}

TEST(Recovery, OnlyFilesNewerThanTheirScenarioAreOfferedAndOlderOnesAreRemoved) {
  TempDir dir;
  const auto folder = dir / "recovery";
  const auto saved = dir / "saved.scn";
  const auto unsaved = dir / "unsaved.scn";
  marvo::testing::writeBytes(unsaved, "old\r\n");
  ASSERT_EQ(writeRecovery(recoveryFileFor(folder, saved), saved, {"before the save"}), std::nullopt);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  marvo::testing::writeBytes(saved, "saved later\r\n");
  ASSERT_EQ(writeRecovery(recoveryFileFor(folder, unsaved), unsaved, {"newer"}), std::nullopt);
  ASSERT_EQ(writeRecovery(recoveryFileFor(folder, {}), {}, {"untitled"}), std::nullopt);
  ASSERT_EQ(writeRecovery(recoveryFileFor(folder, dir / "gone.scn"), dir / "gone.scn", {"gone"}), std::nullopt);
  marvo::testing::writeBytes(folder / "garbage.recovery", marvo::testing::pseudoRandomBytes(500, 7));
  marvo::testing::writeBytes(folder / "notes.txt", "not ours");

  const auto pending = pendingRecoveries(folder);
  ASSERT_EQ(pending.size(), 3u);  // oldest first
  EXPECT_EQ(pending[0].lines, Lines{"newer"});
  EXPECT_EQ(pending[1].lines, Lines{"untitled"});
  EXPECT_EQ(pending[2].lines, Lines{"gone"});
  EXPECT_FALSE(std::filesystem::exists(recoveryFileFor(folder, saved)));  // superseded by the save
  EXPECT_TRUE(std::filesystem::exists(folder / "garbage.recovery"));      // not ours to judge
  EXPECT_TRUE(pendingRecoveries(dir / "no-such-folder").empty());
}

}  // namespace
