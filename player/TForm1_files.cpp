// The main window's game flow and file commands: Begin game, Talk, New, Open File, Save as...,
// Save game, Load game and Exit.
#include <QFile>
#include <QLineEdit>
#include <exception>
#include <filesystem>

#include "TForm1.h"
#include "editor/TForm2.h"
#include "editor/TForm4.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "player/recovery_writer.h"
#include "player/saved_game.h"
#include "player/scenario_file.h"

namespace {

std::filesystem::path toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

// File errors of the cores name the file (in the file system's encoding) and the reason.
QString fileError(const std::string& error) { return QString::fromLocal8Bit(error); }

}  // namespace

template <class Body>
void TForm1::engineHandler(Body&& body) {
  // The engine is never re-entered: a handler reached through the message loop of an engine
  // message box while a run is under way does nothing.
  if (busy_ || !editor_ || !libraryEditor_) return;
  busy_ = true;
  std::optional<QString> error;
  std::optional<marvo::ErrorLocation> where;
  try {
    body();
  } catch (const marvo::IndexError& e) {
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
    if (where) showLocated(*error, *where);
    else showError(*error);
  }
  openRequestedEditor();
}

std::optional<QString> TForm1::askOpen(FileDialog& dialog) {
  auto chosen = dialogs_.openFile(this, {dialog.filter, dialog.defaultSuffix, dialog.lastName});
  if (chosen) dialog.lastName = *chosen;
  return chosen;
}

std::optional<QString> TForm1::askSave(FileDialog& dialog) {
  auto chosen = dialogs_.saveFile(this, {dialog.filter, dialog.defaultSuffix, dialog.lastName});
  if (chosen) dialog.lastName = *chosen;
  return chosen;
}

void TForm1::Begingame1Click() {
  engineHandler([this] {
    game_.begin(editor_->lines(), libraryEditor_->libraryLines(), *this, "tmp.scn");
  });
}

void TForm1::Talk1Click() {
  engineHandler([this] {
    // Talk empties the input line whatever the command does.
    std::string raw = marvo::fromQt(Edit2->text());
    Edit2->clear();
    game_.talk(raw, *this);
  });
}

void TForm1::New1Click() {
  if (busy_ || !offerSave()) return;
  scenarioReplaced(QString(), false);
  engineHandler([this] {
    editor_->clearText();
    game_.reset(*this);
    clearOutput();
  });
}

void TForm1::openScenario(const QString& path) {
  if (!editor_ || busy_) return;
  // A scenario named on the command line is opened before the window has been activated: the
  // game must not start without the library.
  if (!libraryLoaded_) reloadLibrary();
  auto read = marvo::readScenarioFile(toPath(path));
  if (!read.error.empty()) {
    showError(fileError(read.error));
    return;
  }
  editor_->setLines(read.lines);
  scenarioReplaced(path, read.plainText);
  showReadNotes(path, read.notes);
  openDialog1_.lastName = path;
  saveDialog1_.lastName = path;  // "Save as..." and "Exit" offer to write back to it
  Begingame1Click();
}

void TForm1::OpenFile1Click() {
  if (!editor_ || busy_ || !offerSave()) return;
  if (auto name = askOpen(openDialog1_)) openScenario(*name);
}

void TForm1::Savegame1Click() {
  if (busy_) return;
  auto name = askSave(saveDialog2_);
  if (!name) return;
  if (auto error = marvo::writeSavedGame(toPath(*name), game_.commandLog())) showError(fileError(*error));
}

void TForm1::Loadgame1Click() {
  if (!editor_ || busy_) return;
  auto name = askOpen(openDialog2_);
  if (!name) return;
  // Read first: a file that cannot be read leaves the running game as it was.
  auto saved = marvo::readSavedGame(toPath(*name));
  if (!saved.error.empty()) {
    showError(fileError(saved.error));
    return;
  }
  engineHandler([this, &saved] {
    game_.begin(editor_->lines(), libraryEditor_->libraryLines(), *this, "tmp.scn");
    // Each replayed command passes through the input line, and Talk leaves it empty.
    if (!saved.commands.empty()) Edit2->clear();
    game_.replay(saved.commands, *this);
  });
}

void TForm1::Exit1Click() {
  if (busy_) return;
  // A failed save stays, so that the user can try again; a cancelled dialog ends all the same.
  if (modified_ && editor_ && saveScenarioAs() == SaveResult::Failed) return;
  if (recovery_) recovery_->discard();  // a clean exit
  if (exitApplication) exitApplication(0);
}
