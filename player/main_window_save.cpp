// The main window's safe saving: the offer to save before the text is replaced or the program
// ends, "Save" and "Save as..." (through the document saver), and the recent files.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextDocument>

#include "editor/code_editor_window.h"
#include "game/scenario_file.h"
#include "gui/dialogs.h"
#include "gui/document_saver.h"
#include "gui/qt_codec.h"
#include "gui/recovery_writer.h"
#include "gui/scenario_document.h"
#include "main_window.h"

namespace marvo {

namespace {

const QString kRecentKey = QStringLiteral("recentFiles");

QSettings settings() { return QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")); }

}  // namespace

void MainWindow::buildSaveMenu() {
  saveAction_ = new QAction(QStringLiteral("Save"), this);
  saveAction_->setObjectName(QStringLiteral("saveAction"));
  // Ctrl+S is "Save as..."; F2 is free in this window and is the classic key for saving.
  saveAction_->setShortcut(QKeySequence(Qt::Key_F2));
  connect(saveAction_, &QAction::triggered, this, &MainWindow::saveScenarioCommand);
  fileMenu_->insertAction(saveAsAction_, saveAction_);

  recentFilesMenu_ = new QMenu(QStringLiteral("Recent files"), this);
  recentFilesMenu_->setObjectName(QStringLiteral("recentFilesMenu"));
  fileMenu_->insertMenu(saveAction_, recentFilesMenu_);
  rebuildRecentFiles();
  connect(&document_, &ScenarioDocument::fileChanged, this, &MainWindow::addRecentFile);
}

bool MainWindow::offerSave() {
  if (!document_.hasUnsavedChanges()) return true;
  const int answer = dialogs_.choose(this, QStringLiteral("Текст сценария изменён. Сохранить изменения?"),
                                     {QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("Отмена")});
  if (answer == 1) return true;
  if (answer != 0) return false;
  return saveScenario() == SaveResult::Saved;
}

void MainWindow::saveScenarioAsCommand() {
  if (!editor_ || busy_) return;
  saveScenarioAs();
}

void MainWindow::saveScenarioCommand() {
  if (!editor_ || busy_) return;
  saveScenario();
}

MainWindow::SaveResult MainWindow::saveScenario() {
  const auto result = DocumentSaver(document_, dialogs_, this).save();
  scenarioSaveDialog_.lastName = document_.offeredName();
  return result;
}

MainWindow::SaveResult MainWindow::saveScenarioAs() {
  const auto result = DocumentSaver(document_, dialogs_, this).saveAs();
  scenarioSaveDialog_.lastName = document_.offeredName();
  return result;
}

bool MainWindow::mayEnd() {
  if (document_.hasUnsavedChanges()) {
    const int answer = dialogs_.choose(
        this, QStringLiteral("Текст сценария изменён и не сохранён. Сохранить изменения перед выходом?"),
        {QStringLiteral("Сохранить"), QStringLiteral("Не сохранять"), QStringLiteral("Отмена")});
    // Отмена, or the box closed: back to the program with the text as it is.
    if (answer != 0 && answer != 1) return false;
    if (answer == 0 && saveScenario() != SaveResult::Saved) return false;
  }
  document_.recovery().discard();  // saved, unchanged, or given up by the user
  return true;
}

void MainWindow::showReadNotes(const QString& file, const std::vector<TextNote>& notes) {
  if (notes.empty()) return;
  QStringList lines;
  for (const auto& note : notes)
    lines.append(QStringLiteral("%1:%2: %3").arg(file).arg(note.line).arg(toQt(note.text)));
  report(lines.join(QLatin1Char('\n')));
}

// ---- recent files ----

void MainWindow::addRecentFile(const QString& file) {
  const QString absolute = QFileInfo(file).absoluteFilePath();
  QStringList recent = settings().value(kRecentKey).toStringList();
  recent.removeAll(absolute);
  recent.prepend(absolute);
  while (recent.size() > kRecentFiles) recent.removeLast();
  settings().setValue(kRecentKey, recent);
  rebuildRecentFiles();
}

void MainWindow::rebuildRecentFiles() {
  recentFilesMenu_->clear();
  const QStringList recent = settings().value(kRecentKey).toStringList();
  for (const QString& file : recent) {
    QAction* item = recentFilesMenu_->addAction(file);
    connect(item, &QAction::triggered, this, [this, file] { openRecentFile(file); });
  }
  recentFilesMenu_->setEnabled(!recent.isEmpty());
}

void MainWindow::openRecentFile(const QString& file) {
  if (!editor_ || busy_ || !offerSave()) return;
  openScenario(file);
}

}  // namespace marvo
