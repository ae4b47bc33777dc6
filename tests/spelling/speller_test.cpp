// The spelling check: the dictionaries and «ё», the game dictionary file, the session's ignored
// words, suggestions for typos of the shipped games' words, the shipped games without false alarms,
// line results kept in step with edits, and the check without a dictionary.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/codec.h"
#include "engine/file_io.h"
#include "game/scenario_file.h"
#include "spelling/speller.h"
#include "spelling/spelling_check.h"

namespace {

namespace fs = std::filesystem;
using marvo::cp1251ToUtf8;
using marvo::utf8ToCp1251;
using namespace marvo::spelling;

const fs::path kSource = MARVO_SOURCE_DIR;

std::shared_ptr<const Dictionaries> installed() {
  static const auto loaded = Dictionaries::load();
  return loaded;
}

// The unknown words of a line written in UTF-8.
std::vector<std::string> unknown(const Speller& speller, const std::string& utf8) {
  std::vector<std::string> out;
  for (const Misspelling& m : speller.checkLine(utf8ToCp1251(utf8))) out.push_back(cp1251ToUtf8(m.word));
  return out;
}
using Words = std::vector<std::string>;

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/marvo-spelling-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string fileText(const fs::path& path) { return marvo::readWholeFile(path).bytes; }

TEST(Speller, ReportsTyposWithPositionsAndSuggestions) {
  ASSERT_TRUE(installed()->available()) << cp1251ToUtf8(installed()->note());
  Speller speller(installed());
  const std::string line = utf8ToCp1251("  !Старый сундку стоит в углу. Старый cheste.");
  const auto found = speller.checkLine(line, 41, /*withSuggestions=*/true);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].line, 41);
  EXPECT_EQ(found[0].column, 10);
  EXPECT_EQ(found[0].length, 6);
  EXPECT_EQ(cp1251ToUtf8(found[0].word), "сундку");
  ASSERT_FALSE(found[0].suggestions.empty());
  EXPECT_LE(found[0].suggestions.size(), 3u);
  EXPECT_EQ(cp1251ToUtf8(found[0].suggestions[0]), "сундук");
  EXPECT_EQ(cp1251ToUtf8(found[1].word), "cheste");                // Latin words go to the English dictionary
  EXPECT_TRUE(speller.checkLine(line).at(0).suggestions.empty());  // only on request
  EXPECT_EQ(unknown(speller, "!МАЯК на Сером мысу. The lighthouse is dark."), Words{});
}

TEST(Speller, SuggestsTheShippedGamesWordsForTheirCommonTypos) {
  Speller speller(installed());
  const std::pair<const char*, const char*> typos[] = {
      {"сундку", "сундук"},  {"маякк", "маяк"},       {"смотритль", "смотритель"}, {"ярмрка", "ярмарка"},
      {"спчки", "спички"},   {"лдока", "лодка"},      {"ключь", "ключ"},           {"пароходд", "пароход"},
      {"балагн", "балаган"}, {"карусль", "карусель"}, {"кладбишще", "кладбище"},   {"лестинца", "лестница"},
  };
  for (const auto& [typo, word] : typos) {
    EXPECT_FALSE(speller.known(utf8ToCp1251(typo))) << typo;
    Words got;
    for (const auto& s : speller.suggest(utf8ToCp1251(typo))) got.push_back(cp1251ToUtf8(s));
    EXPECT_NE(std::find(got.begin(), got.end(), word), got.end()) << typo;
  }
}

TEST(Speller, YoAndYeAreOneLetterUnlessTurnedOff) {
  // A dictionary holding "ещё" with «ё» and "елка" without it.
  const auto small = Dictionaries::load(kSource / "tests/spelling/data/yo");
  ASSERT_TRUE(small->available());
  Speller speller(small);
  EXPECT_EQ(unknown(speller, "!Ещё ёлка, еще елка, ЁЛКА, Еще маяк"), Words{});
  speller.setOptions({.yoIsYe = false});
  EXPECT_EQ(unknown(speller, "!Ещё ёлка, еще елка, Еще маяк"), (Words{"ёлка", "еще", "Еще"}));
  // The own lists fold «ё» the same way.
  TempDir dir;
  speller.setOptions({.yoIsYe = true});
  ASSERT_FALSE(speller.openGameDictionary(dir.path() / "game.dic"));
  ASSERT_FALSE(speller.addToGameDictionary(utf8ToCp1251("Пётр")));
  EXPECT_EQ(unknown(speller, "!Пётр и Петр"), Words{});
  speller.setOptions({.yoIsYe = false});
  EXPECT_EQ(unknown(speller, "!Пётр и Петр"), Words{"Петр"});
}

TEST(Speller, GameDictionaryRoundTrip) {
  TempDir dir;
  const fs::path file = dir.path() / "game.dic";
  Speller speller(installed());
  ASSERT_FALSE(speller.openGameDictionary(file));  // missing: an empty list
  EXPECT_FALSE(fs::exists(file));
  const std::string line = "!Зурбаган и глорх встретили Потапыча";
  EXPECT_EQ(unknown(speller, line), (Words{"Зурбаган", "глорх", "Потапыча"}));
  const auto before = speller.generation();
  ASSERT_FALSE(speller.addToGameDictionary(utf8ToCp1251("Зурбаган")));
  ASSERT_FALSE(speller.addToGameDictionary(utf8ToCp1251("глорх")));
  ASSERT_FALSE(speller.addToGameDictionary(utf8ToCp1251("Потапыча")));
  ASSERT_FALSE(speller.addToGameDictionary(utf8ToCp1251("глорх")));  // once only
  EXPECT_NE(speller.generation(), before);
  EXPECT_EQ(unknown(speller, line), Words{});
  // In alphabetical order whatever the case, one word a line, UTF-8; a word added again changes nothing.
  EXPECT_EQ(fileText(file), "глорх\nЗурбаган\nПотапыча\n");
  // A list word in small letters matches any case; one with a capital as written or in capitals.
  EXPECT_EQ(unknown(speller, "!ГЛОРХ Глорх ЗУРБАГАН зурбаган"), Words{"зурбаган"});

  // Read back by another check (blank lines, surrounding blanks and a byte order mark do not count).
  ASSERT_FALSE(marvo::replaceFile(file, "\xEF\xBB\xBF  Зурбаган \r\n\r\nглорх\nПотапыча\n"));
  Speller again(installed());
  ASSERT_FALSE(again.openGameDictionary(file));
  EXPECT_EQ(unknown(again, line), Words{});
  ASSERT_FALSE(again.addToGameDictionary(utf8ToCp1251("ёж")));
  ASSERT_FALSE(again.addToGameDictionary(utf8ToCp1251("Аэлита")));
  EXPECT_EQ(fileText(file), "Аэлита\nглорх\nёж\nЗурбаган\nПотапыча\n");

  // A file that cannot be written: an error naming it, the word stays unknown, the file as it was.
  Speller broken(installed());
  std::ofstream(dir.path() / "plain") << "x";
  ASSERT_FALSE(broken.openGameDictionary(dir.path() / "plain" / "game.dic"));
  EXPECT_TRUE(broken.addToGameDictionary(utf8ToCp1251("Зурбаган")).has_value());
  EXPECT_EQ(unknown(broken, "!Зурбаган"), Words{"Зурбаган"});
  // No file open: nothing to add to.
  EXPECT_TRUE(Speller(installed()).addToUserDictionary(utf8ToCp1251("Зурбаган")).has_value());
}

TEST(Speller, IgnoredWordsAndTheUserDictionary) {
  TempDir dir;
  Speller speller(installed());
  ASSERT_FALSE(speller.openUserDictionary(userDictionaryPath(dir.path() / "marvo")));
  const auto before = speller.generation();
  speller.ignore(utf8ToCp1251("Кхм"));
  EXPECT_NE(speller.generation(), before);
  ASSERT_FALSE(speller.addToUserDictionary(utf8ToCp1251("Марвоград")));
  EXPECT_EQ(unknown(speller, "!Кхм, Марвоград. Хрмф"), Words{"Хрмф"});
  EXPECT_EQ(fileText(dir.path() / "marvo" / "user.dic"), "Марвоград\n");  // the folder is made
  // Ignoring lasts for the session only.
  Speller next(installed());
  ASSERT_FALSE(next.openUserDictionary(userDictionaryPath(dir.path() / "marvo")));
  EXPECT_EQ(unknown(next, "!Кхм, Марвоград"), Words{"Кхм"});
  // The game's own words come first among the suggestions.
  EXPECT_EQ(cp1251ToUtf8(next.suggest(utf8ToCp1251("Марвогрд")).at(0)), "Марвоград");
}

// The shipped games have no unknown word, with their own dictionaries beside them.
TEST(Speller, NoFalseAlarmsOnTheShippedGames) {
  for (const char* game : {"games/mayak.scn", "games/yarmarka.scn"}) {
    const auto read = marvo::readScenarioFile(kSource / game);
    ASSERT_TRUE(read.error.empty()) << read.error;
    ASSERT_TRUE(fs::exists(gameDictionaryPath(kSource / game))) << game;
    const auto found = checkScenarioSpelling(installed(), kSource / game, read.lines, {});
    EXPECT_TRUE(found.errors.empty());
    for (const auto& d : found.warnings) ADD_FAILURE() << game << ":" << d.line << ": " << cp1251ToUtf8(d.text);
  }
}

TEST(Speller, ResultsFollowEditsAndAgreeWithAFreshCheck) {
  Speller speller(installed());
  std::vector<std::string> lines;
  for (const char* l : {":сарай", "!Стрый сарай", "btn [Уйти прочь] дом", "* коментарий", "@Осмотретьс"})
    lines.push_back(utf8ToCp1251(l));
  SpellingResults results;
  results.assign(checkText(speller, lines));
  const auto edit = [&](int at, const char* text, int kind) {
    const std::string line = utf8ToCp1251(text);
    if (kind == 0) {
      results.replaceLine(speller, at, line);
      lines[static_cast<std::size_t>(at)] = line;
    } else if (kind == 1) {
      results.insertLine(speller, at, line);
      lines.insert(lines.begin() + at, line);
    } else {
      results.removeLine(at);
      lines.erase(lines.begin() + at);
    }
  };
  edit(1, "!Старый сарай", 0);
  edit(0, "!Новя строка", 1);
  edit(3, "", 2);
  edit(4, "btn [Уйти прочь] дом", 1);
  const TextSpelling fresh = checkText(speller, lines);
  ASSERT_EQ(results.lineCount(), static_cast<int>(fresh.lines.size()));
  for (int i = 0; i < results.lineCount(); ++i) {
    ASSERT_EQ(results.on(i).size(), fresh.lines[static_cast<std::size_t>(i)].size()) << i;
    for (std::size_t k = 0; k < results.on(i).size(); ++k) {
      EXPECT_EQ(results.on(i)[k].word, fresh.lines[i][k].word);
      EXPECT_EQ(results.on(i)[k].line, i);
    }
  }
  const Misspelling* hit = results.at(0, 3);
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(cp1251ToUtf8(hit->word), "Новя");
  EXPECT_EQ(results.at(0, 6), nullptr);  // the blank after it
  EXPECT_TRUE(results.on(99).empty());
}

// A check of all lines on a worker thread beside edits checked on another gives what one thread gives.
TEST(Speller, UsableFromTwoThreadsAtOnce) {
  const auto read = marvo::readScenarioFile(kSource / "games/mayak.scn");
  std::vector<std::string> lines = read.lines;
  for (auto& line : lines) line += utf8ToCp1251(" !Опчатка");
  Speller speller(installed());
  std::atomic<bool> stop = false;
  TextSpelling background;
  std::thread worker([&] { background = checkText(speller, lines, &stop); });
  std::size_t inForeground = 0;
  for (const auto& line : lines) {
    inForeground += speller.checkLine(line).size();
    speller.suggest(utf8ToCp1251("Опчатка"));
  }
  worker.join();
  ASSERT_TRUE(background.complete);
  std::size_t inBackground = 0;
  for (const auto& l : background.lines) inBackground += l.size();
  EXPECT_EQ(inBackground, inForeground);
  EXPECT_GT(inBackground, 0u);
  stop = true;
  EXPECT_FALSE(checkText(speller, lines, &stop).complete);
}

TEST(Speller, WithoutADictionaryTheCheckIsOffWithOneNote) {
  TempDir dir;
  const auto none = Dictionaries::load(dir.path());
  EXPECT_FALSE(none->available());
  const std::string note = cp1251ToUtf8(none->note());
  EXPECT_NE(note.find("Проверка орфографии выключена"), std::string::npos);
  EXPECT_NE(note.find((dir.path() / "ru_RU.dic").string()), std::string::npos);
  EXPECT_NE(note.find("hunspell-ru"), std::string::npos);
  Speller speller(none);
  EXPECT_FALSE(speller.available());
  EXPECT_EQ(cp1251ToUtf8(speller.note()), note);
  EXPECT_EQ(unknown(speller, "!Сундку и маякк"), Words{});
  EXPECT_TRUE(speller.suggest(utf8ToCp1251("сундку")).empty());
  EXPECT_TRUE(checkScenarioSpelling(none, dir.path() / "a.scn", {utf8ToCp1251("!Сундку")}, {}).warnings.empty());
  // The folder comes from MARVO_HUNSPELL_DIR when it is set.
  ::setenv("MARVO_HUNSPELL_DIR", dir.path().c_str(), 1);
  EXPECT_EQ(dictionaryFolder(), dir.path());
  ::unsetenv("MARVO_HUNSPELL_DIR");
  EXPECT_EQ(dictionaryFolder(), fs::path("/usr/share/hunspell"));
}

}  // namespace
