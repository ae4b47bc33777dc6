// The language server's spelling check on the spelling core.
#include "spelling_diagnostics.h"

#include "engine/codec.h"
#include "engine/text.h"
#include "spelling/dictionaries.h"
#include "spelling/speller.h"
#include "spelling/word_list.h"

namespace marvo::lsp {

using namespace marvo::literals;

namespace {

class NuspellDocumentSpelling : public DocumentSpelling {
 public:
  NuspellDocumentSpelling(std::shared_ptr<const spelling::Dictionaries> dictionaries, std::filesystem::path scenario)
      : speller_(std::move(dictionaries)), scenario_(std::move(scenario)) {
    reload();
  }

  std::vector<SpellingWarning> check(const std::vector<std::string>& lines) override {
    std::vector<SpellingWarning> out;
    for (std::size_t i = 0; i < lines.size(); ++i)
      for (spelling::Misspelling& m : speller_.checkLine(lines[i], static_cast<int>(i))) {
        std::string message = concat("Неизвестное слово «"_w, m.word, "»"_w);
        message += scenario_.empty() ? std::string(": исправьте его"_w)
                                     : concat(": исправьте его или добавьте в словарь игры "_w, dictionaryName_);
        out.push_back({m.line, m.column, m.length, std::move(m.word), std::move(message)});
      }
    return out;
  }

  std::vector<std::string> suggest(const std::string& word) override { return speller_.suggest(word); }

  void reload() override {
    // A list that cannot be read is empty; the check goes on without it.
    if (!scenario_.empty()) {
      const auto game = spelling::gameDictionaryPath(scenario_);
      dictionaryName_ = utf8ToCp1251(game.filename().string());
      speller_.openGameDictionary(game);
    }
    const auto user = spelling::userDictionaryPath(spelling::defaultUserDataFolder());
    if (!user.empty()) speller_.openUserDictionary(user);
  }

 private:
  spelling::Speller speller_;
  std::filesystem::path scenario_;
  std::string dictionaryName_;
};

}  // namespace

std::unique_ptr<DocumentSpelling> makeDocumentSpelling(const std::filesystem::path& scenario) {
  auto dictionaries = spelling::Dictionaries::shared();
  if (!dictionaries->available()) return nullptr;
  return std::make_unique<NuspellDocumentSpelling>(std::move(dictionaries), scenario);
}

}  // namespace marvo::lsp
