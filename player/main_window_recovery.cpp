// The main window's recovery: the modified flag follows every change of the scenario text, a
// recovery file keeps unsaved text, and recovery files left by an earlier run are offered at start.
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "main_window.h"
#include "editor/code_editor_window.h"
#include "gui/dialogs.h"
#include "game/recovery.h"
#include "player/recovery_writer.h"
#include "game/rtf_reader.h"

void MainWindow::attachRecovery() {
  // The text can change without the code editor being shown (the map export from F5, the
  // generators): any change sets the flag, as closing the code editor does.
  // Loading a text (Open, New) passes through a changed state too, with the undo history empty;
  // every edit, and every undo or redo of one, has a history.
  QTextDocument* doc = editor_->scenarioView->document();
  connect(doc, &QTextDocument::modificationChanged, this, [this, doc](bool changed) {
    if (changed && (doc->isUndoAvailable() || doc->isRedoAvailable())) modified_ = true;
  });
  recovery_ = new RecoveryWriter(*editor_, this);
}

bool MainWindow::offerRecovery() {
  if (!editor_) return false;
  for (auto& found : marvo::pendingRecoveries(RecoveryWriter::folder())) {
    const QString file = QFile::decodeName(QByteArray::fromStdString(found.file.string()));
    const QString scenario = QFile::decodeName(QByteArray::fromStdString(found.scenario.string()));
    const QString when = QLocale().toString(QFileInfo(file).lastModified(), QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    const QString text =
        QStringLiteral("Найден несохранённый текст сценария %1,\nзаписанный %2, размер %3 байт.\nВосстановить его?")
            .arg(scenario.isEmpty() ? QStringLiteral("без имени") : scenario, when)
            .arg(found.size);
    const int answer = dialogs_.choose(
        this, text, {QStringLiteral("Восстановить"), QStringLiteral("Удалить"), QStringLiteral("Позже")});
    if (answer == 1) marvo::removeRecovery(found.file);
    if (answer != 0) continue;
    // The text comes back as unsaved changes of its scenario; its recovery file stays until saved.
    editor_->setLines(found.lines);
    editor_->scenarioView->document()->setModified(true);
    modified_ = true;
    bool plainText = false;
    if (!found.scenario.empty()) {
      QFile original(scenario);
      if (original.open(QIODevice::ReadOnly)) plainText = !marvo::isRtf(original.read(4096).toStdString());
    }
    scenarioFile_ = scenario;
    scenarioPlainText_ = plainText;
    scenarioSaveDialog_.lastName = scenario.isEmpty() ? scenarioSaveDialog_.lastName : scenario;
    recovery_->setScenario(scenario, true);
    return true;
  }
  return false;
}
