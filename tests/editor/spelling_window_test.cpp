// The code editor's spelling check: unknown words of the prose underlined in their own colour,
// corrections and the dictionaries in the context menu, the switch, edits during a background
// check, and no dictionary installed.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "editor/code_editor_window.h"
#include "editor/scenario_highlighter.h"
#include "editor/spelling_underline.h"
#include "editor_window_fixture.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "tests/support/private_settings.h"

using marvo::spelling::Misspelling;

class SpellingWindowTest : public QObject {
  Q_OBJECT

 public:
  static void initMain() { marvo::test::usePrivateSettings(); }

 private:
  QTemporaryDir folder_;
  std::unique_ptr<marvo::ScriptedDialogs> dialogs_;
  std::unique_ptr<marvo::ScenarioDocument> document_;
  std::unique_ptr<marvo::CodeEditorWindow> editor_;

  marvo::SpellingUnderline* spelling() const { return editor_->spelling(); }
  QString scenarioPath() const { return folder_.filePath(QStringLiteral("game.scn")); }

  // Shows the editor on `lines` (a file in the scratch folder) and waits for the first check.
  void open(std::initializer_list<const char*> lines) {
    document_->load(w(lines), scenarioPath(), true);
    editor_->show();
    QVERIFY(QTest::qWaitForWindowExposed(editor_.get()));
    QTRY_VERIFY(spelling()->active() && !spelling()->busy());
  }
  QStringList words(int line) const {
    QStringList out;
    for (const Misspelling& m : spelling()->on(line)) out.append(marvo::toQt(m.word));
    return out;
  }
  // Opens the context menu's entries on the first character of `column` in `line`.
  void menuAt(int line, int column) {
    QTextCursor cursor(editor_->scenarioView()->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column);
    const QRect box = editor_->scenarioView()->cursorRect(cursor);
    editor_->prepareContextMenu(box.center() + QPoint(3, 0));
  }
  QAction* entry(const QString& text) const {
    for (QAction* a : editor_->contextMenu()->actions())
      if (a->text() == text) return a;
    return nullptr;
  }

 private slots:
  void initTestCase() {
    qputenv("MARVO_HUNSPELL_DIR", MARVO_SOURCE_DIR "/tests/editor/data/spelling");
    QVERIFY(folder_.isValid());
  }
  void init() {
    QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")).clear();
    QFile::remove(folder_.filePath(QStringLiteral("game.dic")));
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                  QStringLiteral("/marvo/user.dic"));
    dialogs_ = std::make_unique<marvo::ScriptedDialogs>();
    document_ = std::make_unique<marvo::ScenarioDocument>();
    editor_ = std::make_unique<marvo::CodeEditorWindow>(*document_, *dialogs_);
  }
  void cleanup() {
    editor_.reset();
    document_.reset();
    dialogs_.reset();
  }

  void proseIsUnderlinedAndCodeIsNot() {
    open({"!Старый мяак стоит на берегу", "goto мяак", ":мяак", "@Открыть двверь"});
    QCOMPARE(words(0), QStringList{QStringLiteral("мяак")});
    QCOMPARE(spelling()->on(0).front().column, 8);
    QVERIFY(words(1).isEmpty());
    QVERIFY(words(2).isEmpty());
    QCOMPARE(words(3), (QStringList{QStringLiteral("Открыть"), QStringLiteral("двверь")}));
    // Drawn under the words, in a colour of its own.
    QTRY_COMPARE(editor_->scenarioView()->wordUnderlineRects().size(), 3);
    marvo::ScenarioHighlighter colours(nullptr);
    colours.setDarkBackground(editor_->scenarioView()->darkBackground());
    QVERIFY(editor_->scenarioView()->wordUnderlineColour() != colours.underlineColour(true));
    QVERIFY(editor_->scenarioView()->wordUnderlineColour() != colours.underlineColour(false));

    // Typing: the edited line is checked again at once; lines inserted above move the marks along.
    placeCaret(editor_->scenarioView(), 1, 0);
    typeText(editor_->scenarioView(), "!ключь");
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Return);
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Return);
    QCOMPARE(words(1), QStringList{QStringLiteral("ключь")});
    QVERIFY(words(2).isEmpty());
    QCOMPARE(words(3), QStringList());  // goto мяак
    QCOMPARE(words(5), (QStringList{QStringLiteral("Открыть"), QStringLiteral("двверь")}));
    QCOMPARE(spelling()->on(5).front().line, 5);
    placeCaret(editor_->scenarioView(), 1, 6);
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Backspace);
    QVERIFY(words(1).isEmpty());
    // One letter typed over another: the line's length stays, its words change.
    placeCaret(editor_->scenarioView(), 1, 4);
    QTest::keyClick(editor_->scenarioView(), Qt::Key_Right, Qt::ShiftModifier);
    typeText(editor_->scenarioView(), "ж");
    QCOMPARE(words(1), QStringList{QStringLiteral("клюж")});
  }

  void theContextMenuCorrectsAddsAndIgnores() {
    open({"!Старый мяак стоит", "!Сундку и ключь", "!ключь", "!двверь"});
    menuAt(0, 1);  // on a known word: no spelling entries
    QVERIFY(!entry(QStringLiteral("Пропустить")));
    menuAt(0, 8);
    QVERIFY(entry(QStringLiteral("Добавить в словарь игры")));
    QVERIFY(entry(QStringLiteral("Добавить в словарь пользователя")));
    QVERIFY(entry(QStringLiteral("Пропустить")));
    QTRY_VERIFY(entry(QStringLiteral("маяк")));  // found on a worker
    QVERIFY(editor_->contextMenu()->actions().indexOf(entry(QStringLiteral("маяк"))) <
            editor_->contextMenu()->actions().indexOf(entry(QStringLiteral("Пропустить"))));
    entry(QStringLiteral("маяк"))->trigger();
    QCOMPARE(document_->line(0), w("!Старый маяк стоит"));
    QVERIFY(words(0).isEmpty());

    // Added to the game's dictionary: written beside the scenario, the word no longer underlined.
    menuAt(1, 2);
    entry(QStringLiteral("Добавить в словарь игры"))->trigger();
    QFile dic(folder_.filePath(QStringLiteral("game.dic")));
    QVERIFY(dic.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(dic.readAll()).trimmed(), QStringLiteral("Сундку"));
    QTRY_VERIFY(!spelling()->busy());
    QCOMPARE(words(1), QStringList{QStringLiteral("ключь")});

    // Ignored: gone everywhere, nothing written.
    menuAt(2, 2);
    entry(QStringLiteral("Пропустить"))->trigger();
    QTRY_VERIFY(!spelling()->busy());
    QVERIFY(words(1).isEmpty() && words(2).isEmpty());
    QCOMPARE(QFile(folder_.filePath(QStringLiteral("game.dic"))).size(), dic.size());

    // The user's dictionary, in the user's data folder.
    menuAt(3, 2);
    entry(QStringLiteral("Добавить в словарь пользователя"))->trigger();
    QFile user(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/marvo/user.dic"));
    QVERIFY(user.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(user.readAll()).split(u'\n').contains(QStringLiteral("двверь")));
    QTRY_VERIFY(!spelling()->busy());
    QVERIFY(words(3).isEmpty());
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void aDictionaryThatCannotBeWrittenIsReported() {
    open({"!мяак"});
    QFile::remove(folder_.filePath(QStringLiteral("game.dic")));
    QVERIFY(QDir(folder_.path()).mkdir(QStringLiteral("game.dic")));  // a folder in the file's place
    menuAt(0, 2);
    entry(QStringLiteral("Добавить в словарь игры"))->trigger();
    QDir(folder_.path()).rmdir(QStringLiteral("game.dic"));
    QCOMPARE(dialogs_->messages.size(), 1);
    QVERIFY(dialogs_->messages.front().contains(QStringLiteral("game.dic")));
    QCOMPARE(words(0), QStringList{QStringLiteral("мяак")});
  }

  void theSwitchAndTheYoOptionAreKept() {
    open({"!мяак еще"});
    QCOMPARE(words(0), QStringList{QStringLiteral("мяак")});
    editor_->yoIsYeAction()->setChecked(false);
    QTRY_VERIFY(!spelling()->busy());
    QCOMPARE(words(0), (QStringList{QStringLiteral("мяак"), QStringLiteral("еще")}));
    editor_->spellingAction()->setChecked(false);
    QVERIFY(words(0).isEmpty());
    QVERIFY(editor_->scenarioView()->wordUnderlineRects().isEmpty());
    menuAt(0, 2);
    QVERIFY(!entry(QStringLiteral("Пропустить")));

    // A new window takes both from the settings.
    editor_.reset();
    editor_ = std::make_unique<marvo::CodeEditorWindow>(*document_, *dialogs_);
    QVERIFY(!editor_->spellingAction()->isChecked());
    QVERIFY(!editor_->yoIsYeAction()->isChecked());
    editor_->show();
    QVERIFY(!spelling()->enabled());
    editor_->spellingAction()->setChecked(true);
    QTRY_VERIFY(spelling()->active() && !spelling()->busy());
    QCOMPARE(words(0), (QStringList{QStringLiteral("мяак"), QStringLiteral("еще")}));
  }

  // Lines inserted, removed and edited while the whole text is being checked: the result equals a
  // check of the final text.
  void editsDuringTheBackgroundCheckAreKept() {
    std::vector<std::string> lines;
    for (int i = 0; i < 30000; ++i) lines.push_back(w(i % 3 ? "!мяак стоит" : "!маяк стоит"));
    document_->load(lines, scenarioPath(), true);
    editor_->show();
    QTRY_VERIFY(spelling()->active() && !spelling()->busy());
    // The result of this check cannot arrive before the edits: it comes through the event loop.
    spelling()->recheckAll();
    document_->insertLine(0, w("!ключь"));
    document_->replaceLine(4, w("!маяк"));
    document_->insertLine(2, w("!двверь"));
    document_->replaceLine(7, w("!берегу"));
    document_->insertLine(29000, w("!сундку"));
    document_->replaceLine(0, w("!сундук ключь"));
    QTRY_VERIFY_WITH_TIMEOUT(!spelling()->busy(), 60000);
    const auto final = document_->lines();
    for (int i = 0; i < static_cast<int>(final.size()); ++i) {
      QStringList expected;
      for (const std::string& word : {w("мяак"), w("ключь"), w("двверь"), w("сундку")})
        if (final[i].find(word) != std::string::npos) expected.append(marvo::toQt(word));
      if (words(i) != expected) QFAIL(qPrintable(QStringLiteral("line %1: %2").arg(i).arg(words(i).join(u' '))));
    }
  }

  void withoutADictionaryOneNoteAndNoUnderline() {
    QTemporaryDir empty;
    qputenv("MARVO_HUNSPELL_DIR", QFile::encodeName(empty.path()));
    document_->load(w({"!мяак"}), scenarioPath(), true);
    editor_->show();
    QTRY_VERIFY(editor_->spellingNote()->isVisible());
    qputenv("MARVO_HUNSPELL_DIR", MARVO_SOURCE_DIR "/tests/editor/data/spelling");
    QVERIFY(editor_->spellingNote()->text().contains(QStringLiteral("hunspell-ru")));
    QVERIFY(!editor_->spellingAction()->isEnabled());
    QVERIFY(!spelling()->active());
    QVERIFY(words(0).isEmpty());
    QVERIFY(editor_->scenarioView()->wordUnderlineRects().isEmpty());
    menuAt(0, 2);
    QVERIFY(!entry(QStringLiteral("Пропустить")));
    QVERIFY(dialogs_->messages.isEmpty());  // a note, not a message box
  }
};

QTEST_MAIN(SpellingWindowTest)
#include "spelling_window_test.moc"
