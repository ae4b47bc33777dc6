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

// Where the library of a game played in the terminal was found.
enum class LibraryPlace { None, CurrentFolder, ScenarioFolder, UserFolder, Installed };

struct FoundLibrary {
  std::filesystem::path file;  // "marvo.lib" (the current folder's) or a path; empty with None
  LibraryPlace place = LibraryPlace::None;
};

// The library a scenario is played with when none is named, in the desktop program's order: the
// "marvo.lib" of the current folder, else of the scenario's folder, else of `userDir`, else of
// `installedGames`. Empty folders are skipped.
FoundLibrary findLibrary(const std::filesystem::path& scenario, const std::filesystem::path& userDir,
                         const std::filesystem::path& installedGames);

// The program's per-user folder, as the desktop program's: $XDG_DATA_HOME/marvo, else
// $HOME/.local/share/marvo; empty when neither variable is set.
std::filesystem::path userDataFolder();

// Whether this process may create files in `dir`.
bool writableFolder(const std::filesystem::path& dir);

}  // namespace marvo
