// The code editor window: line operations, jump list, search, F1, leaving keys, context menu, Esc.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTextLayout>
#include <memory>

#include "editor/code_editor_window.h"
#include "editor_window_fixture.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "tests/support/private_settings.h"

class CodeWindowTest : public QObject {
  Q_OBJECT

 public:
  // Settings and recovery files of the windows stay out of the user's folders.
  static void initMain() { marvo::test::usePrivateSettings(); }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs_;
  std::unique_ptr<marvo::ScenarioDocument> document_;
  std::unique_ptr<marvo::CodeEditorWindow> editor_;

  void showEditor() {
    editor_->show();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
  }
  int maxScroll() const { return editor_->scenarioView()->verticalScrollBar()->maximum(); }

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

  void startsWithTheTemplate() {
    const auto expected =
        w({"", "", "", "*- - - - - - Первая локация - - - - - - - - ", ":loc1", "", "", "", "READ", "", "",
           "* - - - - - Локация общего назначения - - - - - - - - - -", ":common", "", "", "RETURN", "", ""});
    QCOMPARE(editor_->document().lines(), expected);
    QCOMPARE(editor_->document().lineCount(), 18);
    QCOMPARE(editor_->windowTitle(), QStringLiteral("Code Edit"));
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("0"));
    QVERIFY(editor_->autoCompleteBox()->isChecked());
    QVERIFY(editor_->variablePane()->isReadOnly());
    QCOMPARE(editor_->scenarioView()->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(editor_->propertyPopup()->count(), 15);
    QCOMPARE(editor_->locationBox()->count(), 0);
    showEditor();
    QVERIFY(editor_->windowState() & Qt::WindowMaximized);
    QVERIFY(editor_->propertyPopup()->isHidden());
    QCOMPARE(QApplication::focusWidget(), editor_->scenarioView());
  }

  void lineOperationsKeepEveryLine() {
    editor_->document().setLines({});
    QCOMPARE(editor_->document().lineCount(), 0);
    editor_->document().appendLine("");
    QCOMPARE(editor_->document().lines(), std::vector<std::string>{""});
    editor_->document().setLines({"a", "", ""});
    QCOMPARE(editor_->document().lineCount(), 3);
    editor_->document().insertLine(0, w("СОЗДАТЬ"));
    editor_->document().insertLine(2, "mid");
    editor_->document().insertLine(5, "end");
    editor_->document().insertLine(7, "ignored");
    editor_->document().insertLine(-1, "ignored");
    QCOMPARE(editor_->document().lines(), (std::vector<std::string>{w("СОЗДАТЬ"), "a", "mid", "", "", "end"}));
    editor_->document().replaceLine(1, "A");
    editor_->document().replaceLine(6, "ignored");
    QCOMPARE(editor_->document().line(1), "A");
    QCOMPARE(editor_->document().line(6), "");
    QCOMPARE(editor_->document().line(-1), "");

    // The author removes the final line break: the last block is a line, and edits keep it.
    QTextCursor cursor(editor_->scenarioView()->document());
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    QCOMPARE(editor_->document().lineCount(), 6);
    editor_->document().appendLine("tail");
    QCOMPARE(editor_->document().lineCount(), 7);
    QCOMPARE(editor_->document().line(5), "end");
    QCOMPARE(editor_->document().line(6), "tail");
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    editor_->document().replaceLine(6, "");
    QCOMPARE(editor_->document().lineCount(), 7);
    QCOMPARE(editor_->document().line(6), "");

    editor_->document().clearText();
    QCOMPARE(editor_->document().lineCount(), 0);
    QVERIFY(editor_->document().lines().empty());
  }

  void highlightingLeavesTheTextAlone() {
    const auto scenario = w({":loc1", "GOTO loc2", "!Текст", "* comment", "TALK север"});
    editor_->document().setLines(scenario);  // set while hidden: coloured when shown
    showEditor();
    editor_->close();
    showEditor();
    QCOMPARE(editor_->document().lines(), scenario);
    QVERIFY(!editor_->scenarioView()->document()->isUndoAvailable());
    QVERIFY(!editor_->scenarioView()->document()->isModified());
    const QTextDocument* doc = editor_->scenarioView()->document();
    const auto label = doc->findBlockByNumber(0).layout()->formats();
    QCOMPARE(label.size(), 1);
    QCOMPARE(label[0].length, 5);
    const auto keyword = doc->findBlockByNumber(1).layout()->formats();
    QCOMPARE(keyword.size(), 1);
    QCOMPARE(keyword[0].start, 0);
    QCOMPARE(keyword[0].length, 4);
    QVERIFY(keyword[0].format.fontWeight() == QFont::Bold);

    // Lines typed or set while the window is shown are coloured at once.
    editor_->document().appendLine(":loc2");
    QCOMPARE(doc->findBlockByNumber(5).layout()->formats().size(), 1);
    editor_->document().setLines({"", "GOTO x"});
    QCOMPARE(doc->findBlockByNumber(1).layout()->formats().size(), 1);
    QVERIFY(!editor_->scenarioView()->document()->isUndoAvailable());
  }

  // A whole-text replacement (the map export) changes only what differs, in one undo step; the
  // text comes out right wherever the old and the new text agree or overlap.
  void replacingTheWholeTextChangesOnlyWhatDiffers() {
    using Lines = std::vector<std::string>;
    const std::vector<std::pair<Lines, Lines>> cases{{{"a", "b", "c"}, {"a", "x", "c"}},
                                                     {{"a", "b", "c"}, {"a", "c"}},
                                                     {{"a", "c"}, {"a", "b", "c"}},
                                                     {{"aa", "aa"}, {"aa"}},
                                                     {{"aa"}, {"aa", "aa"}},
                                                     {{}, {"a"}},
                                                     {{"a"}, {}},
                                                     {{"ab"}, {"a", "b"}},
                                                     {{"a", "b"}, {"ab"}},
                                                     {{"x", "Север", "y"}, {"x", "Юг", "y"}},
                                                     {{"", ""}, {""}}};
    const auto cp = [](const Lines& utf8) {
      Lines out;
      for (const auto& line : utf8) out.push_back(marvo::utf8ToCp1251(line));
      return out;
    };
    for (const auto& [before, after] : cases) {
      editor_->document().setLines(cp(before));
      editor_->document().replaceAllLines(cp(after));
      QCOMPARE(editor_->document().lines(), cp(after));
      QTextDocument* doc = editor_->scenarioView()->document();
      QVERIFY(doc->isModified());
      doc->undo();
      QCOMPARE(editor_->document().lines(), cp(before));
      QVERIFY(!doc->isUndoAvailable());
    }
    // An equal text is left as it is: nothing to undo, nothing modified.
    editor_->document().setLines(w({"a", "b"}));
    editor_->document().replaceAllLines(w({"a", "b"}));
    QVERIFY(!editor_->scenarioView()->document()->isUndoAvailable());
    QVERIFY(!editor_->scenarioView()->document()->isModified());
  }

  void variablePaneShowsItsLines() {
    editor_->setVariablePane(w({"Значения переменных:", "rnd = 5"}));
    QCOMPARE(editor_->variablePane()->toPlainText(), QString::fromUtf8("Значения переменных:\nrnd = 5"));
  }

  void lineIndicatorFollowsKeysOnly() {
    editor_->document().setLines(numberedLines(10));
    showEditor();
    QTest::keyClick(editor_->scenarioView(), Qt::Key_End);
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("0"));
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Down);
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Down);
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("2"));
    // A click moves the caret without refreshing the indicator.
    const QRect lineFive =
        editor_->scenarioView()->cursorRect(QTextCursor(editor_->scenarioView()->document()->findBlockByNumber(5)));
    QTest::mouseClick(editor_->scenarioView()->viewport(), Qt::LeftButton, {}, lineFive.center());
    QCOMPARE(editor_->scenarioView()->textCursor().blockNumber(), 5);
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("2"));
  }

  void jumpListListsLabelsAndJumpsToTheFirstEqualLine() {
    auto lines = numberedLines(300);
    lines[40] = ":b  ";
    lines[80] = " :indented";
    lines[120] = ":a";
    lines[200] = ":a";
    editor_->document().setLines(lines);
    showEditor();
    placeCaret(editor_->scenarioView(), 3, 2);
    editor_->locationBox()->setFocus();
    QStringList items;
    for (int i = 0; i < editor_->locationBox()->count(); ++i) items << editor_->locationBox()->itemText(i);
    QCOMPARE(items, (QStringList{QStringLiteral(":a"), QStringLiteral(":a"), QStringLiteral(":b  ")}));

    QTest::keyClick(editor_->locationBox(), Qt::Key_Down);  // chooses ":a"
    QCOMPARE(editor_->firstVisibleLine(), 120);
    QCOMPARE(editor_->scenarioView()->textCursor().blockNumber(), 3);
    QCOMPARE(QApplication::focusWidget(), editor_->scenarioView());

    editor_->locationBox()->setFocus();
    QTest::keyClick(editor_->locationBox(), Qt::Key_End);  // chooses ":b  ", trailing blanks and all
    QCOMPARE(editor_->firstVisibleLine(), 40);

    // The text changed after the list was built: the view goes to the end.
    editor_->locationBox()->setFocus();
    editor_->document().replaceLine(40, ":b");
    QTest::keyClick(editor_->locationBox(), Qt::Key_End);
    QCOMPARE(editor_->firstVisibleLine(), maxScroll());
  }

  void ctrlInTheJumpListReturnsWithoutJumping() {
    editor_->document().setLines(numberedLines(300));
    editor_->document().replaceLine(250, ":far");
    showEditor();
    editor_->locationBox()->setFocus();
    QCOMPARE(editor_->locationBox()->count(), 1);
    QTest::keyClick(editor_->locationBox(), Qt::Key_Control);
    QCOMPARE(QApplication::focusWidget(), editor_->scenarioView());
    QCOMPARE(editor_->firstVisibleLine(), 0);
    QVERIFY(editor_->isVisible());
  }

  void searchStartsAtTheFirstVisibleLine() {
    auto lines = numberedLines(300);
    lines[50] = "READ";
    lines[150] = "xx READ xx";
    editor_->document().setLines(lines);
    showEditor();
    editor_->searchField()->setFocus();
    typeText(editor_->searchField(), "  READ ");
    QTest::keyClick(editor_->searchField(), Qt::Key_Return);
    QCOMPARE(editor_->firstVisibleLine(), 50);
    QTest::keyClick(editor_->searchField(), Qt::Key_Return);  // the top line holds it: the view stays
    QCOMPARE(editor_->firstVisibleLine(), 50);
    QCOMPARE(QApplication::focusWidget(), editor_->searchField());
    editor_->scrollToLine(51);
    QTest::keyClick(editor_->searchField(), Qt::Key_Return);
    QCOMPARE(editor_->firstVisibleLine(), 150);
    QCOMPARE(editor_->scenarioView()->textCursor().position(), 0);

    editor_->scrollToLine(0);
    editor_->searchField()->setText(QStringLiteral("read"));  // case-sensitive: not found
    QTest::keyClick(editor_->searchField(), Qt::Key_Return);
    QCOMPARE(editor_->firstVisibleLine(), maxScroll());
    editor_->scrollToLine(0);
    editor_->searchField()->setText(QStringLiteral("   "));
    QTest::keyClick(editor_->searchField(), Qt::Key_Return);
    QCOMPARE(editor_->firstVisibleLine(), maxScroll());
  }

  void f1AlternatesBetweenCommonAndTheSavedLine() {
    auto lines = numberedLines(300);
    lines[120] = "* mentions :common first";
    lines[200] = ":common";
    editor_->document().setLines(lines);
    showEditor();
    placeCaret(editor_->scenarioView(), 30, 0);
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F1);
    QCOMPARE(editor_->firstVisibleLine(), 120);
    placeCaret(editor_->scenarioView(), 7, 0);  // the caret moves in between
    editor_->searchField()->setFocus();
    QTest::keyClick(editor_->searchField(), Qt::Key_F1);
    QCOMPARE(editor_->firstVisibleLine(), 30);
    QCOMPARE(editor_->scenarioView()->textCursor().blockNumber(), 7);
    QCOMPARE(editor_->document().lineCount(), 300);
  }

  void f1RepairsATextWithoutCommon() {
    editor_->document().setLines(numberedLines(100));
    showEditor();
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F1);
    QCOMPARE(editor_->document().lineCount(), 105);
    const auto all = editor_->document().lines();
    QCOMPARE(std::vector<std::string>(all.end() - 5, all.end()),
             (std::vector<std::string>{" ", ":common", " ", " ", "RETURN"}));
    QCOMPARE(editor_->firstVisibleLine(), maxScroll());
    QVERIFY(maxScroll() > 0);
    // The toggle survives closing the window and replacing the text.
    editor_->close();
    editor_->document().setLines(numberedLines(100));
    showEditor();
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F1);
    QCOMPARE(editor_->firstVisibleLine(), 0);
    QCOMPARE(editor_->document().lineCount(), 100);
  }

  void f9ClosesThenStartsTheGame() {
    showEditor();
    bool visibleAtStart = true;
    int started = 0;
    connect(editor_.get(), &marvo::CodeEditorWindow::gameRequested, this, [&] {
      visibleAtStart = editor_->isVisible();
      ++started;
    });
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F9);
    QCOMPARE(started, 1);
    QVERIFY(!visibleAtStart);
    QVERIFY(!editor_->isVisible());
  }

  void f5OpensTheMapEditorThenCloses() {
    showEditor();
    bool visibleDuringMap = false;
    connect(editor_.get(), &marvo::CodeEditorWindow::mapEditorRequested, this,
            [&] { visibleDuringMap = editor_->isVisible(); });
    editor_->searchField()->setFocus();
    QTest::keyClick(editor_->searchField(), Qt::Key_F5);
    QVERIFY(visibleDuringMap);
    QVERIFY(!editor_->isVisible());
  }

  void contextMenuAndF3OpenTheOtherWindows() {
    showEditor();
    QStringList opened;
    connect(editor_.get(), &marvo::CodeEditorWindow::objectPlacerRequested, this,
            [&] { opened << QStringLiteral("placer"); });
    connect(editor_.get(), &marvo::CodeEditorWindow::libraryEditorRequested, this,
            [&] { opened << QStringLiteral("library"); });
    connect(editor_.get(), &marvo::CodeEditorWindow::dialogueMakerRequested, this,
            [&] { opened << QStringLiteral("npc"); });
    QStringList captions;
    for (QAction* action : editor_->contextMenu()->actions())
      if (!action->isSeparator()) captions << action->text();
    // The editing commands come first; the window's own items follow as they were.
    QCOMPARE(captions.mid(0, 8),
             (QStringList{QString::fromUtf8("Отменить"), QString::fromUtf8("Повторить"), QString::fromUtf8("Вырезать"),
                          QString::fromUtf8("Копировать"), QString::fromUtf8("Вставить"), QString::fromUtf8("Найти..."),
                          QString::fromUtf8("Заменить..."), QString::fromUtf8("Перейти к строке...")}));
    // The spelling switches close the menu; the navigation commands and the story map follow the old six.
    QCOMPARE(captions.mid(captions.size() - 2), (QStringList{QString::fromUtf8("Проверка орфографии"),
                                                             QString::fromUtf8("Считать «ё» и «е» одной буквой")}));
    captions = captions.mid(8, 6);
    QCOMPARE(captions, (QStringList{QString::fromUtf8("Создать объект"), QStringLiteral("Marvo.lib"),
                                    QString::fromUtf8("Диалог NPC"), QString::fromUtf8("Проверить сценарий"),
                                    QStringLiteral("Run walkthroughs"), QStringLiteral("Publish to web...")}));
    editor_->createObjectAction()->trigger();
    editor_->libraryAction()->trigger();
    editor_->dialogueAction()->trigger();
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F3);
    QCOMPARE(opened, (QStringList{QStringLiteral("placer"), QStringLiteral("library"), QStringLiteral("npc"),
                                  QStringLiteral("npc")}));
    QVERIFY(editor_->isVisible());
    QCOMPARE(editor_->scenarioView()->contextMenuPolicy(), Qt::CustomContextMenu);
  }

  void escClosesFromEveryControl_data() {
    QTest::addColumn<QString>("control");
    for (const char* name : {"scenarioView", "variablePane", "searchField", "locationBox", "autoCompleteBox", "window"})
      QTest::newRow(name) << QString::fromLatin1(name);
  }
  void escClosesFromEveryControl() {
    QFETCH(QString, control);
    showEditor();
    QWidget* target = editor_.get();
    if (control == QLatin1String("scenarioView")) target = editor_->scenarioView();
    if (control == QLatin1String("variablePane")) target = editor_->variablePane();
    if (control == QLatin1String("searchField")) target = editor_->searchField();
    if (control == QLatin1String("locationBox")) target = editor_->locationBox();
    if (control == QLatin1String("autoCompleteBox")) target = editor_->autoCompleteBox();
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(!editor_->isVisible());
  }

  void checkBoxSendsTheFocusBackToTheText() {
    showEditor();
    QTest::mouseClick(editor_->autoCompleteBox(), Qt::LeftButton);
    QVERIFY(!editor_->autoCompleteBox()->isChecked());
    QCOMPARE(QApplication::focusWidget(), editor_->scenarioView());
  }
};

QTEST_MAIN(CodeWindowTest)
#include "code_window_test.moc"
