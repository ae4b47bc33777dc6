// Benchmark of game start from the code editor: reading a 90,000-line scenario and starting the game.
#include <QApplication>
#include <QTemporaryDir>

#include "bench/bench_util.h"
#include "editor/code_editor_window.h"
#include "editor_scenario.h"
#include "engine/engine.h"
#include "game/game.h"
#include "game/scenario_file.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"

namespace {
class QuietHost : public marvo::EngineHost {
 public:
  void clearOutput() override {}
  void appendOutput(std::string_view) override { ++lines; }
  void showMessage(std::string_view) override { ++messages; }
  int lines = 0;
  int messages = 0;
};
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const auto path = marvo::bench::writeEditorScenario(dir.path().toStdString());
  auto read = marvo::readScenarioFile(path);
  if (!read.error.empty()) {
    std::printf("error: %s\n", read.error.c_str());
    return 1;
  }
  marvo::ScriptedDialogs dialogs;
  marvo::ScenarioDocument document;
  marvo::CodeEditorWindow editor(document, dialogs);
  editor.document().setLines(read.lines);

  marvo::Engine engine;
  marvo::Game game(engine);
  QuietHost host;
  const std::vector<std::string> library;
  const double ms = marvo::bench::medianMs(9, [&] { game.begin(editor.document().lines(), library, host); });
  std::printf("  (%d output lines, %d messages per start)\n", host.lines / 9, host.messages / 9);
  return marvo::bench::report("game start from a 90,000-line scenario (lines() + Game::begin)", ms, 100, "ms") ? 0 : 1;
}
