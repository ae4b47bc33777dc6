// The library editor window: saving "marvo.lib" (content, line breaks, messages), Tab, Esc.
#include <QDir>
#include <QTemporaryDir>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "editor/library_editor_window.h"
#include "editor_window_fixture.h"
#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "tests/support/private_settings.h"

class LibraryWindowTest : public QObject {
  Q_OBJECT

 public:
  // Settings and recovery files of the windows stay out of the user's folders.
  static void initMain() { marvo::test::usePrivateSettings(); }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  QString previousDir_;
  std::unique_ptr<marvo::ScriptedDialogs> dialogs_;
  std::unique_ptr<marvo::LibraryEditorWindow> library_;

  std::string savedFile() const {
    auto read = marvo::readWholeFile("marvo.lib");
    return read.error.empty() ? read.bytes : "<" + read.error + ">";
  }
  void showLibrary() {
    library_->show();
    QVERIFY(QTest::qWaitForWindowActive(library_.get()));
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(dir_->path());
    dialogs_ = std::make_unique<marvo::ScriptedDialogs>();
    library_ = std::make_unique<marvo::LibraryEditorWindow>(*dialogs_);
  }
  void cleanup() {
    library_.reset();
    dialogs_.reset();
    QDir::setCurrent(previousDir_);
    dir_.reset();
  }

  void isAFixedWindowWithOneSaveButton() {
    QCOMPARE(library_->windowTitle(), QStringLiteral("Library edit"));
    showLibrary();
    QCOMPARE(library_->size(), QSize(569, 359));
    QCOMPARE(library_->minimumSize(), library_->maximumSize());
    QVERIFY(!(library_->windowFlags() & Qt::WindowMaximizeButtonHint));
  }

  void savesLinesWithCrLfAndConfirms() {
    library_->setLibraryLines(w({"TALK осмотреть", "", "RETURN"}));
    QCOMPARE(library_->libraryLines(), w({"TALK осмотреть", "", "RETURN"}));
    showLibrary();
    QTest::mouseClick(library_->saveButton(), Qt::LeftButton);
    QCOMPARE(savedFile(), w("TALK осмотреть\r\n\r\nRETURN\r\n"));
    QCOMPARE(dialogs_->messages, QStringList{QStringLiteral("Marvo.lib saved")});
    QVERIFY(library_->isVisible());
  }

  void finalBreakOnlyWhenTheTextHasOne() {
    library_->setLibraryText("a\r\nb");
    QCOMPARE(library_->libraryLines(), (std::vector<std::string>{"a", "b"}));
    QVERIFY(library_->saveLibrary());
    QCOMPARE(savedFile(), "a\r\nb");
    library_->setLibraryText("a\nb\rc\r\n\r\n");
    QCOMPARE(library_->libraryLines(), (std::vector<std::string>{"a", "b", "c", ""}));
    QVERIFY(library_->saveLibrary());
    QCOMPARE(savedFile(), "a\r\nb\r\nc\r\n\r\n");
    library_->setLibraryText(std::string_view("x\r\ny\0z\r\n", 8));
    QCOMPARE(library_->libraryLines(), (std::vector<std::string>{"x", "y"}));
  }

  void typedTextIsSavedAsTyped() {
    library_->setLibraryLines({});
    showLibrary();
    library_->libraryView()->setFocus();
    typeText(library_->libraryView(), "x");
    QTest::keyClick(library_->libraryView(), Qt::Key_Tab);
    typeText(library_->libraryView(), "ё");
    QCOMPARE(QApplication::focusWidget(), library_->libraryView());
    QTest::keyClick(library_->libraryView(), Qt::Key_Return);
    library_->saveLibrary();
    QCOMPARE(savedFile(), w("x\tё\r\n"));

    // Shift+Enter breaks the line like Enter: a new line, never a character inside the line.
    typeText(library_->libraryView(), "ab");
    QTest::keyClick(library_->libraryView(), Qt::Key_Left);
    QTest::keyClick(library_->libraryView(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(library_->libraryLines(), w({"x\tё", "a", "b"}));
    library_->saveLibrary();
    QCOMPARE(savedFile(), w("x\tё\r\na\r\nb"));
  }

  void emptyTextWritesAnEmptyFile() {
    marvo::replaceFile("marvo.lib", "old");
    library_->setLibraryLines({});
    QVERIFY(library_->saveLibrary());
    QCOMPARE(savedFile(), "");
    QVERIFY(library_->libraryLines().empty());
  }

  void aFailedWriteIsReportedAndNothingElseChanges() {
    QVERIFY(QDir().mkdir(QStringLiteral("marvo.lib")));  // a directory cannot be replaced by a file
    library_->setLibraryLines({"keep"});
    QVERIFY(!library_->saveLibrary());
    QCOMPARE(dialogs_->messages.size(), 1);
    // The file and the reason, in Russian.
    QCOMPARE(dialogs_->messages[0], QStringLiteral("Библиотека не сохранена: marvo.lib: это папка, а не файл."));
    QCOMPARE(library_->libraryLines(), std::vector<std::string>{"keep"});
    QVERIFY(std::filesystem::is_directory("marvo.lib"));
  }

  void escClosesFromEveryControl() {
    for (QWidget* target :
         {static_cast<QWidget*>(library_->libraryView()), static_cast<QWidget*>(library_->saveButton())}) {
      showLibrary();
      target->setFocus();
      QTest::keyClick(target, Qt::Key_Escape);
      QVERIFY(!library_->isVisible());
    }
  }
};

QTEST_MAIN(LibraryWindowTest)
#include "library_window_test.moc"
