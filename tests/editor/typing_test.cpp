// The typing aids of the code editor, driven by real key events: keyword case on Enter, the "@"
// continuation, the property list and the "=" step.
#include <QCheckBox>
#include <QListWidget>
#include <memory>

#include "editor/code_editor_window.h"
#include "editor_window_fixture.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "tests/support/private_settings.h"

class TypingTest : public QObject {
  Q_OBJECT

 public:
  // Settings and recovery files of the windows stay out of the user's folders.
  static void initMain() { marvo::test::usePrivateSettings(); }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs_;
  std::unique_ptr<marvo::ScenarioDocument> document_;
  std::unique_ptr<marvo::CodeEditorWindow> editor_;
  QPlainTextEdit* textView() const { return editor_->scenarioView(); }
  QListWidget* list() const { return editor_->propertyPopup(); }

  void start(const std::vector<std::string>& lines, int caretLine, int caretColumn) {
    editor_->document().setLines(lines);
    editor_->show();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
    placeCaret(textView(), caretLine, caretColumn);
  }
  void enter() { QTest::keyClick(textView(), Qt::Key_Return); }
  QString caretLineText() const { return textView()->textCursor().block().text(); }
  bool listOpen() const { return list()->isVisible() && QApplication::focusWidget() == list(); }

 private slots:
  void init() {
    dialogs_ = std::make_unique<marvo::ScriptedDialogs>();
    document_ = std::make_unique<marvo::ScenarioDocument>();
    editor_ = std::make_unique<marvo::CodeEditorWindow>(*document_, *dialogs_);
  }
  void cleanup() {
    editor_.reset();
    dialogs_.reset();
  }

  void enterNormalisesTheKeywordsOfTheLine() {
    start({""}, 0, 0);
    typeText(textView(), "goto loc2, goto b");
    enter();
    typeText(textView(), "если window");
    enter();
    QCOMPARE(editor_->document().lines(), w({"GOTO loc2, goto b", "ЕСЛИ winDOw", ""}));
    QCOMPARE(textView()->textCursor().blockNumber(), 2);
  }

  void enterInTheMiddleKeepsEveryCharacter() {
    start({" goto:COMMON x "}, 0, 7);
    enter();
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{" GOTO:c", "ommon x "}));
    start({"goto a"}, 0, 2);
    enter();
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{"GO", "TO a"}));
  }

  void noNormalisationAtColumnZeroOrWithTheSwitchOff() {
    start({"goto x"}, 0, 0);
    enter();
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{"", "goto x"}));
    editor_->autoCompleteBox()->setChecked(false);
    placeCaret(textView(), 1, 6);
    enter();
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{"", "goto x", ""}));
  }

  void shiftEnterStartsARealLine() {
    start({"goto x"}, 0, 6);
    QTest::keyClick(textView(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{"GOTO x", ""}));
  }

  void menuLinesContinueAndALoneAtEndsTheRun() {
    start({""}, 0, 0);
    typeText(textView(), "@На север");
    enter();
    QCOMPARE(caretLineText(), QStringLiteral("@"));
    QCOMPARE(textView()->textCursor().positionInBlock(), 1);
    typeText(textView(), "На юг");
    enter();
    QCOMPARE(caretLineText(), QStringLiteral("@"));
    enter();
    QCOMPARE(editor_->document().lines(), w({"@На север", "@На юг", "", ""}));
    QCOMPARE(textView()->textCursor().blockNumber(), 3);
    QCOMPARE(caretLineText(), QString());
  }

  void menuContinuationLeavesTextOnTheNewLine() {
    start({"@go north"}, 0, 3);  // Enter splits the menu line
    enter();
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{"@go", " north"}));
    editor_->autoCompleteBox()->setChecked(false);
    placeCaret(textView(), 0, 3);
    enter();
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{"@go", "", " north"}));
  }

  void underscoreAfterADeclaredObjectOpensTheList() {
    start(w({"CREATE Lamp", ":loc1", ""}), 2, 0);
    typeText(textView(), "IF LAMP_");
    QVERIFY(listOpen());
    QCOMPARE(list()->currentRow(), 0);
    QCOMPARE(caretLineText(), QStringLiteral("IF LAMP_"));
    // The list opens just under the caret.
    const QRect caret = textView()->cursorRect();
    const QPoint caretTop = textView()->viewport()->mapTo(editor_.get(), caret.topLeft());
    QVERIFY(list()->y() > caretTop.y());
    QVERIFY(list()->y() < caretTop.y() + 2 * caret.height() + 2);
    QVERIFY(qAbs(list()->x() - caretTop.x()) < 20);
    QTest::keyClick(list(), Qt::Key_Return);
    QVERIFY(list()->isHidden());
    QCOMPARE(QApplication::focusWidget(), textView());
    QCOMPARE(editor_->document().line(2), w("IF LAMP_Расположение"));
    QCOMPARE(textView()->textCursor().positionInBlock(), caretLineText().size());
  }

  void enterOnAnItemInsertsAtTheCaret() {
    start({"IF <object> then"}, 0, 11);
    typeText(textView(), "_");
    QVERIFY(listOpen());
    QTest::keyClick(list(), Qt::Key_PageDown);
    const int paged = list()->currentRow();
    QVERIFY(paged > 1);
    QTest::keyClick(list(), Qt::Key_PageUp);
    QVERIFY(list()->currentRow() < paged);
    for (int i = 0; i < 15; ++i) QTest::keyClick(list(), Qt::Key_Up);
    QCOMPARE(list()->currentRow(), 0);
    QTest::keyClick(list(), Qt::Key_Down);
    QTest::keyClick(list(), Qt::Key_Down);
    QVERIFY(listOpen());
    QCOMPARE(list()->currentRow(), 2);
    QTest::keyClick(list(), Qt::Key_Return);
    QCOMPARE(editor_->document().line(0), w("IF <object>_Маска then"));
    QCOMPARE(textView()->textCursor().positionInBlock(), caretLineText().size());
  }

  void underscoreWithoutAnObjectOpensNothing() {
    start(w({":loc1", "CREATE Lamp", "IF lamp"}), 2, 7);  // declared after the first label line
    typeText(textView(), "_");
    QVERIFY(list()->isHidden());
    QCOMPARE(QApplication::focusWidget(), textView());
    QCOMPARE(editor_->document().line(2), "IF lamp_");
    // With the switch off the list still works.
    editor_->autoCompleteBox()->setChecked(false);
    editor_->document().setLines({"x <object>"});
    placeCaret(textView(), 0, 10);
    typeText(textView(), "_");
    QVERIFY(listOpen());
  }

  void anyOtherKeyClosesTheListUntyped_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("letter") << int(Qt::Key_X) << QStringLiteral("x");
    QTest::newRow("shift") << int(Qt::Key_Shift) << QString();
    QTest::newRow("ctrl") << int(Qt::Key_Control) << QString();
    QTest::newRow("left") << int(Qt::Key_Left) << QString();
    QTest::newRow("right") << int(Qt::Key_Right) << QString();
    QTest::newRow("home") << int(Qt::Key_Home) << QString();
    QTest::newRow("end") << int(Qt::Key_End) << QString();
    QTest::newRow("delete on a built-in item") << int(Qt::Key_Delete) << QString();
  }
  void anyOtherKeyClosesTheListUntyped() {
    QFETCH(int, key);
    QFETCH(QString, text);
    start({"<object>"}, 0, 8);
    typeText(textView(), "_");
    QVERIFY(listOpen());
    QTest::sendKeyEvent(QTest::Press, list(), Qt::Key(key), text, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, list(), Qt::Key(key), text, Qt::NoModifier);
    QVERIFY(list()->isHidden());
    QCOMPARE(QApplication::focusWidget(), textView());
    QCOMPARE(editor_->document().lines(), std::vector<std::string>{"<object>_"});
    QCOMPARE(list()->count(), 15);
    QVERIFY(editor_->isVisible());
  }

  void escInTheListClosesTheWindow() {
    start({"<object>"}, 0, 8);
    typeText(textView(), "_");
    QVERIFY(listOpen());
    QTest::keyClick(list(), Qt::Key_Escape);
    QVERIFY(list()->isHidden());
    QVERIFY(!editor_->isVisible());
  }

  void mouseInTheTextClosesTheList() {
    start({"<object>", "next"}, 0, 8);
    typeText(textView(), "_");
    QVERIFY(listOpen());
    QTest::mouseClick(textView()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(list()->isHidden());
    QCOMPARE(QApplication::focusWidget(), textView());
  }

  void mouseOnTheWindowBackgroundClosesTheList() {
    start({"<object>"}, 0, 8);
    typeText(textView(), "_");
    QVERIFY(listOpen());
    const QPoint margin(2, editor_->height() / 2);
    QCOMPARE(editor_->childAt(margin), nullptr);
    QTest::mouseClick(editor_.get(), Qt::LeftButton, {}, margin);
    QVERIFY(list()->isHidden());
  }

  void tabGoesIntoTheText() {
    start({"x"}, 0, 1);
    QTest::keyClick(textView(), Qt::Key_Tab);
    QCOMPARE(editor_->document().line(0), "x\t");
    QCOMPARE(QApplication::focusWidget(), textView());
  }

  void equalsAddsTheNameTypedAfterDismissing() {
    start(w({"CREATE Lamp", ":loc1", ""}), 2, 0);
    typeText(textView(), "lamp_");
    QVERIFY(listOpen());
    QTest::sendKeyEvent(QTest::Click, list(), Qt::Key_unknown, QString::fromUtf8("Ц"), Qt::NoModifier);
    QVERIFY(list()->isHidden());
    typeText(textView(), "Цвет =");
    QCOMPARE(editor_->document().line(2), w("lamp_Цвет ="));
    QCOMPARE(list()->count(), 16);
    QCOMPARE(list()->item(15)->text(), QString::fromUtf8("Цвет"));

    // The added item can be chosen and deleted; deleting selects the item before it.
    enter();
    typeText(textView(), "lamp_");
    QVERIFY(listOpen());
    QTest::keyClick(list(), Qt::Key_End);  // End closes the list like any other key
    QVERIFY(list()->isHidden());
    typeText(textView(), "=");  // nothing typed in between: nothing added
    QCOMPARE(list()->count(), 16);
    typeText(textView(), "_");
    QVERIFY(listOpen());
    list()->setCurrentRow(15);
    QTest::keyClick(list(), Qt::Key_Delete);
    QVERIFY(listOpen());
    QCOMPARE(list()->count(), 15);
    QCOMPARE(list()->currentRow(), 14);
    QCOMPARE(list()->item(14)->text(), QString::fromUtf8("Размер"));
  }

  void enterForgetsThePendingName() {
    start({"<object>"}, 0, 8);
    typeText(textView(), "_");
    QTest::keyClick(list(), Qt::Key_Right);
    typeText(textView(), "Weight");
    enter();
    typeText(textView(), "Weight=");
    QCOMPARE(list()->count(), 15);
  }

  void enterReleasedAfterChoosingAPropertyAddsNoAt() {
    start({"@go", "<object>"}, 1, 8);
    typeText(textView(), "_");
    QTest::keyPress(list(), Qt::Key_Return);
    QTest::keyRelease(textView(), Qt::Key_Return);
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{"@go", w("<object>_Расположение")}));
  }
};

QTEST_MAIN(TypingTest)
#include "typing_test.moc"
