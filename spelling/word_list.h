// A list of words kept in a file, one word a line (UTF-8): the game's own dictionary beside the
// scenario (NAME.dic) and the author's user dictionary.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::spelling {

class WordList {
 public:
  WordList() = default;
  explicit WordList(std::filesystem::path path) : path_(std::move(path)) {}

  // Reads the file: one word a line, UTF-8; blanks around a word and empty lines do not count.
  // A missing file is an empty list (the file is made by the first add). Returns "<file>: <reason>"
  // when the file exists but cannot be read; the list is then empty.
  std::optional<std::string> load();

  // Adds a word (Windows-1251) and writes the file at once: the lines in alphabetical order (case
  // aside, «ё» after «е»; a file put in another order by hand is sorted), each word once, through
  // a temporary file renamed over the old one, so a failed write leaves the previous file. A word
  // already listed changes nothing. Returns "<file>: <reason>" on failure; the word is then not
  // in the list.
  std::optional<std::string> add(std::string_view word);

  const std::filesystem::path& path() const { return path_; }
  // The words, Windows-1251, in file order (a line Windows-1251 cannot hold is left out here and
  // kept in the file).
  const std::vector<std::string>& words() const { return words_; }

 private:
  std::filesystem::path path_;
  std::vector<std::string> lines_;  // UTF-8, trimmed, as in the file
  std::vector<std::string> words_;  // Windows-1251
};

// The game dictionary of a scenario: NAME.dic beside NAME.scn.
std::filesystem::path gameDictionaryPath(const std::filesystem::path& scenario);
// The user dictionary in the program's per-user folder: FOLDER/user.dic (empty for no folder).
std::filesystem::path userDictionaryPath(const std::filesystem::path& userDataFolder);
// The program's per-user folder, as the desktop program has it: $XDG_DATA_HOME/marvo, else
// ~/.local/share/marvo; empty when neither variable is set.
std::filesystem::path defaultUserDataFolder();

}  // namespace marvo::spelling
