// Recovery files of the main window: written only for unsaved changes, removed after a save or a
// clean exit, offered at the next start (Restore / Discard / Later) when newer than the scenario.
#include <QDir>
#include <QFile>
#include <QTextDocument>

#include "game/recovery.h"
#include "game/scenario_file.h"
#include "gui/recovery_writer.h"
#include "window_fixture.h"

using window_test::Windows;

namespace {

constexpr int kRestore = 0, kDiscard = 1, kLater = 2;

QString recoveryFolder() {
  return QFile::decodeName(QByteArray::fromStdString(marvo::RecoveryWriter::folder().string()));
}

int recoveryFileCount() {
  return static_cast<int>(QDir(recoveryFolder()).entryList({QStringLiteral("*.recovery")}, QDir::Files).size());
}

void edit(Windows& w) { w.codeEditor->document().appendLine("!edited"); }

// A first run that opened `scenario`, changed it and was killed after the recovery file was written.
std::vector<std::string> killedRun(const QString& scenario) {
  Windows first;
  first.mainWindow->openScenario(scenario);
  edit(first);
  if (!first.document.recovery().writeIfNeeded()) qFatal("recovery file not written");
  return first.codeEditor->document().lines();
}

}  // namespace

class WindowRecoveryTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QDir(recoveryFolder()).removeRecursively(); }
  void writtenOnlyForUnsavedChangesAndRemovedAfterSaveAndExit();
  void laterKeepsDiscardRemovesRestoreBringsTheTextBack();
  void aRecoveryOlderThanItsScenarioIsNotOffered();
};

void WindowRecoveryTest::writtenOnlyForUnsavedChangesAndRemovedAfterSaveAndExit() {
  Windows w;
  marvo::RecoveryWriter& recovery = w.document.recovery();
  QVERIFY(recovery.writeIfNeeded());
  QCOMPARE(recoveryFileCount(), 0);  // nothing unsaved

  edit(w);
  QVERIFY(recovery.writeIfNeeded());
  QCOMPARE(recoveryFileCount(), 1);
  auto written = marvo::readRecovery(recovery.currentFile());
  QVERIFY(written);
  QCOMPARE(written->lines, w.codeEditor->document().lines());
  QVERIFY(written->scenario.empty());

  const QString target = w.path(QStringLiteral("saved.scn"));
  w.dialogs.fileAnswers = {target};
  w.mainWindow->saveAsAction()->trigger();
  QCOMPARE(recoveryFileCount(), 0);

  edit(w);
  QVERIFY(recovery.writeIfNeeded());
  QCOMPARE(recoveryFileCount(), 1);
  QCOMPARE(marvo::readRecovery(recovery.currentFile())->scenario,
           std::filesystem::path(QFile::encodeName(target).toStdString()));
  w.dialogs.choiceAnswers = {1};  // Exit: "Не сохранять" ends the program cleanly
  w.mainWindow->exitAction()->trigger();
  QCOMPARE(w.exitCalls, 1);
  QCOMPARE(recoveryFileCount(), 0);
}

void WindowRecoveryTest::laterKeepsDiscardRemovesRestoreBringsTheTextBack() {
  QTemporaryDir dir;
  const QString scenario = dir.filePath(QStringLiteral("game.scn"));
  window_test::writeCp1251(scenario, {QStringLiteral(":a"), QStringLiteral("READ")});
  const auto lost = killedRun(scenario);

  {
    Windows later;
    later.dialogs.choiceAnswers = {kLater};
    QVERIFY(!later.mainWindow->offerRecovery());
    QCOMPARE(later.dialogs.questions.size(), 1);
    QVERIFY(later.dialogs.questions[0].contains(scenario));
    QVERIFY(later.dialogs.questions[0].contains(QStringLiteral("байт")));
    QCOMPARE(recoveryFileCount(), 1);
  }
  {
    Windows restore;
    restore.dialogs.choiceAnswers = {kRestore};
    QVERIFY(restore.mainWindow->offerRecovery());
    QCOMPARE(restore.codeEditor->document().lines(), lost);
    QVERIFY(restore.document.hasUnsavedChanges());
    QVERIFY(restore.document.modified());
    QCOMPARE(restore.document.path(), scenario);
    QCOMPARE(recoveryFileCount(), 1);             // still there until the text is saved
    restore.mainWindow->saveAction()->trigger();  // to the scenario it belongs to, as plain text
    QVERIFY(restore.dialogs.requests.isEmpty());
    QCOMPARE(recoveryFileCount(), 0);
    QCOMPARE(marvo::readScenarioFile(QFile::encodeName(scenario).toStdString()).lines, lost);
  }
  killedRun(scenario);
  {
    Windows discard;
    discard.dialogs.choiceAnswers = {kDiscard};
    QVERIFY(!discard.mainWindow->offerRecovery());
    QCOMPARE(recoveryFileCount(), 0);
  }
}

void WindowRecoveryTest::aRecoveryOlderThanItsScenarioIsNotOffered() {
  QTemporaryDir dir;
  const QString scenario = dir.filePath(QStringLiteral("game.scn"));
  window_test::writeCp1251(scenario, {QStringLiteral(":a"), QStringLiteral("READ")});
  killedRun(scenario);
  QTest::qWait(20);
  window_test::writeCp1251(scenario, {QStringLiteral(":a"), QStringLiteral("!saved later"), QStringLiteral("READ")});
  Windows next;
  QVERIFY(!next.mainWindow->offerRecovery());
  QVERIFY(next.dialogs.questions.isEmpty());
  QCOMPARE(recoveryFileCount(), 0);
}

QObject* makeWindowRecoveryTest() { return new WindowRecoveryTest; }

#include "window_recovery_test.moc"
