// Recovery files of the main window: written only for unsaved changes, removed after a save or a
// clean exit, offered at the next start (Restore / Discard / Later) when newer than the scenario;
// the game in progress, written after every turn and offered back (Continue / Discard / Later).
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTextDocument>
#include <QTimer>

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

constexpr int kContinue = 0;

int playFileCount() {
  return static_cast<int>(QDir(recoveryFolder()).entryList({QStringLiteral("*.play")}, QDir::Files).size());
}

// Every turn draws a number and shows the clock.
const QStringList kDice{QStringLiteral(":a"),      QStringLiteral("TALK бросить"),
                        QStringLiteral("r = rnd"), QStringLiteral("!выпало [#r] в [#time]"),
                        QStringLiteral("REDO"),    QStringLiteral("READ")};

void say(Windows& w, const QString& command) {
  w.mainWindow->commandLine()->setText(command);
  w.mainWindow->submitCommand();
}

// A run that played three turns of `scenario` with the clock going between them, and was killed once
// its game was written; what the player saw last and the time then.
struct KilledGame {
  QStringList output;
  int time = 0;
};
KilledGame killedGame(const QString& scenario) {
  Windows first;
  first.mainWindow->clockTimer()->stop();
  first.mainWindow->openScenario(scenario);
  for (int turn = 0; turn < 3; ++turn) {
    for (int tick = 0; tick <= turn; ++tick) first.mainWindow->clockTick();
    say(first, QStringLiteral("бросить"));
  }
  const auto kept = [&] { return marvo::readPlayRecovery(first.document.recovery().playFile()); };
  if (!QTest::qWaitFor([&] { return kept() && kept()->steps.size() == 3; }, 20000)) qFatal("game not written");
  return {first.output(), first.engine.valueOf(marvo::fromQt(QStringLiteral("time")))};
}

}  // namespace

class WindowRecoveryTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QDir(recoveryFolder()).removeRecursively(); }
  void writtenOnlyForUnsavedChangesAndRemovedAfterSaveAndExit();
  void laterKeepsDiscardRemovesRestoreBringsTheTextBack();
  void aRecoveryOlderThanItsScenarioIsNotOffered();
  void aPauseInTypingWritesTheFileOffTheTypingPath();
  void filesOfARunningInstanceAreNotOffered();
  void aScenarioOnTheCommandLineIsOpenedWhateverTheRecoveryAnswer();
  void aGameInProgressIsKeptAfterEveryTurnUntilItEndsForGood();
  void aGameOfAnEndedRunContinuesWithItsClockOrIsDiscarded();
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
    // The code editor opens at the first line that differs from the scenario's file.
    QCOMPARE(restore.codeEditor->scenarioView()->textCursor().blockNumber(), 2);
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

void WindowRecoveryTest::aPauseInTypingWritesTheFileOffTheTypingPath() {
  Windows w;
  marvo::RecoveryWriter& recovery = w.document.recovery();
  edit(w);
  QCOMPARE(recoveryFileCount(), 0);  // typing itself writes nothing
  QTRY_COMPARE_WITH_TIMEOUT(recoveryFileCount(), 1, 20000);
  QCOMPARE(marvo::readRecovery(recovery.currentFile())->lines, w.document.lines());

  // Typing on is written at the next pause; undoing back to the unchanged text removes the file.
  w.document.appendLine("!more");
  QTRY_VERIFY_WITH_TIMEOUT(marvo::readRecovery(recovery.currentFile())->lines == w.document.lines(), 20000);
  w.document.textDocument()->undo();
  w.document.textDocument()->undo();
  QVERIFY(!w.document.hasUnsavedChanges());
  QTRY_COMPARE_WITH_TIMEOUT(recoveryFileCount(), 0, 20000);
}

void WindowRecoveryTest::filesOfARunningInstanceAreNotOffered() {
  std::filesystem::path firstFile;
  std::vector<std::string> firstText;
  {
    Windows first;
    edit(first);
    QVERIFY(first.document.recovery().writeIfNeeded());
    firstFile = first.document.recovery().currentFile();
    firstText = first.document.lines();

    // A second instance started meanwhile neither offers nor removes the first one's file ...
    Windows second;
    second.dialogs.choiceAnswers = {kDiscard};
    QVERIFY(!second.mainWindow->offerRecovery());
    QVERIFY(second.dialogs.questions.isEmpty());
    QCOMPARE(marvo::readRecovery(firstFile)->lines, firstText);
    // ... and writes its own untitled text to a file of its own.
    second.document.appendLine("!second");
    QVERIFY(second.document.recovery().writeIfNeeded());
    QVERIFY(second.document.recovery().currentFile() != firstFile);
    QCOMPARE(marvo::readRecovery(firstFile)->lines, firstText);
    second.document.recovery().discard();
  }  // the first instance ends without a word, as if killed

  Windows third;
  third.dialogs.choiceAnswers = {kRestore};
  QVERIFY(third.mainWindow->offerRecovery());
  QCOMPARE(third.document.lines(), firstText);
  // The file is now the third instance's own.
  QVERIFY(!std::filesystem::exists(firstFile));
  QCOMPARE(recoveryFileCount(), 1);
  QCOMPARE(marvo::readRecovery(third.document.recovery().currentFile())->lines, firstText);
}

QObject* makeWindowRecoveryTest() { return new WindowRecoveryTest; }

void WindowRecoveryTest::aScenarioOnTheCommandLineIsOpenedWhateverTheRecoveryAnswer() {
  QTemporaryDir dir;
  const QString scenario = dir.filePath(QStringLiteral("game.scn"));
  const QString named = dir.filePath(QStringLiteral("named.scn"));
  window_test::writeCp1251(scenario, {QStringLiteral(":a"), QStringLiteral("READ")});
  window_test::writeCp1251(named, {QStringLiteral(":b"), QStringLiteral("!named"), QStringLiteral("READ")});
  constexpr int kSaveYes = 0, kSaveCancel = 2;
  for (const int answer : {kRestore, kDiscard, kLater}) {
    const auto lost = killedRun(scenario);
    Windows w;
    w.dialogs.choiceAnswers = {answer, kSaveYes};
    QVERIFY(!w.mainWindow->openAtStart(named));
    QCOMPARE(w.document.path(), named);
    QVERIFY(!w.document.hasUnsavedChanges());
    if (answer == kRestore) {  // the restored text was saved to its scenario before it was replaced
      QCOMPARE(marvo::readScenarioFile(QFile::encodeName(scenario).toStdString()).lines, lost);
      QCOMPARE(w.dialogs.questions.size(), 2);
    }
    QDir(recoveryFolder()).removeRecursively();
  }
  // Cancel at the offer to save keeps the restored text, to be shown in the code editor.
  killedRun(scenario);
  Windows w;
  w.dialogs.choiceAnswers = {kRestore, kSaveCancel};
  QVERIFY(w.mainWindow->openAtStart(named));
  QCOMPARE(w.document.path(), scenario);
  QVERIFY(w.document.hasUnsavedChanges());
}

void WindowRecoveryTest::aGameInProgressIsKeptAfterEveryTurnUntilItEndsForGood() {
  Windows w;
  w.mainWindow->clockTimer()->stop();
  w.setScenario(kDice);
  w.mainWindow->beginGame();
  marvo::RecoveryWriter& recovery = w.document.recovery();
  QCOMPARE(playFileCount(), 0);  // nothing played yet
  w.mainWindow->clockTick();
  say(w, QStringLiteral("бросить"));
  QTRY_COMPARE_WITH_TIMEOUT(playFileCount(), 1, 20000);
  auto kept = marvo::readPlayRecovery(recovery.playFile());
  QVERIFY(kept);
  QCOMPARE(kept->steps, (std::vector<marvo::PlayStep>{{1, marvo::fromQt(QStringLiteral("бросить"))}}));
  QVERIFY(kept->scenario.empty());  // a text never saved

  // Every command undone: nothing left to keep. New ends the game for good.
  w.mainWindow->undoTurn();
  QCOMPARE(playFileCount(), 0);
  w.mainWindow->redoTurn();
  QTRY_COMPARE_WITH_TIMEOUT(playFileCount(), 1, 20000);
  w.mainWindow->newAction()->trigger();
  QCOMPARE(playFileCount(), 0);

  // A clean exit too.
  w.mainWindow->beginGame();
  say(w, QStringLiteral("бросить"));
  QTRY_COMPARE_WITH_TIMEOUT(playFileCount(), 1, 20000);
  w.mainWindow->exitAction()->trigger();
  QCOMPARE(w.exitCalls, 1);
  QCOMPARE(playFileCount(), 0);
}

void WindowRecoveryTest::aGameOfAnEndedRunContinuesWithItsClockOrIsDiscarded() {
  QTemporaryDir dir;
  const QString scenario = dir.filePath(QStringLiteral("dice.scn"));
  window_test::writeCp1251(scenario, kDice);
  const KilledGame lost = killedGame(scenario);
  QCOMPARE(playFileCount(), 1);
  {
    Windows later;  // started without a scenario: the game's is opened
    later.mainWindow->clockTimer()->stop();
    later.dialogs.choiceAnswers = {kLater};
    QVERIFY(!later.mainWindow->openAtStart(QString()));
    QCOMPARE(later.dialogs.questions.size(), 1);
    QVERIFY(later.dialogs.questions[0].contains(scenario));
    QVERIFY(later.dialogs.questions[0].contains(QStringLiteral("ходов 3")));
    QVERIFY(!later.dialogs.questions[0].contains(QStringLiteral("изменён")));
    QVERIFY(later.mainWindow->game().commandLog().empty());
  }
  {
    Windows again;
    again.mainWindow->clockTimer()->stop();
    again.dialogs.choiceAnswers = {kContinue};
    QVERIFY(!again.mainWindow->openAtStart(QString()));
    QCOMPARE(again.document.path(), scenario);
    // As the uninterrupted game stood: the last turn's text, with its random number and its time.
    QCOMPARE(again.output(), lost.output.mid(lost.output.size() - 2));
    QCOMPARE(again.engine.valueOf(marvo::fromQt(QStringLiteral("time"))), lost.time);
    QVERIFY(again.dialogs.messages.isEmpty());
    // The game goes on here, and its file is now this run's.
    QCOMPARE(playFileCount(), 1);
    QVERIFY(marvo::readPlayRecovery(again.document.recovery().playFile()));
    again.mainWindow->undoTurn();
    QCOMPARE(again.mainWindow->game().commandLog().size(), std::size_t{2});
    QTRY_COMPARE_WITH_TIMEOUT(marvo::readPlayRecovery(again.document.recovery().playFile())->steps.size(),
                              std::size_t{2}, 20000);
  }  // killed again
  // Its scenario file gone: said so, and the game stays for another start.
  QVERIFY(QFile::rename(scenario, scenario + QStringLiteral(".moved")));
  {
    Windows gone;
    gone.dialogs.choiceAnswers = {kContinue};
    QVERIFY(!gone.mainWindow->offerPlayRecovery());
    QCOMPARE(gone.dialogs.messages.size(), 1);
    QVERIFY(gone.dialogs.messages[0].contains(QStringLiteral("не найден")));
    QCOMPARE(playFileCount(), 1);
  }
  QVERIFY(QFile::rename(scenario + QStringLiteral(".moved"), scenario));
  // The scenario edited since the game began: said so; Discard removes the game.
  window_test::writeCp1251(scenario, QStringList(kDice) << QStringLiteral("!дописано"));
  Windows discard;
  discard.dialogs.choiceAnswers = {kDiscard};
  QVERIFY(!discard.mainWindow->offerPlayRecovery());
  QCOMPARE(discard.dialogs.questions.size(), 1);
  QVERIFY(discard.dialogs.questions[0].contains(QStringLiteral("ходов 2")));
  QVERIFY(discard.dialogs.questions[0].contains(QStringLiteral("изменён")));
  QCOMPARE(playFileCount(), 0);
}

#include "window_recovery_test.moc"
