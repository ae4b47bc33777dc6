// The web player's game session: events as marvo-cli prints them, menu choices, saved games and
// the check that refuses what is no saved game of this game.
#include <gtest/gtest.h>

#include "engine/codec.h"
#include "game/json_events.h"
#include "game/saved_game.h"
#include "web/web_session.h"

using marvo::ErrorLocation;
using marvo::LineOrigin;
using marvo::utf8ToCp1251;
using marvo::web::LoadResult;
using marvo::web::WebSession;

namespace {

// Scenario file content: UTF-8 source text as Windows-1251 lines with CR LF.
std::string file(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (auto line : lines) out += utf8ToCp1251(line) + "\r\n";
  return out;
}

const std::string kHouse =
    file({":hall", "@Холл.", "btn [На кухню] kitchen", "TALK осмотреться/смотреть", "!Пыльно.", "REDO", "READ",
          ":kitchen", "@Кухня.", "btn [Назад] hall", "do Открыть шкаф", "!Пусто.", "REDO", "READ"});

}  // namespace

TEST(WebSession, EventsAreTheJsonLinesOfMarvoCli) {
  WebSession s;
  s.start(kHouse, "");
  EXPECT_EQ(s.events(), "{\"clear\": true}\n{\"out\": \"Холл.\"}\n{\"out\": \"1. На кухню\"}\n");
  s.talk("Смотреть");
  EXPECT_EQ(s.events(), "{\"out\": \">смотреть\"}\n{\"out\": \"Пыльно.\"}\n");
  EXPECT_EQ(s.views(false), "{\"inventory\": []}\n{\"characteristics\": []}\n");
  EXPECT_NE(s.views(true).find("{\"monitor\": [\"Значения переменных:\""), std::string::npos);
  EXPECT_TRUE(s.lastError().empty());
}

TEST(WebSession, ChoicesAreTheNumbersOnOffer) {
  WebSession s;
  s.start(kHouse, "");
  EXPECT_EQ(s.choices(), "[\"1\"]");  // "осмотреться/смотреть" is no menu choice
  s.talk("1");
  EXPECT_EQ(s.choices(), "[\"1\", \"2\"]");
  s.start(file({":a", "!Нет выбора.", "READ"}), "");
  EXPECT_EQ(s.choices(), "[]");
}

TEST(WebSession, IndexErrorIsAnEventWithItsPlaceAndText) {
  WebSession s;
  s.start(file({":a", "btn [Без конца", "READ"}), "");
  EXPECT_EQ(s.events(),
            "{\"clear\": true}\n{\"error\": \"index\", \"at\": {\"source\": \"scenario\", \"line\": 2, "
            "\"text\": \"btn [Без конца\", \"where\": \"Строка 2 сценария\"}}\n");
  EXPECT_FALSE(s.lastError().empty());
  s.talk("x");  // the page stays usable
  EXPECT_NE(s.events().find(">x"), std::string::npos);
}

// The page shows "where" beneath a message as it comes, so the event words every kind of place.
TEST(WebSession, ThePlaceOfAnEventIsWordedAsTheDesktopWordsIt) {
  const auto at = [](LineOrigin origin) {
    return marvo::events::location(ErrorLocation{origin, utf8ToCp1251("read"), {}, {}});
  };
  EXPECT_EQ(at({LineOrigin::Scenario, 54, false}),
            "{\"source\": \"scenario\", \"line\": 54, \"text\": \"read\", \"where\": \"Строка 54 сценария\"}");
  EXPECT_EQ(at({LineOrigin::Library, 7, false}),
            "{\"source\": \"library\", \"line\": 7, \"text\": \"read\", \"where\": \"Строка 7 библиотеки\"}");
  EXPECT_EQ(at({LineOrigin::Library, 7, true}),
            "{\"source\": \"library\", \"line\": 7, \"generated\": true, \"text\": \"read\", "
            "\"where\": \"Строка, созданная запуском игры из строки 7 библиотеки\"}");
  EXPECT_EQ(at({LineOrigin::Game, 0, true}),
            "{\"source\": \"game\", \"generated\": true, \"text\": \"read\", "
            "\"where\": \"Строка, созданная запуском игры\"}");
}

TEST(WebSession, SaveAndLoadMoveTheCommandLog) {
  WebSession s;
  s.start(kHouse, "");
  s.talk("1");
  s.talk("");
  s.talk("Открыть");
  const std::string sav = s.saveText();
  EXPECT_EQ(sav, "1\r\n\r\n" + utf8ToCp1251("Открыть") + "\r\n");

  WebSession t;
  t.start(kHouse, "");
  EXPECT_EQ(t.load(sav, true), LoadResult::Loaded);
  EXPECT_EQ(t.saveText(), sav);
  EXPECT_EQ(t.commandCount(), 3u);
  EXPECT_EQ(t.events().substr(0, 16), "{\"clear\": true}\n");
}

TEST(WebSession, RefusedLoadsKeepTheGame) {
  WebSession s;
  s.start(kHouse, "");
  s.talk("1");
  const std::string before = s.saveText();

  EXPECT_EQ(s.load(std::string("PK\x03\x04\0\0", 6), true), LoadResult::NotSavedGame);
  EXPECT_EQ(s.load("1\r\n\x01\x02\r\n", true), LoadResult::NotSavedGame);
  // Three of four non-empty commands match nothing here; empty lines do not count.
  EXPECT_EQ(s.load(file({"xyzzy", "", "", "plugh", "1", "летать"}), true), LoadResult::OtherGame);
  EXPECT_EQ(s.unmatchedCommands(), 3);
  EXPECT_EQ(s.checkedCommands(), 4);
  EXPECT_EQ(s.saveText(), before);

  // Without the check everything is replayed, as the desktop does.
  EXPECT_EQ(s.load(file({"xyzzy", "plugh"}), false), LoadResult::Loaded);
  EXPECT_EQ(s.saveText(), "xyzzy\r\nplugh\r\n");
}

TEST(WebSession, SaveOfThisGameWithSomeTyposLoads) {
  WebSession s;
  s.start(kHouse, "");
  EXPECT_EQ(s.load(file({"1", "прыгать", "2", "1"}), true), LoadResult::Loaded);
  EXPECT_EQ(s.commandCount(), 4u);
  EXPECT_EQ(s.load("", true), LoadResult::Loaded);  // an empty save just starts the game
  EXPECT_EQ(s.commandCount(), 0u);
}

TEST(WebSession, RestartKeepsTheTexts) {
  WebSession s;
  s.start(kHouse, "");
  const std::string first = s.events();
  s.talk("1");
  s.restart();
  EXPECT_EQ(s.events(), first);
  EXPECT_EQ(s.commandCount(), 0u);
}

// A load in steps (the page's worker reports progress between them) gives what one load gives,
// and the game in progress stays playable until the loaded one takes its place.
TEST(WebSession, LoadInStepsKeepsTheGameUntilFinished) {
  const std::string sav = file({"1", "", "Открыть", "2", "1"});
  WebSession whole;
  whole.start(kHouse, "");
  ASSERT_EQ(whole.load(sav, true), LoadResult::Loaded);

  WebSession s;
  s.start(kHouse, "");
  s.talk("1");
  ASSERT_EQ(s.beginLoad(sav, true), LoadResult::Loaded);
  EXPECT_EQ(s.loadSize(), 5u);
  std::string events = s.events();
  EXPECT_EQ(s.continueLoad(2), 3u);
  events += s.events();
  EXPECT_EQ(s.saveText(), "1\r\n");  // still the game in progress
  EXPECT_EQ(s.continueLoad(100), 0u);
  events += s.events();
  EXPECT_EQ(s.finishLoad(true), LoadResult::Loaded);
  EXPECT_EQ(events, whole.events());
  EXPECT_EQ(s.saveText(), sav);
  EXPECT_EQ(s.views(true), whole.views(true));
  EXPECT_FALSE(s.adoptLoad());  // nothing waits any more

  // A save of another game waits aside: refused, or taken when the player says so.
  const std::string other = file({"xyzzy", "plugh", "1"});
  ASSERT_EQ(s.beginLoad(other, true), LoadResult::Loaded);
  EXPECT_EQ(s.finishLoad(true), LoadResult::OtherGame);
  EXPECT_EQ(s.saveText(), sav);
  EXPECT_TRUE(s.adoptLoad());
  EXPECT_EQ(s.saveText(), other);
  s.talk("1");  // the adopted game plays on
  EXPECT_EQ(s.commandCount(), 4u);
}

TEST(WebSession, AnIndexErrorEndsALoadInSteps) {
  WebSession s;
  s.start(file({":a", "btn [Выйти] нигде", "READ"}), "");  // choice 1 jumps to no label
  ASSERT_EQ(s.beginLoad(file({"x", "1", "x", "x"}), false), LoadResult::Loaded);
  EXPECT_EQ(s.continueLoad(3), 0u);  // the commands after the failing one are dropped
  EXPECT_NE(s.events().find("\"error\": \"index\""), std::string::npos);
  EXPECT_FALSE(s.lastError().empty());
  EXPECT_EQ(s.finishLoad(false), LoadResult::Loaded);
  EXPECT_EQ(s.commandCount(), 2u);
}

TEST(WebSession, UndoAndRedoShowTheLastTurnAndKeepALoadedGame) {
  WebSession s;
  s.start(kHouse, "");
  EXPECT_FALSE(s.undo());
  s.talk("1");
  s.talk("смотреть");
  EXPECT_TRUE(s.undo());
  EXPECT_EQ(s.events(),
            "{\"clear\": true}\n{\"out\": \">1\"}\n{\"out\": \"Кухня.\"}\n{\"out\": \"1. Назад\"}\n"
            "{\"out\": \"2. Открыть шкаф\"}\n");
  EXPECT_EQ(s.commandCount(), 1u);
  EXPECT_EQ(s.choices(), "[\"1\", \"2\"]");
  EXPECT_TRUE(s.redo());
  EXPECT_EQ(s.commandCount(), 2u);
  EXPECT_FALSE(s.redo());
  // A loaded game can be taken back command by command.
  const std::string sav = s.saveText();
  s.restart();
  ASSERT_EQ(s.load(sav, true), LoadResult::Loaded);
  EXPECT_TRUE(s.undo());
  EXPECT_EQ(s.commandCount(), 1u);
}
