// The author's text is never replaced or lost unasked: offers to save, undo of generated text,
// the modified flag, Save and plain-text Save as, backups, recent files, notes when opening.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTextDocument>

#include <QCheckBox>

#include "game/scenario_file.h"
#include "mapedit/map_editor_window.h"
#include "mapedit/map_grid_view.h"
#include "npc/dialogue_maker_window.h"
#include "object_placer/object_placer_window.h"
#include "window_fixture.h"

using window_test::Windows;

namespace {

constexpr int kYes = 0, kNo = 1, kCancel = 2;

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An edit of the author's, as typing would make it.
void edit(Windows& w, const char* line = "!правка") {
  w.codeEditor->document().appendLine(window_test::cp1251({QString::fromUtf8(line)})[0]);
}

// The real map editor over the test's code editor, asking the main window before an export.
std::unique_ptr<marvo::MapEditorWindow> mapEditor(Windows& w) {
  auto map = std::make_unique<marvo::MapEditorWindow>(w.document, w.dialogs);
  auto* model = map->mapGrid()->model();
  model->setData(model->index(0, 0), QStringLiteral("A"), Qt::EditRole);
  model->setData(model->index(0, 1), QStringLiteral("B"), Qt::EditRole);
  map->setCurrentCell(1, 1);
  return map;
}

}  // namespace

class WindowSafetyTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")).clear(); }
  void newAndOpenOfferToSaveOnlyWithUnsavedChanges();
  void cancelKeepsEverythingAndYesSavesFirst();
  void exportOffersToSaveSetsTheFlagAndIsOneUndoStep();
  void generatedObjectsAndDialoguesAreOneUndoStepEach();
  void saveKeepsTheFormatAndTheFileAndKeepsABackup();
  void recentFilesKeepTheLastEight();
  void openingReportsDroppedNulBytesAndConvertsUtf8();
};

void WindowSafetyTest::newAndOpenOfferToSaveOnlyWithUnsavedChanges() {
  Windows w;
  w.setScenario({QStringLiteral(":a"), QStringLiteral("READ")});
  w.mainWindow->newScenario();  // a text just loaded has no unsaved changes
  QVERIFY(w.dialogs.questions.isEmpty());
  QCOMPARE(w.codeEditor->document().lineCount(), 0);

  edit(w);
  QVERIFY(w.document.hasUnsavedChanges());
  w.dialogs.choiceAnswers = {kNo};
  w.mainWindow->newScenario();
  QCOMPARE(w.dialogs.questions.size(), 1);
  QCOMPARE(w.codeEditor->document().lineCount(), 0);

  const QString other = w.path(QStringLiteral("other.scn"));
  window_test::writeCp1251(other, {QStringLiteral(":b"), QStringLiteral("READ")});
  edit(w);
  w.dialogs.choiceAnswers = {kNo};
  w.dialogs.fileAnswers = {other};
  w.mainWindow->openFile();
  QCOMPARE(w.dialogs.questions.size(), 2);
  QCOMPARE(w.codeEditor->document().line(0), std::string(":b"));
}

void WindowSafetyTest::cancelKeepsEverythingAndYesSavesFirst() {
  Windows w;
  edit(w);
  const auto before = w.codeEditor->document().lines();
  for (int answer : {kCancel, -1}) {  // Cancel, or the box closed by Esc
    w.dialogs.choiceAnswers = {answer};
    w.mainWindow->newScenario();
    w.dialogs.choiceAnswers = {answer};
    w.mainWindow->openFile();
  }
  QCOMPARE(w.codeEditor->document().lines(), before);
  QVERIFY(w.dialogs.requests.isEmpty());  // no open dialog was shown
  QVERIFY(w.document.hasUnsavedChanges());

  // Yes: the unnamed text goes through "Save as..." first; cancelling that cancels the New.
  w.dialogs.choiceAnswers = {kYes};
  w.mainWindow->newScenario();
  QCOMPARE(w.codeEditor->document().lines(), before);
  const QString target = w.path(QStringLiteral("first.scn"));
  w.dialogs.choiceAnswers = {kYes};
  w.dialogs.fileAnswers = {target};
  w.mainWindow->newScenario();
  QCOMPARE(w.codeEditor->document().lineCount(), 0);
  QCOMPARE(marvo::readScenarioFile(QFile::encodeName(target).toStdString()).lines, before);
  QVERIFY(!w.document.modified());
}

void WindowSafetyTest::exportOffersToSaveSetsTheFlagAndIsOneUndoStep() {
  Windows w;
  auto map = mapEditor(w);
  const auto before = w.codeEditor->document().lines();
  QVERIFY(!w.document.modified());
  map->exportToScenario();  // no unsaved changes: no question
  QVERIFY(w.dialogs.questions.isEmpty());
  QCOMPARE(w.codeEditor->document().line(0), std::string("goto A101"));
  QVERIFY(w.document.modified());  // without the code editor ever shown
  w.dialogs.choiceAnswers = {kYes};
  w.mainWindow->exitAction()->trigger();  // so "Exit" offers to save the exported scenario
  QCOMPARE(w.dialogs.questions.size(), 1);
  QCOMPARE(w.dialogs.requests.size(), 1);  // the save dialog, cancelled: the program goes on
  QCOMPARE(w.exitCalls, 0);
  w.dialogs.questions.clear();

  const auto exported = w.codeEditor->document().lines();
  w.codeEditor->scenarioView()->document()->undo();
  QCOMPARE(w.codeEditor->document().lines(), before);
  w.codeEditor->scenarioView()->document()->redo();
  QCOMPARE(w.codeEditor->document().lines(), exported);

  // Unsaved changes and Cancel: the export changes nothing.
  edit(w);
  const auto edited = w.codeEditor->document().lines();
  w.dialogs.choiceAnswers = {kCancel};
  w.dialogs.messages.clear();
  map->exportToScenario();
  QCOMPARE(w.dialogs.questions.size(), 1);
  QCOMPARE(w.codeEditor->document().lines(), edited);
  QVERIFY(!w.dialogs.messages.contains(QStringLiteral("Export map OK")));
}

void WindowSafetyTest::generatedObjectsAndDialoguesAreOneUndoStepEach() {
  Windows w;
  w.setScenario({QStringLiteral(":loc1"), QStringLiteral("READ"), QStringLiteral(":common"), QStringLiteral("RETURN")});
  const auto before = w.codeEditor->document().lines();
  marvo::ObjectPlacerWindow placer(w.document, w.dialogs);
  placer.addTaskBox()->setChecked(true);  // the container task too: two insertions
  placer.createObject();
  QVERIFY(w.codeEditor->document().lineCount() > static_cast<int>(before.size()) + 5);
  QVERIFY(w.document.modified());
  w.codeEditor->scenarioView()->document()->undo();
  QCOMPARE(w.codeEditor->document().lines(), before);

  marvo::DialogueMakerWindow maker(w.document, w.dialogs);
  maker.setTree({{0, "a"}, {1, "b"}});
  maker.createDialogue();
  QVERIFY(w.codeEditor->document().lineCount() > static_cast<int>(before.size()) + 3);
  w.codeEditor->scenarioView()->document()->undo();
  QCOMPARE(w.codeEditor->document().lines(), before);
}

void WindowSafetyTest::saveKeepsTheFormatAndTheFileAndKeepsABackup() {
  Windows w;
  QCOMPARE(w.mainWindow->saveAction()->shortcut(), QKeySequence(Qt::Key_F2));
  QCOMPARE(w.mainWindow->saveAsAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  const QString plain = w.path(QStringLiteral("plain.scn"));
  window_test::writeCp1251(plain, {QStringLiteral(":a"), QStringLiteral("!Привет"), QStringLiteral("READ")});
  const QByteArray original = fileBytes(plain);
  w.mainWindow->openScenario(plain);
  edit(w, "!ещё");

  // "Save" writes back without a dialog, as plain text with CR LF, keeping the old file as .bak.
  w.mainWindow->saveAction()->trigger();
  QVERIFY(w.dialogs.requests.isEmpty());
  QCOMPARE(fileBytes(plain), original + QByteArray("!\xE5\xF9\xB8\r\n"));
  QCOMPARE(fileBytes(plain + QStringLiteral(".bak")), original);
  QVERIFY(!w.document.modified());
  QVERIFY(!w.document.hasUnsavedChanges());

  // "Save as..." proposes plain text for it; choosing RTF writes RTF, and "Save" then keeps RTF.
  const QString rtf = w.path(QStringLiteral("rich.scn"));
  w.dialogs.fileAnswers = {rtf};
  w.dialogs.typeAnswers = {0};
  w.mainWindow->saveAsAction()->trigger();
  QCOMPARE(w.dialogs.initialTypes.last(), 1);
  QVERIFY(fileBytes(rtf).startsWith("{\\rtf"));
  QVERIFY(!QFile::exists(rtf + QStringLiteral(".bak")));  // nothing was replaced
  edit(w);
  w.mainWindow->saveAction()->trigger();
  QVERIFY(fileBytes(rtf).startsWith("{\\rtf"));
  QVERIFY(fileBytes(rtf + QStringLiteral(".bak")).startsWith("{\\rtf"));
  QCOMPARE(w.document.path(), rtf);
  w.dialogs.fileAnswers = {w.path(QStringLiteral("again.scn"))};
  w.mainWindow->saveAsAction()->trigger();
  QCOMPARE(w.dialogs.initialTypes.last(), 0);  // an RTF scenario proposes RTF

  // Without a file (after New), "Save" asks for one.
  w.mainWindow->newScenario();
  w.mainWindow->saveAction()->trigger();
  QCOMPARE(w.dialogs.requests.size(), 3);
}

void WindowSafetyTest::recentFilesKeepTheLastEight() {
  Windows w;
  QVERIFY(!w.mainWindow->recentFilesMenu()->isEnabled());
  QStringList names;
  for (int i = 0; i < 10; ++i) {
    names.append(w.path(QStringLiteral("game%1.scn").arg(i)));
    window_test::writeCp1251(names.last(), {QStringLiteral(":l%1").arg(i), QStringLiteral("READ")});
    w.mainWindow->openScenario(names.last());
  }
  const auto items = w.mainWindow->recentFilesMenu()->actions();
  QCOMPARE(items.size(), marvo::MainWindow::kRecentFiles);
  QCOMPARE(items.first()->text(), names[9]);
  QCOMPARE(items.last()->text(), names[2]);
  items.last()->trigger();
  QCOMPARE(w.codeEditor->document().line(0), std::string(":l2"));
  QCOMPARE(w.mainWindow->recentFilesMenu()->actions().first()->text(), names[2]);
}

void WindowSafetyTest::openingReportsDroppedNulBytesAndConvertsUtf8() {
  Windows w;
  const QString nul = w.path(QStringLiteral("nul.scn"));
  QFile file(nul);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(":a\r\n!b\0c\r\nREAD\r\n", 15));
  file.close();
  w.mainWindow->openScenario(nul);
  QCOMPARE(w.codeEditor->document().lineCount(), 3);
  QCOMPARE(w.codeEditor->document().line(1), std::string("!bc"));
  QCOMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].startsWith(nul + QStringLiteral(":2: ")));

  const QString utf8 = w.path(QStringLiteral("utf8.scn"));
  QFile text(utf8);
  QVERIFY(text.open(QIODevice::WriteOnly));
  text.write(QStringLiteral(":a\n!Привет\nREAD\n").toUtf8());
  text.close();
  w.mainWindow->openScenario(utf8);
  QCOMPARE(w.mainWindow->outputLines(), QStringList{QStringLiteral("Привет")});
}

QObject* makeWindowSafetyTest() { return new WindowSafetyTest; }

#include "window_safety_test.moc"
