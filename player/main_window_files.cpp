// The main window's game flow and file commands: Begin game, Talk, New, Open File, Save as...,
// Save game, Load game and Exit.
#include <QFile>
#include <QLineEdit>
#include <exception>
#include <filesystem>

#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/recovery_writer.h"
#include "gui/scenario_document.h"
#include "main_window.h"

namespace marvo {

namespace {

std::filesystem::path toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

// File errors of the cores name the file (in the file system's encoding) and the reason.
QString fileError(const std::string& error) { return QString::fromLocal8Bit(error); }

}  // namespace

template <class Body>
void MainWindow::engineHandler(Body&& body) {
  // The engine is never re-entered: a handler reached through the message loop of an engine
  // message box while a run is under way does nothing.
  if (busy_ || !editor_ || !libraryEditor_) return;
  busy_ = true;
  std::optional<QString> error;
  std::optional<ErrorLocation> where;
  try {
    body();
  } catch (const IndexError& e) {
    error = QString::fromLocal8Bit(e.what());
    where = game_.locate(e);
  } catch (const std::exception& e) {
    error = QString::fromLocal8Bit(e.what());
  } catch (...) {
    error = QStringLiteral("Unknown error");
  }
  busy_ = false;
  if (!error) {
    showResults();
  } else {
    // The error ends the handler; it is caught here rather than left to unwind through the
    // toolkit's signal and event code. Show what the run produced, then the error.
    viewsStale_ = true;
    showResults();
    if (where)
      showLocated(*error, *where);
    else
      showError(*error);
  }
  openRequestedEditor();
}

std::optional<QString> MainWindow::askOpen(FileDialog& dialog) {
  auto chosen = dialogs_.openFile(this, {dialog.filter, dialog.defaultSuffix, dialog.lastName});
  if (chosen) dialog.lastName = *chosen;
  return chosen;
}

std::optional<QString> MainWindow::askSave(FileDialog& dialog) {
  auto chosen = dialogs_.saveFile(this, {dialog.filter, dialog.defaultSuffix, dialog.lastName});
  if (chosen) dialog.lastName = *chosen;
  return chosen;
}

void MainWindow::beginGame() {
  engineHandler([this] { game_.begin(document_.lines(), libraryEditor_->libraryLines(), *this, "tmp.scn"); });
}

void MainWindow::submitCommand() {
  engineHandler([this] {
    // Talk empties the input line whatever the command does.
    std::string raw = fromQt(commandLine_->text());
    commandLine_->remember(raw);
    commandLine_->clear();
    game_.talk(raw, *this);
  });
}

void MainWindow::newScenario() {
  if (busy_ || !offerSave()) return;
  engineHandler([this] {
    document_.clear();
    game_.reset(*this);
    clearOutput();
  });
}

void MainWindow::openScenario(const QString& path) {
  if (!editor_ || busy_) return;
  // A scenario named on the command line is opened before the window has been activated: the
  // game must not start without the library.
  if (!libraryLoaded_) reloadLibrary();
  auto read = readScenarioFile(toPath(path));
  if (!read.error.empty()) {
    showError(fileError(read.error));
    return;
  }
  document_.load(read.lines, path, read.plainText);
  showReadNotes(path, read.notes);
  scenarioOpenDialog_.lastName = path;
  scenarioSaveDialog_.lastName = path;  // "Save as..." and "Exit" offer to write back to it
  beginGame();
}

void MainWindow::openFile() {
  if (!editor_ || busy_ || !offerSave()) return;
  if (auto name = askOpen(scenarioOpenDialog_)) openScenario(*name);
}

void MainWindow::saveGame() {
  if (busy_) return;
  auto name = askSave(gameSaveDialog_);
  if (!name) return;
  if (auto error = writeSavedGame(toPath(*name), game_.commandLog())) showError(fileError(*error));
}

void MainWindow::loadGame() {
  if (!editor_ || busy_) return;
  auto name = askOpen(gameOpenDialog_);
  if (!name) return;
  // Read first: a file that cannot be read leaves the running game as it was.
  auto saved = readSavedGame(toPath(*name));
  if (!saved.error.empty()) {
    showError(fileError(saved.error));
    return;
  }
  engineHandler([this, &saved] {
    game_.begin(document_.lines(), libraryEditor_->libraryLines(), *this, "tmp.scn");
    // Each replayed command passes through the input line, and Talk leaves it empty.
    if (!saved.commands.empty()) commandLine_->clear();
    game_.replay(saved.commands, *this);
  });
}

void MainWindow::exitProgram() {
  if (busy_) return;
  // A failed save stays, so that the user can try again; a cancelled dialog ends all the same.
  if (document_.modified() && editor_ && saveScenarioAs() == SaveResult::Failed) return;
  document_.recovery().discard();  // a clean exit
  emit exitRequested(0);
}

}  // namespace marvo
