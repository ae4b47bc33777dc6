// Benchmarks of the main game window: the engine's counting loop through MainWindow against a trivial
// host, "Load game" of 10,000 commands, and one run that prints 100,000 lines (the pane keeps its last 200).
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
#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "engine/engine.h"
#include "game/game.h"
#include "game/saved_game.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "player/main_window.h"

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
    ":room", "@A small room.", "TALK look",     "n = n + 1", "!You look around: [#n].",
    "REDO",  "TALK wait",      "!Time passes.", "REDO",      "READ",
};

const std::vector<std::string> kManyLines = {
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
  marvo::ScenarioDocument document;
  std::unique_ptr<marvo::MainWindow> mainWindow;
  marvo::CodeEditorWindow* codeEditor = nullptr;
  marvo::LibraryEditorWindow* libraryEditor = nullptr;

  Windows() {
    mainWindow = std::make_unique<marvo::MainWindow>(engine, document, dialogs);
    codeEditor = new marvo::CodeEditorWindow(document, dialogs, mainWindow.get());
    libraryEditor = new marvo::LibraryEditorWindow(dialogs, mainWindow.get());
    mainWindow->attachWindows(*codeEditor, *new QDialog(mainWindow.get()), *libraryEditor);
    mainWindow->clockTimer()->stop();
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
    w.codeEditor->document().setLines(loop.scenario);
    marvo::Engine engine;
    marvo::Game game(engine);
    CountingHost host;
    // Alternate the two so that both see the same load of the machine.
    std::vector<double> headlessTimes, windowTimes;
    for (int round = 0; round < 5; ++round) {
      headlessTimes.push_back(marvo::bench::medianMs(1, [&] { game.begin(loop.scenario, {}, host, "tmp.scn"); }));
      windowTimes.push_back(marvo::bench::medianMs(1, [&] { w.mainWindow->beginGame(); }));
    }
    std::sort(headlessTimes.begin(), headlessTimes.end());
    std::sort(windowTimes.begin(), windowTimes.end());
    const double headless = headlessTimes[2], window = windowTimes[2];
    std::printf("%s: headless engine %.1f ms, through MainWindow %.1f ms (%.1f M lines per run)\n", loop.name, headless,
                window, static_cast<double>(engine.linesExecuted()) / 5 / 1e6);
    ok &= marvo::bench::report("  through MainWindow / headless engine (ratio)", window / headless, 1.2, "x");
  }

  {
    Windows w;
    w.codeEditor->document().setLines(kTalkRoom);
    std::vector<std::string> commands;
    for (int i = 0; i < 10000; ++i) commands.push_back(i % 3 == 0 ? "wait" : (i % 7 == 0 ? "" : "look"));
    if (auto error = marvo::writeSavedGame("bench.sav", commands)) {
      std::printf("cannot write bench.sav: %s\n", error->c_str());
      return 1;
    }
    double load = marvo::bench::medianMs(5, [&] {
      w.dialogs.fileAnswers.push_back(QStringLiteral("bench.sav"));
      w.mainWindow->loadGame();
    });
    if (w.mainWindow->game().commandLog().size() != commands.size()) {
      std::printf("Load game replayed %zu commands, expected %zu\n", w.mainWindow->game().commandLog().size(),
                  commands.size());
      ok = false;
    }
    ok &= marvo::bench::report("Load game, 10,000 commands, through MainWindow", load, 1000, "ms");
  }

  {
    Windows w;
    w.codeEditor->document().setLines(kManyLines);
    double print = marvo::bench::medianMs(5, [&] { w.mainWindow->beginGame(); });
    const QStringList out = w.mainWindow->outputLines();
    if (out.size() != marvo::MainWindow::kOutputLimit || out.last() != QStringLiteral("Line 99999") ||
        out.first() != QStringLiteral("Line 99800") ||
        w.mainWindow->outputPane()->document()->blockCount() != marvo::MainWindow::kOutputLimit) {
      std::printf("the output pane does not end with the last 200 lines\n");
      ok = false;
    }
    ok &= marvo::bench::report("one run printing 100,000 lines, through MainWindow", print, 1000, "ms");
  }
  return ok ? 0 : 1;
}
