// The main window's "Save walkthrough...": the game so far written as a walkthrough beside the scenario.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "engine/file_io.h"
#include "gui/scenario_document.h"
#include "main_window.h"
#include "walkthrough/recording.h"

namespace marvo {

void MainWindow::saveWalkthrough() {
  if (busy_ || !editor_ || !libraryEditor_) return;
  // Offered beside the scenario, under its name, unless a walkthrough was saved before.
  if (walkthroughDialog_.lastName.isEmpty()) {
    const QFileInfo scenario(scenarioSaveDialog_.lastName);
    walkthroughDialog_.lastName = scenario.dir().filePath(scenario.completeBaseName() + QStringLiteral(".walk"));
  }
  auto name = askSave(walkthroughDialog_);
  if (!name) return;
  // The commands are played again on the scenario being edited with the clock stopped: the
  // output recorded is exactly what a test run of the walkthrough will see.
  const auto game = walk::prepareGame(document_.lines(), libraryEditor_->libraryLines());
  const QString title = QFileInfo(scenarioSaveDialog_.lastName).completeBaseName();
  const std::string text = walk::recordWalkthrough(game, game_.commandLog(), title.toStdString());
  if (auto error = replaceFile(QFile::encodeName(*name).toStdString(), text)) showError(QString::fromLocal8Bit(*error));
}

}  // namespace marvo
