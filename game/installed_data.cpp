// Start-up from the desktop: the working folder and the library when "marvo.lib" is not at hand.
#include "installed_data.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace marvo {
namespace fs = std::filesystem;

namespace {

bool hasLibrary(const fs::path& dir) {
  std::error_code error;
  return !dir.empty() && fs::is_regular_file(dir / kLibraryFileName, error);
}

bool sameFolder(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return fs::equivalent(a, b, error);
}

}  // namespace

bool writableFolder(const fs::path& dir) { return ::access(dir.c_str(), W_OK | X_OK) == 0; }

DesktopStartPlan planDesktopStart(const fs::path& launchDir, const fs::path& scenario, const fs::path& userDir,
                                  const fs::path& installedGames) {
  DesktopStartPlan plan;
  const fs::path scenarioDir = scenario.empty() ? fs::path() : scenario.parent_path();
  if (hasLibrary(scenarioDir)) {
    plan.libraryFallback = scenarioDir / kLibraryFileName;
  } else if (hasLibrary(installedGames)) {
    plan.libraryFallback = installedGames / kLibraryFileName;
  }

  if (hasLibrary(launchDir)) return plan;
  // The installed games stay as installed, also for a user who may write there.
  if (hasLibrary(scenarioDir) && writableFolder(scenarioDir) && !sameFolder(scenarioDir, installedGames)) {
    plan.workDir = scenarioDir;
    return plan;
  }
  std::error_code error;
  if (!userDir.empty() && (fs::is_directory(userDir, error) || fs::create_directories(userDir, error)))
    plan.workDir = userDir;
  return plan;
}

fs::path libraryToRead(const fs::path& fallback) {
  std::error_code error;
  if (fallback.empty() || fs::exists(kLibraryFileName, error)) return kLibraryFileName;
  return fallback;
}

FoundLibrary findLibrary(const fs::path& scenario, const fs::path& userDir, const fs::path& installedGames) {
  if (hasLibrary(".")) return {kLibraryFileName, LibraryPlace::CurrentFolder};
  std::error_code error;
  const fs::path scenarioDir = scenario.empty() ? fs::path() : fs::absolute(scenario, error).parent_path();
  if (hasLibrary(scenarioDir)) return {scenarioDir / kLibraryFileName, LibraryPlace::ScenarioFolder};
  if (hasLibrary(userDir)) return {userDir / kLibraryFileName, LibraryPlace::UserFolder};
  if (hasLibrary(installedGames)) return {installedGames / kLibraryFileName, LibraryPlace::Installed};
  return {};
}

fs::path userDataFolder() {
  // A relative XDG_DATA_HOME is invalid and ignored, as the desktop program's Qt does.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') return fs::path(data) / "marvo";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local" / "share" / "marvo";
  return {};
}

}  // namespace marvo
