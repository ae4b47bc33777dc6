// The editors' editing aids: Find and Replace, Go to line, line numbers read the same everywhere,
// the context menu's editing commands, zoom, colours on light and dark backgrounds, problem tooltips,
// and the library editor's colouring and line indicator.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTextLayout>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <memory>

#include "editor/code_editor_window.h"
#include "editor/find_bar.h"
#include "editor/library_editor_window.h"
#include "editor/problems_panel.h"
#include "editor/scenario_highlighter.h"
#include "editor_window_fixture.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"

namespace {

double luminance(const QColor& c) {
  auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
QPalette withBase(const QColor& base, const QColor& text) {
  QPalette p;
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::Text, text);
  return p;
}

}  // namespace

class EditingWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs_;
  std::unique_ptr<marvo::ScenarioDocument> document_;
  std::unique_ptr<marvo::CodeEditorWindow> editor_;

  void showEditor() {
    editor_->show();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
  }
  marvo::FindBar* bar() const { return editor_->findBar(); }
  QString selected() const { return editor_->scenarioView()->textCursor().selectedText(); }
  int caretLine() const { return editor_->scenarioView()->textCursor().blockNumber(); }

 private slots:
  void initTestCase() {
    // Zoom is remembered in the settings: the tests keep theirs apart from the user's.
    QStandardPaths::setTestModeEnabled(true);
  }
  void init() {
    QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")).remove(QStringLiteral("editor/zoom"));
    dialogs_ = std::make_unique<marvo::ScriptedDialogs>();
    document_ = std::make_unique<marvo::ScenarioDocument>();
    editor_ = std::make_unique<marvo::CodeEditorWindow>(*document_, *dialogs_);
  }
  void cleanup() {
    editor_.reset();
    dialogs_.reset();
  }

  void findGoesRoundTheTextWithCaseAndWholeWords() {
    editor_->document().setLines(w({":лампа", "IF ЛАМПА_Надет", "!лампада горит", "GOTO лампа", "* Лампа"}));
    showEditor();
    placeCaret(editor_->scenarioView(), 2, 0);
    QTest::keyClick(editor_->scenarioView(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar()->isVisible());
    QVERIFY(bar()->replaceRow()->isHidden());
    QCOMPARE(QApplication::focusWidget(), bar()->findField());
    typeText(bar()->findField(), "лампа");
    // Letter case ignored by the Windows-1251 rules: every occurrence counts.
    QCOMPARE(bar()->matchCount(), 5);
    QCOMPARE(bar()->statusLabel()->text(), QString::fromUtf8("Совпадений: 5"));
    QCOMPARE(editor_->scenarioView()->markRects().size(), 5);

    QTest::keyClick(bar()->findField(), Qt::Key_Return);  // from the caret on
    QCOMPARE(caretLine(), 2);
    QCOMPARE(selected(), QString::fromUtf8("лампа"));
    QTest::keyClick(bar()->findField(), Qt::Key_Return);
    QCOMPARE(caretLine(), 3);
    QTest::keyClick(bar()->findField(), Qt::Key_Return);
    QCOMPARE(caretLine(), 4);
    QTest::keyClick(bar()->findField(), Qt::Key_Return);  // round the end
    QCOMPARE(caretLine(), 0);
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("0"));
    QTest::keyClick(bar()->findField(), Qt::Key_Return, Qt::ShiftModifier);  // back round the start
    QCOMPARE(caretLine(), 4);
    QCOMPARE(selected(), QString::fromUtf8("Лампа"));

    bar()->wholeWordBox()->setChecked(true);  // not "лампада"
    QCOMPARE(bar()->matchCount(), 4);
    bar()->matchCaseBox()->setChecked(true);  // not "ЛАМПА" nor "Лампа"
    QCOMPARE(bar()->matchCount(), 2);
    QCOMPARE(editor_->scenarioView()->markRects().size(), 2);
    QVERIFY(bar()->findNext());
    QCOMPARE(caretLine(), 0);
    QVERIFY(bar()->findNext());
    QCOMPARE(caretLine(), 3);
    QVERIFY(bar()->findNext());
    QCOMPARE(caretLine(), 0);

    // A character the text cannot hold finds nothing (it is not taken for "?").
    editor_->document().replaceLine(4, "?");
    bar()->findField()->setText(QString::fromUtf8("л😀"));
    QCOMPARE(bar()->matchCount(), 0);
    QVERIFY(!bar()->findNext());
    QVERIFY(editor_->scenarioView()->markRects().isEmpty());

    // Esc closes the bar and its marks, not the window; the next Esc closes the window.
    bar()->findField()->setText(QString::fromUtf8("лампа"));
    QTest::keyClick(bar()->findField(), Qt::Key_Escape);
    QVERIFY(bar()->isHidden());
    QVERIFY(editor_->isVisible());
    QVERIFY(editor_->scenarioView()->markRects().isEmpty());
    QCOMPARE(QApplication::focusWidget(), editor_->scenarioView());
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Escape);
    QVERIFY(!editor_->isVisible());
  }

  void replaceWorksOnTheDocumentInOneUndoStep() {
    const auto before = w({"GOTO лес", "!Лес шумит, лесник спит.", "GOTO ЛЕС", "TALK лес"});
    editor_->document().setLines(before);
    showEditor();
    // The selection on one line is what Ctrl+H offers to find.
    QTextCursor word(editor_->scenarioView()->document()->findBlockByNumber(0));
    word.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 5);
    word.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 3);
    editor_->scenarioView()->setTextCursor(word);
    QTest::keyClick(editor_->scenarioView(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(bar()->replaceRow()->isVisible());
    QCOMPARE(bar()->findField()->text(), QString::fromUtf8("лес"));
    bar()->wholeWordBox()->setChecked(true);
    bar()->replaceField()->setText(QString::fromUtf8("бор"));

    // Enter in the replace field replaces the selected match and selects the next.
    bar()->replaceField()->setFocus();
    QTest::keyClick(bar()->replaceField(), Qt::Key_Return);
    QCOMPARE(editor_->document().line(0), w("GOTO бор"));
    QCOMPARE(caretLine(), 1);
    QCOMPARE(selected(), QString::fromUtf8("Лес"));
    editor_->scenarioView()->undo();
    QCOMPARE(editor_->document().lines(), before);

    QCOMPARE(bar()->replaceAll(), 4);
    QCOMPARE(editor_->document().lines(), w({"GOTO бор", "!бор шумит, лесник спит.", "GOTO бор", "TALK бор"}));
    QCOMPARE(bar()->statusLabel()->text(), QString::fromUtf8("Заменено: 4"));
    QVERIFY(editor_->scenarioView()->document()->isModified());
    editor_->scenarioView()->undo();  // one step brings every line back
    QCOMPARE(editor_->document().lines(), before);

    // What Windows-1251 cannot hold goes in as "?", as it would be saved.
    bar()->wholeWordBox()->setChecked(false);
    bar()->findField()->setText(QStringLiteral("TALK"));
    bar()->replaceField()->setText(QString::fromUtf8("TALK✓"));
    QCOMPARE(bar()->replaceAll(), 1);
    QCOMPARE(editor_->document().line(3), w("TALK? лес"));
    QCOMPARE(bar()->replaceAll(), 1);  // "TALK" is still there, the replacement is not searched again
    QCOMPARE(editor_->document().line(3), w("TALK?? лес"));
  }

  // The problems list, the gutter and Go to line count from 1; the Part's indicator counts from 0
  // and its note gives the number from 1, so the two numbers are never read as the same.
  void lineNumbersAgreeBetweenProblemsGoToAndIndicator() {
    auto lines = numberedLines(150, "! text ");
    lines[97] = "GOTO nowhere";
    lines[0] = ":start";
    editor_->document().setLines(lines);
    showEditor();
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("0"));
    QVERIFY(editor_->lineNumberNote()->text().contains(QString::fromUtf8("№ 1")));
    editor_->checkScenario();
    const auto problems = editor_->problemsPanel()->problems();
    QVERIFY(!problems.isEmpty());
    int at98 = 0;
    for (const auto& p : problems)
      if (p.inScenario && p.line == 98) ++at98;
    QVERIFY(at98 > 0);
    QList<marvo::Problem> target;
    for (const auto& p : problems)
      if (p.line == 98) target.append(p);
    emit editor_->problemsPanel()->problemActivated(target[0]);
    QCOMPARE(caretLine(), 97);
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("97"));
    QVERIFY(editor_->lineNumberNote()->text().contains(QString::fromUtf8("№ 98")));

    QTest::keyClick(editor_->scenarioView(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(editor_->goToLineBar()->isVisible());
    QCOMPARE(editor_->goToLineBar()->lineField()->text(), QStringLiteral("98"));
    editor_->goToLineBar()->lineField()->setText(QStringLiteral("12"));
    QTest::keyClick(editor_->goToLineBar()->lineField(), Qt::Key_Return);
    QCOMPARE(caretLine(), 11);
    QVERIFY(editor_->goToLineBar()->isHidden());
    QCOMPARE(QApplication::focusWidget(), editor_->scenarioView());
    QCOMPARE(editor_->lineIndicator()->text(), QStringLiteral("11"));
    editor_->searchField()->setFocus();  // Ctrl+G works wherever the focus is; beyond the end: the last line
    QTest::keyClick(editor_->searchField(), Qt::Key_G, Qt::ControlModifier);
    editor_->goToLineBar()->lineField()->setText(QStringLiteral("9999"));
    QTest::keyClick(editor_->goToLineBar()->lineField(), Qt::Key_Return);
    QCOMPARE(caretLine(), editor_->scenarioView()->document()->blockCount() - 1);

    // The gutter stands beside the text and makes room for it.
    QVERIFY(editor_->scenarioView()->lineNumberGutter()->isVisible());
    QVERIFY(editor_->scenarioView()->viewport()->geometry().left() >= editor_->scenarioView()->gutterWidth());
  }

  void problemMessagesShowOverTheUnderlinedText() {
    editor_->document().setLines(w({":start", "GOTO нигде", "!Текст", "READ", ":common", "RETURN"}));
    showEditor();
    editor_->checkScenario();
    marvo::CodeView* view = editor_->scenarioView();
    QString message;
    for (const auto& p : editor_->problemsPanel()->problems())
      if (p.inScenario && p.line == 2) message = p.text;
    QVERIFY(!message.isEmpty());
    const QRect goTo = view->cursorRect(QTextCursor(view->document()->findBlockByNumber(1)));
    const QPoint overText(goTo.right() + 10, goTo.center().y());
    QVERIFY(view->problemTextAt(overText).contains(message));
    QVERIFY(view->problemTextAt(overText).startsWith(QString::fromUtf8("Ошибка: ")));
    QVERIFY(view->problemTextAt(QPoint(view->viewport()->width() - 5, goTo.center().y())).isEmpty());
    const QRect text = view->cursorRect(QTextCursor(view->document()->findBlockByNumber(2)));
    QVERIFY(view->problemTextAt(QPoint(text.right() + 10, text.center().y())).isEmpty());
    QHelpEvent hover(QEvent::ToolTip, overText, view->viewport()->mapToGlobal(overText));
    QApplication::sendEvent(view->viewport(), &hover);
    QVERIFY(QToolTip::text().contains(message));
  }

  void contextMenuEditsTheText() {
    editor_->document().setLines(w({"первая", "вторая"}));
    showEditor();
    marvo::CodeView* view = editor_->scenarioView();
    emit editor_->contextMenu()->aboutToShow();
    QVERIFY(!editor_->undoAction()->isEnabled());
    QVERIFY(!editor_->copyAction()->isEnabled());
    QTextCursor word(view->document()->findBlockByNumber(1));
    word.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    view->setTextCursor(word);
    emit editor_->contextMenu()->aboutToShow();
    QVERIFY(editor_->cutAction()->isEnabled());
    editor_->cutAction()->trigger();
    QCOMPARE(editor_->document().line(1), "");
    placeCaret(view, 0, 0);
    emit editor_->contextMenu()->aboutToShow();
    QVERIFY(editor_->pasteAction()->isEnabled());
    editor_->pasteAction()->trigger();
    QCOMPARE(editor_->document().line(0), w("втораяпервая"));
    emit editor_->contextMenu()->aboutToShow();
    QVERIFY(editor_->undoAction()->isEnabled());
    editor_->undoAction()->trigger();
    editor_->undoAction()->trigger();
    QCOMPARE(editor_->document().lines(), w({"первая", "вторая"}));
    emit editor_->contextMenu()->aboutToShow();
    QVERIFY(editor_->redoAction()->isEnabled());
    editor_->redoAction()->trigger();
    QCOMPARE(editor_->document().line(1), "");
  }

  void zoomIsRememberedAndBounded() {
    showEditor();
    marvo::CodeView* view = editor_->scenarioView();
    const qreal base = view->font().pointSizeF();
    QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(view->font().pointSizeF(), base + 2);
    QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(view->zoomSteps(), 1);
    QWheelEvent wheel(QPointF(20, 20), view->viewport()->mapToGlobal(QPointF(20, 20)), {}, QPoint(0, 240), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    QCOMPARE(view->zoomSteps(), 3);
    QCOMPARE(view->font().pointSizeF(), base + 3);
    // From the find bar too.
    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(editor_->findBar()->findField(), Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(view->zoomSteps(), 4);
    QTest::keyClick(editor_->findBar()->findField(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(view->zoomSteps(), 3);

    // A view built later (the library editor, the next start) takes the remembered size.
    marvo::LibraryEditorWindow library(*dialogs_);
    QCOMPARE(library.libraryView()->zoomSteps(), 3);
    QCOMPARE(library.libraryView()->font().pointSizeF(), base + 3);

    for (int i = 0; i < 200; ++i) view->zoomBy(-1);
    QCOMPARE(view->font().pointSizeF(), qreal(marvo::CodeView::kSmallestPointSize));
    QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(view->font().pointSizeF(), base);
    QCOMPARE(QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")).value(QStringLiteral("editor/zoom")).toInt(),
             0);
  }

  // Ctrl+= zooms and types nothing: the "=" step of the property list does not see it.
  void ctrlEqualsIsNoTypedEquals() {
    editor_->document().setLines(w({"CREATE Lamp", ":loc1", ""}));
    showEditor();
    placeCaret(editor_->scenarioView(), 2, 0);
    typeText(editor_->scenarioView(), "lamp_");
    QVERIFY(editor_->propertyPopup()->isVisible());
    QTest::sendKeyEvent(QTest::Click, editor_->propertyPopup(), Qt::Key_unknown, QString::fromUtf8("Ц"),
                        Qt::NoModifier);
    typeText(editor_->scenarioView(), "Цвет");
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(editor_->scenarioView()->zoomSteps(), 1);
    QCOMPARE(editor_->propertyPopup()->count(), 15);
    typeText(editor_->scenarioView(), "=");
    QCOMPARE(editor_->propertyPopup()->count(), 16);
    QCOMPARE(editor_->document().line(2), w("lamp_Цвет="));
  }

  // The colours follow the background's lightness and read well on light and dark themes alike.
  void coloursAreReadableOnLightAndDarkBackgrounds_data() {
    QTest::addColumn<QColor>("base");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<bool>("dark");
    QTest::newRow("white") << QColor(Qt::white) << QColor(Qt::black) << false;
    QTest::newRow("light grey") << QColor(0xEF, 0xF0, 0xF1) << QColor(0x23, 0x26, 0x29) << false;
    QTest::newRow("black") << QColor(Qt::black) << QColor(Qt::white) << true;
    QTest::newRow("dark grey") << QColor(0x23, 0x26, 0x29) << QColor(0xEF, 0xF0, 0xF1) << true;
    QTest::newRow("mid dark grey") << QColor(0x3C, 0x3F, 0x41) << QColor(0xBB, 0xBB, 0xBB) << true;
  }
  void coloursAreReadableOnLightAndDarkBackgrounds() {
    QFETCH(QColor, base);
    QFETCH(QColor, text);
    QFETCH(bool, dark);
    editor_->document().setLines(w({":start", "GOTO start", "!Текст", "* comment", "@Меню", "TALK север"}));
    showEditor();
    editor_->scenarioView()->setPalette(withBase(base, text));
    QCOMPARE(editor_->scenarioView()->darkBackground(), dark);
    const QTextDocument* doc = editor_->scenarioView()->document();
    for (int line = 0; line < 6; ++line) {
      const auto ranges = doc->findBlockByNumber(line).layout()->formats();
      QVERIFY(!ranges.isEmpty());
      for (const auto& range : ranges) {
        const QColor colour = range.format.foreground().color();
        QVERIFY2(contrast(colour, base) >= 4.5,
                 qPrintable(QStringLiteral("line %1: %2 on %3").arg(line).arg(colour.name(), base.name())));
      }
    }
    // The library editor colours its text the same way.
    marvo::LibraryEditorWindow library(*dialogs_);
    library.setLibraryText(marvo::fromQt(QStringLiteral(":lib\r\nTALK осмотреть <object>\r\n")));
    library.libraryView()->setPalette(withBase(base, text));
    library.show();
    QVERIFY(QTest::qWaitForWindowExposed(&library));
    const auto label = library.libraryView()->document()->firstBlock().layout()->formats();
    QCOMPARE(label.size(), 1);
    QVERIFY(contrast(label[0].format.foreground().color(), base) >= 4.5);
    QVERIFY(label[0].format.fontWeight() == QFont::Bold);
    QVERIFY(!library.libraryView()->document()->isModified());
  }

  void libraryIndicatorCountsFromOne() {
    marvo::LibraryEditorWindow library(*dialogs_);
    library.setLibraryText(marvo::fromQt(QStringLiteral("a\r\nb\r\nc")));
    library.show();
    QVERIFY(QTest::qWaitForWindowExposed(&library));
    QCOMPARE(library.lineIndicator()->text(), QString::fromUtf8("Строка 1 из 3"));
    QTest::keyClick(library.libraryView(), Qt::Key_Down);
    QCOMPARE(library.lineIndicator()->text(), QString::fromUtf8("Строка 2 из 3"));
    placeCaret(library.libraryView(), 2, 1);  // a click, too
    QTest::keyClick(library.libraryView(), Qt::Key_Return);
    QCOMPARE(library.lineIndicator()->text(), QString::fromUtf8("Строка 4 из 4"));
    QVERIFY(library.libraryView()->lineNumberGutter()->isVisible());
  }
};

QTEST_MAIN(EditingWindowTest)
#include "editing_window_test.moc"
