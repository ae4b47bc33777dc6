// Shared set-up of the main window tests: the windows of the program in a scratch directory.
#pragma once

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "engine/engine.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/recovery_writer.h"
#include "gui/scenario_document.h"
#include "player/main_window.h"
#include "player/window_application.h"
#include "tests/support/private_settings.h"

namespace window_test {

// Writes `lines` (UTF-8 source text) as a Windows-1251 file with CR LF line ends.
inline void writeCp1251(const QString& path, const QStringList& lines) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write fixture");
  for (const QString& line : lines) {
    std::string bytes = marvo::fromQt(line);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.write("\r\n");
  }
}

inline std::vector<std::string> cp1251(const QStringList& lines) { return marvo::fromQt(lines); }

// Types `text` into `widget` one character at a time (Cyrillic included).
inline void type(QWidget* widget, const QString& text) {
  for (QChar ch : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Scripted dialogs that can also do something while a message box would be open.
struct TestDialogs : marvo::ScriptedDialogs {
  std::function<void()> duringMessage;
  void message(QWidget* parent, const QString& text) override {
    ScriptedDialogs::message(parent, text);
    if (duringMessage) duringMessage();
  }
  bool messageWithAction(QWidget* parent, const QString& text, const QString& detail, const QString& action) override {
    const bool chosen = ScriptedDialogs::messageWithAction(parent, text, detail, action);
    if (duringMessage) duringMessage();
    return chosen;
  }
};

// The main window with the code editor, a map editor stand-in and the library editor, run in a
// fresh current directory; errors that escape handlers are recorded by the scripted dialogs.
struct Windows {
  QTemporaryDir dir;
  QString previousDir = QDir::currentPath();
  marvo::Engine engine;
  TestDialogs dialogs;
  marvo::ScenarioDocument document;  // outlives the windows that show and edit it
  std::unique_ptr<marvo::MainWindow> mainWindow;
  marvo::CodeEditorWindow* codeEditor = nullptr;
  QDialog* map = nullptr;
  marvo::LibraryEditorWindow* libraryEditor = nullptr;
  int exitCalls = 0;
  int exitCode = -1;

  Windows() {
    // The windows write recent files, the zoom and recovery files: never into the user's folders.
    if (!marvo::test::settingsArePrivate()) qFatal("window tests: call usePrivateSettings() first in main");
    QDir::setCurrent(dir.path());
    document.recovery().start();                         // the scratch data folder of the test program
    writeCp1251(path(QStringLiteral("marvo.lib")), {});  // an empty library, present
    static_cast<marvo::Application*>(qApp)->setDialogs(&dialogs);
    mainWindow = std::make_unique<marvo::MainWindow>(engine, document, dialogs);
    codeEditor = new marvo::CodeEditorWindow(document, dialogs, mainWindow.get());
    map = new QDialog(mainWindow.get());
    libraryEditor = new marvo::LibraryEditorWindow(dialogs, mainWindow.get());
    mainWindow->attachWindows(*codeEditor, *map, *libraryEditor);
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::gameRequested, mainWindow.get(),
                     &marvo::MainWindow::beginGame);
    QObject::connect(mainWindow.get(), &marvo::MainWindow::exitRequested, mainWindow.get(), [this](int code) {
      ++exitCalls;
      exitCode = code;
    });
  }
  ~Windows() {
    static_cast<marvo::Application*>(qApp)->setDialogs(nullptr);
    mainWindow.reset();
    QDir::setCurrent(previousDir);
  }

  QString path(const QString& name) const { return dir.filePath(name); }
  void setScenario(const QStringList& lines) { codeEditor->document().setLines(cp1251(lines)); }
  QStringList output() const { return mainWindow->outputLines(); }
  QString outputText() const { return mainWindow->outputPane()->toPlainText(); }
  // Shows the main window and waits until it is active and has taken its first activation.
  bool showActive() {
    mainWindow->show();
    if (!QTest::qWaitForWindowActive(mainWindow.get())) return false;
    QCoreApplication::processEvents();
    return true;
  }
};

}  // namespace window_test
