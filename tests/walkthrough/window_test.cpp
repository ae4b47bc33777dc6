// The windows' walkthrough commands: "Save walkthrough..." in the main window, "Run walkthroughs"
// with its failures in the problems list, viewer and coverage shading in the code editor (offscreen).
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "editor/problems_panel.h"
#include "editor/walkthrough_panel.h"
#include "player/window_application.h"
#include "player/window_fixture.h"
#include "tests/support/private_settings.h"
#include "walkthrough/runner.h"

using window_test::Windows;

namespace {

const QStringList kGame = {
    QStringLiteral(":start"),
    QStringLiteral("@Комната.%"),
    QStringLiteral("TALK ждать"),
    QStringLiteral("!Вы ждёте."),
    QStringLiteral("REDO"),
    QStringLiteral("TALK петь"),
    QStringLiteral("!Вы поёте."),
    QStringLiteral("REDO"),
    QStringLiteral("READ"),
    QStringLiteral(":тайник"),
    QStringLiteral("!Сюда не попасть."),
    QStringLiteral("READ"),
};

void writeUtf8(const QString& path, const QString& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write fixture");
  file.write(text.toUtf8());
}

QString readUtf8(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

// The game opened from a file in a sub-folder with its two walkthroughs, one beside it and one in
// the folder named for it, and the walkthrough of another game beside it.
QString openGameWithWalkthroughs(Windows& w) {
  QDir(w.dir.path()).mkpath(QStringLiteral("game/game"));
  const QString scenario = w.path(QStringLiteral("game/game.scn"));
  window_test::writeCp1251(scenario, kGame);
  writeUtf8(w.path(QStringLiteral("game/game-good.walk")), QStringLiteral("* хорошо\n> ждать\nВы ждёте.\n"));
  writeUtf8(w.path(QStringLiteral("game/game/bad.walk")), QStringLiteral("* плохо\n> петь\nВы молчите.\n"));
  writeUtf8(w.path(QStringLiteral("game/other.walk")), QStringLiteral("* чужое\n> петь\nДругая игра.\n"));
  w.mainWindow->openScenario(scenario);
  return scenario;
}

bool runAndWait(Windows& w, const std::function<void()>& start) {
  QSignalSpy spy(w.codeEditor->walkthroughPanel(), &marvo::WalkthroughPanel::finished);
  start();
  return spy.wait(10000);
}

}  // namespace

class WalkthroughWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void saveWalkthroughWritesTheGameBesideTheScenario() {
    Windows w;
    const QString scenario = openGameWithWalkthroughs(w);
    for (const char* command : {"ждать", "петь"}) {
      w.mainWindow->commandLine()->setText(QString::fromUtf8(command));
      w.mainWindow->submitCommand();
    }
    const QString target = w.path(QStringLiteral("game/played.walk"));
    w.dialogs.fileAnswers.push_back(target);
    w.mainWindow->saveWalkthrough();
    QCOMPARE(w.dialogs.requests.size(), 1);
    QCOMPARE(w.dialogs.requests[0].defaultSuffix, QStringLiteral("walk"));
    QCOMPARE(w.dialogs.requests[0].initialName, w.path(QStringLiteral("game/game.walk")));
    QCOMPARE(readUtf8(target), QStringLiteral("* game\nКомната.\n> ждать\nВы ждёте.\n> петь\nВы поёте.\n"));
    QVERIFY(w.dialogs.messages.isEmpty());

    // Cancelling writes nothing; a file that cannot be written is reported, the old one kept.
    w.mainWindow->saveWalkthrough();
    w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("nowhere/x.walk")));
    w.mainWindow->saveWalkthrough();
    QCOMPARE(w.dialogs.messages.size(), 1);
    QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("x.walk")));
    QCOMPARE(w.mainWindow->saveWalkthroughAction()->text(), QStringLiteral("Save walkthrough..."));
    Q_UNUSED(scenario);
  }

  void runWalkthroughsListsFailuresAndOpensTheViewer() {
    Windows w;
    openGameWithWalkthroughs(w);
    // A second request while a run is under way is ignored.
    QVERIFY(runAndWait(w, [&] {
      w.codeEditor->runWalkthroughs();
      QVERIFY(w.codeEditor->walkthroughPanel()->running());
      w.codeEditor->runWalkthroughs();
    }));
    marvo::WalkthroughPanel* panel = w.codeEditor->walkthroughPanel();
    QVERIFY(!panel->running());
    const QList<marvo::Problem> problems = w.codeEditor->problemsPanel()->problems();
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems[0].source, w.path(QStringLiteral("game/game/bad.walk")));
    QCOMPARE(problems[0].line, 3);
    QCOMPARE(problems[0].text, QStringLiteral("> петь — ожидалось Вы молчите."));
    QVERIFY(!w.codeEditor->problemsPanel()->isHidden());
    QVERIFY(panel->summaryLabel()->text().contains(QStringLiteral("успешно 1, с ошибками 1")));

    // Activating the problem (double-click or Enter in the list) opens the viewer.
    emit w.codeEditor->problemsPanel()->problemActivated(problems[0]);
    QVERIFY(panel->viewer());
    QCOMPARE(panel->viewer()->expectedText()->toPlainText(), QStringLiteral("Вы молчите."));
    QCOMPARE(panel->viewer()->actualText()->toPlainText(), QStringLiteral(">петь\nВы поёте."));
    QVERIFY(panel->viewer()->walkthroughText()->toPlainText().contains(QStringLiteral("→ 3: Вы молчите.")));
    QVERIFY(panel->viewer()->walkthroughText()->isReadOnly());

    // Shading marks the location no walkthrough entered (lines 10 to 12).
    QVERIFY(w.codeEditor->scenarioView()->extraSelections().isEmpty());
    panel->coverageShadingBox()->setChecked(true);
    QList<int> shaded;
    for (const auto& mark : w.codeEditor->scenarioView()->extraSelections()) shaded << mark.cursor.blockNumber();
    QCOMPARE(shaded, (QList<int>{9, 10, 11}));
    panel->coverageShadingBox()->setChecked(false);
    QVERIFY(w.codeEditor->scenarioView()->extraSelections().isEmpty());
  }

  void runUsesTheEditorsTextAndCtrlF9() {
    Windows w;
    openGameWithWalkthroughs(w);
    auto lines = w.codeEditor->document().lines();
    lines[3] = marvo::fromQt(QStringLiteral("!Вы спите."));
    w.codeEditor->document().setLines(lines);
    w.codeEditor->show();
    QVERIFY(runAndWait(w, [&] { QTest::keyClick(w.codeEditor->scenarioView(), Qt::Key_F9, Qt::ControlModifier); }));
    QCOMPARE(w.codeEditor->problemsPanel()->problems().size(), 2);
    QVERIFY(w.codeEditor->isVisible());  // Ctrl+F9 is not F9: the editor stays open
    QVERIFY(w.codeEditor->contextMenu()->actions().contains(w.codeEditor->runWalkthroughsAction()));
    QCOMPARE(w.codeEditor->runWalkthroughsAction()->text(), QStringLiteral("Run walkthroughs"));
  }

  // The walkthroughs are those named for the text's file; a text without a file has none, and the
  // summary says how to name them.
  void runReadsTheWalkthroughsOfTheScenarioFile() {
    Windows w;
    w.setScenario(kGame);
    writeUtf8(w.path(QStringLiteral("here.walk")), QStringLiteral("* здесь\n> петь\nВы молчите.\n"));
    QVERIFY(runAndWait(w, [&] { w.codeEditor->runWalkthroughs(); }));
    QVERIFY(w.codeEditor->problemsPanel()->problems().isEmpty());
    QVERIFY(w.codeEditor->walkthroughPanel()->summaryLabel()->text().contains(QStringLiteral("не сохранён")));

    QDir(w.dir.path()).mkdir(QStringLiteral("saved"));
    w.dialogs.fileAnswers.push_back(w.path(QStringLiteral("saved/game.scn")));
    w.mainWindow->saveAsAction()->trigger();
    QVERIFY(runAndWait(w, [&] { w.codeEditor->runWalkthroughs(); }));
    QVERIFY(w.codeEditor->walkthroughPanel()->summaryLabel()->text().contains(QStringLiteral("game.walk")));

    writeUtf8(w.path(QStringLiteral("saved/game.walk")), QStringLiteral("* хорошо\n> ждать\nВы ждёте.\n"));
    QVERIFY(runAndWait(w, [&] { w.codeEditor->runWalkthroughs(); }));
    QVERIFY(w.codeEditor->problemsPanel()->problems().isEmpty());
    QVERIFY(
        w.codeEditor->walkthroughPanel()->summaryLabel()->text().contains(QStringLiteral("успешно 1, с ошибками 0")));
  }
};

int main(int argc, char** argv) {
  marvo::test::usePrivateSettings();
  marvo::Application app(argc, argv);
  WalkthroughWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
