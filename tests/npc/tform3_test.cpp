// Tests of the NPC maker window TForm3 on a real code editor.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "editor/TForm2.h"
#include "engine/file_io.h"
#include "engine/text.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "npc/TForm3.h"

using namespace marvo::literals;
using marvo::toQt;
using marvo::npc::DialogueTree;

namespace {
// The tree as "depth:text" entries in pre-order, for compact comparisons.
QStringList outline(const TForm3& form) {
  QStringList out;
  for (const auto& node : form.tree())
    out << QString::number(node.depth) + QLatin1Char(':') + toQt(node.text);
  return out;
}

QStringList editorTail(const TForm2& editor, int count) {
  QStringList out;
  for (int i = editor.lineCount() - count; i < editor.lineCount(); ++i) out << toQt(editor.line(i));
  return out;
}

QString s(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

class TForm3Test : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dialogs = std::make_unique<marvo::ScriptedDialogs>();
    editor = std::make_unique<TForm2>(*dialogs);
    form = std::make_unique<TForm3>(*editor, *dialogs);
  }
  void cleanup() {
    form.reset();
    editor.reset();
  }

  void initialState() {
    QCOMPARE(form->windowTitle(), s("NPC Maker"));
    QCOMPARE(form->PageControl1->tabText(0), s("Диалог"));
    QCOMPARE(form->Edit1->text(), s("dialog1"));
    QCOMPARE(form->Edit10->text(), QString());
    QCOMPARE(form->Label6->text(), s("Дерево диалогов: до \";\" вводная фраза, после ответ NPC: "));
    QCOMPARE(form->Label1->text(), s("Метка вызова диалога:"));
    QCOMPARE(form->ToolButton2->toolTip(), s("Open dialog"));
    QCOMPARE(form->TreeView1->topLevelItemCount(), 0);
    QVERIFY(!form->currentNode());
  }

  void addNodeWithAndWithoutCurrent() {
    form->Edit10->setText(s(" a;b "));
    form->Button2->click();  // empty tree, nothing selected: first root
    form->Button2->click();  // still nothing selected: another root
    QCOMPARE(outline(*form), (QStringList{s("0: a;b "), s("0: a;b ")}));
    QCOMPARE(form->Edit10->text(), s(" a;b "));
    QVERIFY(!form->currentNode());

    form->TreeView1->setCurrentItem(form->TreeView1->topLevelItem(0));
    form->Edit10->setText(s("c"));
    form->Button3->click();  // child of the first root
    form->Edit10->setText(s("d"));
    form->Button2->click();  // current is a root: a new last root
    QCOMPARE(outline(*form), (QStringList{s("0: a;b "), s("1:c"), s("0: a;b "), s("0:d")}));
    QCOMPARE(form->currentNode(), form->TreeView1->topLevelItem(0));

    form->TreeView1->setCurrentItem(form->TreeView1->topLevelItem(0)->child(0));
    form->Edit10->setText(s("e"));
    form->Button2->click();  // current is a child: a new last sibling under the same parent
    QCOMPARE(outline(*form),
             (QStringList{s("0: a;b "), s("1:c"), s("1:e"), s("0: a;b "), s("0:d")}));
    QCOMPARE(form->currentNode(), form->TreeView1->topLevelItem(0)->child(0));
  }

  void addChildNeedsACurrentNodeAndExpandsIt() {
    form->Button3->click();
    QCOMPARE(form->TreeView1->topLevelItemCount(), 0);

    form->setTree({{0, "r"}, {1, "c"}, {2, "g"}});
    QTreeWidgetItem* root = form->TreeView1->topLevelItem(0);
    QVERIFY(!root->isExpanded());
    form->TreeView1->setCurrentItem(root);
    form->Edit10->setText(s("new"));
    form->Button3->click();
    QCOMPARE(outline(*form), (QStringList{s("0:r"), s("1:c"), s("2:g"), s("1:new")}));
    QVERIFY(root->isExpanded());
    QVERIFY(root->child(0)->isExpanded());
    QVERIFY(!root->child(1)->isSelected());
  }

  void deleteAndInsertKeys() {
    form->setTree({{0, "a"}, {1, "a1"}, {2, "a11"}, {0, "b"}});
    form->Edit10->setText(s("x"));
    // Nothing selected: both keys do nothing.
    QTest::keyClick(form->TreeView1, Qt::Key_Delete);
    QTest::keyClick(form->TreeView1, Qt::Key_Insert);
    QCOMPARE(outline(*form).size(), 4);

    form->TreeView1->setCurrentItem(form->TreeView1->topLevelItem(1));
    QTest::keyClick(form->TreeView1, Qt::Key_Insert);
    QCOMPARE(outline(*form), (QStringList{s("0:a"), s("1:a1"), s("2:a11"), s("0:b"), s("1:x")}));

    form->TreeView1->setCurrentItem(form->TreeView1->topLevelItem(0));
    QTest::keyClick(form->TreeView1, Qt::Key_Delete);  // with its descendants
    QCOMPARE(outline(*form), (QStringList{s("0:b"), s("1:x")}));
    // The node the tree moved to is current now.
    QCOMPARE(form->currentNode(), form->TreeView1->topLevelItem(0));

    QTest::keyClick(form->TreeView1, Qt::Key_Delete);
    QTest::keyClick(form->TreeView1, Qt::Key_Delete);
    QCOMPARE(form->TreeView1->topLevelItemCount(), 0);
    QVERIFY(!form->currentNode());
  }

  void blankAreaClickKeepsTheCurrentNode() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->setTree({{0, "a"}, {1, "a1"}, {0, "b"}});
    form->TreeView1->expandAll();
    QTreeWidgetItem* child = form->TreeView1->topLevelItem(0)->child(0);
    QWidget* viewport = form->TreeView1->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, form->TreeView1->visualItemRect(child).center());
    QCOMPARE(form->currentNode(), child);

    // Below the last node: Qt clears its selection, the maker keeps the node it moved to.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(10, viewport->height() - 5));
    QVERIFY(form->TreeView1->selectedItems().isEmpty());
    QCOMPARE(form->currentNode(), child);

    form->Edit10->setText(s("sib"));
    form->Button2->click();  // a sibling, not a new root
    form->Edit10->setText(s("kid"));
    form->Button3->click();
    QCOMPARE(outline(*form), (QStringList{s("0:a"), s("1:a1"), s("2:kid"), s("1:sib"), s("0:b")}));
    QTest::keyClick(form->TreeView1, Qt::Key_Delete);
    QCOMPARE(outline(*form), (QStringList{s("0:a"), s("1:sib"), s("0:b")}));
  }

  void inPlaceEditingChangesTheText() {
    form->setTree({{0, "old"}});
    QTreeWidgetItem* item = form->TreeView1->topLevelItem(0);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->TreeView1->editItem(item);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(s("Кто ты?;Страж."));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(outline(*form), QStringList{s("0:Кто ты?;Страж.")});
  }

  void newClearsTreeAndPhraseButKeepsLabel() {
    form->setTree({{0, "a"}, {1, "b"}});
    form->TreeView1->setCurrentItem(form->TreeView1->topLevelItem(0));
    form->Edit10->setText(s("phrase"));
    form->Edit1->setText(s("talk"));
    form->ToolButton1->click();
    QCOMPARE(form->TreeView1->topLevelItemCount(), 0);
    QCOMPARE(form->Edit10->text(), QString());
    QCOMPARE(form->Edit1->text(), s("talk"));
    QVERIFY(!form->currentNode());
    QVERIFY(dialogs->messages.isEmpty());
  }

  void saveAndOpen() {
    QTemporaryDir dir;
    const QString file = dir.filePath(s("разговор.dlg"));
    form->setTree({{0, std::string("Привет;Здравствуй"_w)}, {1, "a;b"}, {0, "c"}});

    dialogs->fileAnswers.push_back(std::nullopt);  // cancelled: nothing written
    form->ToolButton3->click();
    QVERIFY(!QFile::exists(file));

    dialogs->fileAnswers.push_back(file);
    form->ToolButton3->click();
    QCOMPARE(dialogs->requests.last().filter, s("dialog file (*.dlg)"));
    QCOMPARE(dialogs->requests.last().defaultSuffix, s("dlg"));
    QCOMPARE(dialogs->requests.last().initialName, QString());
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2;\xc7\xe4\xf0\xe0\xe2\xf1\xf2\xe2"
                                         "\xf3\xe9\r\n\ta;b\r\nc\r\n"));

    form->ToolButton1->click();
    dialogs->fileAnswers.push_back(file);
    form->ToolButton2->click();
    QCOMPARE(outline(*form), (QStringList{s("0:Привет;Здравствуй"), s("1:a;b"), s("0:c")}));
    QVERIFY(!form->currentNode());
    QVERIFY(dialogs->messages.isEmpty());
  }

  void brokenOrMissingFileLeavesTheTree() {
    QTemporaryDir dir;
    const QString broken = dir.filePath(s("broken.dlg"));
    QVERIFY(!marvo::replaceFile(broken.toStdString(), "a\r\n\tb\r\n\t\t\tc;d\r\ne\r\n"));
    form->setTree({{0, "keep"}, {1, "me"}});

    dialogs->fileAnswers.push_back(broken);
    form->ToolButton2->click();
    QCOMPARE(outline(*form), (QStringList{s("0:keep"), s("1:me")}));
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->messages[0], broken + s(": строка 3: неверный уровень (3) у пункта «c;d»; диалог не загружен"));

    dialogs->fileAnswers.push_back(dir.filePath(s("missing.dlg")));
    form->ToolButton2->click();
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY(dialogs->messages[1].contains(s("missing.dlg")));
    QCOMPARE(outline(*form).size(), 2);

    dialogs->fileAnswers.push_back(std::nullopt);
    form->ToolButton2->click();
    QCOMPARE(outline(*form).size(), 2);
    QCOMPARE(dialogs->messages.size(), 2);
  }

  void saveFailureIsReported() {
    QTemporaryDir dir;
    dialogs->fileAnswers.push_back(dir.filePath(s("no/such/dir/x.dlg")));
    form->ToolButton3->click();
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("x.dlg")));
  }

  void createAppendsAndCloses() {
    editor->setLines({":loc1", "READ", ":common", "RETURN"});
    form->setTree({{0, "a;b"}, {1, "c;d"}, {0, "e;f"}});
    form->Edit1->setText(s("  Беседа\t"));
    form->show();
    form->Button1->click();

    QCOMPARE(form->Edit1->text(), s("беседа"));
    QVERIFY(!form->isVisible());
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(editor->lineCount(), 4 + 13 + 21 + 4);
    QCOMPARE(toQt(editor->line(3)), s("RETURN"));
    QCOMPARE(toQt(editor->line(4)), QString());
    QCOMPARE(toQt(editor->line(6)), s(":беседа"));
    QCOMPARE(editorTail(*editor, 9),
             (QStringList{s("TALK 1"), s("!d"), s("беседа_dialog=399"), s("REDO"), s("ENDIF"),
                          QString(), s("*Возврат к вызывающей локации"), s("RET"),
                          s("*- - - - - - - -  END of NPC - - - - - -*")}));
    // The tree itself is not changed.
    QCOMPARE(outline(*form).size(), 3);
  }

  void duplicateLabelIsRefusedAndWindowStaysOpen() {
    editor->setLines({":dialog1", "READ", ":Dialog1", ":dialog1"});
    form->Edit1->setText(s(" DIALOG1 "));
    form->show();
    form->Button1->click();
    QVERIFY(form->isVisible());
    QCOMPARE(form->Edit1->text(), s("dialog1"));
    QCOMPARE(dialogs->messages,
             (QStringList{s("Диалог с меткой dialog1 уже существует"),
                          s("Диалог с меткой dialog1 уже существует")}));
    QCOMPARE(editor->lineCount(), 4);
  }

  void labelThatBreaksTheDialogueIsRefused() {
    editor->setLines({":loc1", "READ", ":common", "RETURN"});
    form->setTree({{0, "a;b"}});
    form->Edit1->setText(s("Doorman"));
    form->show();
    form->Button1->click();
    QVERIFY(form->isVisible());
    QCOMPARE(form->Edit1->text(), s("doorman"));
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("«do»")));
    QVERIFY(dialogs->messages[0].contains(s("«npcdoorman»")));
    QCOMPARE(editor->lineCount(), 4);
  }

  void oversizedTreeIsRefused() {
    form->setTree(DialogueTree(401, {0, "x;y"}));
    const int before = editor->lineCount();
    form->show();
    form->Button1->click();
    QVERIFY(form->isVisible());
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("400")));
    QCOMPARE(editor->lineCount(), before);
  }

  void escapeClosesTheWindow() {
    form->show();
    QTest::keyClick(form->Edit10, Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    form->setTree({{0, "a"}});
    form->show();
    form->TreeView1->setCurrentItem(form->TreeView1->topLevelItem(0));
    QTest::keyClick(form->TreeView1, Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    QCOMPARE(outline(*form), QStringList{s("0:a")});

    // Esc while a node is edited in place drops the edit and closes the window as well.
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->TreeView1->editItem(form->TreeView1->topLevelItem(0));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(s("changed"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    QCOMPARE(outline(*form), QStringList{s("0:a")});
  }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs;
  std::unique_ptr<TForm2> editor;
  std::unique_ptr<TForm3> form;
};

QTEST_MAIN(TForm3Test)
#include "tform3_test.moc"
