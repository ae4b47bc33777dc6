// Benchmarks of the main game window: the engine's counting loop through TForm1 against a trivial
// host, "Load game" of 10,000 commands, and one run that prints 100,000 lines.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "editor/TForm2.h"
#include "editor/TForm4.h"
#include "engine/engine.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "player/TForm1.h"
#include "player/game.h"
#include "player/saved_game.h"

namespace {

// The counting loops of the engine benchmark (bench/engine_bench.cpp), each run once per game start.
struct CountingLoop {
  const char* name;
  std::vector<std::string> scenario;
};
const CountingLoop kCountingLoops[] = {
    {"counting loop with JUMP (4,000,000 turns)",
     {"x = 0", ":loop", "x = x + 1", "IF x < 4000000", "JUMP loop", "ENDIF", "READ"}},
    {"counting loop with GOTO (3,000,000 turns)",
     {":loop", "x = x + 1", "IF x < 3000000", "GOTO loop", "ENDIF", "READ"}},
};

const std::vector<std::string> kTalkRoom = {
    ":room", "@A small room.", "TALK look", "n = n + 1", "!You look around: [#n].", "REDO",
    "TALK wait", "!Time passes.", "REDO", "READ",
};

const std::vector<std::string> kHundredThousandLines = {
    ":start", "n = 0", ":count", "!Line [#n]", "n = n + 1", "IF n < 100000", "JUMP count", "ENDIF", "READ",
};

class CountingHost : public marvo::EngineHost {
 public:
  void clearOutput() override { lines = 0; }
  void appendOutput(std::string_view) override { ++lines; }
  void showMessage(std::string_view) override {}
  long lines = 0;
};

struct Windows {
  marvo::Engine engine;
  marvo::ScriptedDialogs dialogs;
  std::unique_ptr<TForm1> form1;
  TForm2* form2 = nullptr;
  TForm4* form4 = nullptr;

  Windows() {
    form1 = std::make_unique<TForm1>(engine, dialogs);
    form2 = new TForm2(dialogs, form1.get());
    form4 = new TForm4(dialogs, form1.get());
    form1->attachWindows(*form2, *new QDialog(form1.get()), *form4);
    form1->Timer1->stop();
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  bool ok = true;

  for (const CountingLoop& loop : kCountingLoops) {
    Windows w;
    w.form2->setLines(loop.scenario);
    marvo::Engine engine;
    marvo::Game game(engine);
    CountingHost host;
    // Alternate the two so that both see the same load of the machine.
    std::vector<double> headlessTimes, windowTimes;
    for (int round = 0; round < 5; ++round) {
      headlessTimes.push_back(marvo::bench::medianMs(1, [&] { game.begin(loop.scenario, {}, host, "tmp.scn"); }));
      windowTimes.push_back(marvo::bench::medianMs(1, [&] { w.form1->Begingame1Click(); }));
    }
    std::sort(headlessTimes.begin(), headlessTimes.end());
    std::sort(windowTimes.begin(), windowTimes.end());
    const double headless = headlessTimes[2], window = windowTimes[2];
    std::printf("%s: headless engine %.1f ms, through TForm1 %.1f ms (%.1f M lines per run)\n", loop.name, headless,
                window, static_cast<double>(engine.linesExecuted()) / 5 / 1e6);
    ok &= marvo::bench::report("  through TForm1 / headless engine (ratio)", window / headless, 1.2, "x");
  }

  {
    Windows w;
    w.form2->setLines(kTalkRoom);
    std::vector<std::string> commands;
    for (int i = 0; i < 10000; ++i) commands.push_back(i % 3 == 0 ? "wait" : (i % 7 == 0 ? "" : "look"));
    if (auto error = marvo::writeSavedGame("bench.sav", commands)) {
      std::printf("cannot write bench.sav: %s\n", error->c_str());
      return 1;
    }
    double load = marvo::bench::medianMs(5, [&] {
      w.dialogs.fileAnswers.push_back(QStringLiteral("bench.sav"));
      w.form1->Loadgame1Click();
    });
    if (w.form1->game().commandLog().size() != commands.size()) {
      std::printf("Load game replayed %zu commands, expected %zu\n", w.form1->game().commandLog().size(),
                  commands.size());
      ok = false;
    }
    ok &= marvo::bench::report("Load game, 10,000 commands, through TForm1", load, 1000, "ms");
  }

  {
    Windows w;
    w.form2->setLines(kHundredThousandLines);
    double print = marvo::bench::medianMs(5, [&] { w.form1->Begingame1Click(); });
    const QStringList out = w.form1->outputLines();
    if (out.size() != TForm1::kOutputLimit || out.last() != QStringLiteral("Line 99999") ||
        out.first() != QStringLiteral("Line 99800") ||
        w.form1->Memo3->document()->blockCount() != TForm1::kOutputLimit) {
      std::printf("the output pane does not end with the last 200 lines\n");
      ok = false;
    }
    ok &= marvo::bench::report("one run printing 100,000 lines, through TForm1", print, 1000, "ms");
  }
  return ok ? 0 : 1;
}
