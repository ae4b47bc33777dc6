// The language server's spelling check: the unknown words of a scenario's prose, kept in step
// with the document line by line, and corrections for them.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::lsp {

struct SpellingWarning {
  int line = 0;         // from 0
  int column = 0;       // byte offset in the Windows-1251 line
  int length = 0;       // in bytes
  std::string word;     // Windows-1251
  std::string message;  // Windows-1251, as `marvo-cli check --spelling` words it (without corrections)
};

// The check of one open scenario: the language dictionaries (loaded once for the process), its
// game dictionary (NAME.dic beside it) and the user's dictionary; a verdict cache per word.
class DocumentSpelling {
 public:
  virtual ~DocumentSpelling() = default;
  // The edits of the document's lines, as the symbol index follows them (line numbers from 0).
  virtual void replaceLine(int line, std::string_view text) = 0;
  virtual void insertLine(int line, std::string_view text) = 0;
  virtual void removeLine(int line) = 0;
  // The text changed otherwise: every line is checked again for the next warnings().
  virtual void invalidate() = 0;
  // The unknown words of `lines` (the document's text, in step with the edits above).
  virtual std::vector<SpellingWarning> warnings(const std::vector<std::string>& lines) = 0;
  // Up to three corrections, best first (Windows-1251); may take a few tenths of a second.
  virtual std::vector<std::string> suggest(const std::string& word) = 0;
  // The word lists are read again (after a save: a word may have been added elsewhere).
  virtual void reload() = 0;
};

// Starts loading the dictionaries on a thread of their own, once for the process.
void startLoadingDictionaries();
// Waits until a load started above has finished: a server calls it before it returns, so that no
// loading thread outlives the objects it fills.
void finishLoadingDictionaries();
// The check for the scenario at `scenario` (empty: a document that is no file, without a game
// dictionary): nullptr when no Russian dictionary is installed or the program is built without the
// spelling check; std::nullopt while startLoadingDictionaries() is still at work (without it the
// dictionaries are loaded here and now).
std::optional<std::unique_ptr<DocumentSpelling>> makeDocumentSpelling(const std::filesystem::path& scenario);

}  // namespace marvo::lsp
