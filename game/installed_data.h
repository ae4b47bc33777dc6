// Where a program started from the desktop menu or a file manager works and finds its library.
#pragma once

#include <filesystem>

namespace marvo {

// The library's file name, read from the current folder.
inline constexpr const char* kLibraryFileName = "marvo.lib";

struct DesktopStartPlan {
  // The folder to make current before anything is read or written; empty: stay where started.
  std::filesystem::path workDir;
  // The library read while the current folder has no "marvo.lib"; empty: none (the missing file
  // is then reported as always).
  std::filesystem::path libraryFallback;
};

// Plans a start from the desktop. `launchDir` is the current folder at start, `scenario` the
// absolute path of the file to open (empty: none), `userDir` the program's per-user folder and
// `installedGames` the installed sample games with their library.
//  - A "marvo.lib" in `launchDir` wins: stay there.
//  - Else a writable folder of the scenario that holds a "marvo.lib" becomes current (an author's
//    game beside its own library), unless it is `installedGames`.
//  - Else `userDir` becomes current (created when missing; when that fails, stay): a writable
//    place for the files the program writes beside itself, and where a library saved from the
//    library editor is found at the next start.
// The fallback library is the scenario folder's "marvo.lib" when it has one, else the installed one.
DesktopStartPlan planDesktopStart(const std::filesystem::path& launchDir, const std::filesystem::path& scenario,
                                  const std::filesystem::path& userDir, const std::filesystem::path& installedGames);

// The library file to read now: "marvo.lib" while the current folder has it or `fallback` is
// empty, else `fallback`.
std::filesystem::path libraryToRead(const std::filesystem::path& fallback);

}  // namespace marvo
