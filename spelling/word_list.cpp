// The game and user dictionaries: UTF-8 word files read whole and rewritten safely on every addition.
#include "word_list.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/codec.h"
#include "engine/file_io.h"
#include "engine/text.h"

namespace marvo::spelling {

namespace {

// Does the UTF-8 text survive the trip to Windows-1251 (no character turned into "?")?
bool fitsCp1251(std::string_view utf8, const std::string& cp1251) {
  return std::count(utf8.begin(), utf8.end(), '?') == std::count(cp1251.begin(), cp1251.end(), '?');
}

// Dictionary order of two lines: letters compared without case, «ё» right after «е», Latin before
// Cyrillic; lines equal so compared by their bytes, so the order is total and never depends on
// the order of addition.
bool alphabetical(const std::string& a, const std::string& b) {
  const auto key = [](const std::string& utf8) {
    std::vector<int> out;
    for (char c : lower(utf8ToCp1251(utf8))) {
      const auto b = static_cast<unsigned char>(c);
      out.push_back(b == 0xB8 ? 0xE5 * 2 + 1 : b * 2);
    }
    return out;
  };
  const auto ka = key(a), kb = key(b);
  return ka != kb ? ka < kb : a < b;
}

}  // namespace

std::optional<std::string> WordList::load() {
  lines_.clear();
  words_.clear();
  std::error_code error;
  if (!std::filesystem::exists(path_, error)) return std::nullopt;
  const FileRead read = readWholeFile(path_);
  if (!read.error.empty()) return read.error;
  std::string_view bytes = read.bytes;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // a byte order mark some editors write
  for (const std::string& line : splitLines(bytes, /*stopAtNul=*/true)) {
    const std::string_view word = trimView(line);
    if (word.empty()) continue;
    lines_.emplace_back(word);
    std::string converted = utf8ToCp1251(word);
    if (fitsCp1251(word, converted)) words_.push_back(std::move(converted));
  }
  return std::nullopt;
}

std::optional<std::string> WordList::add(std::string_view word) {
  word = trimView(word);
  if (word.empty()) return std::nullopt;
  if (std::find(words_.begin(), words_.end(), word) != words_.end()) return std::nullopt;
  std::vector<std::string> lines = lines_;
  lines.push_back(cp1251ToUtf8(word));
  std::sort(lines.begin(), lines.end(), alphabetical);
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\n");
  std::error_code made;
  if (path_.has_parent_path()) std::filesystem::create_directories(path_.parent_path(), made);
  if (auto error = replaceFile(path_, text)) return error;
  lines_ = std::move(lines);
  words_.emplace_back(word);
  return std::nullopt;
}

std::filesystem::path gameDictionaryPath(const std::filesystem::path& scenario) {
  std::filesystem::path path = scenario;
  return path.replace_extension(".dic");
}

std::filesystem::path userDictionaryPath(const std::filesystem::path& userDataFolder) {
  return userDataFolder.empty() ? std::filesystem::path() : userDataFolder / "user.dic";
}

std::filesystem::path defaultUserDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::filesystem::path(data) / "marvo";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::filesystem::path(home) / ".local" / "share" / "marvo";
  return {};
}

}  // namespace marvo::spelling
