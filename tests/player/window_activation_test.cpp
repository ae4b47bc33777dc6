// Main window tests: activation focuses the input line and reloads "marvo.lib" into the library editor.
#include <QFile>
#include <QLineEdit>

#include "window_fixture.h"

using window_test::Windows;

namespace {

const QStringList kLibrary = {QStringLiteral("* Библиотека"), QStringLiteral("lib_loaded = 1")};

// Another window of the program becomes active, then the main window again.
bool visitAnotherWindow(Windows& w) {
  QWidget other;
  other.show();
  if (!QTest::qWaitForWindowActive(&other)) return false;
  other.hide();
  w.mainWindow->activateWindow();
  if (!QTest::qWaitForWindowActive(w.mainWindow.get())) return false;
  QCoreApplication::processEvents();
  return true;
}

}  // namespace

class WindowActivationTest : public QObject {
  Q_OBJECT

 private slots:
  void activationReloadsTheLibrary();
  void missingLibraryIsReportedOnce();
  void scenarioOpenedBeforeActivationHasTheLibrary();
  void fallbackLibraryUntilTheFolderHasOne();
};

void WindowActivationTest::activationReloadsTheLibrary() {
  Windows w;
  window_test::writeCp1251(w.path(QStringLiteral("marvo.lib")), kLibrary);
  QVERIFY(w.libraryEditor->libraryLines().empty());
  QVERIFY(w.showActive());
  QTRY_COMPARE(w.libraryEditor->libraryLines(), window_test::cp1251(kLibrary));
  QVERIFY(w.mainWindow->commandLine()->hasFocus());

  // Unsaved edits in the library editor are replaced when the main window is active again.
  w.libraryEditor->setLibraryLines({"changed"});
  QVERIFY(visitAnotherWindow(w));
  QTRY_COMPARE(w.libraryEditor->libraryLines(), window_test::cp1251(kLibrary));
  QVERIFY(w.mainWindow->commandLine()->hasFocus());
  QVERIFY(w.dialogs.messages.isEmpty());

  // Coming back from another application (no window of ours active in between) is no reload.
  w.libraryEditor->setLibraryLines({"changed"});
  emit qApp->focusWindowChanged(nullptr);
  emit qApp->focusWindowChanged(w.mainWindow->windowHandle());
  QCoreApplication::processEvents();
  QCOMPARE(w.libraryEditor->libraryLines(), std::vector<std::string>{"changed"});

  // A game started after an activation has the file's library spliced in before its RETURN.
  QVERIFY(visitAnotherWindow(w));
  w.setScenario({QStringLiteral(":hall"), QStringLiteral("READ"), QStringLiteral(":common"), QStringLiteral("RETURN")});
  w.mainWindow->beginGame();
  QVERIFY(w.engine.findVariable("lib_loaded") != marvo::kTableSize);
}

void WindowActivationTest::missingLibraryIsReportedOnce() {
  Windows w;
  const QString library = w.path(QStringLiteral("marvo.lib"));
  QFile::remove(library);
  QVERIFY(w.showActive());
  QTRY_COMPARE(w.dialogs.messages.size(), 1);
  QVERIFY(w.dialogs.messages[0].contains(QStringLiteral("marvo.lib")));
  QVERIFY(w.libraryEditor->libraryLines().empty());  // the game goes on without library lines

  // Text typed into the library editor survives while the file is missing.
  w.libraryEditor->setLibraryLines({"typed"});
  QVERIFY(visitAnotherWindow(w));
  QVERIFY(visitAnotherWindow(w));
  QCOMPARE(w.dialogs.messages.size(), 1);
  QCOMPARE(w.libraryEditor->libraryLines(), std::vector<std::string>{"typed"});

  window_test::writeCp1251(library, kLibrary);
  QVERIFY(visitAnotherWindow(w));
  QTRY_COMPARE(w.libraryEditor->libraryLines(), window_test::cp1251(kLibrary));

  // Readable in between: a new loss is reported again, and the text read last stays.
  QFile::remove(library);
  QVERIFY(visitAnotherWindow(w));
  QTRY_COMPARE(w.dialogs.messages.size(), 2);
  QCOMPARE(w.libraryEditor->libraryLines(), window_test::cp1251(kLibrary));
}

void WindowActivationTest::scenarioOpenedBeforeActivationHasTheLibrary() {
  // The command-line scenario is opened as soon as the event loop runs, which may be before the
  // window's first activation.
  Windows w;
  window_test::writeCp1251(w.path(QStringLiteral("marvo.lib")), {QStringLiteral("libvalue = 7")});
  const QString scenario = w.path(QStringLiteral("start.scn"));
  window_test::writeCp1251(scenario,
                           {QStringLiteral("* return: the library goes before this line"), QStringLiteral(":hall"),
                            QStringLiteral("@Библиотека: [#libvalue]"), QStringLiteral("READ")});
  w.mainWindow->openScenario(scenario);
  QCOMPARE(w.output(), QStringList{QStringLiteral("Библиотека: 7")});
  QVERIFY(w.dialogs.messages.isEmpty());

  // The first activation then reloads it as usual, without a second report of anything.
  QVERIFY(w.showActive());
  QTRY_VERIFY(w.mainWindow->commandLine()->hasFocus());
  QCOMPARE(w.libraryEditor->libraryLines(), std::vector<std::string>{"libvalue = 7"});
  QVERIFY(w.dialogs.messages.isEmpty());
}

void WindowActivationTest::fallbackLibraryUntilTheFolderHasOne() {
  // Started from the desktop: with no "marvo.lib" in the current folder the installed one is read,
  // without an error; one saved into the folder later wins at the next activation.
  Windows w;
  QFile::remove(w.path(QStringLiteral("marvo.lib")));
  QTemporaryDir installed;
  const QString fallback = installed.filePath(QStringLiteral("marvo.lib"));
  window_test::writeCp1251(fallback, kLibrary);
  w.mainWindow->setLibraryFallback(QFile::encodeName(fallback).toStdString());
  QVERIFY(w.showActive());
  QTRY_COMPARE(w.libraryEditor->libraryLines(), window_test::cp1251(kLibrary));
  QVERIFY(w.dialogs.messages.isEmpty());

  window_test::writeCp1251(w.path(QStringLiteral("marvo.lib")), {QStringLiteral("own = 1")});
  QVERIFY(visitAnotherWindow(w));
  QTRY_COMPARE(w.libraryEditor->libraryLines(), std::vector<std::string>{"own = 1"});
  QVERIFY(w.dialogs.messages.isEmpty());

  // "Open File" offers the installed sample until the user has chosen a file.
  const QString sample = installed.filePath(QStringLiteral("sample.scn"));
  w.mainWindow->offerScenario(sample);
  w.mainWindow->openFile();  // cancelled
  QCOMPARE(w.dialogs.requests.size(), 1);
  QCOMPARE(w.dialogs.requests[0].initialName, sample);
}

QObject* makeWindowActivationTest() { return new WindowActivationTest; }

#include "window_activation_test.moc"
