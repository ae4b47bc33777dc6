// The player's aids without a window: the command history and which menu lines a click chooses.
#include <gtest/gtest.h>

#include "player/command_history.h"
#include "player/menu_lines.h"
#include "support/play.h"

namespace marvo {
namespace {

TEST(CommandHistory, RecallsOlderCommandsAndBringsTheDraftBack) {
  CommandHistory history;
  EXPECT_EQ(history.older("typed"), std::nullopt);  // nothing to recall yet
  history.add("north");
  history.add("");  // an empty Enter is not kept
  history.add("look");
  history.add("look");   // nor a repeat of the latest
  history.add("north");  // an earlier command again is
  EXPECT_EQ(history.size(), 3u);

  EXPECT_EQ(history.older("half-typed"), "north");
  EXPECT_EQ(history.older("north"), "look");
  EXPECT_EQ(history.older("look"), "north");
  EXPECT_EQ(history.older("north"), std::nullopt);  // the oldest stays
  EXPECT_EQ(history.newer(), "look");
  EXPECT_EQ(history.newer(), "north");
  EXPECT_EQ(history.newer(), "half-typed");  // the line being typed when Up was first pressed
  EXPECT_EQ(history.newer(), std::nullopt);

  // Submitting starts the recall afresh from the newest command, with an empty draft.
  history.older("x");
  history.add("take key");
  EXPECT_EQ(history.newer(), std::nullopt);
  EXPECT_EQ(history.older(""), "take key");
  EXPECT_EQ(history.newer(), "");
}

TEST(CommandHistory, KeepsTheLatestCommandsOnly) {
  CommandHistory history;
  for (std::size_t i = 0; i < CommandHistory::kLimit + 10; ++i) history.add(std::to_string(i));
  EXPECT_EQ(history.size(), CommandHistory::kLimit);
  std::optional<std::string> oldest;
  while (auto older = history.older("")) oldest = older;
  EXPECT_EQ(oldest, "10");
}

TEST(MenuLines, NumberOfAMenuLine) {
  EXPECT_EQ(menuNumber(test::w("1. Налево")), "1");
  EXPECT_EQ(menuNumber(test::w("  12 . Войти")), "12");
  EXPECT_EQ(menuNumber("\t3.x"), "3");
  EXPECT_EQ(menuNumber("1 2. no"), "");
  EXPECT_EQ(menuNumber("1) no"), "");
  EXPECT_EQ(menuNumber("12"), "");
  EXPECT_EQ(menuNumber(". 1"), "");
  EXPECT_EQ(menuNumber(""), "");
  EXPECT_EQ(menuNumber("1234567890. too long"), "");
  EXPECT_EQ(menuNumber(">1. an echo"), "");
}

TEST(MenuLines, TheMenuOnOfferIsTheLatestOneTheGameAccepts) {
  test::Play play;
  play.start({":hall", "@Холл.", "@3. Не выбор", "btn [Налево] left", "btn [Направо] right", "READ", ":left", "@Слева.",
              "btn [Назад] hall", "READ", ":right", "@Справа.", "READ", ":common", "RETURN"});
  EXPECT_EQ(menuChoices(play.engine.state()), (std::vector<std::string>{"1", "2"}));
  auto lines = [&] { return std::deque<std::string>(play.out().begin(), play.out().end()); };
  // "Холл.", "3. Не выбор", "1. Налево", "2. Направо": a line numbered like a menu line is chosen
  // only when the game accepts its number.
  EXPECT_EQ(offeredMenuLines(lines(), menuChoices(play.engine.state())), (std::vector<std::size_t>{2, 3}));

  play.say("1");  // ">1", "Слева.", "1. Назад": the hall's "1. Налево" is no longer on offer
  EXPECT_EQ(menuChoices(play.engine.state()), (std::vector<std::string>{"1"}));
  EXPECT_EQ(offeredMenuLines(lines(), menuChoices(play.engine.state())), (std::vector<std::size_t>{6}));
  play.say("прыгать");  // an impossible command brings no menu: the one before stays on offer
  EXPECT_EQ(offeredMenuLines(lines(), menuChoices(play.engine.state())), (std::vector<std::size_t>{6}));
  play.say("1");  // back in the hall: its menu after the latest echo, not the one of the first visit
  const auto shown = lines();
  EXPECT_EQ(offeredMenuLines(shown, menuChoices(play.engine.state())),
            (std::vector<std::size_t>{shown.size() - 2, shown.size() - 1}));
  // No talk line registered, nothing on offer.
  EXPECT_TRUE(offeredMenuLines(shown, {}).empty());
}

}  // namespace
}  // namespace marvo
