// The spelling check of one scenario: the language dictionaries, the game's and the user's word
// lists, the words ignored for the session, and a verdict cache per word.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "dictionaries.h"
#include "word_list.h"

namespace marvo::spelling {

struct Options {
  // «ё» and «е» count as one letter: "ещё" and "еще" are both right when either is.
  bool yoIsYe = true;
};

// An unknown word of a line.
struct Misspelling {
  int line = 0;      // the line's number as the caller gave it (checkText and SpellingResults: from 0)
  int column = 0;    // byte offset in the Windows-1251 line, from 0
  int length = 0;    // in bytes (= characters)
  std::string word;  // Windows-1251, as written
  std::vector<std::string> suggestions;  // Windows-1251, best first, at most three; only on request
};

// Thread safety: every member function may be called from any thread at any time (one internal
// mutex guards the word lists and the cache; the dictionaries have their own). A background
// check of all lines and the re-check of an edited line on the user-interface thread may run at
// once; the verdict of a word is computed outside the lock, so neither waits on the other's work.
class Speller {
 public:
  explicit Speller(std::shared_ptr<const Dictionaries> dictionaries, Options options = {});

  // The dictionaries are there; when not, every line is clean and note() says why.
  bool available() const { return dictionaries_ && dictionaries_->available(); }
  std::string note() const;  // Windows-1251, Russian; empty when available

  // The game's dictionary (NAME.dic beside the scenario) and the user's. Each replaces the list
  // used so far; a missing file is an empty list that the first addition creates. Return
  // "<file>: <reason>" when the file cannot be read (the list is then empty).
  std::optional<std::string> openGameDictionary(const std::filesystem::path& path);
  std::optional<std::string> openUserDictionary(const std::filesystem::path& path);
  // Adds the word (Windows-1251) to that list and its file at once (no file open: an error).
  std::optional<std::string> addToGameDictionary(std::string_view word);
  std::optional<std::string> addToUserDictionary(std::string_view word);
  // The word counts as right until this Speller is gone (nothing is written).
  void ignore(std::string_view word);

  Options options() const;
  void setOptions(Options options);

  // Changes whenever a verdict may have changed (a word added or ignored, a list opened, options
  // changed): results computed under an older generation should be computed again.
  std::uint64_t generation() const { return generation_.load(std::memory_order_acquire); }

  // Is the word (Windows-1251) right: ignored, in the game's or the user's list (a list word in
  // small letters matches it in any case, one with capitals as written or in capitals), or in the
  // language dictionary? Cached per word.
  bool known(std::string_view word) const;
  // Up to `max` (at most three) corrections, best first: close words of the game's and the user's
  // lists, then the dictionary's. Cached per word; may take a few tenths of a second for an uncached word.
  std::vector<std::string> suggest(std::string_view word, std::size_t max = 3) const;

  // The unknown words among the prose words of a line (prose.h), left to right, marked with
  // `lineNumber`.
  std::vector<Misspelling> checkLine(std::string_view text, int lineNumber = 0, bool withSuggestions = false) const;

 private:
  std::string fold(std::string_view word) const;  // ё to е when the options say so
  bool inOwnLists(std::string_view word) const;   // under mutex_
  bool inDictionary(std::string_view word, bool yoIsYe) const;
  void rebuildOwnWords();  // under mutex_
  void changed();          // under mutex_: caches dropped, generation moved
  std::optional<std::string> addTo(WordList& list, std::string_view word);

  std::shared_ptr<const Dictionaries> dictionaries_;
  mutable std::mutex mutex_;
  Options options_;
  WordList game_;
  WordList user_;
  std::unordered_set<std::string> ignored_;
  // Own words folded: as written; small-letter entries lower-cased; every entry lower-cased.
  std::unordered_set<std::string> exact_, anyCase_, inCapitals_;
  mutable std::unordered_map<std::string, bool> verdicts_;
  mutable std::unordered_map<std::string, std::vector<std::string>> suggestions_;
  std::atomic<std::uint64_t> generation_{1};
};

// Every line of a text checked in order (without suggestions). When `stop` becomes true the check
// ends early and `complete` is false. Meant for a worker thread: it touches nothing but the Speller.
struct TextSpelling {
  std::vector<std::vector<Misspelling>> lines;  // one list per line
  std::uint64_t generation = 0;                 // the Speller's generation when the check began
  bool complete = true;
};
TextSpelling checkText(const Speller& speller, const std::vector<std::string>& lines,
                       const std::atomic<bool>* stop = nullptr);

// The misspellings of every line of a document, kept in step with one-line edits as the code
// editor makes them (line numbers from 0, renumbered after an inserted or removed line). Not
// thread-safe: owned by the thread that edits.
class SpellingResults {
 public:
  void assign(TextSpelling&& checked) { lines_ = std::move(checked.lines); }
  void replaceLine(const Speller& speller, int line, std::string_view text);
  void insertLine(const Speller& speller, int line, std::string_view text);  // before `line` (or at the end)
  void removeLine(int line);
  int lineCount() const { return static_cast<int>(lines_.size()); }
  const std::vector<Misspelling>& on(int line) const;  // empty for a line out of range
  // The misspelling covering the byte at `column` of the line, if any (for a context menu).
  const Misspelling* at(int line, int column) const;

 private:
  void renumber(int from);

  std::vector<std::vector<Misspelling>> lines_;
};

}  // namespace marvo::spelling
