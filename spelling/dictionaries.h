// The language dictionaries a spelling check consults: Debian's hunspell-ru (required) and
// hunspell-en-us (for Latin words), read with Nuspell.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace nuspell {
inline namespace v5 {
class Dictionary;
}
}  // namespace nuspell

namespace marvo::spelling {

// Where the dictionaries are looked for: $MARVO_HUNSPELL_DIR when set, else /usr/share/hunspell.
std::filesystem::path dictionaryFolder();

// The loaded dictionaries. Loading takes a few tenths of a second, so one instance is made once
// and shared by every check (std::shared_ptr<const Dictionaries>).
//
// Thread safety: every member function is const and may be called from any thread at the same
// time; the calls into each Nuspell dictionary are serialised by a mutex of its own, since the
// library makes no promise about concurrent use.
class Dictionaries {
 public:
  // Reads FOLDER/ru_RU.aff + .dic and, when present, FOLDER/en_US.aff + .dic. Never throws: without
  // the Russian dictionary the result is not available() and note() says why and what to do.
  static std::shared_ptr<const Dictionaries> load(const std::filesystem::path& folder = dictionaryFolder());
  // The same, loaded once a folder for the whole process and shared (the editor's and the
  // language server's documents). Safe to call from any thread; the first call waits for the load.
  static std::shared_ptr<const Dictionaries> shared(const std::filesystem::path& folder = dictionaryFolder());

  ~Dictionaries();
  struct Guarded;  // a Nuspell dictionary with its mutex

  bool available() const { return russian_ != nullptr; }
  bool hasEnglish() const { return english_ != nullptr; }
  // Windows-1251, Russian: why the check is off and what to install. Empty when available.
  const std::string& note() const { return note_; }
  // That note for a folder without the Russian dictionary.
  static std::string missingNote(const std::filesystem::path& folder);

  // Is the word (Windows-1251) spelled right? A word with a Cyrillic letter goes to the Russian
  // dictionary, a Latin one to the English dictionary (without it a Latin word is not judged:
  // true). False when not available().
  bool spell(std::string_view word) const;
  // Corrections for the word (Windows-1251), best first, at most `max`; the library's order.
  std::vector<std::string> suggest(std::string_view word, std::size_t max) const;

 private:
  Dictionaries() = default;
  const Guarded* dictionaryFor(std::string_view word) const;

  std::unique_ptr<Guarded> russian_;
  std::unique_ptr<Guarded> english_;
  std::string note_;
};

}  // namespace marvo::spelling
