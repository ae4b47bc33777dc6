// Main window: undoing and redoing turns from the Game menu and with Ctrl+Z / Ctrl+Shift+Z.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include "window_fixture.h"

using window_test::Windows;

namespace {

QStringList items(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out.append(list->item(i)->text());
  return out;
}

}  // namespace

class WindowRewindTest : public QObject {
  Q_OBJECT

 private slots:
  void undoShowsTheLastTurnAndTheListsFollow();
  void keysUndoOnlyInAnEmptyInputLine();
  void aPlayFromThePlayTreeCanBeUndone();
};

void WindowRewindTest::undoShowsTheLastTurnAndTheListsFollow() {
  Windows w;
  w.setScenario({QStringLiteral("VIP сила"), QStringLiteral("сила = 3"), QStringLiteral(":hall"),
                 QStringLiteral("@Вы в холле."), QStringLiteral("TALK train"), QStringLiteral("сила = сила + 2"),
                 QStringLiteral("!Сила [#сила] в [#time]"), QStringLiteral("REDO"), QStringLiteral("READ")});
  w.mainWindow->beginGame();
  QCOMPARE(w.mainWindow->gameMenu()->actions().indexOf(w.mainWindow->undoTurnAction()) + 1,
           w.mainWindow->gameMenu()->actions().indexOf(w.mainWindow->redoTurnAction()));
  QCOMPARE(w.mainWindow->undoTurnAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
  QCOMPARE(w.mainWindow->redoTurnAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  auto say = [&](const QString& command) {
    w.mainWindow->commandLine()->setText(command);
    w.mainWindow->submitCommand();
  };
  w.mainWindow->clockTick();
  say(QStringLiteral("train"));
  w.mainWindow->clockTick();
  w.mainWindow->clockTick();
  say(QStringLiteral("train"));
  QCOMPARE(items(w.mainWindow->characteristicsList()), QStringList{QStringLiteral("сила 7")});

  w.mainWindow->undoTurnAction()->trigger();
  QCOMPARE(items(w.mainWindow->characteristicsList()), QStringList{QStringLiteral("сила 5")});
  // The pane shows the turn the game stands after; the clock reads the time the undone command was given at.
  QCOMPARE(w.output(), (QStringList{QStringLiteral(">train"), QStringLiteral("Сила 5 в 1")}));
  QCOMPARE(w.engine.valueOf(marvo::fromQt(QStringLiteral("time"))), 3);
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{1});
  QVERIFY(w.codeEditor->variablePane()->toPlainText().contains(QStringLiteral("сила = 5    vip")));
  w.mainWindow->clockTick();  // the clock goes on from there
  QCOMPARE(w.engine.valueOf(marvo::fromQt(QStringLiteral("time"))), 4);

  w.mainWindow->redoTurnAction()->trigger();
  QCOMPARE(items(w.mainWindow->characteristicsList()), QStringList{QStringLiteral("сила 7")});
  QCOMPARE(w.output().first(), QStringLiteral(">train"));
  QCOMPARE(w.output().at(1), QStringLiteral("Сила 7 в 3"));
  QVERIFY(w.dialogs.messages.isEmpty());
}

void WindowRewindTest::keysUndoOnlyInAnEmptyInputLine() {
  Windows w;
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("@Вы в холле."), QStringLiteral("TALK look"),
                 QStringLiteral("!Ничего интересного."), QStringLiteral("REDO"), QStringLiteral("READ")});
  QVERIFY(w.showActive());
  w.mainWindow->beginGame();
  QLineEdit* line = w.mainWindow->commandLine();
  line->setFocus();
  QTest::keyClicks(line, QStringLiteral("look"));
  QTest::keyClick(line, Qt::Key_Return);
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{1});
  // With text in the line Ctrl+Z belongs to the typing.
  QTest::keyClicks(line, QStringLiteral("lo"));
  QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{1});
  line->clear();
  QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{0});
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле.")});
  QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{1});
  QCOMPARE(w.output().at(1), QStringLiteral("Ничего интересного."));
}

void WindowRewindTest::aPlayFromThePlayTreeCanBeUndone() {
  Windows w;
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("@Вы в холле."), QStringLiteral("TALK look"),
                 QStringLiteral("!Ничего интересного."), QStringLiteral("REDO"), QStringLiteral("READ")});
  int turns = 0;
  QObject::connect(w.mainWindow.get(), &marvo::MainWindow::turnPlayed,
                   [&](const std::vector<std::string>& log) { turns = static_cast<int>(log.size()); });
  w.mainWindow->playPath({"look", "look"});
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{2});
  w.mainWindow->commandLine()->setText(QStringLiteral("look"));
  w.mainWindow->submitCommand();
  QCOMPARE(turns, 3);
  w.mainWindow->undoTurn();
  w.mainWindow->undoTurn();
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{1});
}

QObject* makeWindowRewindTest() { return new WindowRewindTest; }

#include "window_rewind_test.moc"
