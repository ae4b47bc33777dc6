// The code editor's navigation: F12 and Ctrl+click, the references list, rename as one undo step,
// the outline, and the story map wired both ways (click on a box -> caret, caret -> selection).
#include <QAction>
#include <QGraphicsView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTreeWidget>
#include <memory>

#include "editor/code_editor_window.h"
#include "editor/outline_panel.h"
#include "editor/references_panel.h"
#include "editor/walkthrough_panel.h"
#include "editor_window_fixture.h"
#include "game/scenario_file.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "storymap/story_map_window.h"
#include "tests/support/private_settings.h"

class NavigationWindowTest : public QObject {
  Q_OBJECT

 public:
  static void initMain() { marvo::test::usePrivateSettings(); }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs_;
  std::unique_ptr<marvo::ScenarioDocument> document_;
  std::unique_ptr<marvo::CodeEditorWindow> editor_;

  QPlainTextEdit* view() const { return editor_->scenarioView(); }
  int caretLine() const { return view()->textCursor().blockNumber(); }
  void show() {
    editor_->show();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
  }
  static std::vector<std::string> gameFile(const char* name) {
    return marvo::readScenarioFile(std::string(MARVO_SOURCE_DIR) + "/games/" + name).lines;
  }

 private slots:
  void init() {
    dialogs_ = std::make_unique<marvo::ScriptedDialogs>();
    document_ = std::make_unique<marvo::ScenarioDocument>();
    editor_ = std::make_unique<marvo::CodeEditorWindow>(*document_, *dialogs_);
    document_->setLines(
        w({":start", "x=1", "GOTO hall", "READ", ":hall", "x=x+1", "btn [Back] start", "READ", ":common", "RETURN"}));
  }
  void cleanup() {
    editor_.reset();
    document_.reset();
    dialogs_.reset();
  }

  void f12AndCtrlClickGoToTheDefinition() {
    show();
    placeCaret(view(), 2, 6);  // on "hall"
    QTest::keyClick(view(), Qt::Key_F12);
    QCOMPARE(caretLine(), 4);
    QCOMPARE(view()->textCursor().positionInBlock(), 1);  // at the name, after ":"

    // Ctrl+click on "x" of "x=x+1" goes to "x=1".
    const QRect x = view()->cursorRect(QTextCursor(view()->document()->findBlockByNumber(5)));
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::ControlModifier, x.center() + QPoint(2, 0));
    QCOMPARE(caretLine(), 1);

    // On a keyword there is nothing to go to: the caret stays, a message says why.
    placeCaret(view(), 3, 1);
    QTest::keyClick(view(), Qt::Key_F12);
    QCOMPARE(caretLine(), 3);
    QCOMPARE(dialogs_->messages.size(), 1);
  }

  void referencesAreListedAndEnterJumps() {
    show();
    placeCaret(view(), 0, 2);
    QTest::keyClick(view(), Qt::Key_F12, Qt::ShiftModifier);
    auto* panel = editor_->referencesPanel();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->references().size(), 2);
    QCOMPARE(panel->references()[0].line, 1);
    QCOMPARE(panel->references()[1].line, 7);
    QCOMPARE(panel->references()[1].text, QStringLiteral("btn [Back] start"));
    panel->list()->setCurrentItem(panel->list()->topLevelItem(1));
    QTest::keyClick(panel->list(), Qt::Key_Return);
    QCOMPARE(caretLine(), 6);
  }

  void renameChangesEveryUseAsOneUndoStepAndRefusesCollisions() {
    show();
    const auto before = document_->lines();
    placeCaret(view(), 6, 13);  // "start" in the btn line
    QTest::keyClick(view(), Qt::Key_F2);
    QVERIFY(editor_->renameBar()->isVisible());
    QCOMPARE(editor_->renameBar()->nameField()->text(), QStringLiteral("start"));
    editor_->renameBar()->nameField()->setText(QStringLiteral("Вход"));
    QTest::keyClick(editor_->renameBar()->nameField(), Qt::Key_Return);
    QVERIFY(!editor_->renameBar()->isVisible());
    QCOMPARE(document_->line(0), w(":Вход"));
    QCOMPARE(document_->line(6), w("btn [Back] Вход"));
    QVERIFY(dialogs_->messages.isEmpty());
    view()->undo();
    QCOMPARE(document_->lines(), before);

    placeCaret(view(), 0, 2);
    QVERIFY(!editor_->renameSymbol(QStringLiteral("HALL")).isEmpty());
    QVERIFY(!editor_->renameSymbol(QStringLiteral("btnx")).isEmpty());
    QCOMPARE(dialogs_->messages.size(), 2);
    QCOMPARE(document_->lines(), before);
  }

  void outlineFiltersAndJumps() {
    show();
    auto* outline = editor_->outlinePanel();
    QTRY_COMPARE(outline->list()->count(), 3);
    outline->filterField()->setText(QStringLiteral("HAL"));
    QCOMPARE(outline->list()->count(), 1);
    QTest::keyClick(outline->filterField(), Qt::Key_Return);
    QCOMPARE(caretLine(), 4);
    // A new location shows up a moment after it is typed.
    outline->filterField()->clear();
    document_->appendLine(":hallway");
    QTRY_COMPARE(outline->list()->count(), 4);
  }

  void contextMenuOffersTheCommandsWithTheirKeys() {
    QStringList captions;
    for (QAction* action : editor_->contextMenu()->actions())
      if (!action->isSeparator()) captions << action->text() + QLatin1Char(' ') + action->shortcut().toString();
    for (const char* item : {"Перейти к определению F12", "Найти использования Shift+F12", "Переименовать... F2",
                             "Карта сюжета Ctrl+M", "Дерево прохождений Ctrl+T"})
      QVERIFY2(captions.contains(QString::fromUtf8(item)), item);
    editor_->storyMapAction()->trigger();
    QVERIFY(editor_->storyMap() && editor_->storyMap()->isVisible());
    // Ctrl+T asks for the play tree wherever the focus is in the window.
    int treeRequests = 0;
    connect(editor_.get(), &marvo::CodeEditorWindow::playTreeRequested, this, [&] { ++treeRequests; });
    show();
    QTest::keyClick(view(), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(treeRequests, 1);
  }

  void storyMapClickMovesTheCaretAndTheCaretSelects() {
    document_->setLines(gameFile("mayak.scn"));
    editor_->setLibrarySource([] { return gameFile("marvo.lib"); });
    show();
    QTest::keyClick(view(), Qt::Key_M, Qt::ControlModifier);
    marvo::StoryMapWindow* map = editor_->storyMap();
    QVERIFY(map);
    QVERIFY(QTest::qWaitForWindowExposed(map));
    QTRY_VERIFY_WITH_TIMEOUT(!map->updating() && map->graph().nodes.size() == 21, 20000);

    const auto pier = map->locationCentre(QStringLiteral("причал"));
    QVERIFY(pier);
    map->view()->centerOn(*pier);
    QTest::mouseClick(map->view()->viewport(), Qt::LeftButton, {}, map->view()->mapFromScene(*pier));
    QCOMPARE(caretLine(), 91);  // the label line 92, counted from 1 on the map

    editor_->moveCaretToLine(149);  // inside ":деревня"
    QCOMPARE(map->selectedLocation(), QStringLiteral("деревня"));
  }

  void walkthroughRunShowsItsCoverageOnTheMap() {
    // The lighthouse game with its walkthrough beside it, as if opened from the games folder.
    document_->load(gameFile("mayak.scn"), QStringLiteral(MARVO_SOURCE_DIR "/games/mayak.scn"), true);
    editor_->setLibrarySource([] { return gameFile("marvo.lib"); });
    show();
    marvo::StoryMapWindow* map = editor_->openStoryMap();
    QTRY_VERIFY_WITH_TIMEOUT(!map->updating() && map->graph().nodes.size() == 21, 20000);
    QVERIFY(!map->statusText().contains(QStringLiteral("Пройдено")));
    editor_->runWalkthroughs();
    QTRY_VERIFY_WITH_TIMEOUT(!editor_->walkthroughPanel()->running(), 30000);
    QVERIFY2(map->statusText().contains(QStringLiteral("Пройдено прохождениями: ")), qPrintable(map->statusText()));
    QVERIFY2(!map->statusText().contains(QStringLiteral("прохождениями: 0 из")), qPrintable(map->statusText()));
  }
};

QTEST_MAIN(NavigationWindowTest)
#include "navigation_window_test.moc"
