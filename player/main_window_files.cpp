// The main window's game flow and file commands: Begin game, Talk, New, Open File, Save game,
// Load game, Exit, and files dropped on the window.
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <exception>
#include <filesystem>

#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"
#include "gui/dialogs.h"
#include "gui/file_messages.h"
#include "gui/qt_codec.h"
#include "gui/recovery_writer.h"
#include "gui/scenario_document.h"
#include "main_window.h"

namespace marvo {

namespace {

std::filesystem::path toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

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
  keepPlay();  // the game in progress as this handler left it, kept for a crash
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
  engineHandler([this] { beginHistory(); });
}

void MainWindow::submitCommand() {
  engineHandler([this] {
    // Talk empties the input line whatever the command does.
    std::string raw = fromQt(commandLine_->text());
    commandLine_->remember(raw);
    commandLine_->clear();
    history_.talk(raw, *this);
  });
  emit turnPlayed(game_.commandLog());
}

// Undo and redo of turns replay the game (main_window_rewind.cpp has their menu items and keys); the
// pane shows the last turn replayed, the lists follow, the clock goes on from the restored time.
void MainWindow::undoTurn() {
  if (history_.canUndo()) engineHandler([this] { history_.undo(*this); });
}

void MainWindow::redoTurn() {
  if (history_.canRedo()) engineHandler([this] { history_.redo(*this); });
}

void MainWindow::playPath(const std::vector<std::string>& commands) {
  engineHandler([this, &commands] {
    beginHistory();
    for (const auto& command : commands) history_.talk(command, *this);
  });
  commandLine_->setFocus();
}

void MainWindow::resumeGame(std::vector<PlayStep> steps, std::uint32_t pendingTicks,
                            const std::filesystem::path& file) {
  // Started as Begin game starts it, then every command replayed after its clock ticks: the pane
  // shows the last turn and the clock goes on from the time it had. The file is now this run's.
  engineHandler([&] {
    beginHistory();
    document_.recovery().adoptPlay(file);
    history_.resume(std::move(steps), pendingTicks, *this);
  });
  commandLine_->setFocus();
}

void MainWindow::newScenario() {
  if (busy_ || !offerSave()) return;
  engineHandler([this] {
    document_.clear();
    history_.forget();
    game_.reset(*this);
    clearOutput();
  });
}

bool MainWindow::openScenario(const QString& path) {
  if (!editor_ || busy_) return false;
  // A scenario named on the command line is opened before the window has been activated: the
  // game must not start without the library.
  if (!libraryLoaded_) reloadLibrary();
  auto read = readScenarioFile(toPath(path));
  if (!read.error.empty()) {
    report(scenarioNotOpened(path, read));
    return false;
  }
  if (read.doubt != ScenarioDoubt::None && dialogs_.choose(this, scenarioDoubtQuestion(path, read),
                                                           {QStringLiteral("Открыть"), QStringLiteral("Отмена")}) != 0)
    return false;
  document_.load(read.lines, path, read.plainText);  // "Save as..." and "Exit" now offer to write back to it
  showReadNotes(path, read.notes);
  scenarioOpenDialog_.lastName = path;
  scenarioSaveDialog_.lastName = path;
  beginGame();
  return true;
}

void MainWindow::openFile() {
  if (!editor_ || busy_ || !offerSave()) return;
  if (auto name = askOpen(scenarioOpenDialog_)) openScenario(*name);
}

void MainWindow::saveGame() {
  if (busy_) return;
  auto name = askSave(gameSaveDialog_);
  if (!name) return;
  if (auto error = writeSavedGame(toPath(*name), game_.commandLog()))
    showError(QStringLiteral("Игра не сохранена: %1.").arg(fileProblem(*error)));
}

void MainWindow::loadGame() {
  if (!editor_ || busy_) return;
  if (auto name = askOpen(gameOpenDialog_)) loadGameFrom(*name);
}

void MainWindow::loadGameFrom(const QString& path) {
  if (!editor_ || busy_) return;
  // Read first: a file that cannot be read, or is no saved game, leaves the running game as it was.
  auto saved = readSavedGame(toPath(path));
  if (!saved.error.empty()) {
    report(savedGameNotLoaded(path, saved.errorNumber));
    return;
  }
  if (!saved.commandLog) {
    report(notASavedGame(path));
    return;
  }
  const auto fit = savedGameFit(document_.lines(), libraryEditor_->libraryLines(), saved.commands);
  if (fit.looksLikeOtherGame() && dialogs_.choose(this, otherGameQuestion(path, fit),
                                                  {QStringLiteral("Загрузить"), QStringLiteral("Не загружать")}) != 0)
    return;
  engineHandler([this, &saved] {
    beginHistory();
    // Each replayed command passes through the input line, and Talk leaves it empty.
    if (!saved.commands.empty()) commandLine_->clear();
    for (const auto& command : saved.commands) history_.talk(command, *this);
  });
}

void MainWindow::exitProgram() {
  if (busy_ || !mayEnd()) return;
  emit exitRequested(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy_ || !mayEnd()) {
    event->ignore();
    return;
  }
  event->accept();
  emit exitRequested(0);
}

void MainWindow::openDroppedFile(const QString& path) {
  if (!editor_ || busy_) return;
  if (QFileInfo(path).suffix().compare(QStringLiteral("sav"), Qt::CaseInsensitive) == 0) {
    loadGameFrom(path);
    return;
  }
  if (offerSave()) openScenario(path);
}

bool MainWindow::handleFileDrop(QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  const QMimeData* data = drop->mimeData();
  if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) return false;
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (type == QEvent::Drop) {
    // Opened once the drop has ended: the questions it may ask must not run inside the drag.
    const QString path = data->urls().constFirst().toLocalFile();
    QMetaObject::invokeMethod(
        this, [this, path] { openDroppedFile(path); }, Qt::QueuedConnection);
  }
  return true;
}

}  // namespace marvo
