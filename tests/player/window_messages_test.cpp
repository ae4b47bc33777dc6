// Main window: engine messages and the index error with the line they arose at, and the way from
// such a message into the code editor.
#include <QTextCursor>
#include <QTimer>

#include "window_fixture.h"

using window_test::Windows;

namespace {

const QStringList kGame = {
    QStringLiteral(":hall"), QStringLiteral("!Итого: [#gold]"), QStringLiteral("btn [Выйти] коридорр"),
    QStringLiteral("READ"),  QStringLiteral(":common"),         QStringLiteral("RETURN"),
};

void talk(Windows& w, const QString& text) {
  w.mainWindow->commandLine()->setText(text);
  w.mainWindow->submitCommand();
}

}  // namespace

class WindowMessagesTest : public QObject {
  Q_OBJECT

 private slots:
  void messagesKeepTheirTextAndShowTheirLineBeneath();
  void theButtonOpensTheEditorAtTheLineAfterTheRun();
};

void WindowMessagesTest::messagesKeepTheirTextAndShowTheirLineBeneath() {
  Windows w;
  w.setScenario(kGame);
  w.libraryEditor->setLibraryText(marvo::fromQt(QStringLiteral("* библиотека\r\n!Счёт [#очки]\r\n")));
  w.mainWindow->beginGame();
  QCOMPARE(w.dialogs.messages,
           (QStringList{QStringLiteral("Не найдена переменная"), QStringLiteral("Не найдена переменная")}));
  QCOMPARE(w.dialogs.details,
           (QStringList{QStringLiteral("Строка 2 сценария: !Итого: [#gold] — переменной «gold» нет"),
                        QStringLiteral("Строка 2 библиотеки: !Счёт [#очки] — переменной «очки» нет")}));
  // The code editor does not hold the library: no button for a library line.
  QCOMPARE(w.dialogs.actions, (QStringList{marvo::MainWindow::openEditorCaption(), QString()}));

  w.dialogs.messages.clear();
  w.dialogs.details.clear();
  talk(w, QStringLiteral("1"));
  QCOMPARE(w.dialogs.messages.size(), 2);
  QCOMPARE(w.dialogs.messages[0], QStringLiteral("Нет метки для перехода!"));
  QVERIFY(w.dialogs.messages[1].startsWith(QStringLiteral("List index out of bounds (")));
  const QString where = QStringLiteral(
      "Строка, созданная запуском игры из строки 3 сценария: btn [Выйти] коридорр — метки «коридорр» нет");
  QCOMPARE(w.dialogs.details, (QStringList{where, where}));
  QVERIFY(!w.document.modified());  // nothing chosen: the editor stayed closed
}

void WindowMessagesTest::theButtonOpensTheEditorAtTheLineAfterTheRun() {
  Windows w;
  w.setScenario(kGame);
  w.dialogs.actionAnswers = {true};
  bool shown = false;
  int caretLine = -1;
  QStringList outputThen;
  QTimer::singleShot(0, w.codeEditor, [&] {
    shown = w.codeEditor->isVisible();
    caretLine = w.codeEditor->scenarioView()->textCursor().blockNumber();
    outputThen = w.output();
    w.codeEditor->reject();
  });
  w.mainWindow->beginGame();
  QVERIFY(shown);
  QCOMPARE(caretLine, 1);  // scenario line 2
  // The run went on after the message and was shown before the editor opened.
  QCOMPARE(outputThen, (QStringList{QStringLiteral("1. Выйти"), QStringLiteral("Итого: ")}));
  QVERIFY(w.document.modified());  // as after "Edit scenary"

  // Once asked for, the editor is not offered again in the same handler: the index error that
  // follows the missing label comes without the button, and the editor opens at the btn line.
  w.dialogs.actions.clear();
  w.dialogs.actionAnswers = {true, true};
  QTimer::singleShot(0, w.codeEditor, [&] {
    caretLine = w.codeEditor->scenarioView()->textCursor().blockNumber();
    w.codeEditor->reject();
  });
  talk(w, QStringLiteral("1"));
  QCOMPARE(w.dialogs.actions, (QStringList{marvo::MainWindow::openEditorCaption(), QString()}));
  QCOMPARE(caretLine, 2);
}

QObject* makeWindowMessagesTest() { return new WindowMessagesTest; }

#include "window_messages_test.moc"
