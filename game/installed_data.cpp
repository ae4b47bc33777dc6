// Start-up from the desktop: the working folder and the library when "marvo.lib" is not at hand.
#include "installed_data.h"

#include <unistd.h>

#include <system_error>

namespace marvo {
namespace fs = std::filesystem;

namespace {

bool hasLibrary(const fs::path& dir) {
  std::error_code error;
  return !dir.empty() && fs::is_regular_file(dir / kLibraryFileName, error);
}

bool writable(const fs::path& dir) { return ::access(dir.c_str(), W_OK | X_OK) == 0; }

bool sameFolder(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return fs::equivalent(a, b, error);
}

}  // namespace

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
  if (hasLibrary(scenarioDir) && writable(scenarioDir) && !sameFolder(scenarioDir, installedGames)) {
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

}  // namespace marvo
