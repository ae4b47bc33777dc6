// Recovery files on disk: round trip, which files are offered, and garbage in the folder.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Another running instance (a child process) that claimed its recovery files and wrote one.
struct OtherInstance {
  pid_t pid = -1;
  std::filesystem::path file;

  // With `game`, it also keeps a game in progress of `game`'s scenario.
  explicit OtherInstance(const std::filesystem::path& folder, const PlayRecovery* game = nullptr) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    RecoveryOwner owner(folder, "other");
    file = owner.fileFor({});
    pid = ::fork();
    if (pid == 0) {
      const bool ok = owner.claim() && !writeRecovery(file, {}, {"typed by the other instance"}) &&
                      (!game || !writePlayRecovery(owner.playFileFor(game->scenario), *game));
      [[maybe_unused]] auto written = ::write(ready[1], ok ? "1" : "0", 1);
      for (;;) ::pause();  // runs until killed
    }
    char answer = 0;
    if (::read(ready[0], &answer, 1) != 1 || answer != '1') ADD_FAILURE() << "the other instance did not start";
    ::close(ready[0]);
    ::close(ready[1]);
  }
  void kill() {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
  }
  ~OtherInstance() {
    if (pid > 0) kill();
  }
};

TEST(Recovery, FilesOfARunningInstanceAreOfferedOnlyOnceItHasEnded) {
  TempDir dir;
  const auto folder = dir / "recovery";
  OtherInstance other(folder);
  const auto lock = folder / "other.lock";
  ASSERT_TRUE(std::filesystem::exists(other.file));
  EXPECT_FALSE(recoveryOwnerGone(other.file));
  EXPECT_TRUE(pendingRecoveries(folder).empty());
  EXPECT_TRUE(std::filesystem::exists(other.file));  // neither offered nor removed
  EXPECT_TRUE(std::filesystem::exists(lock));

  // Instances never share a file, untitled text included.
  RecoveryOwner mine(folder);
  EXPECT_NE(mine.fileFor({}), other.file);
  EXPECT_NE(mine.fileFor(dir / "a.scn"), RecoveryOwner(folder, "other").fileFor(dir / "a.scn"));

  other.kill();  // as by kill -9: its lock file stays behind, no longer locked
  EXPECT_TRUE(recoveryOwnerGone(other.file));
  auto pending = pendingRecoveries(folder);
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].lines, Lines{"typed by the other instance"});
  EXPECT_TRUE(std::filesystem::exists(lock));  // its owner still has a file to offer

  // Restored here, the file becomes this instance's; the ended run's lock file goes.
  ASSERT_TRUE(mine.claim());
  ASSERT_TRUE(adoptRecovery(pending[0].file, mine.fileFor({})));
  EXPECT_TRUE(pendingRecoveries(folder).empty());
  EXPECT_FALSE(std::filesystem::exists(lock));
  EXPECT_TRUE(std::filesystem::exists(mine.fileFor({})));
}

TEST(Recovery, GamesInProgressOfEndedRunsAreOfferedAndKeepTheirOwnersLock) {
  TempDir dir;
  const auto folder = dir / "recovery";
  const PlayRecovery game{{{0, "взять"}, {3, "север"}}, 2, dir / "a.scn", {0xabc, 12}};
  OtherInstance other(folder, &game);
  const auto file = RecoveryOwner(folder, "other").playFileFor(game.scenario);
  const auto lock = folder / "other.lock";
  // Beside the text's recovery file, under the same name.
  EXPECT_EQ(file.stem(), RecoveryOwner(folder, "other").fileFor(game.scenario).stem());
  EXPECT_NE(file, RecoveryOwner(folder, "other").fileFor(game.scenario));
  // Garbage in the folder: neither offered nor removed, never a crash.
  marvo::testing::writeBytes(folder / "cut-short.play", playRecoveryText(game).substr(0, 40));
  marvo::testing::writeBytes(folder / "foreign.play", "MARVO-RECOVERY 1\r\n\r\n");
  marvo::testing::writeBytes(folder / "noise.play", marvo::testing::pseudoRandomBytes(500, 3));

  EXPECT_TRUE(pendingPlayRecoveries(folder).empty());  // its owner is running
  EXPECT_TRUE(std::filesystem::exists(file));

  other.kill();
  auto pending = pendingPlayRecoveries(folder);
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].file, file);
  EXPECT_EQ(pending[0].play, game);
  // The ended run's text taken up elsewhere: its lock file stays while its game waits.
  RecoveryOwner mine(folder);
  ASSERT_TRUE(mine.claim());
  ASSERT_TRUE(adoptRecovery(pendingRecoveries(folder).at(0).file, mine.fileFor({})));
  EXPECT_TRUE(pendingRecoveries(folder).empty());
  EXPECT_TRUE(std::filesystem::exists(lock));
  EXPECT_EQ(pendingPlayRecoveries(folder).size(), 1u);
  for (const char* name : {"cut-short.play", "foreign.play", "noise.play"})
    EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;

  // Taken up by this run: no longer offered, and the ended run's lock file goes.
  ASSERT_TRUE(adoptRecovery(file, mine.playFileFor(game.scenario)));
  EXPECT_TRUE(pendingPlayRecoveries(folder).empty());
  pendingRecoveries(folder);
  EXPECT_FALSE(std::filesystem::exists(lock));
}

}  // namespace
