// Qt tests of the story map window: a click on a box and a double-click on an edge say which line,
// following the caret selects the location, typing updates the map, a dragged box is saved beside
// the scenario, coverage and export.
#include <QGraphicsView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/file_io.h"
#include "game/scenario_file.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "storymap/sidecar.h"
#include "storymap/story_map_window.h"

class StoryMapWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs;
  std::unique_ptr<marvo::ScenarioDocument> document;
  std::unique_ptr<marvo::StoryMapWindow> window;
  QTemporaryDir dir;

  static std::vector<std::string> gameFile(const char* name) {
    return marvo::readScenarioFile(std::string(MARVO_SOURCE_DIR) + "/games/" + name).lines;
  }

  // Loads the lighthouse game as if opened from `path` and waits for its map.
  void openMayak(const QString& path = {}) {
    document->load(gameFile("mayak.scn"), path, true);
    window->setLibrary(gameFile("marvo.lib"));
    window->refresh();
    QTRY_VERIFY_WITH_TIMEOUT(!window->updating() && window->graph().nodes.size() == 21, 10000);
  }

  QPoint onView(QPointF scenePoint) { return window->view()->mapFromScene(scenePoint); }

 private slots:
  void init() {
    dialogs = std::make_unique<marvo::ScriptedDialogs>();
    document = std::make_unique<marvo::ScenarioDocument>();
    window = std::make_unique<marvo::StoryMapWindow>(*document, *dialogs);
    window->resize(1000, 700);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  void cleanup() {
    window.reset();
    document.reset();
  }

  void clickOnBoxGivesItsLabelLineAndFollowingSelects() {
    openMayak();
    const auto pier = window->locationCentre(QStringLiteral("причал"));
    QVERIFY(pier);
    window->view()->centerOn(*pier);
    QSignalSpy activated(window.get(), &marvo::StoryMapWindow::locationActivated);
    QTest::mouseClick(window->view()->viewport(), Qt::LeftButton, {}, onView(*pier));
    QCOMPARE(activated.size(), 1);
    QCOMPARE(activated.at(0).at(0).toInt(), 92);

    // The caret on a line of ":деревня" (lines 140-155) selects that box, and only it.
    window->followLocation(150);
    QCOMPARE(window->selectedLocation(), QStringLiteral("деревня"));
    window->followLocation(92);
    QCOMPARE(window->selectedLocation(), QStringLiteral("причал"));
    QCOMPARE(activated.size(), 1);  // following is no click
  }

  void doubleClickOnEdgeGivesItsLine() {
    openMayak();
    const auto middle = window->edgeMiddle(357);  // ":фонарная" -> ":финал" on "зажечь"
    QVERIFY(middle);
    window->view()->centerOn(*middle);
    QSignalSpy activated(window.get(), &marvo::StoryMapWindow::lineActivated);
    QTest::mouseDClick(window->view()->viewport(), Qt::LeftButton, {}, onView(*middle));
    QCOMPARE(activated.size(), 1);
    QCOMPARE(activated.at(0).at(0).toInt(), 357);
  }

  void typingUpdatesTheMapAndKeepsThePlaces() {
    openMayak();
    const auto pier = window->locationCentre(QStringLiteral("причал"));
    QSignalSpy updated(window.get(), &marvo::StoryMapWindow::mapUpdated);
    document->appendLine(std::string(marvo::fromQt(QStringLiteral(":новая"))));
    document->appendLine("READ");
    QVERIFY(updated.wait(10000));  // after the pause in typing, without being asked
    QTRY_VERIFY_WITH_TIMEOUT(!window->updating(), 10000);
    QVERIFY(window->locationCentre(QStringLiteral("новая")));
    QCOMPARE(window->locationCentre(QStringLiteral("причал")), pier);
    QVERIFY(window->findLocation(QStringLiteral("НОВ")));
    QCOMPARE(window->selectedLocation(), QStringLiteral("новая"));
  }

  void draggedBoxIsSavedBesideTheScenario() {
    const QString scenario = dir.filePath(QStringLiteral("mayak.scn"));
    openMayak(scenario);
    const auto pier = window->locationCentre(QStringLiteral("причал"));
    window->view()->centerOn(*pier);
    const QPoint from = onView(*pier);
    QTest::mousePress(window->view()->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(40, 30)),
                     window->view()->viewport()->mapToGlobal(QPointF(from + QPoint(40, 30))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->view()->viewport(), &move);
    QTest::mouseRelease(window->view()->viewport(), Qt::LeftButton, {}, from + QPoint(40, 30));
    const auto moved = window->locationCentre(QStringLiteral("причал"));
    QVERIFY(moved != pier);
    const auto read = marvo::storymap::readSidecar(dir.filePath(QStringLiteral("mayak.layout")).toStdString());
    QCOMPARE(read.placement.size(), std::size_t{1});
    const auto saved = read.placement.at(marvo::fromQt(QStringLiteral("причал")));
    QCOMPARE(QPointF(saved.x, saved.y), QPointF(std::round(moved->x()), std::round(moved->y())));

    // Opened again, the box stands where the author left it.
    window.reset();
    window = std::make_unique<marvo::StoryMapWindow>(*document, *dialogs);
    openMayak(scenario);
    QCOMPARE(window->locationCentre(QStringLiteral("причал")), QPointF(saved.x, saved.y));
  }

  void brokenSidecarIsNotedAndKept() {
    const QString scenario = dir.filePath(QStringLiteral("mayak.scn"));
    QVERIFY(!marvo::replaceFile(dir.filePath(QStringLiteral("mayak.layout")).toStdString(), "not a layout"));
    openMayak(scenario);
    QVERIFY(window->statusText().contains(QStringLiteral("mayak.layout.bak")));
    QCOMPARE(marvo::readWholeFile(dir.filePath(QStringLiteral("mayak.layout.bak")).toStdString()).bytes,
             std::string("not a layout"));
  }

  void coverageAndExport() {
    openMayak();
    window->showCoverage({92, 93, 96, 140});
    QVERIFY(window->statusText().contains(QStringLiteral("2 из 21")));
    const QString png = dir.filePath(QStringLiteral("map.png"));
    const QString svg = dir.filePath(QStringLiteral("map.svg"));
    dialogs->fileAnswers = {png, svg};
    dialogs->typeAnswers = {0, 1};
    window->exportMap();
    window->exportMap();
    QVERIFY(dialogs->messages.isEmpty());
    QImage image(png);
    QVERIFY(image.width() > 500 && image.height() > 500);
    QVERIFY(marvo::readWholeFile(svg.toStdString()).bytes.find("<svg") != std::string::npos);
  }
};

QTEST_MAIN(StoryMapWindowTest)
#include "story_map_window_test.moc"
