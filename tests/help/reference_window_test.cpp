// The reference window (offscreen): pages, links, back and forward, search; F1 and Shift+F1 reach it.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <memory>

#include "editor/code_editor_window.h"
#include "engine/codec.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "help/reference_topics.h"
#include "help/reference_window.h"
#include "tests/player/window_fixture.h"
#include "tests/support/private_settings.h"

class ReferenceWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnTheContentsWithEveryPageListed() {
    marvo::ReferenceWindow window;
    QCOMPARE(window.currentPage(), QStringLiteral("README.md"));
    QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Справочник по языку Marvo IF")));
    QCOMPARE(window.contentsList()->count(), 29);
    for (int i = 0; i < window.contentsList()->count(); ++i) {
      const QString file = window.contentsList()->item(i)->data(Qt::UserRole).toString();
      QVERIFY2(!marvo::ReferenceWindow::pageText(file).isEmpty(), qPrintable(file));
    }
    QVERIFY(!window.backButton()->isEnabled());
  }

  void showsMarkdownAndFollowsLinksBackAndForward() {
    marvo::ReferenceWindow window;
    window.showPage(QStringLiteral("talk.md"));
    QCOMPARE(window.currentPage(), QStringLiteral("talk.md"));
    // Rendered, not the source: the heading has no "#" and the table of contents row is selected.
    QVERIFY(window.browser()->toPlainText().startsWith(QStringLiteral("TALK, REDO и образцы команд")));
    QCOMPARE(window.contentsList()->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("talk.md"));
    emit window.browser()->anchorClicked(QUrl(QStringLiteral("library.md")));
    QCOMPARE(window.currentPage(), QStringLiteral("library.md"));
    QVERIFY(window.backButton()->isEnabled());
    window.backButton()->click();
    QCOMPARE(window.currentPage(), QStringLiteral("talk.md"));
    QVERIFY(window.forwardButton()->isEnabled());
    window.forwardButton()->click();
    QCOMPARE(window.currentPage(), QStringLiteral("library.md"));
    window.showPage(QStringLiteral("no-such-page.md"));
    QCOMPARE(window.currentPage(), QStringLiteral("README.md"));
  }

  void searchFiltersTheContentsAndSelectsTheText() {
    marvo::ReferenceWindow window;
    QVERIFY(window.search(QStringLiteral("зациклился")));
    int shown = 0;
    for (int i = 0; i < window.contentsList()->count(); ++i)
      shown += window.contentsList()->item(i)->isHidden() ? 0 : 1;
    QVERIFY(shown >= 1 && shown < window.contentsList()->count());
    QCOMPARE(window.browser()->textCursor().selectedText().toLower(), QStringLiteral("зациклился"));
    QVERIFY(window.searchStatus()->isHidden());
    QVERIFY(!window.search(QStringLiteral("такого текста в справочнике нет")));
    QVERIFY(!window.searchStatus()->isHidden());
    QVERIFY(
        window.searchStatus()->text().contains(QStringLiteral("Ничего не найдено: «такого текста в справочнике нет»")));
    QVERIFY(window.search(QString()));
    QVERIFY(window.searchStatus()->isHidden());
    for (int i = 0; i < window.contentsList()->count(); ++i) QVERIFY(!window.contentsList()->item(i)->isHidden());
  }

  void helpInTheMainWindowOpensTheReferenceAndTheHelpFileOnlyWhenItExists() {
    window_test::Windows w;
    int opened = 0;
    QList<QUrl> handed;
    connect(w.mainWindow.get(), &marvo::MainWindow::referenceRequested, this, [&] { ++opened; });
    connect(w.mainWindow.get(), &marvo::MainWindow::documentRequested, this,
            [&](const QUrl& url) { handed.append(url); });
    w.mainWindow->helpAction()->trigger();
    QCOMPARE(opened, 1);
    QVERIFY(handed.isEmpty());
    window_test::writeCp1251(w.path(QStringLiteral("marvohlp.hlp")), {});
    w.mainWindow->helpAction()->trigger();
    QCOMPARE(opened, 2);
    QCOMPARE(handed, QList<QUrl>{QUrl::fromLocalFile(w.path(QStringLiteral("marvohlp.hlp")))});
  }

  void shiftF1InTheCodeEditorAsksForTheWordUnderTheCaret() {
    marvo::ScriptedDialogs dialogs;
    marvo::ScenarioDocument document;
    marvo::CodeEditorWindow editor(document, dialogs);
    editor.document().setLines({marvo::utf8ToCp1251(":сад"), marvo::utf8ToCp1251("  GOTO дом"), "READ"});
    std::string askedLine;
    int askedColumn = -1;
    connect(&editor, &marvo::CodeEditorWindow::referenceRequested, this, [&](const std::string& line, int column) {
      askedLine = line;
      askedColumn = column;
    });
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QTextCursor cursor(editor.scenarioView()->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 4);
    editor.scenarioView()->setTextCursor(cursor);
    QTest::keyClick(editor.scenarioView(), Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(askedLine, marvo::utf8ToCp1251("  GOTO дом"));
    QCOMPARE(askedColumn, 4);
    QCOMPARE(QString::fromStdString(marvo::referencePageFor(askedLine, askedColumn)), QStringLiteral("goto.md"));
    QCOMPARE(editor.document().lineCount(), 3);  // plain F1 is untouched: it toggles the common location
    askedColumn = -1;
    QTest::keyClick(editor.scenarioView(), Qt::Key_F1);
    QCOMPARE(askedColumn, -1);
    QCOMPARE(editor.document().lineCount(), 8);  // a text without ":common" gets one
    // The property list explains its built-in items in a one-line hint.
    QVERIFY(editor.propertyPopup()->item(2)->toolTip().contains(QStringLiteral("игрок называет предмет")));
  }
};

int main(int argc, char** argv) {
  marvo::test::usePrivateSettings();
  marvo::Application app(argc, argv);
  ReferenceWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "reference_window_test.moc"
