// marvo: the desktop program. Creates the main window and the windows opened from it, connects
// them, opens what the command line or an unsaved earlier run left, and runs the event loop.
#include <QApplication>
#include <QDesktopServices>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <exception>

#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "engine/engine.h"
#include "gui/dialogs.h"
#include "gui/recovery_writer.h"
#include "gui/scenario_document.h"
#include "help/reference_topics.h"
#include "help/reference_window.h"
#include "mapedit/map_editor_window.h"
#include "npc/dialogue_maker_window.h"
#include "object_placer/object_placer_window.h"
#include "player/main_window.h"
#include "player/window_application.h"
#include "playtree/play_tree_window.h"
#include "start_options.h"

int main(int argc, char* argv[]) {
  if (auto status = marvo::answerInfoOptions(argc, argv)) return *status;
  marvo::Application app(argc, argv);
  app.loadQtTranslations();
  marvo::QtDialogs dialogs;
  app.setDialogs(&dialogs);

  try {
    marvo::Engine engine;
    // The one scenario text, shown by the code editor and edited by every authoring window.
    marvo::ScenarioDocument document;
    marvo::MainWindow mainWindow(engine, document, dialogs);
    // The other windows live hidden for the whole process and are shown modally over the main one.
    auto* codeEditor = new marvo::CodeEditorWindow(document, dialogs, &mainWindow);
    auto* mapEditor = new marvo::MapEditorWindow(document, dialogs, &mainWindow);
    auto* dialogueMaker = new marvo::DialogueMakerWindow(document, dialogs, &mainWindow);
    auto* objectPlacer = new marvo::ObjectPlacerWindow(document, dialogs, &mainWindow);
    auto* libraryEditor = new marvo::LibraryEditorWindow(dialogs, &mainWindow);

    mainWindow.attachWindows(*codeEditor, *mapEditor, *libraryEditor);
    QObject::connect(&mainWindow, &marvo::MainWindow::exitRequested, &app, &QCoreApplication::exit);
    QObject::connect(&mainWindow, &marvo::MainWindow::documentRequested, &app, &QDesktopServices::openUrl);
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::gameRequested, &mainWindow, &marvo::MainWindow::beginGame);
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::mapEditorRequested, mapEditor, &QDialog::exec);
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::objectPlacerRequested, objectPlacer, &QDialog::exec);
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::libraryEditorRequested, libraryEditor, &QDialog::exec);
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::dialogueMakerRequested, dialogueMaker, &QDialog::exec);
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::publishedPageReady, &app, &QDesktopServices::openUrl);
    codeEditor->setLibrarySource([libraryEditor] { return libraryEditor->libraryLines(); });

    // The play tree: every game started from the code editor (F9) adds its turns; a node played
    // from the tree goes on in the main window.
    auto* playTree = new marvo::PlayTreeWindow(
        dialogs,
        [&document, libraryEditor] {
          return marvo::prepareProgram(document.lines(), nullptr, libraryEditor->libraryLines());
        },
        codeEditor);
    playTree->setWindowFlag(Qt::Window);
    playTree->openFor(document.path().toStdString());
    QObject::connect(&document, &marvo::ScenarioDocument::fileChanged, playTree,
                     [playTree, &document] { playTree->openFor(document.path().toStdString()); });
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::playTreeRequested, playTree, [playTree] {
      playTree->show();
      playTree->raise();
      playTree->activateWindow();
    });
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::gameRequested, playTree,
                     [playTree] { playTree->setRecording(true); });
    QObject::connect(mainWindow.beginGameAction(), &QAction::triggered, playTree,
                     [playTree] { playTree->setRecording(false); });
    QObject::connect(mainWindow.loadGameAction(), &QAction::triggered, playTree,
                     [playTree] { playTree->setRecording(false); });
    QObject::connect(&mainWindow, &marvo::MainWindow::turnPlayed, playTree, &marvo::PlayTreeWindow::recordTurn);
    QObject::connect(playTree, &marvo::PlayTreeWindow::playRequested, &mainWindow,
                     [&mainWindow, codeEditor](const std::vector<std::string>& commands) {
                       if (codeEditor->isVisible()) codeEditor->close();
                       mainWindow.playPath(commands);
                     });
    QObject::connect(playTree, &marvo::PlayTreeWindow::lineRequested, codeEditor, [&mainWindow, codeEditor](int line) {
      codeEditor->moveCaretToLine(line - 1);
      if (!codeEditor->isVisible()) mainWindow.openCodeEditor();
    });

    // The reference window belongs to whichever window is modal at the moment, so that a modal
    // editor does not block it.
    auto* reference = new marvo::ReferenceWindow(&mainWindow);
    auto showReference = [reference, &mainWindow](const QString& page) {
      QWidget* owner = QApplication::activeModalWidget();
      if (owner == reference) owner = nullptr;
      if (!owner) owner = &mainWindow;
      if (reference->parentWidget() != owner) reference->setParent(owner, Qt::Window);
      reference->showPage(page);
    };
    QObject::connect(&mainWindow, &marvo::MainWindow::referenceRequested, reference,
                     [showReference] { showReference(QString()); });
    QObject::connect(codeEditor, &marvo::CodeEditorWindow::referenceRequested, reference,
                     [showReference](const std::string& line, int column) {
                       showReference(QString::fromStdString(marvo::referencePageFor(line, column)));
                     });

    // Without a window manager "maximised" means nothing: cover the screen ourselves as well.
    if (QScreen* screen = mainWindow.screen()) mainWindow.setGeometry(screen->availableGeometry());
    mainWindow.showMaximized();
    // Its first activation loads "marvo.lib"; ask for it also where no window manager gives it.
    mainWindow.activateWindow();

    // Unsaved text of an earlier run is offered first; a scenario path as the only argument is
    // then opened as "Open File" opens it, whatever the answer (a restored text is offered to be
    // saved before it is replaced).
    document.recovery().start();
    document.recovery().handleTerminationSignals();
    const QString path = marvo::prepareStart(QCoreApplication::arguments(), mainWindow);
    QTimer::singleShot(0, &mainWindow, [&mainWindow, path] {
      if (mainWindow.openAtStart(path)) mainWindow.openCodeEditor();  // the restored text where the author left it
    });
    return app.exec();
  } catch (const std::exception& error) {
    app.showError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    app.showError(QStringLiteral("Unknown error"));
  }
  return 1;
}
