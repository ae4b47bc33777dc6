// Tests of the object placer window ObjectPlacerWindow on a real code editor.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QtTest>

#include "editor/code_editor_window.h"
#include "engine/text.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "object_placer/object_placer_window.h"
#include "tests/support/private_settings.h"

using namespace marvo::literals;
using marvo::toQt;

namespace {
void typeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void focusFromElsewhere(QWidget* widget) {
  QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(widget, &event);
}

QStringList items(const QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}
}  // namespace

class ObjectPlacerWindowTest : public QObject {
  Q_OBJECT

 public:
  // Settings and recovery files of the windows stay out of the user's folders.
  static void initMain() { marvo::test::usePrivateSettings(); }

 private slots:
  void init() {
    dialogs = std::make_unique<marvo::ScriptedDialogs>();
    document = std::make_unique<marvo::ScenarioDocument>();
    editor = std::make_unique<marvo::CodeEditorWindow>(*document, *dialogs);
    placer = std::make_unique<marvo::ObjectPlacerWindow>(*document, *dialogs);
  }
  void cleanup() {
    placer.reset();
    editor.reset();
  }

  void initialState() {
    QCOMPARE(placer->windowTitle(), QStringLiteral("Установка объектов"));
    QCOMPARE(placer->pages()->tabText(0), QStringLiteral("Планировщик объектов"));
    QCOMPARE(placer->size(), QSize(620, 422));
    QCOMPARE(placer->nameField()->text(), QStringLiteral("объект"));
    QCOMPARE(placer->locationBox()->currentText(), QString());
    QCOMPARE(placer->placedDescriptionField()->text(), QStringLiteral("Так же есть объект"));
    QCOMPARE(placer->descriptionField()->toPlainText(), QStringLiteral("Ничего особенного..."));
    QCOMPARE(placer->putInFields()[2]->text(), QStringLiteral("помести в "));
    QCOMPARE(placer->putInMessageField()->text(), QStringLiteral("<object> помещен в объект"));
    QCOMPARE(placer->sizeLimitField()->text(), QStringLiteral("100"));
    QVERIFY(!placer->immovableBox()->isChecked() && !placer->addTaskBox()->isChecked());
    QVERIFY(placer->nameField()->toolTip().startsWith(QStringLiteral("Если имя состоит")));
  }

  void nameTypingConvertsBlanksAndDrivesDependentFields() {
    placer->maskField()->setText(QStringLiteral("маска от руки"));
    placer->nameField()->clear();
    typeText(placer->nameField(), QStringLiteral("ржавый ключ"));
    QCOMPARE(placer->nameField()->text(), QStringLiteral("ржавый.ключ"));
    QCOMPARE(placer->maskField()->text(), QStringLiteral("ржавый.ключ"));
    QCOMPARE(placer->maskSynonymField()->text(), QStringLiteral("ржавый.ключ"));
    QCOMPARE(placer->placedDescriptionField()->text(), QStringLiteral("Так же есть ржавый.ключ"));
    QCOMPARE(placer->putInMessageField()->text(), QStringLiteral("<object> помещен в ржавый.ключ"));

    // A blank that arrives without a key (pasting) stays a blank.
    placer->nameField()->insert(QStringLiteral(" x"));
    QCOMPARE(placer->nameField()->text(), QStringLiteral("ржавый.ключ x"));
  }

  void locationListIsRebuiltOnFocus() {
    document->setLines({":loc1", ":common ", " :no", std::string(":Башня"_w)});
    focusFromElsewhere(placer->locationBox());
    QCOMPARE(items(placer->locationBox()), (QStringList{QStringLiteral("common"), QStringLiteral("loc1"),
                                                        QStringLiteral("Башня"), QStringLiteral("инвентарь")}));
    QCOMPARE(placer->locationBox()->currentIndex(), -1);

    placer->locationBox()->setCurrentIndex(1);
    document->setLines({":loc1", ":loc2"});
    focusFromElsewhere(placer->locationBox());
    QCOMPARE(items(placer->locationBox()),
             (QStringList{QStringLiteral("loc1"), QStringLiteral("loc2"), QStringLiteral("инвентарь")}));
    QCOMPARE(placer->locationBox()->currentText(), QStringLiteral("loc1"));

    // The choice is dropped once its label is gone.
    document->setLines({":loc2"});
    focusFromElsewhere(placer->locationBox());
    QCOMPARE(placer->locationBox()->currentIndex(), -1);
  }

  void createInsertsAtTopAndAfterCommonAndStaysOpen() {
    placer->show();
    // The caret of the code editor does not matter.
    editor->scenarioView()->moveCursor(QTextCursor::End);
    placer->nameField()->clear();
    typeText(placer->nameField(), QStringLiteral("сундук"));
    placer->nameField()->setText(QStringLiteral("  сундук "));
    placer->maskField()->setText(QStringLiteral(" сундук\t"));
    focusFromElsewhere(placer->locationBox());
    placer->locationBox()->setCurrentText(QStringLiteral("loc1"));
    placer->addTaskBox()->setChecked(true);
    placer->sizeLimitBox()->setChecked(true);
    placer->sizeLimitField()->setText(QStringLiteral("5"));
    const int before = document->lineCount();

    QTest::mouseClick(placer->createButton(), Qt::LeftButton);

    QCOMPARE(placer->nameField()->text(), QStringLiteral("сундук"));
    QCOMPARE(placer->maskField()->text(), QStringLiteral("сундук"));
    QCOMPARE(document->lineCount(), before + 8 + 12);
    QCOMPARE(toQt(document->line(0)), QStringLiteral("CREATE сундук"));
    QCOMPARE(toQt(document->line(1)), QStringLiteral("сундук_Расположение=loc1"));
    QCOMPARE(toQt(document->line(4)), QStringLiteral("сундук_Дескриптор=Так же есть сундук"));
    QCOMPARE(toQt(document->line(7)), QString());
    QCOMPARE(toQt(document->line(8 + 12)), QStringLiteral(":common"));
    QCOMPARE(toQt(document->line(8 + 13)), QStringLiteral("IF сундук_Расположение=Enable"));
    QCOMPARE(toQt(document->line(8 + 14)), QStringLiteral("TALK положи в <object> сундук/сунуть в <object> сундук/"
                                                          "помести в  <object> сундук/добав в <object> сундук"));
    QCOMPARE(toQt(document->line(8 + 23)), QStringLiteral("* завершение процедуры для объекта сундук"));
    QCOMPARE(toQt(document->line(8 + 24)), QString());
    QCOMPARE(toQt(document->line(8 + 27)), QStringLiteral("RETURN"));

    QVERIFY(placer->isVisible());
    QCOMPARE(placer->locationBox()->currentText(), QStringLiteral("loc1"));
    QVERIFY(placer->addTaskBox()->isChecked());
    QVERIFY(dialogs->messages.isEmpty());
  }

  void createWithoutExactCommonInsertsOnlyTheBlock() {
    document->setLines({"READ", ":common ", "RETURN"});
    placer->addTaskBox()->setChecked(true);
    placer->immovableBox()->setChecked(true);
    placer->createObject();
    QCOMPARE(document->lineCount(), 3 + 9);
    QCOMPARE(toQt(document->line(1)), QStringLiteral("объект_Расположение=inv"));
    QCOMPARE(toQt(document->line(7)), QStringLiteral("объект_Непереносимый=Да"));
    QCOMPARE(toQt(document->line(9)), QStringLiteral("READ"));
    QCOMPARE(toQt(document->line(10)), QStringLiteral(":common "));
  }

  void nameDeclaredEarlierIsWarnedAboutAndNotInserted() {
    using namespace marvo::literals;
    document->setLines({std::string("CREATE Объект"_w), ":loc1", "READ"});
    placer->createObject();
    QCOMPARE(document->lineCount(), 3);
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("строкой 1")));
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("объявлен повторно")));
    // Another name goes in as usual, and a second press for it is refused in turn.
    placer->nameField()->setText(QStringLiteral("ключ"));
    placer->maskField()->setText(QStringLiteral("ключ"));
    placer->createObject();
    QCOMPARE(document->lineCount(), 3 + 8);
    placer->createObject();
    QCOMPARE(document->lineCount(), 3 + 8);
    QCOMPARE(dialogs->messages.size(), 2);
  }

  void escapeClosesTheWindow() {
    placer->show();
    QTest::keyClick(placer->contentsField(), Qt::Key_Escape);
    QVERIFY(!placer->isVisible());
  }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs;
  std::unique_ptr<marvo::ScenarioDocument> document;
  std::unique_ptr<marvo::CodeEditorWindow> editor;
  std::unique_ptr<marvo::ObjectPlacerWindow> placer;
};

QTEST_MAIN(ObjectPlacerWindowTest)
#include "object_placer_window_test.moc"
