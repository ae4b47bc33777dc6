// The language server's spelling check: the unknown words of a scenario's prose, and corrections
// for them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
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
  virtual std::vector<SpellingWarning> check(const std::vector<std::string>& lines) = 0;
  // Up to three corrections, best first (Windows-1251); may take a few tenths of a second.
  virtual std::vector<std::string> suggest(const std::string& word) = 0;
  // The word lists are read again (after a save: a word may have been added elsewhere).
  virtual void reload() = 0;
};

// The check for the scenario at `scenario` (empty: a document that is no file, without a game
// dictionary), or nullptr when no Russian dictionary is installed or the program is built without
// the spelling check.
std::unique_ptr<DocumentSpelling> makeDocumentSpelling(const std::filesystem::path& scenario);

}  // namespace marvo::lsp
