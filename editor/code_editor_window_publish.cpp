// The code editor's "Publish to web...": the editor's scenario text and the library text written
// as a folder for the web player, served on 127.0.0.1 and handed on as the page to open.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "code_editor_window.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "preview_server.h"
#include "web/publish.h"

namespace marvo {

void CodeEditorWindow::publishToWeb() {
  // The checker first: a game with errors is published only when the author insists.
  if (const int errors = runChecker(true); errors > 0) {
    const bool publish = dialogs_.messageWithAction(
        this, QStringLiteral("В сценарии есть ошибки: %1 (список под текстом).").arg(errors),
        QStringLiteral("Игра с ошибками опубликуется такой, как есть."), QStringLiteral("Опубликовать"));
    if (!publish) return;
  }
  const auto folder = dialogs_.chooseFolder(this, QStringLiteral("Publish to web..."));
  if (!folder) return;
  web::PublishRequest request;
  request.playerFiles = web::findPlayerFiles(QCoreApplication::applicationDirPath().toStdString());
  if (request.playerFiles.empty()) {
    dialogs_.message(this, toQt(web::missingPlayerFilesMessage()));
    return;
  }
  request.scenario = document_.lines();
  request.library = libraryLines();
  // The page is named by the scenario's own first text line; the folder name stands in when it has none.
  request.fallbackTitle = fromQt(QFileInfo(*folder).fileName());
  request.folder = QDir::toNativeSeparators(*folder).toStdString();
  // Publishing again into the folder of an earlier publication replaces it; any other folder
  // that holds files is refused.
  request.force = web::holdsOnlyPublishedGame(request.folder);
  const auto result = web::publishGame(request);
  if (!result.error.empty()) {
    dialogs_.message(this, toQt(result.error));
    return;
  }
  // Browsers do not run the player from a file:// page: the folder is served on 127.0.0.1.
  auto* server = findChild<PreviewServer*>();
  if (!server) server = new PreviewServer(this);
  QUrl page = server->serve(*folder);
  if (page.isEmpty()) page = QUrl::fromLocalFile(QDir(*folder).filePath(QStringLiteral("index.html")));
  emit publishedPageReady(page);
}

}  // namespace marvo
