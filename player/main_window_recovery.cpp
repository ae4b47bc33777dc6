// The main window's offer, at start, of the recovery files an ended run left behind.
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>

#include "editor/code_editor_window.h"
#include "game/recovery.h"
#include "game/scenario_file.h"
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
    // Only a file whose run has ended (another instance may have started meanwhile and taken it).
    if (answer == 1 && recoveryOwnerGone(found.file)) removeRecovery(found.file);
    if (answer != 0) continue;
    // The text comes back as unsaved changes of its scenario; its recovery file, now this run's,
    // stays until the text is saved or given up.
    document_.restore(found.lines, scenario, found.file);
    scenarioSaveDialog_.lastName = scenario.isEmpty() ? scenarioSaveDialog_.lastName : scenario;
    // The code editor, when opened, shows the first line that differs from the scenario's file.
    const auto onDisk = found.scenario.empty() ? std::vector<std::string>{} : readScenarioFile(found.scenario).lines;
    const auto differs = std::mismatch(found.lines.begin(), found.lines.end(), onDisk.begin(), onDisk.end());
    const auto line = static_cast<int>(differs.first - found.lines.begin());
    editor_->moveCaretToLine(std::min(line, static_cast<int>(found.lines.size()) - 1));
    return true;
  }
  return false;
}

bool MainWindow::openAtStart(const QString& path) {
  const bool restored = offerRecovery();
  if (path.isEmpty()) return restored;
  if (restored && !offerSave()) return true;
  openScenario(path);
  return false;
}

}  // namespace marvo
