// The main window's recovery: the modified flag follows every change of the scenario text, a
// recovery file keeps unsaved text, and recovery files left by an earlier run are offered at start.
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "TForm1.h"
#include "editor/TForm2.h"
#include "gui/dialogs.h"
#include "player/recovery.h"
#include "player/recovery_writer.h"
#include "player/rtf_reader.h"

void TForm1::attachRecovery() {
  // The text can change without the code editor being shown (the map export from F5, the
  // generators): any change sets the flag, as closing the code editor does.
  // Loading a text (Open, New) passes through a changed state too, with the undo history empty;
  // every edit, and every undo or redo of one, has a history.
  QTextDocument* doc = editor_->Memo1->document();
  connect(doc, &QTextDocument::modificationChanged, this, [this, doc](bool changed) {
    if (changed && (doc->isUndoAvailable() || doc->isRedoAvailable())) modified_ = true;
  });
  recovery_ = new RecoveryWriter(*editor_, this);
}

bool TForm1::offerRecovery() {
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
    editor_->Memo1->document()->setModified(true);
    modified_ = true;
    bool plainText = false;
    if (!found.scenario.empty()) {
      QFile original(scenario);
      if (original.open(QIODevice::ReadOnly)) plainText = !marvo::isRtf(original.read(4096).toStdString());
    }
    scenarioFile_ = scenario;
    scenarioPlainText_ = plainText;
    saveDialog1_.lastName = scenario.isEmpty() ? saveDialog1_.lastName : scenario;
    recovery_->setScenario(scenario, true);
    return true;
  }
  return false;
}
