// Main window tests: the modified flag and Exit, New, Open File, Save as..., Save game, Load game.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimer>

#include "game/scenario_file.h"
#include "window_fixture.h"

using window_test::Windows;

namespace {

const QStringList kHall = {
    QStringLiteral(":hall"),
    QStringLiteral("@Вы в холле. Шаг [#step]."),
    QStringLiteral("TALK look"),
    QStringLiteral("!Ничего интересного, кубик: [#rnd]."),
    QStringLiteral("REDO"),
    QStringLiteral("TALK осмотреть"),
    QStringLiteral("!Вы осматриваетесь."),
    QStringLiteral("REDO"),
    QStringLiteral("READ"),
};

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void talk(Windows& w, const QString& text) {
  w.mainWindow->commandLine()->setText(text);
  w.mainWindow->submitCommand();
}

void openEditorAndClose(Windows& w) {
  QTimer::singleShot(0, w.codeEditor, &QDialog::reject);
  w.mainWindow->editScenarioAction()->trigger();
}

}  // namespace

class WindowFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void exitOffersToSaveOnlyWhenModified();
  void exitSaveFailureKeepsTheProgramRunning();
  void saveAsClearsTheFlagOnlyAfterWriting();
  void newEmptiesScenarioAndGame();
  void openFileStartsTheGameAndPrimesSaveAs();
  void openFileErrorKeepsTheText();
  void saveAndLoadGameRoundTrip();
  void unreadableSavedGameLeavesTheGame();
  void unwritableCopyIsReportedOnceAndTheGameStarts();
};

void WindowFilesTest::exitOffersToSaveOnlyWhenModified() {
  constexpr int kSave = 0, kDontSave = 1, kCancel = 2;
  Windows w;
  w.mainWindow->exitAction()->trigger();
  QVERIFY(w.dialogs.questions.isEmpty());
  QVERIFY(w.dialogs.requests.isEmpty());
  QCOMPARE(w.exitCalls, 1);
  QCOMPARE(w.exitCode, 0);

  // Showing the editor and closing it without a change leaves nothing unsaved: no question.
  openEditorAndClose(w);
  w.mainWindow->exitAction()->trigger();
  QVERIFY(w.dialogs.questions.isEmpty());
  QCOMPARE(w.exitCalls, 2);

  // An edit is asked about; Cancel, Esc, and a cancelled save dialog return to the program.
  w.codeEditor->document().appendLine("!edit");
  const auto edited = w.codeEditor->document().lines();
  for (int answer : {kCancel, -1}) {
    w.dialogs.choiceAnswers = {answer};
    w.mainWindow->exitAction()->trigger();
  }
  w.dialogs.choiceAnswers = {kSave};
  w.mainWindow->exitAction()->trigger();
  QCOMPARE(w.dialogs.questions.size(), 3);
  QCOMPARE(w.dialogs.questions[0],
           QStringLiteral("Текст сценария изменён и не сохранён. Сохранить изменения перед выходом?"));
  QCOMPARE(w.dialogs.requests.size(), 1);
  QCOMPARE(w.dialogs.requests[0].filter, QStringLiteral("scenary (*.scn);;plain text scenary (*.scn *.txt)"));
  QCOMPARE(w.dialogs.requests[0].defaultSuffix, QStringLiteral("scn"));
  QCOMPARE(w.dialogs.requests[0].initialName, QStringLiteral("newqst.scn"));
  QCOMPARE(w.exitCalls, 2);
  QCOMPARE(w.codeEditor->document().lines(), edited);
  QVERIFY(w.document.hasUnsavedChanges());

  // Save: through the dialog (the text has no file), then the program ends.
  const QString target = w.path(QStringLiteral("exit.scn"));
  w.dialogs.choiceAnswers = {kSave};
  w.dialogs.fileAnswers.push_back(target);
  w.mainWindow->exitAction()->trigger();
  QCOMPARE(w.exitCalls, 3);
  QVERIFY(!w.document.modified());
  auto read = marvo::readScenarioFile(QFile::encodeName(target).toStdString());
  QVERIFY(read.error.empty());
  QCOMPARE(read.lines, edited);
  QVERIFY(fileBytes(target).startsWith("{\\rtf"));

  // Don't save: the program ends and the text stays unsaved.
  w.codeEditor->document().appendLine("!dropped");
  w.dialogs.choiceAnswers = {kDontSave};
  w.mainWindow->exitAction()->trigger();
  QCOMPARE(w.exitCalls, 4);
  QCOMPARE(marvo::readScenarioFile(QFile::encodeName(target).toStdString()).lines, edited);
}

void WindowFilesTest::exitSaveFailureKeepsTheProgramRunning() {
  Windows w;
  w.codeEditor->document().appendLine("!edit");
  const QString bad = w.path(QStringLiteral("no-such-dir/exit.scn"));
  w.dialogs.choiceAnswers = {0};
  w.dialogs.fileAnswers.push_back(bad);
  w.mainWindow->exitAction()->trigger();
  QCOMPARE(w.exitCalls, 0);
  QVERIFY(w.document.hasUnsavedChanges());
  QCOMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("exit.scn")));
  // The dialog offers the name chosen last; cancelling it keeps the program running.
  w.dialogs.choiceAnswers = {0};
  w.mainWindow->exitAction()->trigger();
  QCOMPARE(w.dialogs.requests.last().initialName, bad);
  QCOMPARE(w.exitCalls, 0);
}

void WindowFilesTest::saveAsClearsTheFlagOnlyAfterWriting() {
  Windows w;
  w.setScenario(kHall);
  openEditorAndClose(w);
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("missing/dir.scn")));
  QVERIFY(w.showActive());
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_S, Qt::ControlModifier);
  QVERIFY(w.document.modified());
  QCOMPARE(w.dialogs.messages.size(), 1);

  const QString target = w.path(QStringLiteral("saved.scn"));
  w.dialogs.fileAnswers.push_back(target);
  w.mainWindow->saveAsAction()->trigger();
  QVERIFY(!w.document.modified());
  QCOMPARE(marvo::readScenarioFile(QFile::encodeName(target).toStdString()).lines, window_test::cp1251(kHall));
  QCOMPARE(w.dialogs.requests.last().initialName, w.path(QStringLiteral("missing/dir.scn")));
}

void WindowFilesTest::newEmptiesScenarioAndGame() {
  Windows w;
  w.setScenario(kHall);
  w.mainWindow->beginGame();
  talk(w, QStringLiteral("look"));
  QVERIFY(w.showActive());
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_N, Qt::ControlModifier);
  QCOMPARE(w.codeEditor->document().lineCount(), 0);
  QVERIFY(w.output().isEmpty());
  QVERIFY(w.outputText().isEmpty());
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{1});  // New keeps the log
  QVERIFY(!w.document.modified());
  // No game runs now: every input only echoes and draws the impossible reply.
  talk(w, QStringLiteral("look"));
  QCOMPARE(w.output(), (QStringList{QStringLiteral(">look"), QStringLiteral("это невозможно")}));
}

void WindowFilesTest::openFileStartsTheGameAndPrimesSaveAs() {
  Windows w;
  const QString scenario = w.path(QStringLiteral("hall.scn"));
  window_test::writeCp1251(scenario, kHall);  // plain text, as another editor writes it
  w.dialogs.fileAnswers.push_back(scenario);
  QVERIFY(w.showActive());
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_L, Qt::ControlModifier);
  QCOMPARE(w.dialogs.requests.size(), 1);
  QCOMPARE(w.dialogs.requests[0].filter, QStringLiteral("scenary (*.scn)"));
  QVERIFY(w.dialogs.requests[0].defaultSuffix.isEmpty());
  QVERIFY(w.dialogs.requests[0].initialName.isEmpty());
  QCOMPARE(w.codeEditor->document().lines(), window_test::cp1251(kHall));
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
  QVERIFY(QFile::exists(w.path(QStringLiteral("tmp.scn"))));

  w.mainWindow->saveScenarioAsCommand();  // cancelled, but it offered the opened file
  QCOMPARE(w.dialogs.requests.last().initialName, scenario);
  QCOMPARE(w.dialogs.requests.last().defaultSuffix, QStringLiteral("scn"));
  w.mainWindow->openFile();
  QCOMPARE(w.dialogs.requests.last().initialName, scenario);

  // The command-line argument opens a file the same way.
  Windows cli;
  const QString other = cli.path(QStringLiteral("other.scn"));
  window_test::writeCp1251(other, kHall);
  cli.mainWindow->openScenario(other);
  QCOMPARE(cli.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
  cli.mainWindow->saveScenarioAsCommand();
  QCOMPARE(cli.dialogs.requests.last().initialName, other);
}

void WindowFilesTest::openFileErrorKeepsTheText() {
  Windows w;
  w.setScenario(kHall);
  const auto before = w.codeEditor->document().lines();
  const QStringList banner = w.output();
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("missing.scn")));
  w.mainWindow->openFileAction()->trigger();
  QCOMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("missing.scn")));
  QCOMPARE(w.codeEditor->document().lines(), before);
  QCOMPARE(w.output(), banner);
  QVERIFY(!QFile::exists(w.path(QStringLiteral("tmp.scn"))));
}

void WindowFilesTest::saveAndLoadGameRoundTrip() {
  Windows w;
  w.setScenario(kHall);
  w.mainWindow->beginGame();
  for (const QString& command : {QStringLiteral("look"), QString(), QStringLiteral("ОСМОТРЕТЬ"),
                                 QStringLiteral("  xyz "), QStringLiteral("Look")})
    talk(w, command);
  const QStringList played = w.output();
  const auto log = w.mainWindow->game().commandLog();

  const QString saved = w.path(QStringLiteral("game.sav"));
  w.dialogs.fileAnswers.push_back(saved);
  w.mainWindow->saveGameAction()->trigger();
  QCOMPARE(w.dialogs.requests.last().filter, QStringLiteral("Save game (*.sav)"));
  QCOMPARE(w.dialogs.requests.last().defaultSuffix, QStringLiteral("sav"));
  QCOMPARE(w.dialogs.requests.last().initialName, QStringLiteral("savegame.sav"));
  QByteArray expected = QByteArray("look\r\n\r\n") +
                        QByteArray::fromStdString(marvo::fromQt(QStringLiteral("ОСМОТРЕТЬ"))) +
                        QByteArray("\r\n  xyz \r\nLook\r\n");
  QCOMPARE(fileBytes(saved), expected);

  // Play on, then load: the saved state comes back, twice alike.
  talk(w, QStringLiteral("look"));
  w.mainWindow->clearScreen();
  for (int round = 0; round < 2; ++round) {
    w.mainWindow->commandLine()->setText(QStringLiteral("half-typed"));  // replaced by the replayed commands
    w.dialogs.fileAnswers.push_back(saved);
    w.mainWindow->loadGameAction()->trigger();
    QCOMPARE(w.output(), played);
    QCOMPARE(w.outputText(), played.join(QLatin1Char('\n')));
    QCOMPARE(w.mainWindow->game().commandLog(), log);
    QVERIFY(w.mainWindow->commandLine()->text().isEmpty());
  }
  QCOMPARE(w.dialogs.requests.last().filter, QStringLiteral("Save game (*.sav)"));
  QCOMPARE(w.dialogs.requests.last().initialName, saved);
  QVERIFY(w.dialogs.messages.isEmpty());

  // Saving right after a game start writes an empty file; loading it just starts the game.
  w.mainWindow->beginGame();
  const QString empty = w.path(QStringLiteral("empty.sav"));
  w.dialogs.fileAnswers.push_back(empty);
  w.mainWindow->saveGame();
  QCOMPARE(fileBytes(empty), QByteArray());
  w.dialogs.fileAnswers.push_back(empty);
  w.mainWindow->commandLine()->setText(QStringLiteral("half-typed"));
  w.mainWindow->loadGame();
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
  QCOMPARE(w.mainWindow->commandLine()->text(), QStringLiteral("half-typed"));  // no command passed through it
}

void WindowFilesTest::unreadableSavedGameLeavesTheGame() {
  Windows w;
  w.setScenario(kHall);
  w.mainWindow->beginGame();
  talk(w, QStringLiteral("look"));
  const QStringList output = w.output();
  const auto log = w.mainWindow->game().commandLog();
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("gone.sav")));
  w.mainWindow->loadGame();
  QCOMPARE(w.dialogs.messages.size(), 1);
  QCOMPARE(w.dialogs.messages[0], QStringLiteral("Сохранённая игра %1 не загружена: такого файла или папки нет (папку "
                                                 "могли удалить или переименовать). Игра продолжается.")
                                      .arg(w.path(QStringLiteral("gone.sav"))));
  QCOMPARE(w.output(), output);
  QCOMPARE(w.mainWindow->game().commandLog(), log);
  // Cancelling touches nothing either.
  w.mainWindow->loadGame();
  QCOMPARE(w.output(), output);

  // A saved game that cannot be written is reported and the game goes on.
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("nowhere/game.sav")));
  w.mainWindow->saveGame();
  QCOMPARE(w.dialogs.messages.size(), 2);
  QVERIFY2(w.dialogs.messages[1].startsWith(QStringLiteral("Игра не сохранена: ")) &&
               w.dialogs.messages[1].contains(QStringLiteral("nowhere/game.sav: такого файла или папки нет")),
           qPrintable(w.dialogs.messages[1]));
  QCOMPARE(w.output(), output);
}

void WindowFilesTest::unwritableCopyIsReportedOnceAndTheGameStarts() {
  Windows w;
  w.setScenario(kHall);
  QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("tmp.scn")));  // the copy cannot replace a folder
  w.mainWindow->beginGame();
  QCOMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("tmp.scn")));
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("none.sav")));
  w.mainWindow->saveGame();
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("none.sav")));
  w.mainWindow->loadGame();  // starts the game again: no second report
  QCOMPARE(w.dialogs.messages.size(), 1);
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
}

QObject* makeWindowFilesTest() { return new WindowFilesTest; }

#include "window_files_test.moc"
