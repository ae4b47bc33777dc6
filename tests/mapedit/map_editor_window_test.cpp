// Qt tests of the map editor window: header, descriptions, options, files and export.
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "editor/code_editor_window.h"
#include "engine/file_io.h"
#include "engine/text.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "mapedit/description_area.h"
#include "mapedit/description_lines.h"
#include "mapedit/map_editor_window.h"
#include "mapedit/map_file.h"
#include "mapedit/map_grid_view.h"
#include "tests/support/private_settings.h"
#include "two_cell_export.h"

using namespace marvo::literals;
namespace mapedit = marvo::mapedit;
using mapedit::Direction;

class MapEditorWindowTest : public QObject {
  Q_OBJECT

 public:
  // Settings and recovery files of the windows stay out of the user's folders.
  static void initMain() { marvo::test::usePrivateSettings(); }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs;
  std::unique_ptr<marvo::ScenarioDocument> document;
  std::unique_ptr<marvo::CodeEditorWindow> editor;
  std::unique_ptr<marvo::MapEditorWindow> window;

  void nameCell(int column, int row, const QString& name) {
    auto* model = window->mapGrid()->model();
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
    document = std::make_unique<marvo::ScenarioDocument>();
    editor = std::make_unique<marvo::CodeEditorWindow>(*document, *dialogs);
    window = std::make_unique<marvo::MapEditorWindow>(*document, *dialogs);
  }

  void cleanup() {
    window.reset();
    editor.reset();
    dialogs.reset();
  }

  void captionControlsAndInitialState() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Map editor"));
    QCOMPARE(window->directionField(Direction::North)->text(), QStringLiteral("на север"));
    QCOMPARE(window->directionField(Direction::South)->text(), QStringLiteral("на юг"));
    QCOMPARE(window->directionField(Direction::West)->text(), QStringLiteral("на запад"));
    QCOMPARE(window->directionField(Direction::East)->text(), QStringLiteral("на восток"));
    QCOMPARE(window->directionLabel(Direction::North)->text(), QStringLiteral("North"));
    QCOMPARE(window->directionLabel(Direction::East)->text(), QStringLiteral("East"));
    QCOMPARE(window->nameInDescriptionBox()->text(), QStringLiteral("Вставлять название локации в описание"));
    QCOMPARE(window->namesAsDirectionsBox()->text(),
             QStringLiteral("Задавать названия локаций в качестве направлений"));
    QCOMPARE(window->jumpToCursorBox()->text(), QStringLiteral("Сделать переход на локацию в позиции курсора"));
    QCOMPARE(window->textNavigationBox()->text(), QStringLiteral("Использовать текстовую навигацию вместо кнопочной"));
    QVERIFY(!window->nameInDescriptionBox()->isChecked());
    QVERIFY(!window->namesAsDirectionsBox()->isChecked());
    QVERIFY(window->jumpToCursorBox()->isChecked());
    QVERIFY(!window->textNavigationBox()->isChecked());
    QCOMPARE(window->newMapAction()->text(), QStringLiteral("New"));
    QCOMPARE(window->loadMapAction()->text(), QStringLiteral("Load map"));
    QCOMPARE(window->saveMapAction()->text(), QStringLiteral("Save map"));
    QCOMPARE(window->exportAction()->text(), QStringLiteral("Export map"));
    QCOMPARE(window->closeAction()->text(), QStringLiteral("Close"));
    QCOMPARE(window->mapGrid()->model()->rowCount(), 99);
    QCOMPARE(window->mapGrid()->model()->columnCount(), 99);
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
    auto* model = window->mapGrid()->model();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("1"));
    QCOMPARE(model->headerData(98, Qt::Vertical).toString(), QStringLiteral("99"));
    QCOMPARE(window->mapGrid()->horizontalHeader()->defaultSectionSize(), 80);
    QCOMPARE(window->mapGrid()->verticalHeader()->defaultSectionSize(), 15);
    window->hide();
    window->show();
    QCOMPARE(window->cellText(42, 0), QStringLiteral("42"));
    QVERIFY(window->isVisible());
    window->closeAction()->trigger();
    QVERIFY(!window->isVisible());
  }

  void enterStoresTheDescriptionAndFocusGoesToTheGrid() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    nameCell(1, 1, QStringLiteral("Холл"));
    window->descriptionArea()->setFocus();
    type(window->descriptionArea(), QStringLiteral("Светлый холл"));
    QTest::keyClick(window->descriptionArea(), Qt::Key_Return);
    QCOMPARE(window->map().description(101), w("Светлый холл"_w));
    QCOMPARE(QApplication::focusWidget(), window->mapGrid());
    // The Enter itself reaches the area, but a line break is no part of a description.
    QCOMPARE(window->descriptionArea()->storedDescription(), w("Светлый холл"_w));
  }

  void escapeStoresTheDescriptionAndClosesTheWindow() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    nameCell(3, 2, QStringLiteral("Сад"));
    window->setCurrentCell(3, 2);
    window->descriptionArea()->setFocus();
    QTest::keyClicks(window->descriptionArea(), QStringLiteral("Garden"));
    QTest::keyClick(window->descriptionArea(), Qt::Key_Escape);
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
    window->descriptionArea()->setPlainText(marvo::toQt(sentence));
    window->storeDescription();
    QCOMPARE(window->map().description(101), sentence);

    window->setCurrentCell(2, 1);  // unnamed: the area is empty
    QVERIFY(window->descriptionArea()->shownLines().isEmpty());
    window->setCurrentCell(1, 1);
    QCOMPARE(window->descriptionArea()->shownLines(), marvo::toQt(mapedit::breakDescription(sentence)));
    QVERIFY(window->descriptionArea()->shownLines().size() >= 2);

    // Text typed without Enter is dropped when the cell changes.
    window->descriptionArea()->setPlainText(QStringLiteral("not stored"));
    window->setCurrentCell(2, 1);
    window->setCurrentCell(1, 1);
    QCOMPARE(window->map().description(101), sentence);
    QCOMPARE(window->descriptionArea()->storedDescription(), sentence);
  }

  void typedLinesAreJoinedAndUnnamedCellsKeepHiddenText() {
    window->setCurrentCell(4, 4);  // unnamed
    window->descriptionArea()->setPlainText(QStringLiteral("first line\nsecond"));
    window->storeDescription();
    QCOMPARE(window->map().description(404), std::string("first linesecond"));
    window->setCurrentCell(5, 4);
    window->setCurrentCell(4, 4);
    QVERIFY(window->descriptionArea()->shownLines().isEmpty());  // shown again only once the cell has a name
    nameCell(4, 4, QStringLiteral("Now named"));
    window->setCurrentCell(5, 4);
    window->setCurrentCell(4, 4);
    QCOMPARE(window->descriptionArea()->shownLines(), QStringList{QStringLiteral("first linesecond")});
  }

  void theAreaBreaksLinesWhileTyping() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->descriptionArea()->setFocus();
    QString text;
    for (int i = 0; i < 30; ++i) text += QStringLiteral("слово%1 ").arg(i);
    type(window->descriptionArea(), text);
    const auto expected = mapedit::breakDescription(marvo::fromQt(text));
    QCOMPARE(window->descriptionArea()->shownLines(), marvo::toQt(expected));
    // Only the blank at a break may stand past the width.
    for (const auto& line : window->descriptionArea()->shownLines()) QVERIFY(line.trimmed().size() <= 78);
    // The caret stays behind the last character typed.
    QVERIFY(window->descriptionArea()->textCursor().atEnd());
    // Backspace at the start of a line deletes the last character of the line before.
    auto cursor = window->descriptionArea()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock);
    window->descriptionArea()->setTextCursor(cursor);
    QTest::keyClick(window->descriptionArea(), Qt::Key_Backspace);
    QString shorter = text;
    shorter.remove(static_cast<int>(expected.front().size()) - 1, 1);
    QCOMPARE(window->descriptionArea()->shownLines().join(QString()), shorter);
  }

  void aBlankTypedAtTheMarginStaysOnItsLine() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->descriptionArea()->setFocus();
    const QString word(int(mapedit::kDescriptionWidth), QLatin1Char('w'));
    QTest::keyClicks(window->descriptionArea(), word + QStringLiteral(" "));
    QCOMPARE(window->descriptionArea()->shownLines(), QStringList{word + QStringLiteral(" ")});
    QTest::keyClicks(window->descriptionArea(), QStringLiteral("next"));
    QCOMPARE(window->descriptionArea()->shownLines(),
             (QStringList{word + QStringLiteral(" "), QStringLiteral("next")}));
    QVERIFY(window->descriptionArea()->textCursor().atEnd());
  }

  void tabLeavesTheGridForTheDescriptionArea() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget(), window->mapGrid());
    QTest::keyClick(window->mapGrid(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window->descriptionArea());
  }

  void escapeAnywhereClosesTheWindow() {
    for (QWidget* target :
         QList<QWidget*>{window->mapGrid(), window->directionField(Direction::South), window->textNavigationBox()}) {
      window->show();
      QVERIFY(QTest::qWaitForWindowActive(window.get()));
      target->setFocus();
      QTest::keyClick(target, Qt::Key_Escape);
      QVERIFY2(!window->isVisible(), target->metaObject()->className());
    }
    // Esc while a cell is being edited drops the edit and closes the window as well.
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->mapGrid(), 'Z');
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->map().name(1, 1), std::string());
  }

  void cellsAreEditedInPlace() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->setCurrentCell(2, 3);
    QTest::keyClick(window->mapGrid(), 'H');  // typing starts the editor
    QVERIFY(QApplication::focusWidget() != window->mapGrid());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("all"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // commits after the key
    QTRY_COMPARE(window->map().name(2, 3), std::string("Hall"));
    QCOMPARE(window->cellText(2, 3), QStringLiteral("Hall"));

    // A window destroyed while a cell is being edited does not write into a dead map.
    QTest::keyClick(window->mapGrid(), Qt::Key_X);
    window.reset();
  }

  void newEmptiesTheMapButKeepsOptionsPhrasesAndArea() {
    nameCell(7, 7, QStringLiteral("X"));
    window->setCurrentCell(7, 7);
    window->descriptionArea()->setPlainText(QStringLiteral("kept text"));
    window->storeDescription();
    window->nameInDescriptionBox()->setChecked(true);
    window->jumpToCursorBox()->setChecked(false);
    window->directionField(Direction::South)->setText(QStringLiteral("вниз"));
    window->newMapAction()->trigger();
    QVERIFY(window->map() == mapedit::Map());
    QCOMPARE(window->cellText(7, 7), QString());
    QVERIFY(window->nameInDescriptionBox()->isChecked());
    QVERIFY(!window->jumpToCursorBox()->isChecked());
    QCOMPARE(window->directionField(Direction::South)->text(), QStringLiteral("вниз"));
    QCOMPARE(window->descriptionArea()->storedDescription(), std::string("kept text"));
    QCOMPARE(window->currentColumn(), 7);
  }

  void namesAsDirectionsEnablesAndDisablesTheDirectionPhrases() {
    QList<QWidget*> phrases;
    for (auto direction : {Direction::North, Direction::South, Direction::West, Direction::East})
      phrases << window->directionField(direction) << window->directionLabel(direction);
    window->namesAsDirectionsBox()->setChecked(true);
    for (auto* w : phrases) QVERIFY(!w->isEnabled());
    QCOMPARE(window->directionField(Direction::North)->text(), QStringLiteral("на север"));
    window->namesAsDirectionsBox()->setChecked(false);
    for (auto* w : phrases) QVERIFY(w->isEnabled());
  }

  void saveAndLoadGoThroughTheDialogs() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("кольцо.map"));
    nameCell(1, 1, QStringLiteral("Холл"));
    nameCell(99, 99, QStringLiteral("Конец"));
    window->setCurrentCell(1, 1);
    window->descriptionArea()->setPlainText(QStringLiteral("Описание"));
    window->storeDescription();
    const mapedit::Map saved = window->map();

    dialogs->fileAnswers.push_back(file);
    window->saveMapAction()->trigger();
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Saved OK")});
    QCOMPARE(dialogs->requests.back().filter, QStringLiteral("map (*.map)"));
    QCOMPARE(dialogs->requests.back().initialName, QStringLiteral("newmap.map"));
    QCOMPARE(QFileInfo(file).size(), 39802 + 4 + 5 + 8);

    window->newMapAction()->trigger();
    dialogs->fileAnswers.push_back(file);
    window->loadMapAction()->trigger();
    QVERIFY(window->map() == saved);
    QCOMPARE(window->cellText(99, 99), QStringLiteral("Конец"));
    QCOMPARE(dialogs->messages.size(), 1);  // loading shows no message

    // Cancelled dialogs change nothing.
    window->newMapAction()->trigger();
    window->loadMapAction()->trigger();
    window->saveMapAction()->trigger();
    QVERIFY(window->map() == mapedit::Map());
    QCOMPARE(dialogs->messages.size(), 1);
  }

  void aShortMapFileLeavesTheMapAsItWas() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("short.map"));
    QVERIFY(!marvo::replaceFile(file.toStdString(), "New name\r\n\r\n\r\n"));
    nameCell(1, 1, QStringLiteral("Old"));
    dialogs->fileAnswers.push_back(file);
    window->loadMapAction()->trigger();
    QCOMPARE(window->map().name(1, 1), std::string("Old"));
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(file));
    QVERIFY(dialogs->messages[0].contains(QString::fromUtf8("строк в файле 3,")));

    dialogs->fileAnswers.push_back(dir.filePath(QStringLiteral("missing.map")));
    window->loadMapAction()->trigger();
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY(dialogs->messages[1].contains(QStringLiteral("missing.map")));
    QCOMPARE(window->map().name(1, 1), std::string("Old"));
  }

  void exportReplacesTheCodeEditorText() {
    nameCell(1, 1, QStringLiteral("A"));
    nameCell(2, 1, QStringLiteral("B"));
    window->setCurrentCell(1, 1);
    window->exportAction()->trigger();
    const std::vector<std::string> expected = marvo::mapedit::test::twoCellExport();
    QCOMPARE(document->lines(), expected);
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Export map OK")});
  }

  void exportUsesTheControlsAndWarnsAboutAnEmptyCursorCell() {
    nameCell(1, 1, QStringLiteral("A"));
    nameCell(1, 2, QStringLiteral("B c"));
    window->setCurrentCell(5, 5);
    window->nameInDescriptionBox()->setChecked(true);
    window->directionField(Direction::South)->setText(QStringLiteral(" вниз "));
    window->exportAction()->trigger();
    QCOMPARE(dialogs->messages,
             (QStringList{QStringLiteral("Курсор стоит на пустой ячейке"), QStringLiteral("Export map OK")}));
    auto lines = document->lines();
    QCOMPARE(lines.front(), std::string());
    QVERIFY(std::find(lines.begin(), lines.end(), std::string("@A")) != lines.end());
    QVERIFY(std::find(lines.begin(), lines.end(), w("btn [ вниз ] Bc201"_w)) != lines.end());

    window->namesAsDirectionsBox()->setChecked(true);
    window->exportAction()->trigger();
    lines = document->lines();
    QVERIFY(std::find(lines.begin(), lines.end(), std::string("btn [B c] Bc201")) != lines.end());

    window->textNavigationBox()->setChecked(true);
    window->exportAction()->trigger();
    lines = document->lines();
    QVERIFY(std::find(lines.begin(), lines.end(), w("talk sout/юг/B c"_w)) != lines.end());
    // The export leaves the map, the options and the area alone: Enter in the area afterwards
    // stores what the area showed for the current cell, not an exported description.
    QCOMPARE(window->map().name(1, 2), std::string("B c"));
    QVERIFY(window->textNavigationBox()->isChecked());
    window->setCurrentCell(1, 2);
    window->descriptionArea()->setPlainText(QStringLiteral("B described"));
    window->storeDescription();
    window->descriptionArea()->setPlainText(QStringLiteral("typed for B"));
    window->exportAction()->trigger();
    QCOMPARE(window->descriptionArea()->shownLines(), QStringList{QStringLiteral("typed for B")});
  }
};

QTEST_MAIN(MapEditorWindowTest)
#include "map_editor_window_test.moc"
