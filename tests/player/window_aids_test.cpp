// Main window tests of the player's aids: command history, typing that finds the input line,
// clickable menu lines, the output pane's notices to assistive technology, accessible names and
// keyboard reach, zoom, "Save transcript..." and Qt's Russian texts.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTranslator>

#include "window_fixture.h"

using window_test::type;
using window_test::Windows;

namespace {

const QStringList kMenu = {
    QStringLiteral(":hall"),
    QStringLiteral("@Холл."),
    QStringLiteral("@3. Не выбор"),
    QStringLiteral("TALK look"),
    QStringLiteral("!Ничего нового."),
    QStringLiteral("REDO"),
    QStringLiteral("btn [Налево] left"),
    QStringLiteral("btn [Направо] right"),
    QStringLiteral("READ"),
    QStringLiteral(":left"),
    QStringLiteral("@Слева."),
    QStringLiteral("READ"),
    QStringLiteral(":right"),
    QStringLiteral("@Справа."),
    QStringLiteral("READ"),
    QStringLiteral(":common"),
    QStringLiteral("RETURN"),
};

// A point on the text of output line `line` in the output pane's viewport, `x` pixels from its left.
QPoint onLine(QPlainTextEdit* pane, int line, int x = 12) {
  const QRect area = static_cast<marvo::OutputPane*>(pane)->lineArea(line);
  return QPoint(area.left() + x, area.center().y());
}

// The changes of the output pane's text, as Qt's text control turns them into notices to
// assistive technology: a change that removes nothing is a text insertion.
struct TextChange {
  int position, removed, added;
  bool operator==(const TextChange&) const = default;
};

}  // namespace

class WindowAidsTest : public QObject {
  Q_OBJECT

 private slots:
  void upAndDownRecallCommandsAndTypingFindsTheInputLine() {
    Windows w;
    w.setScenario(kMenu);
    QVERIFY(w.showActive());
    w.mainWindow->beginGame();
    QLineEdit* line = w.mainWindow->commandLine();
    for (const QString& command : {QStringLiteral("look"), QStringLiteral("осмотреть")}) {
      type(line, command);
      QTest::keyClick(line, Qt::Key_Return);
    }
    QTest::keyClick(line, Qt::Key_F12);  // an empty Talk is no command to recall
    type(line, QStringLiteral("взя"));
    QTest::keyClick(line, Qt::Key_Up);
    QCOMPARE(line->text(), QStringLiteral("осмотреть"));
    QTest::keyClick(line, Qt::Key_Up);
    QCOMPARE(line->text(), QStringLiteral("look"));
    QTest::keyClick(line, Qt::Key_Up);
    QCOMPARE(line->text(), QStringLiteral("look"));
    QTest::keyClick(line, Qt::Key_Down);
    QTest::keyClick(line, Qt::Key_Down);
    QCOMPARE(line->text(), QStringLiteral("взя"));  // the line that was being typed
    QCOMPARE(line->cursorPosition(), 3);

    // A click on the game text, then typing: the characters go on in the input line, which takes
    // the focus; keys that type nothing (copying, scrolling) stay with the pane.
    QPlainTextEdit* pane = w.mainWindow->outputPane();
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, onLine(pane, 0));
    QCOMPARE(QApplication::focusWidget(), pane);
    QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(pane, Qt::Key_Down);
    QCOMPARE(line->text(), QStringLiteral("взя"));
    QCOMPARE(QApplication::focusWidget(), pane);
    type(pane, QStringLiteral("ть"));
    QCOMPARE(QApplication::focusWidget(), line);
    QCOMPARE(line->text(), QStringLiteral("взять"));
    // The lists pass typing on as well.
    w.mainWindow->inventoryList()->setFocus();
    type(w.mainWindow->inventoryList(), QStringLiteral(" ключ"));
    QCOMPARE(line->text(), QStringLiteral("взять ключ"));
    QCOMPARE(QApplication::focusWidget(), line);
    // F9 still reaches the window from the pane.
    QCOMPARE(w.mainWindow->game().commandLog().size(), 3u);
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_F9);
    QCOMPARE(w.mainWindow->game().commandLog().size(), 0u);
  }

  void aClickOnAMenuLineOnOfferSubmitsItsNumber() {
    Windows w;
    w.setScenario(kMenu);
    QVERIFY(w.showActive());
    w.mainWindow->beginGame();
    auto* pane = static_cast<marvo::OutputPane*>(w.mainWindow->outputPane());
    const QStringList shown = {QStringLiteral("Холл."), QStringLiteral("3. Не выбор"), QStringLiteral("1. Налево"),
                               QStringLiteral("2. Направо")};
    QCOMPARE(w.output(), shown);
    QCOMPARE(pane->extraSelections().size(), 2);  // the lines on offer are underlined

    // A line numbered like a menu line whose number the game does not take, and a plain line.
    for (int plain : {0, 1}) QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, onLine(pane, plain));
    QCOMPARE(w.mainWindow->game().commandLog().size(), 0u);
    // A drag that selects the menu line's text copies rather than chooses.
    QTest::mousePress(pane->viewport(), Qt::LeftButton, {}, onLine(pane, 3, 4));
    QTest::mouseMove(pane->viewport(), onLine(pane, 3, 40));
    QTest::mouseRelease(pane->viewport(), Qt::LeftButton, {}, onLine(pane, 3, 40));
    QCOMPARE(w.mainWindow->game().commandLog().size(), 0u);

    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, onLine(pane, 3));
    QCOMPARE(w.mainWindow->game().commandLog(), std::vector<std::string>{"2"});
    QCOMPARE(w.output().mid(4), (QStringList{QStringLiteral(">2"), QStringLiteral("Справа.")}));
    QCOMPARE(QApplication::focusWidget(), w.mainWindow->commandLine());
    QCOMPARE(w.mainWindow->commandLine()->text(), QString());
    // The hall's menu is no longer on offer.
    QVERIFY(pane->extraSelections().isEmpty());
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, onLine(pane, 2));
    QCOMPARE(w.mainWindow->game().commandLog().size(), 1u);
    // The number chosen is recalled by Up like a typed command.
    QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Up);
    QCOMPARE(w.mainWindow->commandLine()->text(), QStringLiteral("2"));
  }

  void theOutputPaneTellsAssistiveTechnologyOnlyTheNewText() {
    Windows w;
    w.setScenario(kMenu);
    QList<TextChange> changes;
    connect(w.mainWindow->outputPane()->document(), &QTextDocument::contentsChange, this,
            [&changes](int position, int removed, int added) {
              changes.append({position, removed, added});
            });
    w.mainWindow->beginGame();
    const QString before = w.outputText();
    changes.clear();
    w.mainWindow->commandLine()->setText(QStringLiteral("look"));
    w.mainWindow->submitCommand();
    // One insertion at the end holding the echo and the answer; nothing shown before is touched.
    const QString added = QStringLiteral("\n>look\nНичего нового.");
    QCOMPARE(w.outputText(), before + added);
    QCOMPARE(changes, (QList<TextChange>{{static_cast<int>(before.size()), 0, static_cast<int>(added.size())}}));

    // A cleared pane takes its new text as one insertion after the removal.
    changes.clear();
    w.mainWindow->clearScreen();
    QCOMPARE(w.outputText(), QStringLiteral(">"));
    QCOMPARE(changes, (QList<TextChange>{{0, static_cast<int>(before.size() + added.size()), 0}, {0, 0, 1}}));
  }

  void controlsHaveRussianNamesAndTheKeyboardReachesThem() {
    Windows w;
    QVERIFY(w.showActive());
    const std::pair<QWidget*, QString> names[] = {
        {w.mainWindow->outputPane(), QStringLiteral("Текст игры")},
        {w.mainWindow->commandLine(), QStringLiteral("Команда")},
        {w.mainWindow->inventoryList(), QStringLiteral("Инвентарь")},
        {w.mainWindow->characteristicsList(), QStringLiteral("Характеристики")},
    };
    for (const auto& [control, name] : names) {
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
      QVERIFY(face);
      QCOMPARE(face->text(QAccessible::Name), name);
      QVERIFY(!face->text(QAccessible::Description).isEmpty());
    }
    // F10 opens the menu bar at "File"; Esc leaves it.
    QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_F10);
    QTRY_COMPARE(QApplication::activePopupWidget(), w.mainWindow->fileMenu());
    QTest::keyClick(w.mainWindow->fileMenu(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    // Tab goes from the input line through the pane and both lists, and back.
    w.mainWindow->commandLine()->setFocus();
    for (const auto& [control, name] : {names[0], names[2], names[3], names[1]}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), control);
    }
  }

  void zoomOfTheOutputPaneIsRemembered() {
    {
      Windows w;
      QVERIFY(w.showActive());
      auto* pane = static_cast<marvo::OutputPane*>(w.mainWindow->outputPane());
      QCOMPARE(pane->font().pixelSize(), 19);
      QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Plus, Qt::ControlModifier);
      QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Equal, Qt::ControlModifier);
      QCOMPARE(pane->font().pixelSize(), 21);
      QWheelEvent notch(QPointF(5, 5), pane->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                        Qt::ControlModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(pane->viewport(), &notch);
      QCOMPARE(pane->font().pixelSize(), 20);
      pane->setFocus();  // the keys work in the pane itself as well
      QTest::keyClick(pane, Qt::Key_Minus, Qt::ControlModifier);
      QTest::keyClick(pane, Qt::Key_Plus, Qt::ControlModifier);
      QCOMPARE(pane->font().pixelSize(), 20);
      QTest::keyClick(pane, Qt::Key_Minus, Qt::ControlModifier);
      QCOMPARE(pane->font().pixelSize(), 19);
      QTest::keyClick(pane, Qt::Key_Plus, Qt::ControlModifier);
      QCOMPARE(pane->font().families(), w.mainWindow->commandLine()->font().families());
      QVERIFY(pane->contextMenuPolicy() == Qt::DefaultContextMenu);
    }
    {
      Windows w;  // a new run of the program
      QVERIFY(w.showActive());
      QCOMPARE(w.mainWindow->outputPane()->font().pixelSize(), 20);
      QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_0, Qt::ControlModifier);
      QCOMPARE(w.mainWindow->outputPane()->font().pixelSize(), 19);
      for (int i = 0; i < 100; ++i) QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_Minus, Qt::ControlModifier);
      QCOMPARE(w.mainWindow->outputPane()->font().pixelSize(), marvo::OutputPane::kSmallestSize);
      QTest::keyClick(w.mainWindow->commandLine(), Qt::Key_0, Qt::ControlModifier);
    }
    Windows w;
    QCOMPARE(w.mainWindow->outputPane()->font().pixelSize(), 19);
  }

  void saveTranscriptWritesTheOutputAsUtf8() {
    Windows w;
    w.setScenario(kMenu);
    window_test::writeCp1251(w.path(QStringLiteral("hall.scn")), kMenu);
    w.mainWindow->openScenario(w.path(QStringLiteral("hall.scn")));
    w.mainWindow->commandLine()->setText(QStringLiteral("look"));
    w.mainWindow->submitCommand();
    QCOMPARE(w.mainWindow->gameMenu()->actions().indexOf(w.mainWindow->saveTranscriptAction()) + 1,
             w.mainWindow->gameMenu()->actions().indexOf(w.mainWindow->talkAction()));

    w.mainWindow->saveTranscriptAction()->trigger();  // cancelled: nothing written
    QCOMPARE(w.dialogs.requests.last().filter, QStringLiteral("Запись игры (*.txt)"));
    QCOMPARE(w.dialogs.requests.last().initialName, w.path(QStringLiteral("hall-transcript.txt")));
    QVERIFY(!QFile::exists(w.path(QStringLiteral("hall-transcript.txt"))));

    const QString name = w.path(QStringLiteral("игра.txt"));
    w.dialogs.fileAnswers.push_back(name);
    w.mainWindow->saveTranscriptAction()->trigger();
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()),
             QStringLiteral("Холл.\n3. Не выбор\n1. Налево\n2. Направо\n>look\nНичего нового.\n"));
    // A folder that cannot be written: the error names the file and the game goes on.
    w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("нет/игра.txt")));
    w.mainWindow->saveTranscriptAction()->trigger();
    QVERIFY(w.dialogs.messages.last().contains(QStringLiteral("нет/игра.txt")));
  }

  void qtDialogsSpeakRussian() {
    QTranslator* russian = static_cast<marvo::Application*>(qApp)->loadQtTranslations();
    QVERIFY2(russian, "Qt's Russian translation (qt6-translations-l10n) is not installed");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    const QString cancel = buttons.button(QDialogButtonBox::Cancel)->text();
    const QString save = buttons.button(QDialogButtonBox::Save)->text();
    QCoreApplication::removeTranslator(russian);
    delete russian;
    QCOMPARE(cancel, QStringLiteral("Отмена"));
    QCOMPARE(save, QStringLiteral("Сохранить"));
  }
};

QObject* makeWindowAidsTest() { return new WindowAidsTest; }

#include "window_aids_test.moc"
