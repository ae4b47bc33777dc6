// The main window's safe saving: the offer to save before the text is replaced, "Save" and
// "Save as..." in RTF or plain text (with a backup of the replaced file), and the recent files.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextDocument>

#include "main_window.h"
#include "editor/code_editor_window.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "player/recovery_writer.h"
#include "game/scenario_file.h"

namespace {

const QStringList kScenarioTypes = {QStringLiteral("scenary (*.scn)"),
                                    QStringLiteral("plain text scenary (*.scn *.txt)")};
constexpr int kPlainTextType = 1;
const QString kRecentKey = QStringLiteral("recentFiles");

QSettings settings() { return QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")); }

}  // namespace

void MainWindow::buildSaveMenu() {
  saveAction = new QAction(QStringLiteral("Save"), this);
  saveAction->setObjectName(QStringLiteral("saveAction"));
  // Ctrl+S is "Save as..."; F2 is free in this window and is the classic key for saving.
  saveAction->setShortcut(QKeySequence(Qt::Key_F2));
  connect(saveAction, &QAction::triggered, this, &MainWindow::saveScenarioCommand);
  fileMenu->insertAction(saveAsAction, saveAction);

  recentFilesMenu = new QMenu(QStringLiteral("Recent files"), this);
  recentFilesMenu->setObjectName(QStringLiteral("recentFilesMenu"));
  fileMenu->insertMenu(saveAction, recentFilesMenu);
  rebuildRecentFiles();
}

bool MainWindow::hasUnsavedChanges() const { return editor_ && editor_->scenarioView->document()->isModified(); }

bool MainWindow::offerSave() {
  if (!hasUnsavedChanges()) return true;
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
  if (scenarioFile_.isEmpty()) return saveScenarioAs();
  return saveScenarioTo(scenarioFile_, scenarioPlainText_) ? SaveResult::Saved : SaveResult::Failed;
}

MainWindow::SaveResult MainWindow::saveScenarioAs() {
  const marvo::FileDialogRequest request{scenarioSaveDialog_.filter, scenarioSaveDialog_.defaultSuffix, scenarioSaveDialog_.lastName};
  auto chosen = dialogs_.saveFileOfType(this, request, kScenarioTypes, scenarioPlainText_ ? kPlainTextType : 0);
  if (!chosen) return SaveResult::Cancelled;
  scenarioSaveDialog_.lastName = chosen->name;
  return saveScenarioTo(chosen->name, chosen->type == kPlainTextType) ? SaveResult::Saved : SaveResult::Failed;
}

bool MainWindow::saveScenarioTo(const QString& name, bool plainText) {
  const auto format = plainText ? marvo::ScenarioFormat::PlainText : marvo::ScenarioFormat::Rtf;
  if (auto error = marvo::saveScenarioFile(QFile::encodeName(name).toStdString(), editor_->lines(), format)) {
    showError(QString::fromLocal8Bit(*error));
    return false;
  }
  // Only once the text is safely on disk.
  modified_ = false;
  editor_->scenarioView->document()->setModified(false);
  scenarioFile_ = name;
  scenarioPlainText_ = plainText;
  if (recovery_) recovery_->setScenario(name);
  addRecentFile(name);
  return true;
}

void MainWindow::scenarioReplaced(const QString& file, bool plainText) {
  scenarioFile_ = file;
  scenarioPlainText_ = plainText;
  if (recovery_) recovery_->setScenario(file);
  if (!file.isEmpty()) addRecentFile(file);
}

void MainWindow::showReadNotes(const QString& file, const std::vector<marvo::TextNote>& notes) {
  if (notes.empty()) return;
  QStringList lines;
  for (const auto& note : notes)
    lines.append(QStringLiteral("%1:%2: %3").arg(file).arg(note.line).arg(marvo::toQt(note.text)));
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
  recentFilesMenu->clear();
  const QStringList recent = settings().value(kRecentKey).toStringList();
  for (const QString& file : recent) {
    QAction* item = recentFilesMenu->addAction(file);
    connect(item, &QAction::triggered, this, [this, file] { openRecentFile(file); });
  }
  recentFilesMenu->setEnabled(!recent.isEmpty());
}

void MainWindow::openRecentFile(const QString& file) {
  if (!editor_ || busy_ || !offerSave()) return;
  openScenario(file);
}
