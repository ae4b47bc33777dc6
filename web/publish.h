// Publishing a game as a folder of static files that any web server serves: the player page,
// the engine (marvo.js, marvo.wasm), the scenario and the library.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace marvo::web {

// The files of the built web player, copied into every published folder.
inline constexpr const char* kPlayerFiles[] = {"index.html", "marvo.js", "marvo.wasm"};
// The names the page loads the game from.
inline constexpr const char* kScenarioFile = "game.scn";
inline constexpr const char* kLibraryFile = "marvo.lib";
// The page's icon (the application's icon), written by publishing itself.
inline constexpr const char* kFaviconFile = "favicon.svg";

// The folder holding all player files: $MARVO_WEB_DIR when set (and then only it), else
// the installed data folder of the installation `programDir` belongs to (programDir/../share/marvo/web).
// Empty when it does not hold them all.
std::filesystem::path findPlayerFiles(const std::filesystem::path& programDir);
// Says (in Windows-1251) that the player files are missing and what to run to build them.
std::string missingPlayerFilesMessage();

struct PublishRequest {
  std::vector<std::string> scenario;  // Windows-1251 lines
  std::vector<std::string> library;   // Windows-1251 lines
  std::string title;                  // Windows-1251; the page's title; empty: defaultTitle
  std::string fallbackTitle;          // Windows-1251; the title when the scenario names none
  std::filesystem::path playerFiles;  // from findPlayerFiles
  std::filesystem::path folder;       // created when missing
  bool force = false;                 // write into a folder that already holds files
};

struct PublishResult {
  std::string error;            // Windows-1251, names the file or folder and the reason; empty on success
  bool folderNotEmpty = false;  // refused because the folder holds files and `force` was not given
};

// Writes index.html (with the title), marvo.js, marvo.wasm, favicon.svg, game.scn and marvo.lib
// (Windows-1251 text, CR LF line ends) into the folder, each file replaced whole; other files there are left
// alone. Nothing is written when the player files cannot be read or the folder is refused.
PublishResult publishGame(const PublishRequest& request);

// Whether the folder holds nothing but the files of a published game (so that publishing again
// into it replaces no file of anyone else's). False for a missing or empty folder.
bool holdsOnlyPublishedGame(const std::filesystem::path& folder);

// The title a game gets when none is given: the words of its first text line ("!") or comment
// ("*") that holds any, without the dashes and stars around them, at most about 100 characters;
// empty when no such line exists.
std::string defaultTitle(const std::vector<std::string>& scenario);

// The page with the title filled in (HTML-escaped, UTF-8).
std::string pageWithTitle(std::string page, std::string_view titleCp1251);

}  // namespace marvo::web
