// Nuspell behind a Windows-1251 face: words converted to UTF-8 for the library and back.
#include "dictionaries.h"

#include <cstdlib>
#include <map>
#include <nuspell/dictionary.hxx>

#include "engine/codec.h"
#include "engine/text.h"
#include "prose.h"

namespace marvo::spelling {

using namespace literals;

struct Dictionaries::Guarded {
  nuspell::Dictionary dictionary;
  mutable std::mutex mutex;
};

namespace {

std::unique_ptr<Dictionaries::Guarded> loadOne(const std::filesystem::path& aff, std::string& error) {
  std::error_code ignored;
  if (!std::filesystem::exists(aff, ignored)) return nullptr;
  std::filesystem::path dic = aff;
  dic.replace_extension(".dic");
  if (!std::filesystem::exists(dic, ignored)) return nullptr;
  auto guarded = std::make_unique<Dictionaries::Guarded>();
  try {
    guarded->dictionary.load_aff_dic(aff);
  } catch (const std::exception& e) {
    error = e.what();
    return nullptr;
  }
  return guarded;
}

}  // namespace

std::shared_ptr<const Dictionaries> Dictionaries::shared(const std::filesystem::path& folder) {
  // Never destroyed: a loading thread may still use them while the process ends.
  static auto* mutex = new std::mutex;
  static auto* loaded = new std::map<std::filesystem::path, std::shared_ptr<const Dictionaries>>;
  std::lock_guard lock(*mutex);
  auto& dictionaries = (*loaded)[folder];
  if (!dictionaries) dictionaries = load(folder);
  return dictionaries;
}

std::filesystem::path dictionaryFolder() {
  if (const char* folder = std::getenv("MARVO_HUNSPELL_DIR"); folder && *folder) return folder;
  return "/usr/share/hunspell";
}

Dictionaries::~Dictionaries() = default;

std::string Dictionaries::missingNote(const std::filesystem::path& folder) {
  return concat("Проверка орфографии выключена: нет русского словаря "_w, utf8ToCp1251((folder / "ru_RU.dic").string()),
                ". Установите пакет hunspell-ru (sudo apt install hunspell-ru)."_w);
}

std::shared_ptr<const Dictionaries> Dictionaries::load(const std::filesystem::path& folder) {
  std::shared_ptr<Dictionaries> loaded(new Dictionaries);
  std::string error;
  loaded->russian_ = loadOne(folder / "ru_RU.aff", error);
  if (!loaded->russian_) {
    loaded->note_ = error.empty() ? missingNote(folder)
                                  : concat("Проверка орфографии выключена: русский словарь "_w,
                                           utf8ToCp1251((folder / "ru_RU.dic").string()), " не читается ("_w,
                                           utf8ToCp1251(error), "). Переустановите пакет hunspell-ru."_w);
    return loaded;
  }
  std::string ignored;
  loaded->english_ = loadOne(folder / "en_US.aff", ignored);
  return loaded;
}

const Dictionaries::Guarded* Dictionaries::dictionaryFor(std::string_view word) const {
  return isCyrillic(word) ? russian_.get() : english_.get();
}

bool Dictionaries::spell(std::string_view word) const {
  if (!russian_) return false;
  const Guarded* d = dictionaryFor(word);
  if (!d) return true;  // a Latin word without the English dictionary: not judged
  const std::string utf8 = cp1251ToUtf8(word);
  std::lock_guard lock(d->mutex);
  return d->dictionary.spell(utf8);
}

std::vector<std::string> Dictionaries::suggest(std::string_view word, std::size_t max) const {
  std::vector<std::string> out;
  const Guarded* d = dictionaryFor(word);
  if (!d || max == 0) return out;
  std::vector<std::string> found;
  {
    std::lock_guard lock(d->mutex);
    d->dictionary.suggest(cp1251ToUtf8(word), found);
  }
  for (const std::string& utf8 : found) {
    std::string converted = utf8ToCp1251(utf8);
    // A suggestion Windows-1251 cannot hold could not be typed into the scenario.
    if (converted.find('?') != std::string::npos && utf8.find('?') == std::string::npos) continue;
    out.push_back(std::move(converted));
    if (out.size() == max) break;
  }
  return out;
}

}  // namespace marvo::spelling
