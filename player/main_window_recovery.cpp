// The main window's offer, at start, of the recovery files an earlier run left behind.
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "editor/code_editor_window.h"
#include "game/recovery.h"
#include "gui/dialogs.h"
#include "gui/recovery_writer.h"
#include "gui/scenario_document.h"
#include "main_window.h"

namespace marvo {

bool MainWindow::offerRecovery() {
  if (!editor_) return false;
  for (auto& found : pendingRecoveries(RecoveryWriter::folder())) {
    const QString file = QFile::decodeName(QByteArray::fromStdString(found.file.string()));
    const QString scenario = QFile::decodeName(QByteArray::fromStdString(found.scenario.string()));
    const QString when = QLocale().toString(QFileInfo(file).lastModified(), QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    const QString text =
        QStringLiteral("Найден несохранённый текст сценария %1,\nзаписанный %2, размер %3 байт.\nВосстановить его?")
            .arg(scenario.isEmpty() ? QStringLiteral("без имени") : scenario, when)
            .arg(found.size);
    const int answer = dialogs_.choose(
        this, text, {QStringLiteral("Восстановить"), QStringLiteral("Удалить"), QStringLiteral("Позже")});
    if (answer == 1) removeRecovery(found.file);
    if (answer != 0) continue;
    // The text comes back as unsaved changes of its scenario; its recovery file stays until saved.
    document_.restore(found.lines, scenario);
    scenarioSaveDialog_.lastName = scenario.isEmpty() ? scenarioSaveDialog_.lastName : scenario;
    return true;
  }
  return false;
}

}  // namespace marvo
