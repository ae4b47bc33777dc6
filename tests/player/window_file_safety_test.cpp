// Files that must not cost the author a line: Save as over another file, saves that fail (deleted
// or read-only folder, a disk that fills up), Ctrl+S in the code editor, garbage scenarios and
// saved games, files dropped on the window, and the window closed by the desktop.
#include <unistd.h>
#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include "../support/file_size_limit.h"
#include "game/scenario_file.h"
#include "window_fixture.h"

using window_test::Windows;

namespace {

constexpr int kReplace = 0, kOpen = 0, kLoad = 0;

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write fixture");
  file.write(bytes);
}

QByteArray randomBytes(int size) {
  QByteArray bytes(size, '\0');
  quint32 seed = 3;
  for (auto& b : bytes) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<char>(seed >> 24);
  }
  return bytes;
}

QStringList entries(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

void edit(Windows& w, const char* line = "!правка") {
  w.document.appendLine(window_test::cp1251({QString::fromUtf8(line)})[0]);
}

const QStringList kGame = {QStringLiteral(":a"), QStringLiteral("TALK осмотреться"), QStringLiteral("!Тихо."),
                           QStringLiteral("REDO"), QStringLiteral("READ")};

void drop(QWidget* target, const QString& file) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(file)});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
  QVERIFY(event.isAccepted());
  QCoreApplication::processEvents();  // the file opens once the drop has ended
}

}  // namespace

class WindowFileSafetyTest : public QObject {
  Q_OBJECT

 private slots:
  void saveAsAsksBeforeReplacingAnotherFile();
  void ctrlSInTheCodeEditorSavesTheDocument();
  void failedSavesSayWhatWasNotSavedAndOfferSaveAs();
  void garbageScenariosAreRefusedOrAskedAbout();
  void loadGameRefusesWhatIsNoCommandLog();
  void droppedFilesOpenWithTheSameQuestions();
  void closingTheWindowAsksAsExitDoes();
};

void WindowFileSafetyTest::saveAsAsksBeforeReplacingAnotherFile() {
  Windows w;
  const QString mine = w.path(QStringLiteral("mine.scn")), other = w.path(QStringLiteral("other.scn"));
  window_test::writeCp1251(mine, kGame);
  window_test::writeCp1251(other, {QStringLiteral(":other"), QStringLiteral("READ")});
  const QByteArray otherBefore = fileBytes(other);
  w.mainWindow->openScenario(mine);
  edit(w);

  w.dialogs.fileAnswers = {other};
  w.dialogs.choiceAnswers = {1};  // Отмена
  w.mainWindow->saveAsAction()->trigger();
  QCOMPARE(w.dialogs.questions.size(), 1);
  QVERIFY(w.dialogs.questions[0].contains(other));
  QVERIFY(w.dialogs.questions[0].contains(QStringLiteral("уже существует")));
  QCOMPARE(fileBytes(other), otherBefore);
  QVERIFY(w.document.hasUnsavedChanges());
  QCOMPARE(w.document.path(), mine);

  w.dialogs.fileAnswers = {other};
  w.dialogs.choiceAnswers = {kReplace};
  w.mainWindow->saveAsAction()->trigger();
  QCOMPARE(w.document.path(), other);
  QCOMPARE(fileBytes(other + QStringLiteral(".bak")), otherBefore);
  QVERIFY(!w.document.hasUnsavedChanges());

  // The file the text belongs to, under another spelling of its name, is replaced without asking.
  edit(w);
  w.dialogs.fileAnswers = {w.path(QStringLiteral("./other.scn"))};
  w.mainWindow->saveAsAction()->trigger();
  QCOMPARE(w.dialogs.questions.size(), 2);
  QVERIFY(!w.document.hasUnsavedChanges());
}

void WindowFileSafetyTest::ctrlSInTheCodeEditorSavesTheDocument() {
  Windows w;
  QAction* save = nullptr;
  for (QAction* action : w.codeEditor->actions())
    if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_S)) save = action;
  QVERIFY(save);

  // A text with a file goes back to it without a dialog.
  const QString mine = w.path(QStringLiteral("mine.scn"));
  window_test::writeCp1251(mine, kGame);
  w.mainWindow->openScenario(mine);
  edit(w, "!из редактора");
  w.codeEditor->show();
  QVERIFY(QTest::qWaitForWindowActive(w.codeEditor));
  QTest::keyClick(w.codeEditor->scenarioView(), Qt::Key_S, Qt::ControlModifier);
  QVERIFY(w.dialogs.requests.isEmpty());
  QVERIFY(!w.document.hasUnsavedChanges());
  QCOMPARE(marvo::readScenarioFile(QFile::encodeName(mine).toStdString()).lines, w.document.lines());

  // A text without a file asks for one, and for leave to replace an existing one.
  w.mainWindow->newScenario();
  edit(w);
  const QString taken = w.path(QStringLiteral("taken.scn"));
  window_test::writeCp1251(taken, {QStringLiteral(":x")});
  w.dialogs.fileAnswers = {taken};
  w.dialogs.choiceAnswers = {kReplace};
  save->trigger();
  QCOMPARE(w.dialogs.requests.size(), 1);
  QCOMPARE(w.dialogs.questions.size(), 1);
  QCOMPARE(w.document.path(), taken);
  QVERIFY(!w.document.hasUnsavedChanges());
  w.codeEditor->hide();
}

void WindowFileSafetyTest::failedSavesSayWhatWasNotSavedAndOfferSaveAs() {
  Windows w;
  // A folder deleted after the scenario was opened from it.
  QDir(w.dir.path()).mkdir(QStringLiteral("gone"));
  const QString gone = w.path(QStringLiteral("gone/mayak.scn"));
  window_test::writeCp1251(gone, kGame);
  w.mainWindow->openScenario(gone);
  edit(w);
  const auto text = w.document.lines();
  QVERIFY(QDir(w.path(QStringLiteral("gone"))).removeRecursively());
  const QString elsewhere = w.path(QStringLiteral("elsewhere.scn"));
  w.dialogs.actionAnswers = {true};  // "Сохранить как..."
  w.dialogs.fileAnswers = {elsewhere};
  w.mainWindow->saveAction()->trigger();
  QCOMPARE(w.dialogs.messages.size(), 1);
  QCOMPARE(w.dialogs.messages[0],
           QStringLiteral("Сценарий не сохранён в файл %1: такого файла или папки нет (папку могли удалить или "
                          "переименовать).")
               .arg(gone));
  QCOMPARE(w.dialogs.actions[0], QStringLiteral("Сохранить как..."));
  QVERIFY(w.dialogs.details[0].contains(QStringLiteral("не потерян")));
  QCOMPARE(w.document.path(), elsewhere);
  QVERIFY(!w.document.hasUnsavedChanges());
  QCOMPARE(marvo::readScenarioFile(QFile::encodeName(elsewhere).toStdString()).lines, text);

  // A disk that fills up during the save: the old file intact, no temporary file, no new backup.
  const QByteArray before = fileBytes(elsewhere);
  for (int i = 0; i < 20000; ++i) edit(w, "!строка, которой на диске не хватит места");
  {
    marvo::testing::FileSizeLimit diskFull(64 * 1024);
    w.mainWindow->saveAction()->trigger();  // the offer of Save as is declined
  }
  QCOMPARE(w.dialogs.messages.size(), 2);
  QVERIFY(w.dialogs.messages[1].startsWith(QStringLiteral("Сценарий не сохранён в файл %1: ").arg(elsewhere)));
  QVERIFY(w.dialogs.details[1].startsWith(QStringLiteral("Файл %1 на диске остался прежним.").arg(elsewhere)));
  QCOMPARE(fileBytes(elsewhere), before);
  QCOMPARE(entries(w.dir.path()), (QStringList{QStringLiteral("elsewhere.scn"), QStringLiteral("marvo.lib"),
                                               QStringLiteral("tmp.scn")}));  // tmp.scn: the game start
  QVERIFY(w.document.hasUnsavedChanges());

  // Exit with "Сохранить" and a failing save keeps the program and the text.
  {
    marvo::testing::FileSizeLimit diskFull(64 * 1024);
    w.dialogs.choiceAnswers = {0};
    w.mainWindow->exitAction()->trigger();
  }
  QCOMPARE(w.exitCalls, 0);
  QVERIFY(w.document.hasUnsavedChanges());

  // A read-only folder (where permissions bind us: an administrator may write anywhere).
  QDir(w.dir.path()).mkdir(QStringLiteral("locked"));
  const QString locked = w.path(QStringLiteral("locked"));
  QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  if (::access(QFile::encodeName(locked).constData(), W_OK) != 0) {
    w.dialogs.fileAnswers = {locked + QStringLiteral("/new.scn")};
    w.mainWindow->saveAsAction()->trigger();
    QVERIFY(w.dialogs.messages.last().endsWith(QStringLiteral(": нет прав доступа.")));
    QVERIFY(w.dialogs.details.last().startsWith(QStringLiteral("Файл %1/new.scn не создан.").arg(locked)));
    QVERIFY(entries(locked).isEmpty());
    // An installed game: a read-only file in a read-only folder. F2 says so and offers "Save as...",
    // whose dialog starts in a folder that may be written.
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString installed = locked + QStringLiteral("/sample.scn");
    window_test::writeCp1251(installed, kGame);
    QFile::setPermissions(installed, QFileDevice::ReadOwner);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    w.dialogs.choiceAnswers = {1};  // the offer to save the text before it is replaced: "Нет"
    w.mainWindow->openScenario(installed);
    edit(w);
    const QString mine = w.path(QStringLiteral("my-sample.scn"));
    w.dialogs.actionAnswers = {true};
    w.dialogs.fileAnswers = {mine};
    w.mainWindow->saveAction()->trigger();
    QVERIFY(w.dialogs.messages.last().startsWith(QStringLiteral("Сценарий не сохранён в файл %1: ").arg(installed)));
    QCOMPARE(w.dialogs.actions.last(), QStringLiteral("Сохранить как..."));
    const QFileInfo start(w.dialogs.requests.last().initialName);
    QCOMPARE(start.fileName(), QStringLiteral("sample.scn"));
    QCOMPARE(::access(QFile::encodeName(start.absolutePath()).constData(), W_OK), 0);
    QCOMPARE(w.document.path(), mine);
    QVERIFY(!w.document.hasUnsavedChanges());
    QCOMPARE(entries(locked), QStringList{QStringLiteral("sample.scn")});
  }
  QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void WindowFileSafetyTest::garbageScenariosAreRefusedOrAskedAbout() {
  Windows w;
  const QString mine = w.path(QStringLiteral("mine.scn"));
  window_test::writeCp1251(mine, kGame);
  w.mainWindow->openScenario(mine);
  const auto text = w.document.lines();

  // A folder cannot be opened: said in Russian, nothing asked, nothing changed.
  QVERIFY(!w.mainWindow->openScenario(w.dir.path()));
  QCOMPARE(w.dialogs.messages.size(), 1);
  QCOMPARE(w.dialogs.messages[0],
           QStringLiteral("Сценарий %1 не открыт: это папка, а не файл.\nТекст сценария остался прежним.")
               .arg(w.dir.path()));
  QVERIFY(w.dialogs.questions.isEmpty());

  // Binary, empty and cut-short files are asked about; no answer keeps the text.
  const QString binary = w.path(QStringLiteral("picture.scn")), empty = w.path(QStringLiteral("empty.scn")),
                cut = w.path(QStringLiteral("cut.scn"));
  writeBytes(binary, randomBytes(4096));
  writeBytes(empty, {});
  const std::string rtf = marvo::scenarioToRtf(window_test::cp1251(kGame));
  writeBytes(cut, QByteArray::fromStdString(rtf.substr(0, rtf.size() - 20)));
  for (const QString& file : {binary, empty, cut}) QVERIFY(!w.mainWindow->openScenario(file));
  QCOMPARE(w.dialogs.questions.size(), 3);
  QVERIFY(w.dialogs.questions[0].startsWith(QStringLiteral("Файл %1 не похож на сценарий").arg(binary)));
  QVERIFY(w.dialogs.questions[1].startsWith(QStringLiteral("Файл %1 пуст (0 байт)").arg(empty)));
  QVERIFY(w.dialogs.questions[2].startsWith(QStringLiteral("Файл %1 — документ RTF без конца").arg(cut)));
  for (const QString& question : w.dialogs.questions)
    QVERIFY(question.endsWith(QStringLiteral("\nЗаменить им текущий текст сценария?")));
  QCOMPARE(w.document.lines(), text);
  QCOMPARE(w.document.path(), mine);

  // Said yes to, a doubtful file opens.
  w.dialogs.choiceAnswers = {kOpen};
  QVERIFY(w.mainWindow->openScenario(cut));
  QCOMPARE(w.document.path(), cut);
  QCOMPARE(w.document.line(0), std::string(":a"));
}

void WindowFileSafetyTest::loadGameRefusesWhatIsNoCommandLog() {
  Windows w;
  w.setScenario(kGame);
  w.mainWindow->beginGame();
  w.mainWindow->commandLine()->setText(QStringLiteral("осмотреться"));
  w.mainWindow->submitCommand();
  const QStringList output = w.output();

  const QString random = w.path(QStringLiteral("random.sav"));
  writeBytes(random, randomBytes(3 << 20));
  w.dialogs.fileAnswers = {random};
  w.mainWindow->loadGameAction()->trigger();
  QCOMPARE(w.dialogs.messages,
           QStringList{
               QStringLiteral("«%1» — не сохранённая игра: в файле не текст команд. Игра продолжается.").arg(random)});
  QCOMPARE(w.output(), output);
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{1});

  // Commands of another game: asked first.
  const QString other = w.path(QStringLiteral("other.sav"));
  writeBytes(other, "1\r\n2\r\n3\r\n");
  w.dialogs.fileAnswers = {other};
  w.mainWindow->loadGameAction()->trigger();
  QCOMPARE(w.dialogs.questions.size(), 1);
  QVERIFY(w.dialogs.questions[0].contains(QStringLiteral("3 из 3 команд")));
  QCOMPARE(w.output(), output);
  w.dialogs.fileAnswers = {other};
  w.dialogs.choiceAnswers = {kLoad};
  w.mainWindow->loadGameAction()->trigger();
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{3});
}

void WindowFileSafetyTest::droppedFilesOpenWithTheSameQuestions() {
  Windows w;
  const QString mine = w.path(QStringLiteral("mine.scn"));
  window_test::writeCp1251(mine, kGame);
  const QString saved = w.path(QStringLiteral("game.sav"));
  writeBytes(saved, QByteArray::fromStdString(window_test::cp1251({QStringLiteral("осмотреться")})[0]) + "\r\n");
  edit(w);

  w.dialogs.choiceAnswers = {2};  // unsaved changes: Отмена keeps them
  drop(w.mainWindow->commandLine(), mine);
  QCOMPARE(w.dialogs.questions.size(), 1);
  QVERIFY(w.document.path().isEmpty());
  w.dialogs.choiceAnswers = {1};  // Нет: the dropped scenario opens and starts
  drop(w.mainWindow->outputPane(), mine);
  QCOMPARE(w.document.path(), mine);

  drop(w.mainWindow.get(), saved);
  QCOMPARE(w.mainWindow->game().commandLog().size(), std::size_t{1});
  QVERIFY(w.output().contains(QStringLiteral("Тихо.")));
}

void WindowFileSafetyTest::closingTheWindowAsksAsExitDoes() {
  Windows w;
  QVERIFY(w.showActive());
  edit(w);
  w.dialogs.choiceAnswers = {2};  // Отмена
  QVERIFY(!w.mainWindow->close());
  QVERIFY(w.mainWindow->isVisible());
  QCOMPARE(w.exitCalls, 0);
  w.dialogs.choiceAnswers = {1};  // Не сохранять
  QVERIFY(w.mainWindow->close());
  QCOMPARE(w.exitCalls, 1);
}

QObject* makeWindowFileSafetyTest() { return new WindowFileSafetyTest; }

#include "window_file_safety_test.moc"
