// Main window tests: menu, keys, Talk, the output pane, the views, errors and the game clock.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QUrl>

#include "window_fixture.h"

using window_test::Windows;

namespace {

const QStringList kHall = {
    QStringLiteral(":hall"),
    QStringLiteral("@Вы в холле."),
    QStringLiteral("TALK look"),
    QStringLiteral("!Ничего интересного."),
    QStringLiteral("REDO"),
    QStringLiteral("TALK осмотреть"),
    QStringLiteral("!Вы осматриваетесь."),
    QStringLiteral("REDO"),
    QStringLiteral("READ"),
};

QStringList items(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out.append(list->item(i)->text());
  return out;
}

}  // namespace

class WindowPlayTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithBannerAndMenuTable();
  void menuShortcutsWorkFromTheInputLine();
  void f9StartsTheGameWhateverHasFocus();
  void enterAndF12SubmitTheInputLine();
  void emptyEnterReshowsTheLocation();
  void outputPaneKeepsTheLatest200Lines();
  void clearScreenLeavesOnlyThePrompt();
  void viewsAreCopiedWhenTheRunEnds();
  void indexErrorIsShownAndTheProgramGoesOn();
  void timerTickChangesTimeAndNothingElse();
  void clockTicksWhileAnEngineMessageIsOpen();
  void engineMessageShowsTheWindowAsItStands();
  void helpAsksTheDesktopToOpenTheHelpFile();
};

void WindowPlayTest::startsWithBannerAndMenuTable() {
  Windows w;
  QCOMPARE(w.mainWindow->windowTitle(), QStringLiteral("Marvo IF v1.03"));
  QVERIFY(w.mainWindow->windowFlags() & Qt::FramelessWindowHint);
  const QStringList banner = w.output();
  QCOMPARE(banner.size(), 3);
  QCOMPARE(banner[0], QStringLiteral("Marvo IF v2.01 Zantor"));
  QCOMPARE(banner[1], QString(42, QLatin1Char('-')));
  QCOMPARE(w.outputText(), banner.join(QLatin1Char('\n')));
  QVERIFY(w.mainWindow->outputPane()->isReadOnly());
  QCOMPARE(items(w.mainWindow->inventoryList()), QStringList{QString()});
  QCOMPARE(w.mainWindow->characteristicsList()->count(), 0);
  QCOMPARE(w.mainWindow->inventoryLabel()->text(), QStringLiteral("Инвентарь:"));
  QCOMPARE(w.mainWindow->characteristicsLabel()->text(), QStringLiteral("Характеристики:"));
  // "Arial Narrow" where it is installed, its metric twin where it is not.
  for (QWidget* control : std::initializer_list<QWidget*>{w.mainWindow->outputPane(), w.mainWindow->commandLine(),
                                                          w.mainWindow->inventoryList()}) {
    QCOMPARE(control->font().families(),
             (QStringList{QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")}));
  }

  struct Row {
    QAction* action;
    const char* caption;
    QKeySequence shortcut;
  };
  const Row rows[] = {
      {w.mainWindow->newAction(), "New", QKeySequence(Qt::CTRL | Qt::Key_N)},
      {w.mainWindow->openFileAction(), "Open File", QKeySequence(Qt::CTRL | Qt::Key_L)},
      {w.mainWindow->saveAsAction(), "Save as...", QKeySequence(Qt::CTRL | Qt::Key_S)},
      {w.mainWindow->exitAction(), "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {w.mainWindow->beginGameAction(), "Begin game", QKeySequence(Qt::CTRL | Qt::Key_F1)},
      {w.mainWindow->saveGameAction(), "Save game", QKeySequence(Qt::CTRL | Qt::Key_F2)},
      {w.mainWindow->loadGameAction(), "Load game", QKeySequence(Qt::CTRL | Qt::Key_F3)},
      {w.mainWindow->talkAction(), "Talk", QKeySequence(Qt::Key_F12)},
      {w.mainWindow->editScenarioAction(), "Edit scenary", QKeySequence(Qt::Key_F4)},
      {w.mainWindow->mapEditorAction(), "Map editor", QKeySequence(Qt::Key_F5)},
      {w.mainWindow->clearScreenAction(), "Clear screen", QKeySequence()},
      {w.mainWindow->helpAction(), "Help", QKeySequence(Qt::Key_F1)},
  };
  for (const Row& row : rows) {
    QCOMPARE(row.action->text(), QString::fromLatin1(row.caption));
    QCOMPARE(row.action->shortcut(), row.shortcut);
  }
  QCOMPARE(w.mainWindow->fileMenu()->title(), QStringLiteral("File"));
  QCOMPARE(w.mainWindow->gameMenu()->title(), QStringLiteral("Game"));
  QCOMPARE(w.mainWindow->editMenu()->title(), QStringLiteral("Edit"));
}

void WindowPlayTest::menuShortcutsWorkFromTheInputLine() {
  Windows w;
  w.setScenario(kHall);
  QUrl helpAsked;
  QObject::connect(w.mainWindow.get(), &marvo::MainWindow::documentRequested,
                   [&](const QUrl& url) { helpAsked = url; });
  window_test::writeCp1251(w.path(QStringLiteral("marvohlp.hlp")), {});  // handed over only when present
  QVERIFY(w.showActive());
  // Each key goes to the input line, as when the player types. `whileModal` runs (and closes the
  // window it opened) from inside the modal window's event loop.
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                   std::function<void()> whileModal = {}) {
    // After a modal window has closed, wait until the main window is the active one again.
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == w.mainWindow.get(); })) return false;
    w.mainWindow->commandLine()->setFocus();
    if (whileModal) QTimer::singleShot(0, w.mainWindow.get(), whileModal);
    QTest::keyClick(w.mainWindow->commandLine(), key, modifiers);
    return true;
  };

  QVERIFY(press(Qt::Key_F1, Qt::ControlModifier));  // Begin game
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле.")});
  QVERIFY(press(Qt::Key_F2, Qt::ControlModifier));  // Save game
  QCOMPARE(w.dialogs.requests.last().initialName, QStringLiteral("savegame.sav"));
  QVERIFY(press(Qt::Key_F3, Qt::ControlModifier));  // Load game
  QCOMPARE(w.dialogs.requests.last().filter, QStringLiteral("Save game (*.sav)"));
  QVERIFY(w.dialogs.requests.last().initialName.isEmpty());
  QVERIFY(press(Qt::Key_L, Qt::ControlModifier));  // Open File
  QCOMPARE(w.dialogs.requests.last().filter, QStringLiteral("scenary (*.scn)"));
  QVERIFY(w.dialogs.requests.last().defaultSuffix.isEmpty());
  QVERIFY(press(Qt::Key_S, Qt::ControlModifier));  // Save as...
  QCOMPARE(w.dialogs.requests.last().initialName, QStringLiteral("newqst.scn"));
  QCOMPARE(w.dialogs.requests.size(), 4);

  bool editorShown = false, mapShown = false;
  QVERIFY(press(Qt::Key_F4, Qt::NoModifier, [&] {  // Edit scenary
    editorShown = w.codeEditor->isVisible() && QApplication::activeModalWidget() == w.codeEditor;
    w.codeEditor->reject();
  }));
  QVERIFY(editorShown);
  QVERIFY(w.document.modified());
  QVERIFY(press(Qt::Key_F5, Qt::NoModifier, [&] {  // Map editor
    mapShown = w.map->isVisible() && QApplication::activeModalWidget() == w.map;
    w.map->reject();
  }));
  QVERIFY(mapShown);

  QVERIFY(press(Qt::Key_F1));  // Help
  QVERIFY(helpAsked.toLocalFile().endsWith(QStringLiteral("/marvohlp.hlp")));

  QVERIFY(press(Qt::Key_N, Qt::ControlModifier));  // New
  QCOMPARE(w.codeEditor->document().lineCount(), 0);
  QVERIFY(w.output().isEmpty());

  QCOMPARE(w.exitCalls, 0);
  QVERIFY(press(Qt::Key_Q, Qt::ControlModifier));  // Exit: the text New left is unchanged, nothing asked
  QCOMPARE(w.dialogs.requests.size(), 4);
  QVERIFY(w.dialogs.questions.isEmpty());
  QCOMPARE(w.exitCalls, 1);
  QVERIFY(w.dialogs.messages.isEmpty());
}

void WindowPlayTest::f9StartsTheGameWhateverHasFocus() {
  Windows w;
  w.setScenario(kHall);
  QVERIFY(w.showActive());
  w.mainWindow->commandLine()->setFocus();
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_F9);
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле.")});
  QCOMPARE(w.outputText(), QStringLiteral("Вы в холле."));

  // Any modifier, focus elsewhere: the game starts afresh.
  QTest::keyClicks(w.mainWindow->commandLine(), QStringLiteral("look"));
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Return);
  QCOMPARE(w.output().size(), 3);
  w.mainWindow->inventoryList()->setFocus();
  QTest::keyClick(w.mainWindow->inventoryList(), Qt::Key_F9, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле.")});
  QVERIFY(w.mainWindow->game().commandLog().empty());
  QVERIFY(w.mainWindow->commandLine()->hasFocus());
}

void WindowPlayTest::enterAndF12SubmitTheInputLine() {
  Windows w;
  w.setScenario(kHall);
  QVERIFY(w.showActive());
  w.mainWindow->beginGameAction()->trigger();

  QTest::keyClicks(w.mainWindow->commandLine(), QStringLiteral("look"));
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Return);
  QCOMPARE(w.output(), (QStringList{QStringLiteral("Вы в холле."), QStringLiteral(">look"),
                                    QStringLiteral("Ничего интересного.")}));
  QVERIFY(w.mainWindow->commandLine()->text().isEmpty());

  window_test::type(w.mainWindow->commandLine(), QStringLiteral("  ОСМОТРЕТЬ"));
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_F12);
  QCOMPARE(w.output().mid(3), (QStringList{QStringLiteral(">осмотреть"), QStringLiteral("Вы осматриваетесь.")}));
  QVERIFY(w.mainWindow->commandLine()->text().isEmpty());

  // The log keeps the raw text, as typed.
  QCOMPARE(w.mainWindow->game().commandLog(),
           window_test::cp1251({QStringLiteral("look"), QStringLiteral("  ОСМОТРЕТЬ")}));
  QCOMPARE(w.outputText(), w.output().join(QLatin1Char('\n')));
}

void WindowPlayTest::emptyEnterReshowsTheLocation() {
  Windows w;
  w.setScenario(kHall);
  QVERIFY(w.showActive());
  w.mainWindow->beginGame();
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Return);
  QCOMPARE(w.output(),
           (QStringList{QStringLiteral("Вы в холле."), QStringLiteral(">"), QStringLiteral("Вы в холле.")}));
  // Blanks are not empty: the impossible reply, no re-run.
  QTest::keyClicks(w.mainWindow->commandLine(), QStringLiteral("   "));
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Return);
  QCOMPARE(w.output().mid(3), (QStringList{QStringLiteral(">"), QStringLiteral("это невозможно")}));
  QCOMPARE(w.mainWindow->game().commandLog(), (std::vector<std::string>{"", "   "}));
}

void WindowPlayTest::outputPaneKeepsTheLatest200Lines() {
  Windows w;
  w.setScenario({QStringLiteral(":start"), QStringLiteral("n = 0"), QStringLiteral(":count"),
                 QStringLiteral("!Строка [#n]"), QStringLiteral("n = n + 1"), QStringLiteral("IF n < 250"),
                 QStringLiteral("JUMP count"), QStringLiteral("ENDIF"), QStringLiteral("READ")});
  w.mainWindow->beginGame();
  QStringList out = w.output();
  QCOMPARE(out.size(), marvo::MainWindow::kOutputLimit);
  QCOMPARE(out.first(), QStringLiteral("Строка 50"));
  QCOMPARE(out.last(), QStringLiteral("Строка 249"));
  QCOMPARE(w.mainWindow->outputPane()->document()->blockCount(), 200);
  QCOMPARE(w.outputText(), out.join(QLatin1Char('\n')));

  // A full pane drops one line at the top for each line added.
  w.mainWindow->commandLine()->setText(QStringLiteral("xyzzy"));
  w.mainWindow->submitCommand();
  out = w.output();
  QCOMPARE(out.size(), 200);
  QCOMPARE(out.first(), QStringLiteral("Строка 52"));
  QCOMPARE(out.mid(198), (QStringList{QStringLiteral(">xyzzy"), QStringLiteral("это невозможно")}));
  QCOMPARE(w.outputText(), out.join(QLatin1Char('\n')));
}

void WindowPlayTest::clearScreenLeavesOnlyThePrompt() {
  Windows w;
  w.setScenario(kHall);
  w.mainWindow->beginGame();
  w.mainWindow->clearScreenAction()->trigger();
  QCOMPARE(w.output(), QStringList{QStringLiteral(">")});
  QCOMPARE(w.outputText(), QStringLiteral(">"));
  // The game goes on below it.
  w.mainWindow->commandLine()->setText(QStringLiteral("look"));
  w.mainWindow->talkAction()->trigger();
  QCOMPARE(w.output(),
           (QStringList{QStringLiteral(">"), QStringLiteral(">look"), QStringLiteral("Ничего интересного.")}));
}

void WindowPlayTest::viewsAreCopiedWhenTheRunEnds() {
  Windows w;
  w.setScenario({QStringLiteral("VIP сила"), QStringLiteral("сила = 3"), QStringLiteral(":hall"),
                 QStringLiteral("@Вы в холле."), QStringLiteral("TALK train"), QStringLiteral("сила = сила + 2"),
                 QStringLiteral("REDO"), QStringLiteral("READ")});
  w.mainWindow->beginGame();
  QCOMPARE(items(w.mainWindow->characteristicsList()), QStringList{QStringLiteral("сила 3")});
  QCOMPARE(items(w.mainWindow->inventoryList()), marvo::toQt(w.engine.inventoryView()));
  QStringList monitor = w.codeEditor->variablePane()->toPlainText().split(QLatin1Char('\n'));
  QCOMPARE(monitor, marvo::toQt(w.engine.monitorView()));
  QCOMPARE(monitor.first(), QStringLiteral("Значения переменных:"));
  QVERIFY(monitor.contains(QStringLiteral("сила = 3    vip")));

  w.mainWindow->commandLine()->setText(QStringLiteral("train"));
  w.mainWindow->submitCommand();
  QCOMPARE(items(w.mainWindow->characteristicsList()), QStringList{QStringLiteral("сила 5")});
  QVERIFY(w.codeEditor->variablePane()->toPlainText().contains(QStringLiteral("сила = 5    vip")));
}

void WindowPlayTest::indexErrorIsShownAndTheProgramGoesOn() {
  Windows w;
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("!Перед прыжком"), QStringLiteral("GOTO nowhere"),
                 QStringLiteral("READ")});
  QVERIFY(w.showActive());
  w.mainWindow->commandLine()->setFocus();
  // The error leaves the key handler and reaches the application's error display.
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_F9);
  QCOMPARE(w.dialogs.messages.size(), 2);
  QCOMPARE(w.dialogs.messages[0], QStringLiteral("Нет метки для перехода!"));
  QVERIFY(!w.dialogs.messages[1].isEmpty());
  QVERIFY(w.output().isEmpty());  // the queued line was never shown: no READ was reached

  QTest::keyClicks(w.mainWindow->commandLine(), QStringLiteral("hello"));
  QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Return);
  QCOMPARE(w.output(), (QStringList{QStringLiteral(">hello"), QStringLiteral("это невозможно")}));

  // Through the menu and through Enter (in a fresh game: queued text outlives a game start): the
  // error ends the handler, the program goes on.
  Windows v;
  v.setScenario(
      {QStringLiteral(":hall"), QStringLiteral("@Вы в холле."), QStringLiteral("btn [Дальше"), QStringLiteral("READ")});
  v.mainWindow->beginGameAction()->trigger();
  QCOMPARE(v.dialogs.messages.size(), 1);
  QVERIFY(v.output().isEmpty());
  v.setScenario({QStringLiteral(":hall"), QStringLiteral("@Вы в холле."), QStringLiteral("TALK go"),
                 QStringLiteral("GOTO nowhere"), QStringLiteral("REDO"), QStringLiteral("READ")});
  v.mainWindow->beginGameAction()->trigger();
  QCOMPARE(v.dialogs.messages.size(), 1);
  QTest::keyClicks(v.mainWindow->commandLine(), QStringLiteral("go"));
  QTest::keyClick(v.mainWindow->commandLine(), Qt::Key_Return);
  QCOMPARE(v.dialogs.messages.size(), 3);
  QCOMPARE(v.dialogs.messages[1], QStringLiteral("Нет метки для перехода!"));
  QCOMPARE(v.output(), (QStringList{QStringLiteral("Вы в холле."), QStringLiteral(">go")}));
  QVERIFY(v.mainWindow->commandLine()->text().isEmpty());
  QCOMPARE(v.mainWindow->game().commandLog(), std::vector<std::string>{"go"});
  v.mainWindow->beginGameAction()->trigger();
  QCOMPARE(v.output(), QStringList{QStringLiteral("Вы в холле.")});
}

void WindowPlayTest::timerTickChangesTimeAndNothingElse() {
  Windows w;
  QCOMPARE(w.mainWindow->clockTimer()->interval(), 1000);
  QVERIFY(w.mainWindow->clockTimer()->isActive());
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("VIP сила"), QStringLiteral("сила = 3"),
                 QStringLiteral("@Вы в холле. [#time]"), QStringLiteral("READ")});
  w.mainWindow->beginGame();
  w.mainWindow->clockTimer()->stop();  // only the ticks below
  const auto before = w.engine.state();
  const QStringList output = w.output();
  const QString variablesBefore = w.codeEditor->variablePane()->toPlainText();
  const QStringList inventory = items(w.mainWindow->inventoryList()),
                    characteristics = items(w.mainWindow->characteristicsList());
  QCOMPARE(before.vars[1].value, 0);

  w.mainWindow->clockTick();
  w.mainWindow->clockTick();
  const auto& after = w.engine.state();
  QCOMPARE(after.vars[1].value, 2);
  for (int i = 0; i < marvo::kTableSize; ++i) {
    if (i == 1) continue;
    QCOMPARE(after.vars[i].name, before.vars[i].name);
    QCOMPARE(after.vars[i].value, before.vars[i].value);
  }
  QCOMPARE(after.pc, before.pc);
  QCOMPARE(w.output(), output);
  QCOMPARE(w.codeEditor->variablePane()->toPlainText(), variablesBefore);
  QCOMPARE(items(w.mainWindow->inventoryList()), inventory);
  QCOMPARE(items(w.mainWindow->characteristicsList()), characteristics);
  QVERIFY(w.mainWindow->game().commandLog().empty());
}

void WindowPlayTest::clockTicksWhileAnEngineMessageIsOpen() {
  Windows w;
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("!Итого: [#gold]"), QStringLiteral("READ")});
  w.mainWindow->clockTimer()->setInterval(20);
  int timeDuringMessage = -1;
  w.dialogs.duringMessage = [&] {
    QTest::qWait(200);  // the message loop of the box
    timeDuringMessage = w.engine.state().vars[1].value;
  };
  w.mainWindow->beginGame();
  QCOMPARE(w.dialogs.messages, QStringList{QStringLiteral("Не найдена переменная")});
  QVERIFY(timeDuringMessage >= 1);
}

void WindowPlayTest::engineMessageShowsTheWindowAsItStands() {
  // READ shows the first line, then the common section meets a missing variable in mid-run.
  Windows w;
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("VIP сила"), QStringLiteral("сила = 3"),
                 QStringLiteral("!Первая строка"), QStringLiteral("READ"), QStringLiteral(":common"),
                 QStringLiteral("сила = 4"), QStringLiteral("!Итого: [#gold]"), QStringLiteral("RETURN")});
  QString paneDuringMessage, variablesDuringMessage;
  QStringList characteristicsDuringMessage;
  w.dialogs.duringMessage = [&] {
    paneDuringMessage = w.outputText();
    characteristicsDuringMessage = items(w.mainWindow->characteristicsList());
    variablesDuringMessage = w.codeEditor->variablePane()->toPlainText();
  };
  w.mainWindow->beginGame();
  QCOMPARE(w.dialogs.messages, QStringList{QStringLiteral("Не найдена переменная")});
  QCOMPARE(paneDuringMessage, QStringLiteral("Первая строка"));
  QCOMPARE(characteristicsDuringMessage, QStringList{QStringLiteral("сила 4")});
  QVERIFY(variablesDuringMessage.contains(QStringLiteral("сила = 4    vip")));
}

void WindowPlayTest::helpAsksTheDesktopToOpenTheHelpFile() {
  Windows w;
  QUrl asked;
  QObject::connect(w.mainWindow.get(), &marvo::MainWindow::documentRequested, [&](const QUrl& url) { asked = url; });
  window_test::writeCp1251(w.path(QStringLiteral("marvohlp.hlp")), {});
  w.mainWindow->helpAction()->trigger();
  QCOMPARE(asked, QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("marvohlp.hlp"))));
  QVERIFY(w.dialogs.messages.isEmpty());
}

QObject* makeWindowPlayTest() { return new WindowPlayTest; }

#include "window_play_test.moc"
