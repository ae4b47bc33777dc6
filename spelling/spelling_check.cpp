// Unknown words of a scenario file worded as the checker's warnings.
#include "spelling_check.h"

#include "engine/codec.h"
#include "engine/text.h"
#include "speller.h"
#include "word_list.h"

namespace marvo::spelling {

using namespace literals;

FileSpelling checkScenarioSpelling(std::shared_ptr<const Dictionaries> dictionaries,
                                   const std::filesystem::path& scenarioPath, const std::vector<std::string>& lines,
                                   const std::filesystem::path& userDictionary) {
  FileSpelling result;
  Speller speller(std::move(dictionaries));
  if (!speller.available()) return result;
  const std::filesystem::path gameDictionary = gameDictionaryPath(scenarioPath);
  if (auto error = speller.openGameDictionary(gameDictionary)) result.errors.push_back(*error);
  if (!userDictionary.empty())
    if (auto error = speller.openUserDictionary(userDictionary)) result.errors.push_back(*error);
  const std::string dictionaryName = utf8ToCp1251(gameDictionary.filename().string());
  for (std::size_t i = 0; i < lines.size(); ++i)
    for (const Misspelling& m : speller.checkLine(lines[i], static_cast<int>(i), /*withSuggestions=*/true)) {
      std::string text = concat("Неизвестное слово «"_w, m.word, "»"_w);
      if (!m.suggestions.empty()) {
        text += " (может быть: "_w;
        for (std::size_t k = 0; k < m.suggestions.size(); ++k) {
          if (k) text += ", ";
          text += m.suggestions[k];
        }
        text += ")";
      }
      text += concat(": исправьте его или добавьте в словарь игры "_w, dictionaryName);
      result.warnings.push_back(
          {check::Source::Scenario, static_cast<int>(i + 1), check::Severity::Warning, std::move(text), "spelling"});
    }
  return result;
}

}  // namespace marvo::spelling
