// Publishing a game folder for the web player.
#include "publish.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "engine/codec.h"
#include "engine/file_io.h"
#include "engine/text.h"
#include "favicon_svg.h"

#ifndef MARVO_WEB_FROM_BINDIR
#define MARVO_WEB_FROM_BINDIR "../share/marvo/web"
#endif

namespace marvo::web {

using namespace literals;
namespace fs = std::filesystem;

namespace {

bool holdsPlayerFiles(const fs::path& dir) {
  std::error_code ec;
  for (const char* name : kPlayerFiles) {
    if (!fs::is_regular_file(dir / name, ec)) return false;
  }
  return true;
}

std::string htmlEscape(std::string_view utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool isLetterOrDigit(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0 || c == 0xA8 ||
         c == 0xB8;
}

// A file name in an error text: the system's names are UTF-8, the texts Windows-1251.
std::string shown(const fs::path& path) { return utf8ToCp1251(path.string()); }

}  // namespace

fs::path findPlayerFiles(const fs::path& programDir) {
  std::vector<fs::path> candidates;
  if (const char* dir = std::getenv("MARVO_WEB_DIR"); dir && *dir) {
    candidates.emplace_back(dir);
  } else if (!programDir.empty()) {
    // Only the installation's own folder: a folder named at build time could be created by anyone
    // on a machine the program is later installed on, and would then choose what gets published.
    candidates.push_back((programDir / MARVO_WEB_FROM_BINDIR).lexically_normal());
  }
  for (const auto& dir : candidates) {
    if (holdsPlayerFiles(dir)) return dir.lexically_normal();
  }
  return {};
}

std::string missingPlayerFilesMessage() {
  return concat("Веб-проигрыватель не собран: нет файлов index.html, marvo.js и marvo.wasm. "_w,
                "Соберите его командой scripts/build-web в папке исходников (или: emcmake cmake -S . "_w,
                "-B build-web -DMARVO_WEB=ON && cmake --build build-web) и укажите папку build-web/web "_w,
                "либо другую папку с этими "_w, "файлами в переменной MARVO_WEB_DIR."_w);
}

bool holdsOnlyPublishedGame(const fs::path& folder) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec || it == fs::directory_iterator()) return false;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return false;
    const std::string name = it->path().filename().string();
    const bool ours =
        name == kScenarioFile || name == kLibraryFile || name == kFaviconFile ||
        std::any_of(std::begin(kPlayerFiles), std::end(kPlayerFiles), [&](const char* f) { return name == f; });
    if (!ours) return false;
  }
  return true;
}

std::string defaultTitle(const std::vector<std::string>& scenario) {
  constexpr std::size_t kMaxTitle = 100;
  // What frames the words of a comment or a text line: "*- - - Предметы - - -", "!=== ... ===".
  constexpr std::string_view kFrame = " \t-=*_~#%+|/\\";
  for (const std::string& raw : scenario) {
    std::string_view line = trimView(raw);
    if (line.empty() || (line[0] != '*' && line[0] != '!')) continue;
    const auto first = line.find_first_not_of(kFrame, 1);
    if (first == std::string_view::npos) continue;
    line = line.substr(first, line.find_last_not_of(kFrame) + 1 - first);
    if (std::none_of(line.begin(), line.end(), isLetterOrDigit)) continue;
    if (line.size() <= kMaxTitle) return std::string(line);
    // A long line is cut at a word, with an ellipsis.
    auto cut = line.substr(0, kMaxTitle).rfind(' ');
    if (cut == std::string_view::npos || cut < kMaxTitle / 2) cut = kMaxTitle;
    return concat(trimView(line.substr(0, cut)), "…"_w);
  }
  return {};
}

std::string pageWithTitle(std::string page, std::string_view titleCp1251) {
  const std::string title = htmlEscape(cp1251ToUtf8(titleCp1251));
  const std::string_view mark = "@TITLE@";
  for (auto at = page.find(mark); at != std::string::npos; at = page.find(mark, at + title.size())) {
    page.replace(at, mark.size(), title);
  }
  return page;
}

PublishResult publishGame(const PublishRequest& request) {
  PublishResult result;
  // Everything is read first, so that a missing player file leaves the folder untouched.
  std::vector<std::pair<std::string, std::string>> files;
  for (const char* name : kPlayerFiles) {
    FileRead read = readWholeFile(request.playerFiles / name);
    if (!read.error.empty()) {
      result.error = concat(missingPlayerFilesMessage(), " ("_w, utf8ToCp1251(read.error), ")");
      return result;
    }
    files.emplace_back(name, std::move(read.bytes));
  }
  std::string title = request.title;
  if (title.empty()) title = defaultTitle(request.scenario);
  if (title.empty()) title = request.fallbackTitle;
  if (title.empty())
    title =
        shown(request.folder.filename().empty() ? request.folder.parent_path().filename() : request.folder.filename());
  files[0].second = pageWithTitle(std::move(files[0].second), title);
  files.emplace_back(kFaviconFile, kFaviconSvg);
  files.emplace_back(kScenarioFile, joinLines(request.scenario));
  files.emplace_back(kLibraryFile, joinLines(request.library));

  const fs::path& folder = request.folder;
  std::error_code ec;
  if (fs::exists(folder, ec) && !fs::is_directory(folder, ec)) {
    result.error = concat(shown(folder), ": это не папка"_w);
    return result;
  }
  if (fs::is_directory(folder, ec) && !fs::is_empty(folder, ec) && !request.force) {
    result.error = concat("Папка "_w, shown(folder), " не пуста; игра публикуется в пустую папку "_w,
                          "(или с перезаписью: --force)"_w);
    result.folderNotEmpty = true;
    return result;
  }
  fs::create_directories(folder, ec);
  if (ec) {
    result.error = concat(shown(folder), ": "_w, utf8ToCp1251(ec.message()));
    return result;
  }
  for (const auto& [name, bytes] : files) {
    if (auto error = replaceFile(folder / name, bytes)) {
      result.error = utf8ToCp1251(*error);
      return result;
    }
  }
  return result;
}

}  // namespace marvo::web
