// Qt tests of the map editor window: header, descriptions, options, files and export.
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "editor/TForm2.h"
#include "engine/file_io.h"
#include "engine/text.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "mapedit/TMap.h"
#include "mapedit/description_area.h"
#include "mapedit/description_lines.h"
#include "mapedit/map_file.h"
#include "mapedit/map_grid_view.h"
#include "two_cell_export.h"

using namespace marvo::literals;
namespace mapedit = marvo::mapedit;

class TMapTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs;
  std::unique_ptr<TForm2> editor;
  std::unique_ptr<TMap> window;

  void nameCell(int column, int row, const QString& name) {
    auto* model = window->StringGrid1->model();
    QVERIFY(model->setData(model->index(row - 1, column - 1), name, Qt::EditRole));
  }

  // Types text into a widget; Cyrillic goes one character at a time.
  static void type(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
  }

  static std::string w(std::string_view cp1251) { return std::string(cp1251); }

 private slots:
  void init() {
    dialogs = std::make_unique<marvo::ScriptedDialogs>();
    editor = std::make_unique<TForm2>(*dialogs);
    window = std::make_unique<TMap>(*editor, *dialogs);
  }

  void cleanup() {
    window.reset();
    editor.reset();
    dialogs.reset();
  }

  void captionControlsAndInitialState() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Map editor"));
    QCOMPARE(window->Edit2->text(), QStringLiteral("на север"));
    QCOMPARE(window->Edit3->text(), QStringLiteral("на юг"));
    QCOMPARE(window->Edit4->text(), QStringLiteral("на запад"));
    QCOMPARE(window->Edit5->text(), QStringLiteral("на восток"));
    QCOMPARE(window->Label1->text(), QStringLiteral("North"));
    QCOMPARE(window->Label4->text(), QStringLiteral("East"));
    QCOMPARE(window->CheckBox1->text(), QStringLiteral("Вставлять название локации в описание"));
    QCOMPARE(window->CheckBox2->text(), QStringLiteral("Задавать названия локаций в качестве направлений"));
    QCOMPARE(window->CheckBox3->text(), QStringLiteral("Сделать переход на локацию в позиции курсора"));
    QCOMPARE(window->CheckBox4->text(), QStringLiteral("Использовать текстовую навигацию вместо кнопочной"));
    QVERIFY(!window->CheckBox1->isChecked());
    QVERIFY(!window->CheckBox2->isChecked());
    QVERIFY(window->CheckBox3->isChecked());
    QVERIFY(!window->CheckBox4->isChecked());
    QCOMPARE(window->New1->text(), QStringLiteral("New"));
    QCOMPARE(window->Loadfile1->text(), QStringLiteral("Load map"));
    QCOMPARE(window->Savefile1->text(), QStringLiteral("Save map"));
    QCOMPARE(window->Savescenary1->text(), QStringLiteral("Export map"));
    QCOMPARE(window->Exit1->text(), QStringLiteral("Close"));
    QCOMPARE(window->StringGrid1->model()->rowCount(), 99);
    QCOMPARE(window->StringGrid1->model()->columnCount(), 99);
    QCOMPARE(window->currentColumn(), 1);
    QCOMPARE(window->currentRow(), 1);
  }

  void headerShowsCoordinatesFromEveryOpening() {
    QCOMPARE(window->cellText(5, 0), QString());
    QCOMPARE(window->cellText(0, 0), QString());
    window->show();
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    QCOMPARE(window->cellText(0, 0), QStringLiteral("0"));
    for (int i = 1; i <= 99; ++i) {
      QCOMPARE(window->cellText(i, 0), QString::number(i));
      QCOMPARE(window->cellText(0, i), QString::number(i));
    }
    auto* model = window->StringGrid1->model();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("1"));
    QCOMPARE(model->headerData(98, Qt::Vertical).toString(), QStringLiteral("99"));
    QCOMPARE(window->StringGrid1->horizontalHeader()->defaultSectionSize(), 80);
    QCOMPARE(window->StringGrid1->verticalHeader()->defaultSectionSize(), 15);
    window->hide();
    window->show();
    QCOMPARE(window->cellText(42, 0), QStringLiteral("42"));
    QVERIFY(window->isVisible());
    window->Exit1->trigger();
    QVERIFY(!window->isVisible());
  }

  void enterStoresTheDescriptionAndFocusGoesToTheGrid() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    nameCell(1, 1, QStringLiteral("Холл"));
    window->Memo2->setFocus();
    type(window->Memo2, QStringLiteral("Светлый холл"));
    QTest::keyClick(window->Memo2, Qt::Key_Return);
    QCOMPARE(window->map().description(101), w("Светлый холл"_w));
    QCOMPARE(QApplication::focusWidget(), window->StringGrid1);
    // The Enter itself reaches the area, but a line break is no part of a description.
    QCOMPARE(window->Memo2->storedDescription(), w("Светлый холл"_w));
  }

  void escapeStoresTheDescriptionAndClosesTheWindow() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    nameCell(3, 2, QStringLiteral("Сад"));
    window->setCurrentCell(3, 2);
    window->Memo2->setFocus();
    QTest::keyClicks(window->Memo2, QStringLiteral("Garden"));
    QTest::keyClick(window->Memo2, Qt::Key_Escape);
    QCOMPARE(window->map().description(203), std::string("Garden"));
    QVERIFY(!window->isVisible());
  }

  void descriptionFollowsTheCurrentCell() {
    nameCell(1, 1, QStringLiteral("A"));
    const std::string text(200, 'x');
    const std::string sentence =
        "A long paragraph typed without line breaks comes back unchanged after it was wrapped "
        "in the area, word by word, line by line.";
    window->setCurrentCell(1, 1);
    window->Memo2->setPlainText(marvo::toQt(sentence));
    window->Memo2KeyPress();
    QCOMPARE(window->map().description(101), sentence);

    window->setCurrentCell(2, 1);  // unnamed: the area is empty
    QVERIFY(window->Memo2->shownLines().isEmpty());
    window->setCurrentCell(1, 1);
    QCOMPARE(window->Memo2->shownLines(), marvo::toQt(mapedit::breakDescription(sentence)));
    QVERIFY(window->Memo2->shownLines().size() >= 2);

    // Text typed without Enter is dropped when the cell changes.
    window->Memo2->setPlainText(QStringLiteral("not stored"));
    window->setCurrentCell(2, 1);
    window->setCurrentCell(1, 1);
    QCOMPARE(window->map().description(101), sentence);
    QCOMPARE(window->Memo2->storedDescription(), sentence);
  }

  void typedLinesAreJoinedAndUnnamedCellsKeepHiddenText() {
    window->setCurrentCell(4, 4);  // unnamed
    window->Memo2->setPlainText(QStringLiteral("first line\nsecond"));
    window->Memo2KeyPress();
    QCOMPARE(window->map().description(404), std::string("first linesecond"));
    window->setCurrentCell(5, 4);
    window->setCurrentCell(4, 4);
    QVERIFY(window->Memo2->shownLines().isEmpty());  // shown again only once the cell has a name
    nameCell(4, 4, QStringLiteral("Now named"));
    window->setCurrentCell(5, 4);
    window->setCurrentCell(4, 4);
    QCOMPARE(window->Memo2->shownLines(), QStringList{QStringLiteral("first linesecond")});
  }

  void theAreaBreaksLinesWhileTyping() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->Memo2->setFocus();
    QString text;
    for (int i = 0; i < 30; ++i) text += QStringLiteral("слово%1 ").arg(i);
    type(window->Memo2, text);
    const auto expected = mapedit::breakDescription(marvo::fromQt(text));
    QCOMPARE(window->Memo2->shownLines(), marvo::toQt(expected));
    // Only the blank at a break may stand past the width.
    for (const auto& line : window->Memo2->shownLines()) QVERIFY(line.trimmed().size() <= 78);
    // The caret stays behind the last character typed.
    QVERIFY(window->Memo2->textCursor().atEnd());
    // Backspace at the start of a line deletes the last character of the line before.
    auto cursor = window->Memo2->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock);
    window->Memo2->setTextCursor(cursor);
    QTest::keyClick(window->Memo2, Qt::Key_Backspace);
    QString shorter = text;
    shorter.remove(static_cast<int>(expected.front().size()) - 1, 1);
    QCOMPARE(window->Memo2->shownLines().join(QString()), shorter);
  }

  void aBlankTypedAtTheMarginStaysOnItsLine() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->Memo2->setFocus();
    const QString word(int(mapedit::kDescriptionWidth), QLatin1Char('w'));
    QTest::keyClicks(window->Memo2, word + QStringLiteral(" "));
    QCOMPARE(window->Memo2->shownLines(), QStringList{word + QStringLiteral(" ")});
    QTest::keyClicks(window->Memo2, QStringLiteral("next"));
    QCOMPARE(window->Memo2->shownLines(), (QStringList{word + QStringLiteral(" "), QStringLiteral("next")}));
    QVERIFY(window->Memo2->textCursor().atEnd());
  }

  void tabLeavesTheGridForTheDescriptionArea() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget(), window->StringGrid1);
    QTest::keyClick(window->StringGrid1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window->Memo2);
  }

  void escapeAnywhereClosesTheWindow() {
    for (QWidget* target : QList<QWidget*>{window->StringGrid1, window->Edit3, window->CheckBox4}) {
      window->show();
      QVERIFY(QTest::qWaitForWindowActive(window.get()));
      target->setFocus();
      QTest::keyClick(target, Qt::Key_Escape);
      QVERIFY2(!window->isVisible(), target->metaObject()->className());
    }
    // Esc while a cell is being edited drops the edit and closes the window as well.
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->StringGrid1, 'Z');
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->map().name(1, 1), std::string());
  }

  void cellsAreEditedInPlace() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->setCurrentCell(2, 3);
    QTest::keyClick(window->StringGrid1, 'H');  // typing starts the editor
    QVERIFY(QApplication::focusWidget() != window->StringGrid1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("all"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // commits after the key
    QTRY_COMPARE(window->map().name(2, 3), std::string("Hall"));
    QCOMPARE(window->cellText(2, 3), QStringLiteral("Hall"));

    // A window destroyed while a cell is being edited does not write into a dead map.
    QTest::keyClick(window->StringGrid1, Qt::Key_X);
    window.reset();
  }

  void newEmptiesTheMapButKeepsOptionsPhrasesAndArea() {
    nameCell(7, 7, QStringLiteral("X"));
    window->setCurrentCell(7, 7);
    window->Memo2->setPlainText(QStringLiteral("kept text"));
    window->Memo2KeyPress();
    window->CheckBox1->setChecked(true);
    window->CheckBox3->setChecked(false);
    window->Edit3->setText(QStringLiteral("вниз"));
    window->New1->trigger();
    QVERIFY(window->map() == mapedit::Map());
    QCOMPARE(window->cellText(7, 7), QString());
    QVERIFY(window->CheckBox1->isChecked());
    QVERIFY(!window->CheckBox3->isChecked());
    QCOMPARE(window->Edit3->text(), QStringLiteral("вниз"));
    QCOMPARE(window->Memo2->storedDescription(), std::string("kept text"));
    QCOMPARE(window->currentColumn(), 7);
  }

  void checkBox2EnablesAndDisablesTheDirectionPhrases() {
    QList<QWidget*> phrases{window->Edit2,  window->Edit3,  window->Edit4,  window->Edit5,
                            window->Label1, window->Label2, window->Label3, window->Label4};
    window->CheckBox2->setChecked(true);
    for (auto* w : phrases) QVERIFY(!w->isEnabled());
    QCOMPARE(window->Edit2->text(), QStringLiteral("на север"));
    window->CheckBox2->setChecked(false);
    for (auto* w : phrases) QVERIFY(w->isEnabled());
  }

  void saveAndLoadGoThroughTheDialogs() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("кольцо.map"));
    nameCell(1, 1, QStringLiteral("Холл"));
    nameCell(99, 99, QStringLiteral("Конец"));
    window->setCurrentCell(1, 1);
    window->Memo2->setPlainText(QStringLiteral("Описание"));
    window->Memo2KeyPress();
    const mapedit::Map saved = window->map();

    dialogs->fileAnswers.push_back(file);
    window->Savefile1->trigger();
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Saved OK")});
    QCOMPARE(dialogs->requests.back().filter, QStringLiteral("map (*.map)"));
    QCOMPARE(dialogs->requests.back().initialName, QStringLiteral("newmap.map"));
    QCOMPARE(QFileInfo(file).size(), 39802 + 4 + 5 + 8);

    window->New1->trigger();
    dialogs->fileAnswers.push_back(file);
    window->Loadfile1->trigger();
    QVERIFY(window->map() == saved);
    QCOMPARE(window->cellText(99, 99), QStringLiteral("Конец"));
    QCOMPARE(dialogs->messages.size(), 1);  // loading shows no message

    // Cancelled dialogs change nothing.
    window->New1->trigger();
    window->Loadfile1->trigger();
    window->Savefile1->trigger();
    QVERIFY(window->map() == mapedit::Map());
    QCOMPARE(dialogs->messages.size(), 1);
  }

  void aShortMapFileLeavesTheMapAsItWas() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("short.map"));
    QVERIFY(!marvo::replaceFile(file.toStdString(), "New name\r\n\r\n\r\n"));
    nameCell(1, 1, QStringLiteral("Old"));
    dialogs->fileAnswers.push_back(file);
    window->Loadfile1->trigger();
    QCOMPARE(window->map().name(1, 1), std::string("Old"));
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(file));
    QVERIFY(dialogs->messages[0].contains(QString::fromUtf8("строк в файле 3,")));

    dialogs->fileAnswers.push_back(dir.filePath(QStringLiteral("missing.map")));
    window->Loadfile1->trigger();
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY(dialogs->messages[1].contains(QStringLiteral("missing.map")));
    QCOMPARE(window->map().name(1, 1), std::string("Old"));
  }

  void exportReplacesTheCodeEditorText() {
    nameCell(1, 1, QStringLiteral("A"));
    nameCell(2, 1, QStringLiteral("B"));
    window->setCurrentCell(1, 1);
    window->Savescenary1->trigger();
    const std::vector<std::string> expected = marvo::mapedit::test::twoCellExport();
    QCOMPARE(editor->lines(), expected);
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Export map OK")});
  }

  void exportUsesTheControlsAndWarnsAboutAnEmptyCursorCell() {
    nameCell(1, 1, QStringLiteral("A"));
    nameCell(1, 2, QStringLiteral("B c"));
    window->setCurrentCell(5, 5);
    window->CheckBox1->setChecked(true);
    window->Edit3->setText(QStringLiteral(" вниз "));
    window->Savescenary1->trigger();
    QCOMPARE(dialogs->messages,
             (QStringList{QStringLiteral("Курсор стоит на пустой ячейке"), QStringLiteral("Export map OK")}));
    auto lines = editor->lines();
    QCOMPARE(lines.front(), std::string());
    QVERIFY(std::find(lines.begin(), lines.end(), std::string("@A")) != lines.end());
    QVERIFY(std::find(lines.begin(), lines.end(), w("btn [ вниз ] Bc201"_w)) != lines.end());

    window->CheckBox2->setChecked(true);
    window->Savescenary1->trigger();
    lines = editor->lines();
    QVERIFY(std::find(lines.begin(), lines.end(), std::string("btn [B c] Bc201")) != lines.end());

    window->CheckBox4->setChecked(true);
    window->Savescenary1->trigger();
    lines = editor->lines();
    QVERIFY(std::find(lines.begin(), lines.end(), w("talk sout/юг/B c"_w)) != lines.end());
    // The export leaves the map, the options and the area alone: Enter in the area afterwards
    // stores what the area showed for the current cell, not an exported description.
    QCOMPARE(window->map().name(1, 2), std::string("B c"));
    QVERIFY(window->CheckBox4->isChecked());
    window->setCurrentCell(1, 2);
    window->Memo2->setPlainText(QStringLiteral("B described"));
    window->Memo2KeyPress();
    window->Memo2->setPlainText(QStringLiteral("typed for B"));
    window->Savescenary1->trigger();
    QCOMPARE(window->Memo2->shownLines(), QStringList{QStringLiteral("typed for B")});
  }
};

QTEST_MAIN(TMapTest)
#include "tmap_window_test.moc"
