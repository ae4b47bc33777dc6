// Start from the desktop: which folder becomes current and which library is read without one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "game/installed_data.h"

using namespace marvo;
namespace fs = std::filesystem;

namespace {

// A scratch tree: launch/ (where the program was started), user/ (its per-user folder, created
// by the plan), games/ (the installed games with their library), author/ (a game of an author).
class DesktopStart : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("marvo_desktop_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    for (const char* dir : {"launch", "games", "author"}) fs::create_directories(root_ / dir);
    touch("games/marvo.lib");
    touch("games/sample.scn");
    touch("author/quest.scn");
    previous_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(previous_);
    ::chmod((root_ / "author").c_str(), 0755);
    fs::remove_all(root_);
  }
  void touch(const char* name) { std::ofstream(root_ / name) << "* " << name << "\n"; }
  fs::path at(const char* name) const { return root_ / name; }
  DesktopStartPlan plan(const fs::path& scenario) {
    return planDesktopStart(at("launch"), scenario, at("user"), at("games"));
  }

  fs::path root_;
  fs::path previous_;
};

}  // namespace

TEST_F(DesktopStart, LibraryInTheLaunchFolderWins) {
  touch("launch/marvo.lib");
  touch("author/marvo.lib");
  const DesktopStartPlan p = plan(at("author/quest.scn"));
  EXPECT_TRUE(p.workDir.empty());
  EXPECT_FALSE(fs::exists(at("user")));  // nothing is created when it is not needed
  fs::current_path(at("launch"));
  EXPECT_EQ(libraryToRead(p.libraryFallback), fs::path("marvo.lib"));
}

TEST_F(DesktopStart, AuthorsGameWithItsOwnLibraryWorksInItsFolder) {
  touch("author/marvo.lib");
  const DesktopStartPlan p = plan(at("author/quest.scn"));
  EXPECT_EQ(p.workDir, at("author"));
  EXPECT_EQ(p.libraryFallback, at("author/marvo.lib"));
}

TEST_F(DesktopStart, WithoutAnyLibraryAtHandThePerUserFolderAndTheInstalledLibrary) {
  for (const fs::path& scenario : {fs::path(), at("author/quest.scn")}) {
    const DesktopStartPlan p = plan(scenario);
    EXPECT_EQ(p.workDir, at("user"));
    EXPECT_TRUE(fs::is_directory(at("user")));
    EXPECT_EQ(p.libraryFallback, at("games/marvo.lib"));

    // The installed library is read until the user saves one of their own there.
    fs::current_path(p.workDir);
    EXPECT_EQ(libraryToRead(p.libraryFallback), at("games/marvo.lib"));
    touch("user/marvo.lib");
    EXPECT_EQ(libraryToRead(p.libraryFallback), fs::path("marvo.lib"));
    fs::remove(at("user/marvo.lib"));
  }
}

TEST_F(DesktopStart, InstalledGamesNeverBecomeTheWorkingFolder) {
  // Opening the installed sample (also by a user allowed to write there) works in the user's folder.
  const DesktopStartPlan p = plan(at("games/sample.scn"));
  EXPECT_EQ(p.workDir, at("user"));
  EXPECT_EQ(p.libraryFallback, at("games/marvo.lib"));
}

TEST_F(DesktopStart, ReadOnlyAuthorFolderKeepsItsLibraryButNotTheWorkingFolder) {
  touch("author/marvo.lib");
  ::chmod(at("author").c_str(), 0555);
  if (::access(at("author").c_str(), W_OK) == 0) GTEST_SKIP() << "the folder stays writable (root)";
  const DesktopStartPlan p = plan(at("author/quest.scn"));
  EXPECT_EQ(p.workDir, at("user"));
  EXPECT_EQ(p.libraryFallback, at("author/marvo.lib"));
}

TEST_F(DesktopStart, NoLibraryAnywhereAndNoUserFolderKeepsTheUsualRule) {
  fs::remove(at("games/marvo.lib"));
  touch("launch/user");  // a file where the per-user folder should be: it cannot be created
  const DesktopStartPlan p = planDesktopStart(at("launch"), {}, at("launch/user"), at("games"));
  EXPECT_TRUE(p.workDir.empty());
  EXPECT_TRUE(p.libraryFallback.empty());
  fs::current_path(at("launch"));
  EXPECT_EQ(libraryToRead(p.libraryFallback), fs::path("marvo.lib"));  // reported missing as always
}

TEST_F(DesktopStart, TerminalPlayFindsTheLibraryInTheDesktopProgramsOrder) {
  fs::create_directories(at("user"));
  fs::current_path(at("launch"));
  const fs::path scenario = at("author/quest.scn");
  // Each place is taken away in turn: current folder, scenario's folder, user's folder, installed.
  touch("launch/marvo.lib");
  touch("author/marvo.lib");
  touch("user/marvo.lib");
  FoundLibrary found = findLibrary(scenario, at("user"), at("games"));
  EXPECT_EQ(found.place, LibraryPlace::CurrentFolder);
  EXPECT_EQ(found.file, fs::path("marvo.lib"));
  fs::remove(at("launch/marvo.lib"));
  found = findLibrary(scenario, at("user"), at("games"));
  EXPECT_EQ(found.place, LibraryPlace::ScenarioFolder);
  EXPECT_EQ(found.file, at("author/marvo.lib"));
  // A scenario named relative to the current folder.
  EXPECT_EQ(findLibrary("../author/quest.scn", at("user"), at("games")).file.lexically_normal(),
            at("author/marvo.lib"));
  fs::remove(at("author/marvo.lib"));
  found = findLibrary(scenario, at("user"), at("games"));
  EXPECT_EQ(found.place, LibraryPlace::UserFolder);
  EXPECT_EQ(found.file, at("user/marvo.lib"));
  fs::remove(at("user/marvo.lib"));
  found = findLibrary(scenario, at("user"), at("games"));
  EXPECT_EQ(found.place, LibraryPlace::Installed);
  EXPECT_EQ(found.file, at("games/marvo.lib"));
  fs::remove(at("games/marvo.lib"));
  EXPECT_EQ(findLibrary(scenario, {}, {}).place, LibraryPlace::None);
}

TEST_F(DesktopStart, TheUserFolderIsTheDesktopProgramsOne) {
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string saved = data ? data : "";
  ::setenv("XDG_DATA_HOME", at("data").c_str(), 1);
  EXPECT_EQ(userDataFolder(), at("data/marvo"));
  ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored
  if (const char* home = std::getenv("HOME")) {
    EXPECT_EQ(userDataFolder(), fs::path(home) / ".local/share/marvo");
  }
  if (data)
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");
}
