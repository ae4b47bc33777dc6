// The spelling check of a scenario file as findings of the scenario checker: unknown words as
// warnings with the rule "spelling" (marvo-cli check --spelling).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "checker/checker.h"
#include "dictionaries.h"

namespace marvo::spelling {

struct FileSpelling {
  std::vector<check::Diagnostic> warnings;  // one per unknown word, in line order
  std::vector<std::string> errors;          // "<file>: <reason>" of a word list that cannot be read
};

// Checks the scenario's lines (Windows-1251) read from `scenarioPath` against the dictionaries,
// the game dictionary beside it (NAME.dic) and the user dictionary `userDictionary` (empty: none).
// Each warning names the word, up to three suggestions and where to add the word.
FileSpelling checkScenarioSpelling(std::shared_ptr<const Dictionaries> dictionaries,
                                   const std::filesystem::path& scenarioPath, const std::vector<std::string>& lines,
                                   const std::filesystem::path& userDictionary);

}  // namespace marvo::spelling
