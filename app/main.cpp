// marvo: the desktop program. Creates the six windows in order and runs the event loop.
#include <QApplication>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <exception>

#include "editor/TForm2.h"
#include "editor/TForm4.h"
#include "engine/engine.h"
#include "help/reference_topics.h"
#include "help/reference_window.h"
#include "gui/dialogs.h"
#include "mapedit/TMap.h"
#include "npc/TForm3.h"
#include "objects/Tpred.h"
#include "player/TForm1.h"
#include "player/recovery_writer.h"
#include "player/window_application.h"
#include "start_options.h"

int main(int argc, char* argv[]) {
  if (auto status = marvo::answerInfoOptions(argc, argv)) return *status;
  marvo::Application app(argc, argv);
  marvo::QtDialogs dialogs;
  app.setDialogs(&dialogs);

  try {
    marvo::Engine engine;
    TForm1 form1(engine, dialogs);
    // The other windows live hidden for the whole process and are shown modally over the main one.
    auto* form2 = new TForm2(dialogs, &form1);
    auto* map = new TMap(*form2, dialogs, &form1);
    auto* form3 = new TForm3(*form2, dialogs, &form1);
    auto* pred = new Tpred(*form2, dialogs, &form1);
    auto* form4 = new TForm4(dialogs, &form1);

    form1.attachWindows(*form2, *map, *form4);
    form2->beginGame = [&form1] { form1.Begingame1Click(); };
    form2->openMapEditor = [map] { map->exec(); };
    map->confirmReplace = [&form1] { return form1.offerSave(); };
    form2->openObjectPlacer = [pred] { pred->exec(); };
    form2->openLibraryEditor = [form4] { form4->exec(); };
    form2->openNpcMaker = [form3] { form3->exec(); };
    form2->libraryLines = [form4] { return form4->libraryLines(); };

    // The reference window belongs to whichever window is modal at the moment, so that a modal
    // editor does not block it.
    auto* reference = new ReferenceWindow(&form1);
    auto showReference = [reference, &form1](const QString& page) {
      QWidget* owner = QApplication::activeModalWidget();
      if (owner == reference) owner = nullptr;
      if (!owner) owner = &form1;
      if (reference->parentWidget() != owner) reference->setParent(owner, Qt::Window);
      reference->showPage(page);
    };
    form1.openReference = [showReference] { showReference(QString()); };
    form2->openReference = [showReference](const std::string& line, int column) {
      showReference(QString::fromStdString(marvo::referencePageFor(line, column)));
    };

    // Without a window manager "maximised" means nothing: cover the screen ourselves as well.
    if (QScreen* screen = form1.screen()) form1.setGeometry(screen->availableGeometry());
    form1.showMaximized();
    // Its first activation loads "marvo.lib"; ask for it also where no window manager gives it.
    form1.activateWindow();

    // Unsaved text of an earlier run is offered first; a scenario path as the only argument is
    // then opened as "Open File" opens it, unless a restored text took its place.
    form1.recovery()->handleTerminationSignals();
    const QString path = marvo::prepareStart(QCoreApplication::arguments(), form1);
    QTimer::singleShot(0, &form1, [&form1, path] {
      if (!form1.offerRecovery() && !path.isEmpty()) form1.openScenario(path);
    });
    return app.exec();
  } catch (const std::exception& error) {
    app.showError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    app.showError(QStringLiteral("Unknown error"));
  }
  return 1;
}
