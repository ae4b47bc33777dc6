// The code editor's "Publish to web...": folder through the dialog seam, the files written from
// the editor's text, refusals shown as messages, the published page opened.
#include <QMenu>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

#include "editor/code_editor_window.h"
#include "editor_window_fixture.h"
#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "tests/support/private_settings.h"

class PublishWindowTest : public QObject {
  Q_OBJECT

 public:
  // Settings and recovery files of the windows stay out of the user's folders.
  static void initMain() { marvo::test::usePrivateSettings(); }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<marvo::ScriptedDialogs> dialogs_;
  std::unique_ptr<marvo::ScenarioDocument> document_;
  std::unique_ptr<marvo::CodeEditorWindow> editor_;
  QList<QUrl> opened_;

  QString path(const char* name) const { return dir_->filePath(QString::fromUtf8(name)); }
  std::string bytes(const char* name) const { return marvo::readWholeFile(path(name).toStdString()).bytes; }
  // GET through the local server: status code and body.
  static std::pair<int, QByteArray> get(const QUrl& url) {
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(url)));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!finished.wait(5000)) return {0, {}};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
  }
  void publishInto(const char* folder) {
    dialogs_->fileAnswers.push_back(path(folder));
    editor_->publishToWeb();
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    // Stand-ins for the built player files.
    QDir(dir_->path()).mkdir(QStringLiteral("player"));
    marvo::replaceFile(path("player/index.html").toStdString(), "<title>@TITLE@</title>");
    marvo::replaceFile(path("player/marvo.js").toStdString(), "js");
    marvo::replaceFile(path("player/marvo.wasm").toStdString(), "wasm");
    qputenv("MARVO_WEB_DIR", path("player").toUtf8());
    dialogs_ = std::make_unique<marvo::ScriptedDialogs>();
    document_ = std::make_unique<marvo::ScenarioDocument>();
    editor_ = std::make_unique<marvo::CodeEditorWindow>(*document_, *dialogs_);
    editor_->document().setLines(w({":прихожая", "!Скрипят половицы.", "READ"}));
    editor_->setLibrarySource([] { return w({"TALK помощь", "REDO"}); });
    opened_.clear();
    connect(editor_.get(), &marvo::CodeEditorWindow::publishedPageReady, this,
            [this](const QUrl& page) { opened_.append(page); });
  }
  void cleanup() {
    editor_.reset();
    dialogs_.reset();
    dir_.reset();
    qunsetenv("MARVO_WEB_DIR");
  }

  void theContextMenuOffersIt() {
    QCOMPARE(editor_->publishAction()->text(), QStringLiteral("Publish to web..."));
    QVERIFY(editor_->contextMenu()->actions().contains(editor_->publishAction()));
  }

  void writesTheEditorsTextAndOpensThePage() {
    publishInto("Старый дом");
    QCOMPARE(dialogs_->folderTitles, QStringList{QStringLiteral("Publish to web...")});
    QVERIFY(dialogs_->messages.isEmpty());
    QCOMPARE(bytes("Старый дом/game.scn"), w(":прихожая\r\n!Скрипят половицы.\r\nREAD\r\n"));
    QCOMPARE(bytes("Старый дом/marvo.lib"), w("TALK помощь\r\nREDO\r\n"));
    QCOMPARE(QString::fromStdString(bytes("Старый дом/index.html")),
             QStringLiteral("<title>Скрипят половицы.</title>"));
    // The page is opened through a server on 127.0.0.1 that serves the folder's files only.
    QCOMPARE(opened_.size(), 1);
    const QUrl page = opened_[0];
    QCOMPARE(page.host(), QStringLiteral("127.0.0.1"));
    QCOMPARE(get(page), std::make_pair(200, QStringLiteral("<title>Скрипят половицы.</title>").toUtf8()));
    QCOMPARE(get(page.resolved(QUrl(QStringLiteral("marvo.lib")))).second,
             QByteArray::fromStdString(w("TALK помощь\r\nREDO\r\n")));
    QCOMPARE(get(page.resolved(QUrl(QStringLiteral("/%2e%2e/player/marvo.js")))).first, 404);
    QCOMPARE(get(page.resolved(QUrl(QStringLiteral("missing.txt")))).first, 404);

    // Publishing again into the same folder replaces the earlier publication.
    editor_->document().setLines(w({":кухня", "READ"}));
    publishInto("Старый дом");
    QVERIFY(dialogs_->messages.isEmpty());
    QCOMPARE(bytes("Старый дом/game.scn"), w(":кухня\r\nREAD\r\n"));
    // A scenario with no text line is named after the folder.
    QCOMPARE(QString::fromStdString(bytes("Старый дом/index.html")), QStringLiteral("<title>Старый дом</title>"));
    QCOMPARE(opened_.size(), 2);
  }

  void aFolderOfOtherFilesIsRefused() {
    QDir(dir_->path()).mkdir(QStringLiteral("docs"));
    marvo::replaceFile(path("docs/notes.txt").toStdString(), "mine");
    publishInto("docs");
    QCOMPARE(dialogs_->messages.size(), 1);
    QVERIFY(dialogs_->messages[0].contains(QStringLiteral("не пуста")));
    QVERIFY(opened_.isEmpty());
    QVERIFY(!QFileInfo::exists(path("docs/index.html")));
  }

  void theCheckerRunsFirst() {
    editor_->document().setLines(w({":прихожая", "GOTO нигде", "READ"}));  // a jump to no label
    dialogs_->actionAnswers.push_back(false);
    publishInto("site");
    QCOMPARE(dialogs_->actions, QStringList{QStringLiteral("Опубликовать")});
    QVERIFY(dialogs_->folderTitles.isEmpty());  // not published: no folder asked for
    QVERIFY(!QFileInfo::exists(path("site")));
    dialogs_->fileAnswers.clear();
    dialogs_->actionAnswers.push_back(true);
    publishInto("site");
    QVERIFY(QFileInfo::exists(path("site/game.scn")));
    QCOMPARE(opened_.size(), 1);
  }

  void cancelDoesNothingAndMissingPlayerFilesAreExplained() {
    editor_->publishToWeb();  // no answer queued: cancelled
    QVERIFY(dialogs_->messages.isEmpty());
    qputenv("MARVO_WEB_DIR", path("nothing").toUtf8());
    publishInto("site");
    QCOMPARE(dialogs_->messages.size(), 1);
    QVERIFY(dialogs_->messages[0].contains(QStringLiteral("scripts/build-web")));
    QVERIFY(!QFileInfo::exists(path("site")));
    QVERIFY(opened_.isEmpty());
  }
};

QTEST_MAIN(PublishWindowTest)
#include "publish_window_test.moc"
