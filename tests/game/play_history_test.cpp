// Undo and redo while playing: exact replay of the random course and of the game clock, a turn
// that ran past the end, and a scenario changed behind the game's back.
#include <gtest/gtest.h>

#include "game/play_history.h"
#include "game/recovery.h"
#include "support/play.h"

using namespace marvo;
using marvo::test::Play;
using marvo::test::u;
using marvo::test::w;
using Lines = std::vector<std::string>;

namespace {

// Every turn draws a number, counts and shows the clock; "сброс" sets an object's content.
const Lines kDice{":a",           "!бросок [#rnd] в [#time]",
                  "TALK бросить", "n = n + 1",
                  "r = rnd",      "t = time",
                  "!выпало [#r]", "REDO",
                  "TALK конец",   "GOTO Нигде",
                  "REDO",         "READ",
                  ":common",      "RETURN"};

struct Rewound : Play {
  PlayHistory history{game};
  void begin(const Lines& scenario) { history.begin(w(scenario), {}, host); }
  void give(const std::string& command) { history.talk(w(command), host); }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) history.tick();
  }
  // Every variable with its value, "time" included.
  std::vector<std::string> variables() const {
    std::vector<std::string> out;
    for (const auto& v : engine.state().vars)
      if (!v.name.empty()) out.push_back(u(v.name) + "=" + std::to_string(v.value));
    return out;
  }
  struct Seen {
    std::vector<std::string> variables;
    Lines log;
    std::string lastLine;
  };
  Seen seen() const { return {variables(), game.commandLog(), host.output.empty() ? "" : host.output.back()}; }
};

}  // namespace

TEST(PlayHistory, TenUndosAndTenRedosGiveBackTheSameGameAndClock) {
  Rewound r;
  r.begin(kDice);
  const Lines started = r.host.output;
  for (int i = 0; i < 10; ++i) {
    r.ticks(i % 3 + 1);
    r.give("бросить");
  }
  r.ticks(4);
  const auto atEnd = r.seen();
  // Each undo gives the game as it was just before the command, its ticks included: the state
  // after the previous command plus the ticks before this one.
  for (int i = 10; i > 0; --i) {
    ASSERT_TRUE(r.history.undo(r.host));
    Rewound fresh;
    fresh.begin(kDice);
    for (int k = 0; k < i - 1; ++k) {
      fresh.ticks(k % 3 + 1);
      fresh.give("бросить");
    }
    fresh.ticks((i - 1) % 3 + 1);
    EXPECT_EQ(r.var("time"), fresh.var("time")) << i;
    EXPECT_EQ(r.var("n"), i - 1);
    EXPECT_EQ(r.game.commandLog().size(), static_cast<std::size_t>(i - 1));
  }
  EXPECT_FALSE(r.history.undo(r.host));
  EXPECT_EQ(r.var("time"), 1);  // the tick before the first command
  EXPECT_EQ(r.host.output, started) << "the pane shows the game start";
  for (int i = 1; i <= 10; ++i) {
    ASSERT_TRUE(r.history.redo(r.host));
    if (i < 10) {
      // The pane holds the last turn only: its echo and what it printed.
      EXPECT_EQ(r.host.output.front(), ">бросить");
      EXPECT_EQ(r.var("n"), i);
    }
  }
  EXPECT_FALSE(r.history.redo(r.host));
  // The pane of the never-undone game holds every turn, the replayed one the last turn only.
  EXPECT_EQ(r.variables(), atEnd.variables);
  EXPECT_EQ(r.game.commandLog(), atEnd.log);
  EXPECT_EQ(r.host.output.back(), atEnd.lastLine);
}

TEST(PlayHistory, ANewCommandAfterUndoForgetsTheRedoAndATurnPastTheEndCanBeUndone) {
  Rewound r;
  r.begin(kDice);
  r.give("бросить");
  const auto before = r.seen();
  EXPECT_THROW(r.give("конец"), IndexError);
  r.host.events.clear();
  EXPECT_TRUE(r.history.undo(r.host));
  EXPECT_EQ(r.variables(), before.variables);
  EXPECT_EQ(r.game.commandLog(), Lines{w("бросить")});
  EXPECT_EQ(r.host.output.front(), ">бросить");
  EXPECT_TRUE(r.host.messages().empty()) << "replayed turns show no message again";
  EXPECT_TRUE(r.history.canRedo());
  r.give("бросить");
  EXPECT_FALSE(r.history.canRedo());
  EXPECT_EQ(r.var("n"), 2);
  // The ended turn replays without stopping the replay of those after it (the last one now
  // matches nothing: the run past the end emptied the offers).
  EXPECT_THROW(r.give("конец"), IndexError);
  r.give("бросить");
  const auto ended = r.seen();
  EXPECT_TRUE(r.history.undo(r.host));
  EXPECT_EQ(r.game.commandLog().size(), 3u);
  EXPECT_TRUE(r.history.redo(r.host));
  EXPECT_EQ(r.variables(), ended.variables);
  EXPECT_EQ(r.host.output.back(), ended.lastLine);
}

TEST(PlayHistory, UndoReplaysTheProgramAsStartedNotTheEditedText) {
  Lines scenario{":a", "!в ящике [#n]", "TALK положить", "n = n + 1", "REDO", "READ"};
  Rewound r;
  r.begin(scenario);
  const Lines started = r.host.output;
  r.give("положить");
  scenario[1] = "!изменено";
  ASSERT_TRUE(r.history.undo(r.host));
  EXPECT_EQ(r.host.output, started);
  r.history.forget();
  EXPECT_FALSE(r.history.canUndo());
  EXPECT_FALSE(r.history.undo(r.host));
}

TEST(PlayHistory, TheRecoveryDataBringsTheGameBackWithItsClock) {
  Rewound r;
  r.begin(kDice);
  r.ticks(2);
  r.give("бросить");
  r.ticks(5);
  r.give("  Бросить\tещё");  // a tab and blanks are kept as typed
  r.ticks(1);
  const PlayRecovery kept{r.history.steps(), r.history.pendingTicks(), "/games/dice.scn",
                          playFingerprint(w(kDice), {})};
  const std::string text = playRecoveryText(kept);
  ASSERT_EQ(parsePlayRecovery(text), kept);
  // The fingerprint tells the text the game began on from an edited one, the library included.
  EXPECT_NE(playFingerprint(w(kDice), {}), playFingerprint(w(kDice), {":common"}));
  Lines edited = w(kDice);
  edited.back() = "READ ";
  EXPECT_NE(playFingerprint(w(kDice), {}), playFingerprint(edited, {}));

  Rewound back;
  back.begin(kDice);
  back.history.resume(parsePlayRecovery(text)->steps, parsePlayRecovery(text)->pendingTicks, back.host);
  EXPECT_EQ(back.variables(), r.variables());
  EXPECT_EQ(back.game.commandLog(), r.game.commandLog());

  // Anything else is no game in progress: cut short, another header, no fingerprint, ticks that
  // are no number.
  const std::string head = "MARVO-PLAY 1\r\n\r\n00000000000000ff 14\r\n";
  EXPECT_FALSE(parsePlayRecovery(text.substr(0, text.size() - 1)));
  EXPECT_FALSE(parsePlayRecovery("MARVO-RECOVERY 1\r\n\r\n00000000000000ff 14\r\n0\r\n"));
  EXPECT_FALSE(parsePlayRecovery("MARVO-PLAY 1\r\n7\r\n"));
  EXPECT_FALSE(parsePlayRecovery("MARVO-PLAY 1\r\n\r\nff 14\r\n7\r\n"));
  EXPECT_FALSE(parsePlayRecovery(head + "x\tбросить\r\n0\r\n"));
  EXPECT_FALSE(parsePlayRecovery(head + "2 бросить\r\n0\r\n"));
  EXPECT_FALSE(parsePlayRecovery(head + "2\tбро\nсить\r\n0\r\n"));  // a line break no write makes
  EXPECT_EQ(parsePlayRecovery(head + "7\r\n"), (PlayRecovery{{}, 7, {}, {0xff, 14}}));
}
