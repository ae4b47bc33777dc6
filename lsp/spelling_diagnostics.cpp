// The language server's spelling check on the spelling core.
#include "spelling_diagnostics.h"

#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <vector>

#include "engine/codec.h"
#include "engine/text.h"
#include "spelling/dictionaries.h"
#include "spelling/speller.h"
#include "spelling/word_list.h"

namespace marvo::lsp {

using namespace marvo::literals;

namespace {

using Loaded = std::shared_ptr<const spelling::Dictionaries>;

std::mutex loadingMutex;
std::map<std::filesystem::path, std::shared_future<Loaded>> loading;  // by folder

class NuspellDocumentSpelling : public DocumentSpelling {
 public:
  NuspellDocumentSpelling(Loaded dictionaries, std::filesystem::path scenario)
      : speller_(std::move(dictionaries)), scenario_(std::move(scenario)) {
    reload();
  }

  void replaceLine(int line, std::string_view text) override {
    if (!stale_) results_.replaceLine(speller_, line, text);
  }
  void insertLine(int line, std::string_view text) override {
    if (!stale_) results_.insertLine(speller_, line, text);
  }
  void removeLine(int line) override {
    if (!stale_) results_.removeLine(line);
  }
  void invalidate() override { stale_ = true; }

  std::vector<SpellingWarning> warnings(const std::vector<std::string>& lines) override {
    if (stale_ || results_.lineCount() != static_cast<int>(lines.size())) {
      results_.assign(spelling::checkText(speller_, lines));
      stale_ = false;
    }
    std::vector<SpellingWarning> out;
    for (int i = 0; i < results_.lineCount(); ++i)
      for (const spelling::Misspelling& m : results_.on(i)) {
        std::string message = concat("Неизвестное слово «"_w, m.word, "»"_w);
        message += scenario_.empty() ? std::string(": исправьте его"_w)
                                     : concat(": исправьте его или добавьте в словарь игры "_w, dictionaryName_);
        out.push_back({m.line, m.column, m.length, m.word, std::move(message)});
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
    stale_ = true;
  }

 private:
  spelling::Speller speller_;
  spelling::SpellingResults results_;
  bool stale_ = true;
  std::filesystem::path scenario_;
  std::string dictionaryName_;
};

}  // namespace

void startLoadingDictionaries() {
  const auto folder = spelling::dictionaryFolder();
  std::lock_guard lock(loadingMutex);
  auto& pending = loading[folder];
  if (!pending.valid())
    pending = std::async(std::launch::async, [folder] { return spelling::Dictionaries::shared(folder); }).share();
}

void finishLoadingDictionaries() {
  std::vector<std::shared_future<Loaded>> pending;
  {
    std::lock_guard lock(loadingMutex);
    for (const auto& [folder, load] : loading) pending.push_back(load);
  }
  for (const auto& load : pending) load.wait();
}

std::optional<std::unique_ptr<DocumentSpelling>> makeDocumentSpelling(const std::filesystem::path& scenario) {
  const auto folder = spelling::dictionaryFolder();
  Loaded dictionaries;
  {
    std::lock_guard lock(loadingMutex);
    const auto it = loading.find(folder);
    if (it != loading.end()) {
      if (it->second.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return std::nullopt;
      dictionaries = it->second.get();
    }
  }
  if (!dictionaries) dictionaries = spelling::Dictionaries::shared(folder);
  if (!dictionaries->available()) return std::unique_ptr<DocumentSpelling>();
  return std::make_unique<NuspellDocumentSpelling>(std::move(dictionaries), scenario);
}

}  // namespace marvo::lsp
