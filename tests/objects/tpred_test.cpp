// Tests of the object placer window Tpred on a real code editor.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QtTest>

#include "editor/TForm2.h"
#include "engine/text.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "objects/Tpred.h"

using namespace marvo::literals;
using marvo::toQt;

namespace {
void typeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
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

class TpredTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dialogs = std::make_unique<marvo::ScriptedDialogs>();
    editor = std::make_unique<TForm2>(*dialogs);
    placer = std::make_unique<Tpred>(*editor, *dialogs);
  }
  void cleanup() {
    placer.reset();
    editor.reset();
  }

  void initialState() {
    QCOMPARE(placer->windowTitle(), QStringLiteral("Установка объектов"));
    QCOMPARE(placer->PageControl1->tabText(0), QStringLiteral("Планировщик объектов"));
    QCOMPARE(placer->size(), QSize(620, 422));
    QCOMPARE(placer->Edit1->text(), QStringLiteral("объект"));
    QCOMPARE(placer->ComboBox1->currentText(), QString());
    QCOMPARE(placer->Edit10->text(), QStringLiteral("Так же есть объект"));
    QCOMPARE(placer->Memo1->toPlainText(), QStringLiteral("Ничего особенного..."));
    QCOMPARE(placer->Edit7->text(), QStringLiteral("помести в "));
    QCOMPARE(placer->Edit13->text(), QStringLiteral("<object> помещен в объект"));
    QCOMPARE(placer->Edit9->text(), QStringLiteral("100"));
    QVERIFY(!placer->CheckBox1->isChecked() && !placer->CheckBox2->isChecked());
    QVERIFY(placer->Edit1->toolTip().startsWith(QStringLiteral("Если имя состоит")));
  }

  void nameTypingConvertsBlanksAndDrivesDependentFields() {
    placer->Edit5->setText(QStringLiteral("маска от руки"));
    placer->Edit1->clear();
    typeText(placer->Edit1, QStringLiteral("ржавый ключ"));
    QCOMPARE(placer->Edit1->text(), QStringLiteral("ржавый.ключ"));
    QCOMPARE(placer->Edit5->text(), QStringLiteral("ржавый.ключ"));
    QCOMPARE(placer->Edit2->text(), QStringLiteral("ржавый.ключ"));
    QCOMPARE(placer->Edit10->text(), QStringLiteral("Так же есть ржавый.ключ"));
    QCOMPARE(placer->Edit13->text(), QStringLiteral("<object> помещен в ржавый.ключ"));

    // A blank that arrives without a key (pasting) stays a blank.
    placer->Edit1->insert(QStringLiteral(" x"));
    QCOMPARE(placer->Edit1->text(), QStringLiteral("ржавый.ключ x"));
  }

  void locationListIsRebuiltOnFocus() {
    editor->setLines({":loc1", ":common ", " :no", std::string(":Башня"_w)});
    focusFromElsewhere(placer->ComboBox1);
    QCOMPARE(items(placer->ComboBox1), (QStringList{QStringLiteral("common"), QStringLiteral("loc1"),
                                                    QStringLiteral("Башня"),
                                                    QStringLiteral("инвентарь")}));
    QCOMPARE(placer->ComboBox1->currentIndex(), -1);

    placer->ComboBox1->setCurrentIndex(1);
    editor->setLines({":loc1", ":loc2"});
    focusFromElsewhere(placer->ComboBox1);
    QCOMPARE(items(placer->ComboBox1), (QStringList{QStringLiteral("loc1"), QStringLiteral("loc2"),
                                                    QStringLiteral("инвентарь")}));
    QCOMPARE(placer->ComboBox1->currentText(), QStringLiteral("loc1"));

    // The choice is dropped once its label is gone.
    editor->setLines({":loc2"});
    focusFromElsewhere(placer->ComboBox1);
    QCOMPARE(placer->ComboBox1->currentIndex(), -1);
  }

  void createInsertsAtTopAndAfterCommonAndStaysOpen() {
    placer->show();
    // The caret of the code editor does not matter.
    editor->Memo1->moveCursor(QTextCursor::End);
    placer->Edit1->clear();
    typeText(placer->Edit1, QStringLiteral("сундук"));
    placer->Edit1->setText(QStringLiteral("  сундук "));
    placer->Edit5->setText(QStringLiteral(" сундук\t"));
    focusFromElsewhere(placer->ComboBox1);
    placer->ComboBox1->setCurrentText(QStringLiteral("loc1"));
    placer->CheckBox2->setChecked(true);
    placer->CheckBox3->setChecked(true);
    placer->Edit9->setText(QStringLiteral("5"));
    const int before = editor->lineCount();

    QTest::mouseClick(placer->Button1, Qt::LeftButton);

    QCOMPARE(placer->Edit1->text(), QStringLiteral("сундук"));
    QCOMPARE(placer->Edit5->text(), QStringLiteral("сундук"));
    QCOMPARE(editor->lineCount(), before + 8 + 12);
    QCOMPARE(toQt(editor->line(0)), QStringLiteral("CREATE сундук"));
    QCOMPARE(toQt(editor->line(1)), QStringLiteral("сундук_Расположение=loc1"));
    QCOMPARE(toQt(editor->line(4)), QStringLiteral("сундук_Дескриптор=Так же есть сундук"));
    QCOMPARE(toQt(editor->line(7)), QString());
    QCOMPARE(toQt(editor->line(8 + 12)), QStringLiteral(":common"));
    QCOMPARE(toQt(editor->line(8 + 13)), QStringLiteral("IF сундук_Расположение=Enable"));
    QCOMPARE(toQt(editor->line(8 + 14)),
             QStringLiteral("TALK положи в <object> сундук/сунуть в <object> сундук/"
                            "помести в  <object> сундук/добав в <object> сундук"));
    QCOMPARE(toQt(editor->line(8 + 23)), QStringLiteral("* завершение процедуры для объекта сундук"));
    QCOMPARE(toQt(editor->line(8 + 24)), QString());
    QCOMPARE(toQt(editor->line(8 + 27)), QStringLiteral("RETURN"));

    QVERIFY(placer->isVisible());
    QCOMPARE(placer->ComboBox1->currentText(), QStringLiteral("loc1"));
    QVERIFY(placer->CheckBox2->isChecked());
    QVERIFY(dialogs->messages.isEmpty());
  }

  void createWithoutExactCommonInsertsOnlyTheBlock() {
    editor->setLines({"READ", ":common ", "RETURN"});
    placer->CheckBox2->setChecked(true);
    placer->CheckBox1->setChecked(true);
    placer->Button1Click();
    QCOMPARE(editor->lineCount(), 3 + 9);
    QCOMPARE(toQt(editor->line(1)), QStringLiteral("объект_Расположение=inv"));
    QCOMPARE(toQt(editor->line(7)), QStringLiteral("объект_Непереносимый=Да"));
    QCOMPARE(toQt(editor->line(9)), QStringLiteral("READ"));
    QCOMPARE(toQt(editor->line(10)), QStringLiteral(":common "));
  }

  void nameDeclaredEarlierIsWarnedAboutAndNotInserted() {
    using namespace marvo::literals;
    editor->setLines({std::string("CREATE Объект"_w), ":loc1", "READ"});
    placer->Button1Click();
    QCOMPARE(editor->lineCount(), 3);
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("строкой 1")));
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("объявлен повторно")));
    // Another name goes in as usual, and a second press for it is refused in turn.
    placer->Edit1->setText(QStringLiteral("ключ"));
    placer->Edit5->setText(QStringLiteral("ключ"));
    placer->Button1Click();
    QCOMPARE(editor->lineCount(), 3 + 8);
    placer->Button1Click();
    QCOMPARE(editor->lineCount(), 3 + 8);
    QCOMPARE(dialogs->messages.size(), 2);
  }

  void escapeClosesTheWindow() {
    placer->show();
    QTest::keyClick(placer->Edit3, Qt::Key_Escape);
    QVERIFY(!placer->isVisible());
  }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs;
  std::unique_ptr<TForm2> editor;
  std::unique_ptr<Tpred> placer;
};

QTEST_MAIN(TpredTest)
#include "tpred_test.moc"
