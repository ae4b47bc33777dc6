// What the author's files survive: saves that fail partway, in a missing or read-only folder; files
// that are no scenario or no saved game, told apart before they replace anything.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "../support/file_size_limit.h"
#include "files_test_util.h"
#include "game/rtf_reader.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"

using namespace marvo;
using marvo::testing::cp;
using marvo::testing::readBytes;
using marvo::testing::TempDir;
using marvo::testing::writeBytes;
using Lines = std::vector<std::string>;

namespace {

Lines manyLines(std::size_t count) {
  Lines lines;
  for (std::size_t i = 0; i < count; ++i) lines.push_back(cp("!строка сценария номер ") + std::to_string(i));
  return lines;
}

TEST(ScenarioSave, AWriteFailingPartwayLeavesTheOldFileTheOldBackupAndNoDebris) {
  TempDir dir;
  const auto path = dir / "mayak.scn";
  writeBytes(path, "old\r\n");
  writeBytes(backupPath(path), "older\r\n");
  for (auto format : {ScenarioFormat::PlainText, ScenarioFormat::Rtf}) {
    std::optional<SaveFailure> failure;
    {
      marvo::testing::FileSizeLimit diskFull(64 * 1024);  // the new text is several times larger
      failure = saveScenarioFile(path, manyLines(20000), format);
    }
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorNumber, EFBIG);
    EXPECT_TRUE(failure->text.starts_with(path.string() + ": ")) << failure->text;
    EXPECT_EQ(readBytes(path), "old\r\n");
    EXPECT_EQ(readBytes(backupPath(path)), "older\r\n");
    EXPECT_EQ(dir.entryCount(), 2u);
  }
  // With room again the same save goes through, and the old file becomes the backup.
  ASSERT_EQ(saveScenarioFile(path, manyLines(20000), ScenarioFormat::PlainText), std::nullopt);
  EXPECT_EQ(readBytes(backupPath(path)), "old\r\n");
  EXPECT_EQ(readScenarioFile(path).lines, manyLines(20000));
  EXPECT_EQ(dir.entryCount(), 2u);
}

TEST(ScenarioSave, AMissingFolderIsReportedAndNothingIsCreated) {
  TempDir dir;
  const auto path = dir / "deleted" / "mayak.scn";
  const auto failure = saveScenarioFile(path, {"x"}, ScenarioFormat::Rtf);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->errorNumber, ENOENT);
  EXPECT_TRUE(failure->text.starts_with(path.string())) << failure->text;
  EXPECT_EQ(dir.entryCount(), 0u);
}

TEST(ScenarioSave, AReadOnlyFolderIsReportedAndLeftAsItWas) {
  TempDir dir;
  const auto path = dir / "mayak.scn";
  writeBytes(path, "old\r\n");
  ::chmod(path.c_str(), 0644);
  ::chmod(dir.path().c_str(), 0555);
  // The save runs in a child process that is no administrator (who may write anywhere).
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(200);
    const auto failure = saveScenarioFile(path, {"new"}, ScenarioFormat::PlainText);
    ::_exit(failure ? failure->errorNumber : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ::chmod(dir.path().c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), EACCES);
  EXPECT_EQ(readBytes(path), "old\r\n");
  EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(ScenarioSave, TheReplacedFileKeepsItsPermissions) {
  TempDir dir;
  const auto path = dir / "mayak.scn";
  writeBytes(path, "old\r\n");
  ::chmod(path.c_str(), 0640);
  ASSERT_EQ(saveScenarioFile(path, {"new"}, ScenarioFormat::PlainText), std::nullopt);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(readBytes(backupPath(path)), "old\r\n");
}

TEST(ScenarioRead, GarbageIsToldFromDoubtfulButUsableText) {
  TempDir dir;
  writeBytes(dir / "empty.scn", "");
  EXPECT_EQ(readScenarioFile(dir / "empty.scn").doubt, ScenarioDoubt::Empty);

  writeBytes(dir / "random.scn", marvo::testing::pseudoRandomBytes(3000, 5));
  const auto random = readScenarioFile(dir / "random.scn");
  EXPECT_TRUE(random.error.empty());
  EXPECT_EQ(random.doubt, ScenarioDoubt::Binary);
  EXPECT_EQ(readScenarioFile("/proc/self/exe").doubt, ScenarioDoubt::Binary);  // a program

  // An RTF document cut short still gives the lines it holds.
  const std::string rtf = scenarioToRtf({":a", "READ", ":common", "RETURN"});
  writeBytes(dir / "cut.scn", rtf.substr(0, rtf.find("common")));
  const auto cut = readScenarioFile(dir / "cut.scn");
  EXPECT_EQ(cut.doubt, ScenarioDoubt::UnclosedRtf);
  EXPECT_EQ(cut.lines, (Lines{":a", "READ", ":"}));
  writeBytes(dir / "whole.scn", rtf);
  EXPECT_EQ(readScenarioFile(dir / "whole.scn").doubt, ScenarioDoubt::None);

  // Text with a stray NUL, UTF-16 text, and text with tabs and form feeds are text.
  writeBytes(dir / "nul.scn", std::string(":a\r\n!b\0c\r\nREAD\r\n", 15));
  EXPECT_EQ(readScenarioFile(dir / "nul.scn").doubt, ScenarioDoubt::None);
  writeBytes(dir / "utf16.scn", std::string("\xFF\xFE:\0a\0\r\0\n\0R\0E\0A\0D\0\r\0\n\0", 20));
  const auto utf16 = readScenarioFile(dir / "utf16.scn");
  EXPECT_EQ(utf16.doubt, ScenarioDoubt::None);
  EXPECT_EQ(utf16.lines, (Lines{":a", "READ"}));
  EXPECT_FALSE(looksBinary("\t:a\f\r\n\t\tREAD\x1A"));

  // What cannot be read says why.
  const auto folder = readScenarioFile(dir.path());
  EXPECT_EQ(folder.errorNumber, EISDIR);
  EXPECT_TRUE(folder.lines.empty());
  EXPECT_EQ(readScenarioFile(dir / "missing.scn").errorNumber, ENOENT);
}

TEST(SavedGameCheck, RandomBytesAreNoCommandLogAndCommandsOfAnotherGameAreCounted) {
  TempDir dir;
  writeBytes(dir / "random.sav", marvo::testing::pseudoRandomBytes(3 << 20, 11));
  const auto random = readSavedGame(dir / "random.sav");
  EXPECT_TRUE(random.error.empty());
  EXPECT_FALSE(random.commandLog);
  EXPECT_TRUE(random.commands.empty());
  EXPECT_TRUE(isCommandLog(cp("взять ключ\r\n\r\n\tсевер\r\nOpen Door\n")));
  EXPECT_FALSE(isCommandLog(std::string("look\r\n\0\r\n", 8)));

  const Lines scenario = marvo::testing::cp1251Lines(
      {":a", "TALK осмотреться", "!Тихо.", "REDO", "TALK север", "!Стена.", "REDO", "READ"});
  const auto mine = savedGameFit(scenario, {}, {cp("осмотреться"), "", cp("север")});
  EXPECT_EQ(mine.checked, 2);
  EXPECT_EQ(mine.unmatched, 0);
  EXPECT_FALSE(mine.looksLikeOtherGame());
  const auto other = savedGameFit(scenario, {}, {"1", "2", cp("север"), "3"});
  EXPECT_EQ(other.checked, 4);
  EXPECT_EQ(other.unmatched, 3);
  EXPECT_TRUE(other.looksLikeOtherGame());
  EXPECT_FALSE(savedGameFit(scenario, {}, {}).looksLikeOtherGame());
}

}  // namespace
