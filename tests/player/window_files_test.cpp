// Main window tests: the modified flag and Exit, New, Open File, Save as..., Save game, Load game.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimer>

#include "player/scenario_file.h"
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
  w.form1->Edit2->setText(text);
  w.form1->Talk1Click();
}

void openEditorAndClose(Windows& w) {
  QTimer::singleShot(0, w.form2, &QDialog::reject);
  w.form1->Editscenary1->trigger();
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
  Windows w;
  w.form1->Exit1->trigger();
  QVERIFY(w.dialogs.requests.isEmpty());
  QCOMPARE(w.exitCalls, 1);
  QCOMPARE(w.exitCode, 0);

  // Showing the editor and closing it without a change marks the scenario modified.
  openEditorAndClose(w);
  QVERIFY(w.form1->modified());
  w.form1->Exit1->trigger();  // the dialog is cancelled: the program still ends
  QCOMPARE(w.dialogs.requests.size(), 1);
  QCOMPARE(w.dialogs.requests[0].filter, QStringLiteral("scenary (*.scn);;plain text scenary (*.scn *.txt)"));
  QCOMPARE(w.dialogs.requests[0].defaultSuffix, QStringLiteral("scn"));
  QCOMPARE(w.dialogs.requests[0].initialName, QStringLiteral("newqst.scn"));
  QCOMPARE(w.exitCalls, 2);
  QVERIFY(w.form1->modified());

  const QString target = w.path(QStringLiteral("exit.scn"));
  w.dialogs.fileAnswers.push_back(target);
  w.form1->Exit1->trigger();
  QCOMPARE(w.exitCalls, 3);
  QVERIFY(!w.form1->modified());
  auto read = marvo::readScenarioFile(QFile::encodeName(target).toStdString());
  QVERIFY(read.error.empty());
  QCOMPARE(read.lines, w.form2->lines());
  QVERIFY(fileBytes(target).startsWith("{\\rtf"));
}

void WindowFilesTest::exitSaveFailureKeepsTheProgramRunning() {
  Windows w;
  openEditorAndClose(w);
  const QString bad = w.path(QStringLiteral("no-such-dir/exit.scn"));
  w.dialogs.fileAnswers.push_back(bad);
  w.form1->Exit1->trigger();
  QCOMPARE(w.exitCalls, 0);
  QVERIFY(w.form1->modified());
  QCOMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("exit.scn")));
  // The dialog offers the name chosen last.
  w.form1->Exit1->trigger();
  QCOMPARE(w.dialogs.requests.last().initialName, bad);
  QCOMPARE(w.exitCalls, 1);
}

void WindowFilesTest::saveAsClearsTheFlagOnlyAfterWriting() {
  Windows w;
  w.setScenario(kHall);
  openEditorAndClose(w);
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("missing/dir.scn")));
  QVERIFY(w.showActive());
  QTest::keyClick(w.form1->Edit2, Qt::Key_S, Qt::ControlModifier);
  QVERIFY(w.form1->modified());
  QCOMPARE(w.dialogs.messages.size(), 1);

  const QString target = w.path(QStringLiteral("saved.scn"));
  w.dialogs.fileAnswers.push_back(target);
  w.form1->Saveas1->trigger();
  QVERIFY(!w.form1->modified());
  QCOMPARE(marvo::readScenarioFile(QFile::encodeName(target).toStdString()).lines, window_test::cp1251(kHall));
  QCOMPARE(w.dialogs.requests.last().initialName, w.path(QStringLiteral("missing/dir.scn")));
}

void WindowFilesTest::newEmptiesScenarioAndGame() {
  Windows w;
  w.setScenario(kHall);
  w.form1->Begingame1Click();
  talk(w, QStringLiteral("look"));
  QVERIFY(w.showActive());
  QTest::keyClick(w.form1->Edit2, Qt::Key_N, Qt::ControlModifier);
  QCOMPARE(w.form2->lineCount(), 0);
  QVERIFY(w.output().isEmpty());
  QVERIFY(w.memo3().isEmpty());
  QCOMPARE(w.form1->game().commandLog().size(), std::size_t{1});  // New keeps the log
  QVERIFY(!w.form1->modified());
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
  QTest::keyClick(w.form1->Edit2, Qt::Key_L, Qt::ControlModifier);
  QCOMPARE(w.dialogs.requests.size(), 1);
  QCOMPARE(w.dialogs.requests[0].filter, QStringLiteral("scenary (*.scn)"));
  QVERIFY(w.dialogs.requests[0].defaultSuffix.isEmpty());
  QVERIFY(w.dialogs.requests[0].initialName.isEmpty());
  QCOMPARE(w.form2->lines(), window_test::cp1251(kHall));
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
  QVERIFY(QFile::exists(w.path(QStringLiteral("tmp.scn"))));

  w.form1->Saveas1Click();  // cancelled, but it offered the opened file
  QCOMPARE(w.dialogs.requests.last().initialName, scenario);
  QCOMPARE(w.dialogs.requests.last().defaultSuffix, QStringLiteral("scn"));
  w.form1->OpenFile1Click();
  QCOMPARE(w.dialogs.requests.last().initialName, scenario);

  // The command-line argument opens a file the same way.
  Windows cli;
  const QString other = cli.path(QStringLiteral("other.scn"));
  window_test::writeCp1251(other, kHall);
  cli.form1->openScenario(other);
  QCOMPARE(cli.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
  cli.form1->Saveas1Click();
  QCOMPARE(cli.dialogs.requests.last().initialName, other);
}

void WindowFilesTest::openFileErrorKeepsTheText() {
  Windows w;
  w.setScenario(kHall);
  const auto before = w.form2->lines();
  const QStringList banner = w.output();
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("missing.scn")));
  w.form1->OpenFile1->trigger();
  QCOMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("missing.scn")));
  QCOMPARE(w.form2->lines(), before);
  QCOMPARE(w.output(), banner);
  QVERIFY(!QFile::exists(w.path(QStringLiteral("tmp.scn"))));
}

void WindowFilesTest::saveAndLoadGameRoundTrip() {
  Windows w;
  w.setScenario(kHall);
  w.form1->Begingame1Click();
  for (const QString& command : {QStringLiteral("look"), QString(), QStringLiteral("ОСМОТРЕТЬ"),
                                 QStringLiteral("  xyz "), QStringLiteral("Look")})
    talk(w, command);
  const QStringList played = w.output();
  const auto log = w.form1->game().commandLog();

  const QString saved = w.path(QStringLiteral("game.sav"));
  w.dialogs.fileAnswers.push_back(saved);
  w.form1->Savegame1->trigger();
  QCOMPARE(w.dialogs.requests.last().filter, QStringLiteral("Save game (*.sav)"));
  QCOMPARE(w.dialogs.requests.last().defaultSuffix, QStringLiteral("sav"));
  QCOMPARE(w.dialogs.requests.last().initialName, QStringLiteral("savegame.sav"));
  QByteArray expected = QByteArray("look\r\n\r\n") + QByteArray::fromStdString(marvo::fromQt(QStringLiteral("ОСМОТРЕТЬ"))) +
                        QByteArray("\r\n  xyz \r\nLook\r\n");
  QCOMPARE(fileBytes(saved), expected);

  // Play on, then load: the saved state comes back, twice alike.
  talk(w, QStringLiteral("look"));
  w.form1->Clearscreen1Click();
  for (int round = 0; round < 2; ++round) {
    w.form1->Edit2->setText(QStringLiteral("half-typed"));  // replaced by the replayed commands
    w.dialogs.fileAnswers.push_back(saved);
    w.form1->Loadgame1->trigger();
    QCOMPARE(w.output(), played);
    QCOMPARE(w.memo3(), played.join(QLatin1Char('\n')));
    QCOMPARE(w.form1->game().commandLog(), log);
    QVERIFY(w.form1->Edit2->text().isEmpty());
  }
  QCOMPARE(w.dialogs.requests.last().filter, QStringLiteral("Save game (*.sav)"));
  QCOMPARE(w.dialogs.requests.last().initialName, saved);
  QVERIFY(w.dialogs.messages.isEmpty());

  // Saving right after a game start writes an empty file; loading it just starts the game.
  w.form1->Begingame1Click();
  const QString empty = w.path(QStringLiteral("empty.sav"));
  w.dialogs.fileAnswers.push_back(empty);
  w.form1->Savegame1Click();
  QCOMPARE(fileBytes(empty), QByteArray());
  w.dialogs.fileAnswers.push_back(empty);
  w.form1->Edit2->setText(QStringLiteral("half-typed"));
  w.form1->Loadgame1Click();
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
  QCOMPARE(w.form1->Edit2->text(), QStringLiteral("half-typed"));  // no command passed through it
}

void WindowFilesTest::unreadableSavedGameLeavesTheGame() {
  Windows w;
  w.setScenario(kHall);
  w.form1->Begingame1Click();
  talk(w, QStringLiteral("look"));
  const QStringList output = w.output();
  const auto log = w.form1->game().commandLog();
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("gone.sav")));
  w.form1->Loadgame1Click();
  QCOMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("gone.sav")));
  QCOMPARE(w.output(), output);
  QCOMPARE(w.form1->game().commandLog(), log);
  // Cancelling touches nothing either.
  w.form1->Loadgame1Click();
  QCOMPARE(w.output(), output);

  // A saved game that cannot be written is reported and the game goes on.
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("nowhere/game.sav")));
  w.form1->Savegame1Click();
  QCOMPARE(w.dialogs.messages.size(), 2);
  QCOMPARE(w.output(), output);
}

void WindowFilesTest::unwritableCopyIsReportedOnceAndTheGameStarts() {
  Windows w;
  w.setScenario(kHall);
  QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("tmp.scn")));  // the copy cannot replace a folder
  w.form1->Begingame1Click();
  QCOMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("tmp.scn")));
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("none.sav")));
  w.form1->Savegame1Click();
  w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("none.sav")));
  w.form1->Loadgame1Click();  // starts the game again: no second report
  QCOMPARE(w.dialogs.messages.size(), 1);
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле. Шаг 1.")});
}

QObject* makeWindowFilesTest() { return new WindowFilesTest; }

#include "window_files_test.moc"
