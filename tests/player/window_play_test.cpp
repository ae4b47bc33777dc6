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
  QCOMPARE(w.form1->windowTitle(), QStringLiteral("Marvo IF v1.03"));
  QVERIFY(w.form1->windowFlags() & Qt::FramelessWindowHint);
  const QStringList banner = w.output();
  QCOMPARE(banner.size(), 3);
  QCOMPARE(banner[0], QStringLiteral("Marvo IF v2.01 Zantor"));
  QCOMPARE(banner[1], QString(42, QLatin1Char('-')));
  QCOMPARE(w.memo3(), banner.join(QLatin1Char('\n')));
  QVERIFY(w.form1->Memo3->isReadOnly());
  QCOMPARE(items(w.form1->ListBox1), QStringList{QString()});
  QCOMPARE(w.form1->ListBox2->count(), 0);
  QCOMPARE(w.form1->Label3->text(), QStringLiteral("Инвентарь:"));
  QCOMPARE(w.form1->Label12->text(), QStringLiteral("Характеристики:"));
  // "Arial Narrow" where it is installed, its metric twin where it is not.
  for (QWidget* control : std::initializer_list<QWidget*>{w.form1->Memo3, w.form1->Edit2, w.form1->ListBox1}) {
    QCOMPARE(control->font().families(),
             (QStringList{QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")}));
  }

  struct Row {
    QAction* action;
    const char* caption;
    QKeySequence shortcut;
  };
  const Row rows[] = {
      {w.form1->New1, "New", QKeySequence(Qt::CTRL | Qt::Key_N)},
      {w.form1->OpenFile1, "Open File", QKeySequence(Qt::CTRL | Qt::Key_L)},
      {w.form1->Saveas1, "Save as...", QKeySequence(Qt::CTRL | Qt::Key_S)},
      {w.form1->Exit1, "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {w.form1->Begingame1, "Begin game", QKeySequence(Qt::CTRL | Qt::Key_F1)},
      {w.form1->Savegame1, "Save game", QKeySequence(Qt::CTRL | Qt::Key_F2)},
      {w.form1->Loadgame1, "Load game", QKeySequence(Qt::CTRL | Qt::Key_F3)},
      {w.form1->Talk1, "Talk", QKeySequence(Qt::Key_F12)},
      {w.form1->Editscenary1, "Edit scenary", QKeySequence(Qt::Key_F4)},
      {w.form1->Mapeditor1, "Map editor", QKeySequence(Qt::Key_F5)},
      {w.form1->Clearscreen1, "Clear screen", QKeySequence()},
      {w.form1->Help2, "Help", QKeySequence(Qt::Key_F1)},
  };
  for (const Row& row : rows) {
    QCOMPARE(row.action->text(), QString::fromLatin1(row.caption));
    QCOMPARE(row.action->shortcut(), row.shortcut);
  }
  QCOMPARE(w.form1->File1->title(), QStringLiteral("File"));
  QCOMPARE(w.form1->Help1->title(), QStringLiteral("Game"));
  QCOMPARE(w.form1->Edit1->title(), QStringLiteral("Edit"));
}

void WindowPlayTest::menuShortcutsWorkFromTheInputLine() {
  Windows w;
  w.setScenario(kHall);
  QUrl helpAsked;
  w.form1->openDocument = [&](const QUrl& url) { helpAsked = url; };
  window_test::writeCp1251(w.path(QStringLiteral("marvohlp.hlp")), {});  // handed over only when present
  QVERIFY(w.showActive());
  // Each key goes to the input line, as when the player types. `whileModal` runs (and closes the
  // window it opened) from inside the modal window's event loop.
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                   std::function<void()> whileModal = {}) {
    // After a modal window has closed, wait until the main window is the active one again.
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == w.form1.get(); })) return false;
    w.form1->Edit2->setFocus();
    if (whileModal) QTimer::singleShot(0, w.form1.get(), whileModal);
    QTest::keyClick(w.form1->Edit2, key, modifiers);
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
    editorShown = w.form2->isVisible() && QApplication::activeModalWidget() == w.form2;
    w.form2->reject();
  }));
  QVERIFY(editorShown);
  QVERIFY(w.form1->modified());
  QVERIFY(press(Qt::Key_F5, Qt::NoModifier, [&] {  // Map editor
    mapShown = w.map->isVisible() && QApplication::activeModalWidget() == w.map;
    w.map->reject();
  }));
  QVERIFY(mapShown);

  QVERIFY(press(Qt::Key_F1));  // Help
  QVERIFY(helpAsked.toLocalFile().endsWith(QStringLiteral("/marvohlp.hlp")));

  QVERIFY(press(Qt::Key_N, Qt::ControlModifier));  // New
  QCOMPARE(w.form2->lineCount(), 0);
  QVERIFY(w.output().isEmpty());

  QCOMPARE(w.exitCalls, 0);
  QVERIFY(press(Qt::Key_Q, Qt::ControlModifier));  // Exit, its save offer cancelled
  QCOMPARE(w.dialogs.requests.size(), 5);
  QCOMPARE(w.exitCalls, 1);
  QVERIFY(w.dialogs.messages.isEmpty());
}

void WindowPlayTest::f9StartsTheGameWhateverHasFocus() {
  Windows w;
  w.setScenario(kHall);
  QVERIFY(w.showActive());
  w.form1->Edit2->setFocus();
  QTest::keyClick(w.form1->Edit2, Qt::Key_F9);
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле.")});
  QCOMPARE(w.memo3(), QStringLiteral("Вы в холле."));

  // Any modifier, focus elsewhere: the game starts afresh.
  QTest::keyClicks(w.form1->Edit2, QStringLiteral("look"));
  QTest::keyClick(w.form1->Edit2, Qt::Key_Return);
  QCOMPARE(w.output().size(), 3);
  w.form1->ListBox1->setFocus();
  QTest::keyClick(w.form1->ListBox1, Qt::Key_F9, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(w.output(), QStringList{QStringLiteral("Вы в холле.")});
  QVERIFY(w.form1->game().commandLog().empty());
  QVERIFY(w.form1->Edit2->hasFocus());
}

void WindowPlayTest::enterAndF12SubmitTheInputLine() {
  Windows w;
  w.setScenario(kHall);
  QVERIFY(w.showActive());
  w.form1->Begingame1->trigger();

  QTest::keyClicks(w.form1->Edit2, QStringLiteral("look"));
  QTest::keyClick(w.form1->Edit2, Qt::Key_Return);
  QCOMPARE(w.output(), (QStringList{QStringLiteral("Вы в холле."), QStringLiteral(">look"),
                                    QStringLiteral("Ничего интересного.")}));
  QVERIFY(w.form1->Edit2->text().isEmpty());

  window_test::type(w.form1->Edit2, QStringLiteral("  ОСМОТРЕТЬ"));
  QTest::keyClick(w.form1->Edit2, Qt::Key_F12);
  QCOMPARE(w.output().mid(3), (QStringList{QStringLiteral(">осмотреть"), QStringLiteral("Вы осматриваетесь.")}));
  QVERIFY(w.form1->Edit2->text().isEmpty());

  // The log keeps the raw text, as typed.
  QCOMPARE(w.form1->game().commandLog(), window_test::cp1251({QStringLiteral("look"), QStringLiteral("  ОСМОТРЕТЬ")}));
  QCOMPARE(w.memo3(), w.output().join(QLatin1Char('\n')));
}

void WindowPlayTest::emptyEnterReshowsTheLocation() {
  Windows w;
  w.setScenario(kHall);
  QVERIFY(w.showActive());
  w.form1->Begingame1Click();
  QTest::keyClick(w.form1->Edit2, Qt::Key_Return);
  QCOMPARE(w.output(), (QStringList{QStringLiteral("Вы в холле."), QStringLiteral(">"), QStringLiteral("Вы в холле.")}));
  // Blanks are not empty: the impossible reply, no re-run.
  QTest::keyClicks(w.form1->Edit2, QStringLiteral("   "));
  QTest::keyClick(w.form1->Edit2, Qt::Key_Return);
  QCOMPARE(w.output().mid(3), (QStringList{QStringLiteral(">"), QStringLiteral("это невозможно")}));
  QCOMPARE(w.form1->game().commandLog(), (std::vector<std::string>{"", "   "}));
}

void WindowPlayTest::outputPaneKeepsTheLatest200Lines() {
  Windows w;
  w.setScenario({QStringLiteral(":start"), QStringLiteral("n = 0"), QStringLiteral(":count"),
                 QStringLiteral("!Строка [#n]"), QStringLiteral("n = n + 1"), QStringLiteral("IF n < 250"),
                 QStringLiteral("JUMP count"), QStringLiteral("ENDIF"), QStringLiteral("READ")});
  w.form1->Begingame1Click();
  QStringList out = w.output();
  QCOMPARE(out.size(), TForm1::kOutputLimit);
  QCOMPARE(out.first(), QStringLiteral("Строка 50"));
  QCOMPARE(out.last(), QStringLiteral("Строка 249"));
  QCOMPARE(w.form1->Memo3->document()->blockCount(), 200);
  QCOMPARE(w.memo3(), out.join(QLatin1Char('\n')));

  // A full pane drops one line at the top for each line added.
  w.form1->Edit2->setText(QStringLiteral("xyzzy"));
  w.form1->Talk1Click();
  out = w.output();
  QCOMPARE(out.size(), 200);
  QCOMPARE(out.first(), QStringLiteral("Строка 52"));
  QCOMPARE(out.mid(198), (QStringList{QStringLiteral(">xyzzy"), QStringLiteral("это невозможно")}));
  QCOMPARE(w.memo3(), out.join(QLatin1Char('\n')));
}

void WindowPlayTest::clearScreenLeavesOnlyThePrompt() {
  Windows w;
  w.setScenario(kHall);
  w.form1->Begingame1Click();
  w.form1->Clearscreen1->trigger();
  QCOMPARE(w.output(), QStringList{QStringLiteral(">")});
  QCOMPARE(w.memo3(), QStringLiteral(">"));
  // The game goes on below it.
  w.form1->Edit2->setText(QStringLiteral("look"));
  w.form1->Talk1->trigger();
  QCOMPARE(w.output(), (QStringList{QStringLiteral(">"), QStringLiteral(">look"), QStringLiteral("Ничего интересного.")}));
}

void WindowPlayTest::viewsAreCopiedWhenTheRunEnds() {
  Windows w;
  w.setScenario({QStringLiteral("VIP сила"), QStringLiteral("сила = 3"), QStringLiteral(":hall"),
                 QStringLiteral("@Вы в холле."), QStringLiteral("TALK train"), QStringLiteral("сила = сила + 2"),
                 QStringLiteral("REDO"), QStringLiteral("READ")});
  w.form1->Begingame1Click();
  QCOMPARE(items(w.form1->ListBox2), QStringList{QStringLiteral("сила 3")});
  QCOMPARE(items(w.form1->ListBox1), marvo::toQt(w.engine.inventoryView()));
  QStringList monitor = w.form2->Memo2->toPlainText().split(QLatin1Char('\n'));
  QCOMPARE(monitor, marvo::toQt(w.engine.monitorView()));
  QCOMPARE(monitor.first(), QStringLiteral("Значения переменных:"));
  QVERIFY(monitor.contains(QStringLiteral("сила = 3    vip")));

  w.form1->Edit2->setText(QStringLiteral("train"));
  w.form1->Talk1Click();
  QCOMPARE(items(w.form1->ListBox2), QStringList{QStringLiteral("сила 5")});
  QVERIFY(w.form2->Memo2->toPlainText().contains(QStringLiteral("сила = 5    vip")));
}

void WindowPlayTest::indexErrorIsShownAndTheProgramGoesOn() {
  Windows w;
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("!Перед прыжком"), QStringLiteral("GOTO nowhere"),
                 QStringLiteral("READ")});
  QVERIFY(w.showActive());
  w.form1->Edit2->setFocus();
  // The error leaves the key handler and reaches the application's error display.
  QTest::keyClick(w.form1->Edit2, Qt::Key_F9);
  QCOMPARE(w.dialogs.messages.size(), 2);
  QCOMPARE(w.dialogs.messages[0], QStringLiteral("Нет метки для перехода!"));
  QVERIFY(!w.dialogs.messages[1].isEmpty());
  QVERIFY(w.output().isEmpty());  // the queued line was never shown: no READ was reached

  QTest::keyClicks(w.form1->Edit2, QStringLiteral("hello"));
  QTest::keyClick(w.form1->Edit2, Qt::Key_Return);
  QCOMPARE(w.output(), (QStringList{QStringLiteral(">hello"), QStringLiteral("это невозможно")}));

  // Through the menu and through Enter (in a fresh game: queued text outlives a game start): the
  // error ends the handler, the program goes on.
  Windows v;
  v.setScenario({QStringLiteral(":hall"), QStringLiteral("@Вы в холле."), QStringLiteral("btn [Дальше"),
                 QStringLiteral("READ")});
  v.form1->Begingame1->trigger();
  QCOMPARE(v.dialogs.messages.size(), 1);
  QVERIFY(v.output().isEmpty());
  v.setScenario({QStringLiteral(":hall"), QStringLiteral("@Вы в холле."), QStringLiteral("TALK go"),
                 QStringLiteral("GOTO nowhere"), QStringLiteral("REDO"), QStringLiteral("READ")});
  v.form1->Begingame1->trigger();
  QCOMPARE(v.dialogs.messages.size(), 1);
  QTest::keyClicks(v.form1->Edit2, QStringLiteral("go"));
  QTest::keyClick(v.form1->Edit2, Qt::Key_Return);
  QCOMPARE(v.dialogs.messages.size(), 3);
  QCOMPARE(v.dialogs.messages[1], QStringLiteral("Нет метки для перехода!"));
  QCOMPARE(v.output(), (QStringList{QStringLiteral("Вы в холле."), QStringLiteral(">go")}));
  QVERIFY(v.form1->Edit2->text().isEmpty());
  QCOMPARE(v.form1->game().commandLog(), std::vector<std::string>{"go"});
  v.form1->Begingame1->trigger();
  QCOMPARE(v.output(), QStringList{QStringLiteral("Вы в холле.")});
}

void WindowPlayTest::timerTickChangesTimeAndNothingElse() {
  Windows w;
  QCOMPARE(w.form1->Timer1->interval(), 1000);
  QVERIFY(w.form1->Timer1->isActive());
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("VIP сила"), QStringLiteral("сила = 3"),
                 QStringLiteral("@Вы в холле. [#time]"), QStringLiteral("READ")});
  w.form1->Begingame1Click();
  w.form1->Timer1->stop();  // only the ticks below
  const auto before = w.engine.state();
  const QStringList output = w.output();
  const QString memo2 = w.form2->Memo2->toPlainText();
  const QStringList inventory = items(w.form1->ListBox1), characteristics = items(w.form1->ListBox2);
  QCOMPARE(before.vars[1].value, 0);

  w.form1->Timer1Timer();
  w.form1->Timer1Timer();
  const auto& after = w.engine.state();
  QCOMPARE(after.vars[1].value, 2);
  for (int i = 0; i < marvo::kTableSize; ++i) {
    if (i == 1) continue;
    QCOMPARE(after.vars[i].name, before.vars[i].name);
    QCOMPARE(after.vars[i].value, before.vars[i].value);
  }
  QCOMPARE(after.pc, before.pc);
  QCOMPARE(w.output(), output);
  QCOMPARE(w.form2->Memo2->toPlainText(), memo2);
  QCOMPARE(items(w.form1->ListBox1), inventory);
  QCOMPARE(items(w.form1->ListBox2), characteristics);
  QVERIFY(w.form1->game().commandLog().empty());
}

void WindowPlayTest::clockTicksWhileAnEngineMessageIsOpen() {
  Windows w;
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("!Итого: [#gold]"), QStringLiteral("READ")});
  w.form1->Timer1->setInterval(20);
  int timeDuringMessage = -1;
  w.dialogs.duringMessage = [&] {
    QTest::qWait(200);  // the message loop of the box
    timeDuringMessage = w.engine.state().vars[1].value;
  };
  w.form1->Begingame1Click();
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
    paneDuringMessage = w.memo3();
    characteristicsDuringMessage = items(w.form1->ListBox2);
    variablesDuringMessage = w.form2->Memo2->toPlainText();
  };
  w.form1->Begingame1Click();
  QCOMPARE(w.dialogs.messages, QStringList{QStringLiteral("Не найдена переменная")});
  QCOMPARE(paneDuringMessage, QStringLiteral("Первая строка"));
  QCOMPARE(characteristicsDuringMessage, QStringList{QStringLiteral("сила 4")});
  QVERIFY(variablesDuringMessage.contains(QStringLiteral("сила = 4    vip")));
}

void WindowPlayTest::helpAsksTheDesktopToOpenTheHelpFile() {
  Windows w;
  QUrl asked;
  w.form1->openDocument = [&](const QUrl& url) { asked = url; };
  window_test::writeCp1251(w.path(QStringLiteral("marvohlp.hlp")), {});
  w.form1->Help2->trigger();
  QCOMPARE(asked, QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("marvohlp.hlp"))));
  QVERIFY(w.dialogs.messages.isEmpty());
}

QObject* makeWindowPlayTest() { return new WindowPlayTest; }

#include "window_play_test.moc"
