// The main window's offer, at start, of the recovery files an ended run left behind: the unsaved text
// and the game in progress, which is kept after every turn.
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>

#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "game/recovery.h"
#include "game/scenario_file.h"
#include "gui/dialogs.h"
#include "gui/recovery_writer.h"
#include "gui/scenario_document.h"
#include "main_window.h"

namespace marvo {

namespace {

QString fromPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}
std::filesystem::path toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

bool samePath(const QString& a, const QString& b) {
  return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

}  // namespace

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
  if (!path.isEmpty() && (!restored || offerSave())) openScenario(path);
  offerPlayRecovery();
  // The restored text is left when nothing replaced it (a replaced one was offered to be saved).
  return restored && document_.hasUnsavedChanges();
}

void MainWindow::buildPlayRecovery() {
  document_.recovery().setPlaySource(this, [this] { return playInProgress(); });
  // A clean exit ends the game for good.
  connect(this, &MainWindow::exitRequested, this, [this] { document_.recovery().discardPlay(); });
}

void MainWindow::beginHistory() {
  // Noted before the start, which may throw: the game is kept all the same.
  playScenario_ = toPath(document_.path());
  playFingerprint_ = playFingerprint(document_.lines(), libraryEditor_->libraryLines());
  keptSteps_.clear();
  document_.recovery().startPlay(playScenario_);
  history_.begin(document_.lines(), libraryEditor_->libraryLines(), *this, "tmp.scn");
}

std::optional<PlayRecovery> MainWindow::playInProgress() const {
  if (history_.steps().empty()) return std::nullopt;
  return PlayRecovery{history_.steps(), history_.pendingTicks(), playScenario_, playFingerprint_};
}

void MainWindow::keepPlay() {
  if (history_.steps() == keptSteps_) return;
  keptSteps_ = history_.steps();
  if (auto play = playInProgress())
    document_.recovery().writePlay(std::move(*play));
  else
    document_.recovery().discardPlay();  // New, or every command undone
}

bool MainWindow::offerPlayRecovery() {
  if (!editor_ || !libraryEditor_) return false;
  for (auto& found : pendingPlayRecoveries(RecoveryWriter::folder())) {
    const QString scenario = fromPath(found.play.scenario);
    // A game of a text never saved goes on only on such a text brought back (or typed) here.
    const bool current = scenario.isEmpty() ? document_.path().isEmpty() && document_.hasUnsavedChanges()
                                            : samePath(scenario, document_.path());
    std::error_code ec;
    const bool gone = !current && !std::filesystem::exists(found.play.scenario, ec);
    const QString when =
        QLocale().toString(QFileInfo(fromPath(found.file)).lastModified(), QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    QString text = QStringLiteral("Найдена незаконченная игра сценария %1: ходов %2, записана %3.\nПродолжить её?")
                       .arg(scenario.isEmpty() ? QStringLiteral("без имени") : scenario,
                            QString::number(found.play.steps.size()), when);
    // The text the game would be replayed on: the current one, or its scenario's file.
    if (!libraryLoaded_) reloadLibrary();
    if (!gone) {
      const auto lines = current ? document_.lines() : readScenarioFile(found.play.scenario).lines;
      if (playFingerprint(lines, libraryEditor_->libraryLines()) != found.play.fingerprint)
        text += QStringLiteral("\nСценарий изменён после начала этой игры: ходы могут пройти иначе.");
    }
    const int answer =
        dialogs_.choose(this, text, {QStringLiteral("Продолжить"), QStringLiteral("Удалить"), QStringLiteral("Позже")});
    // Only a file whose run has ended (another instance may have started meanwhile and taken it).
    if (answer == 1 && recoveryOwnerGone(found.file)) removeRecovery(found.file);
    if (answer != 0 || !recoveryOwnerGone(found.file)) continue;
    if (!current) {
      if (scenario.isEmpty()) {
        report(
            QStringLiteral("Сценарий этой игры не был сохранён в файл, и его текста сейчас нет.\n"
                           "Незаконченная игра остаётся и будет предложена при следующем запуске."));
        continue;
      }
      if (gone) {
        report(QStringLiteral("Файл сценария %1 не найден.\n"
                              "Незаконченная игра остаётся и будет предложена при следующем запуске.")
                   .arg(scenario));
        continue;
      }
      if (!offerSave()) return false;
      if (!openScenario(scenario)) continue;
    }
    resumeGame(std::move(found.play.steps), found.play.pendingTicks, found.file);
    return true;
  }
  return false;
}

}  // namespace marvo
