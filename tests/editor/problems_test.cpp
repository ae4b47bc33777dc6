// The code editor's problems list: Ctrl+F7 and the context menu fill it, F9 fills it when there are
// errors, double-click and Enter jump to the line, lines with problems are underlined.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTextLayout>
#include <QTreeWidget>
#include <memory>

#include "editor/code_editor_window.h"
#include "editor/problems_panel.h"
#include "editor_window_fixture.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "tests/support/private_settings.h"

class ProblemsTest : public QObject {
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
  bool underlined(int line) const {
    const QTextBlock block = editor_->scenarioView()->document()->findBlockByNumber(line);
    for (const auto& range : block.layout()->formats())
      if (range.format.underlineStyle() == QTextCharFormat::WaveUnderline) return true;
    return false;
  }
  QTreeWidget* list() const { return editor_->problemsPanel()->list(); }

 private slots:
  void init() {
    dialogs_ = std::make_unique<marvo::ScriptedDialogs>();
    document_ = std::make_unique<marvo::ScenarioDocument>();
    editor_ = std::make_unique<marvo::CodeEditorWindow>(*document_, *dialogs_);
    editor_->setLibrarySource([] { return w({"TALK осмотреть <object>", "ИЗУЧИТЬ <object>", "REDO"}); });
  }
  void cleanup() {
    editor_.reset();
    dialogs_.reset();
  }

  void theTemplateChecksClean() {
    showEditor();
    QVERIFY(editor_->problemsPanel()->isHidden());
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F7, Qt::ControlModifier);
    QVERIFY(editor_->problemsPanel()->isVisible());
    QCOMPARE(list()->topLevelItemCount(), 0);
  }

  void ctrlF7ListsAndUnderlinesAndJumps() {
    editor_->document().setLines(w({":start", "GOTO нигде", "!Текст", "ENDFI", "READ", ":common", "RETURN"}));
    showEditor();
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F7, Qt::ControlModifier);
    QCOMPARE(list()->topLevelItemCount(), 2);
    QCOMPARE(list()->topLevelItem(0)->text(0), QStringLiteral("2"));
    QCOMPARE(list()->topLevelItem(0)->text(3), QStringLiteral("missing-label"));
    QVERIFY(list()->topLevelItem(0)->text(2).contains(QStringLiteral("нигде")));
    QCOMPARE(list()->topLevelItem(1)->text(0), QStringLiteral("4"));
    QVERIFY(underlined(1));
    QVERIFY(underlined(3));
    QVERIFY(!underlined(2));

    // Enter on the second row puts the caret on line 4 (index 3) and the focus into the text.
    list()->setFocus();
    list()->setCurrentItem(list()->topLevelItem(1));
    QTest::keyClick(list(), Qt::Key_Return);
    QCOMPARE(editor_->scenarioView()->textCursor().blockNumber(), 3);
    QCOMPARE(QApplication::focusWidget(), editor_->scenarioView());
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("3"));
    // Double-click on the first row.
    QTRY_VERIFY(list()->viewport()->height() > 40);
    list()->scrollToTop();
    const QRect rect = list()->visualItemRect(list()->topLevelItem(0));
    QTest::mousePress(list()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(editor_->scenarioView()->textCursor().blockNumber(), 1);

    // A new line shifts the lines below it: the marks move with their lines.
    placeCaret(editor_->scenarioView(), 0, 0);
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Return);
    QVERIFY(underlined(2));
    QVERIFY(underlined(4));
    QVERIFY(!underlined(1));
    QCOMPARE(list()->topLevelItemCount(), 2);

    // Mending the text and checking again clears the list and the marks.
    editor_->document().setLines(w({":start", "GOTO start", "READ", ":common", "RETURN"}));
    editor_->checkScenarioAction()->trigger();
    QCOMPARE(list()->topLevelItemCount(), 0);
    QVERIFY(!underlined(1));
  }

  void f9ShowsErrorsAndStillStartsTheGame() {
    int started = 0;
    connect(editor_.get(), &marvo::CodeEditorWindow::gameRequested, this, [&] { ++started; });
    showEditor();
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F9);
    QCOMPARE(started, 1);
    QVERIFY(editor_->problemsPanel()->isHidden());  // no errors: the list is left alone

    editor_->document().setLines(w({":start", "btn Выйти коридор", "READ", ":common", "RETURN"}));
    showEditor();
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F9);
    QCOMPARE(started, 2);
    QCOMPARE(list()->topLevelItemCount(), 1);
    QCOMPARE(list()->topLevelItem(0)->text(3), QStringLiteral("malformed-btn"));
    QVERIFY(contextMenuOffersTheCheck());
  }

  void panelKeepsForeignProblemsAndTheirData() {
    marvo::ProblemsPanel panel;
    marvo::Problem walk;
    walk.source = QStringLiteral("walk.txt");
    walk.line = 7;
    walk.severity = marvo::Problem::Severity::Warning;
    walk.text = QStringLiteral("шаг 3 не совпал");
    walk.inScenario = false;
    walk.data = 42;
    panel.setProblems({walk});
    QSignalSpy spy(&panel, &marvo::ProblemsPanel::problemActivated);
    panel.list()->setCurrentItem(panel.list()->topLevelItem(0));
    QTest::keyClick(panel.list(), Qt::Key_Enter);
    QCOMPARE(spy.count(), 1);
    const auto got = spy.at(0).at(0).value<marvo::Problem>();
    QCOMPARE(got.data.toInt(), 42);
    QCOMPARE(panel.list()->topLevelItem(0)->text(0), QStringLiteral("walk.txt:7"));
  }

 private:
  bool contextMenuOffersTheCheck() const {
    for (QAction* a : editor_->contextMenu()->actions())
      if (a == editor_->checkScenarioAction()) return a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_F7);
    return false;
  }
};

QTEST_MAIN(ProblemsTest)
#include "problems_test.moc"
