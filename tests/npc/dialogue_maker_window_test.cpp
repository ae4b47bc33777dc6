// Tests of the NPC maker window DialogueMakerWindow on a real code editor.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "editor/code_editor_window.h"
#include "editor/scenario_document.h"
#include "engine/file_io.h"
#include "engine/text.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "npc/dialogue_maker_window.h"

using namespace marvo::literals;
using marvo::toQt;
using marvo::npc::DialogueTree;

namespace {
// The tree as "depth:text" entries in pre-order, for compact comparisons.
QStringList outline(const DialogueMakerWindow& form) {
  QStringList out;
  for (const auto& node : form.tree())
    out << QString::number(node.depth) + QLatin1Char(':') + toQt(node.text);
  return out;
}

QStringList editorTail(const CodeEditorWindow& editor, int count) {
  QStringList out;
  for (int i = editor.document().lineCount() - count; i < editor.document().lineCount(); ++i) out << toQt(editor.document().line(i));
  return out;
}

QString s(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

class DialogueMakerWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dialogs = std::make_unique<marvo::ScriptedDialogs>();
    document = std::make_unique<marvo::ScenarioDocument>();
    editor = std::make_unique<CodeEditorWindow>(*document, *dialogs);
    form = std::make_unique<DialogueMakerWindow>(*editor, *dialogs);
  }
  void cleanup() {
    form.reset();
    editor.reset();
  }

  void initialState() {
    QCOMPARE(form->windowTitle(), s("NPC Maker"));
    QCOMPARE(form->pages->tabText(0), s("Диалог"));
    QCOMPARE(form->labelField->text(), s("dialog1"));
    QCOMPARE(form->phraseField->text(), QString());
    QCOMPARE(form->treeCaption->text(), s("Дерево диалогов: до \";\" вводная фраза, после ответ NPC: "));
    QCOMPARE(form->labelCaption->text(), s("Метка вызова диалога:"));
    QCOMPARE(form->openButton->toolTip(), s("Open dialog"));
    QCOMPARE(form->dialogueTree->topLevelItemCount(), 0);
    QVERIFY(!form->currentNode());
  }

  void addNodeWithAndWithoutCurrent() {
    form->phraseField->setText(s(" a;b "));
    form->addNodeButton->click();  // empty tree, nothing selected: first root
    form->addNodeButton->click();  // still nothing selected: another root
    QCOMPARE(outline(*form), (QStringList{s("0: a;b "), s("0: a;b ")}));
    QCOMPARE(form->phraseField->text(), s(" a;b "));
    QVERIFY(!form->currentNode());

    form->dialogueTree->setCurrentItem(form->dialogueTree->topLevelItem(0));
    form->phraseField->setText(s("c"));
    form->addChildButton->click();  // child of the first root
    form->phraseField->setText(s("d"));
    form->addNodeButton->click();  // current is a root: a new last root
    QCOMPARE(outline(*form), (QStringList{s("0: a;b "), s("1:c"), s("0: a;b "), s("0:d")}));
    QCOMPARE(form->currentNode(), form->dialogueTree->topLevelItem(0));

    form->dialogueTree->setCurrentItem(form->dialogueTree->topLevelItem(0)->child(0));
    form->phraseField->setText(s("e"));
    form->addNodeButton->click();  // current is a child: a new last sibling under the same parent
    QCOMPARE(outline(*form),
             (QStringList{s("0: a;b "), s("1:c"), s("1:e"), s("0: a;b "), s("0:d")}));
    QCOMPARE(form->currentNode(), form->dialogueTree->topLevelItem(0)->child(0));
  }

  void addChildNeedsACurrentNodeAndExpandsIt() {
    form->addChildButton->click();
    QCOMPARE(form->dialogueTree->topLevelItemCount(), 0);

    form->setTree({{0, "r"}, {1, "c"}, {2, "g"}});
    QTreeWidgetItem* root = form->dialogueTree->topLevelItem(0);
    QVERIFY(!root->isExpanded());
    form->dialogueTree->setCurrentItem(root);
    form->phraseField->setText(s("new"));
    form->addChildButton->click();
    QCOMPARE(outline(*form), (QStringList{s("0:r"), s("1:c"), s("2:g"), s("1:new")}));
    QVERIFY(root->isExpanded());
    QVERIFY(root->child(0)->isExpanded());
    QVERIFY(!root->child(1)->isSelected());
  }

  void deleteAndInsertKeys() {
    form->setTree({{0, "a"}, {1, "a1"}, {2, "a11"}, {0, "b"}});
    form->phraseField->setText(s("x"));
    // Nothing selected: both keys do nothing.
    QTest::keyClick(form->dialogueTree, Qt::Key_Delete);
    QTest::keyClick(form->dialogueTree, Qt::Key_Insert);
    QCOMPARE(outline(*form).size(), 4);

    form->dialogueTree->setCurrentItem(form->dialogueTree->topLevelItem(1));
    QTest::keyClick(form->dialogueTree, Qt::Key_Insert);
    QCOMPARE(outline(*form), (QStringList{s("0:a"), s("1:a1"), s("2:a11"), s("0:b"), s("1:x")}));

    form->dialogueTree->setCurrentItem(form->dialogueTree->topLevelItem(0));
    QTest::keyClick(form->dialogueTree, Qt::Key_Delete);  // with its descendants
    QCOMPARE(outline(*form), (QStringList{s("0:b"), s("1:x")}));
    // The node the tree moved to is current now.
    QCOMPARE(form->currentNode(), form->dialogueTree->topLevelItem(0));

    QTest::keyClick(form->dialogueTree, Qt::Key_Delete);
    QTest::keyClick(form->dialogueTree, Qt::Key_Delete);
    QCOMPARE(form->dialogueTree->topLevelItemCount(), 0);
    QVERIFY(!form->currentNode());
  }

  void blankAreaClickKeepsTheCurrentNode() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->setTree({{0, "a"}, {1, "a1"}, {0, "b"}});
    form->dialogueTree->expandAll();
    QTreeWidgetItem* child = form->dialogueTree->topLevelItem(0)->child(0);
    QWidget* viewport = form->dialogueTree->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, form->dialogueTree->visualItemRect(child).center());
    QCOMPARE(form->currentNode(), child);

    // Below the last node: Qt clears its selection, the maker keeps the node it moved to.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(10, viewport->height() - 5));
    QVERIFY(form->dialogueTree->selectedItems().isEmpty());
    QCOMPARE(form->currentNode(), child);

    form->phraseField->setText(s("sib"));
    form->addNodeButton->click();  // a sibling, not a new root
    form->phraseField->setText(s("kid"));
    form->addChildButton->click();
    QCOMPARE(outline(*form), (QStringList{s("0:a"), s("1:a1"), s("2:kid"), s("1:sib"), s("0:b")}));
    QTest::keyClick(form->dialogueTree, Qt::Key_Delete);
    QCOMPARE(outline(*form), (QStringList{s("0:a"), s("1:sib"), s("0:b")}));
  }

  void inPlaceEditingChangesTheText() {
    form->setTree({{0, "old"}});
    QTreeWidgetItem* item = form->dialogueTree->topLevelItem(0);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->dialogueTree->editItem(item);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(s("Кто ты?;Страж."));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(outline(*form), QStringList{s("0:Кто ты?;Страж.")});
  }

  void newClearsTreeAndPhraseButKeepsLabel() {
    form->setTree({{0, "a"}, {1, "b"}});
    form->dialogueTree->setCurrentItem(form->dialogueTree->topLevelItem(0));
    form->phraseField->setText(s("phrase"));
    form->labelField->setText(s("talk"));
    form->newButton->click();
    QCOMPARE(form->dialogueTree->topLevelItemCount(), 0);
    QCOMPARE(form->phraseField->text(), QString());
    QCOMPARE(form->labelField->text(), s("talk"));
    QVERIFY(!form->currentNode());
    QVERIFY(dialogs->messages.isEmpty());
  }

  void saveAndOpen() {
    QTemporaryDir dir;
    const QString file = dir.filePath(s("разговор.dlg"));
    form->setTree({{0, std::string("Привет;Здравствуй"_w)}, {1, "a;b"}, {0, "c"}});

    dialogs->fileAnswers.push_back(std::nullopt);  // cancelled: nothing written
    form->saveButton->click();
    QVERIFY(!QFile::exists(file));

    dialogs->fileAnswers.push_back(file);
    form->saveButton->click();
    QCOMPARE(dialogs->requests.last().filter, s("dialog file (*.dlg)"));
    QCOMPARE(dialogs->requests.last().defaultSuffix, s("dlg"));
    QCOMPARE(dialogs->requests.last().initialName, QString());
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2;\xc7\xe4\xf0\xe0\xe2\xf1\xf2\xe2"
                                         "\xf3\xe9\r\n\ta;b\r\nc\r\n"));

    form->newButton->click();
    dialogs->fileAnswers.push_back(file);
    form->openButton->click();
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
    form->openButton->click();
    QCOMPARE(outline(*form), (QStringList{s("0:keep"), s("1:me")}));
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->messages[0], broken + s(": строка 3: неверный уровень (3) у пункта «c;d»; диалог не загружен"));

    dialogs->fileAnswers.push_back(dir.filePath(s("missing.dlg")));
    form->openButton->click();
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY(dialogs->messages[1].contains(s("missing.dlg")));
    QCOMPARE(outline(*form).size(), 2);

    dialogs->fileAnswers.push_back(std::nullopt);
    form->openButton->click();
    QCOMPARE(outline(*form).size(), 2);
    QCOMPARE(dialogs->messages.size(), 2);
  }

  void saveFailureIsReported() {
    QTemporaryDir dir;
    dialogs->fileAnswers.push_back(dir.filePath(s("no/such/dir/x.dlg")));
    form->saveButton->click();
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("x.dlg")));
  }

  void createAppendsAndCloses() {
    editor->document().setLines({":loc1", "READ", ":common", "RETURN"});
    form->setTree({{0, "a;b"}, {1, "c;d"}, {0, "e;f"}});
    form->labelField->setText(s("  Беседа\t"));
    form->show();
    form->createButton->click();

    QCOMPARE(form->labelField->text(), s("беседа"));
    QVERIFY(!form->isVisible());
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(editor->document().lineCount(), 4 + 13 + 21 + 4);
    QCOMPARE(toQt(editor->document().line(3)), s("RETURN"));
    QCOMPARE(toQt(editor->document().line(4)), QString());
    QCOMPARE(toQt(editor->document().line(6)), s(":беседа"));
    QCOMPARE(editorTail(*editor, 9),
             (QStringList{s("TALK 1"), s("!d"), s("беседа_dialog=399"), s("REDO"), s("ENDIF"),
                          QString(), s("*Возврат к вызывающей локации"), s("RET"),
                          s("*- - - - - - - -  END of NPC - - - - - -*")}));
    // The tree itself is not changed.
    QCOMPARE(outline(*form).size(), 3);
  }

  void duplicateLabelIsRefusedAndWindowStaysOpen() {
    editor->document().setLines({":dialog1", "READ", ":Dialog1", ":dialog1"});
    form->labelField->setText(s(" DIALOG1 "));
    form->show();
    form->createButton->click();
    QVERIFY(form->isVisible());
    QCOMPARE(form->labelField->text(), s("dialog1"));
    QCOMPARE(dialogs->messages,
             (QStringList{s("Диалог с меткой dialog1 уже существует"),
                          s("Диалог с меткой dialog1 уже существует")}));
    QCOMPARE(editor->document().lineCount(), 4);
  }

  void labelThatBreaksTheDialogueIsRefused() {
    editor->document().setLines({":loc1", "READ", ":common", "RETURN"});
    form->setTree({{0, "a;b"}});
    form->labelField->setText(s("Doorman"));
    form->show();
    form->createButton->click();
    QVERIFY(form->isVisible());
    QCOMPARE(form->labelField->text(), s("doorman"));
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("«do»")));
    QVERIFY(dialogs->messages[0].contains(s("«npcdoorman»")));
    QCOMPARE(editor->document().lineCount(), 4);
  }

  void oversizedTreeIsRefused() {
    form->setTree(DialogueTree(401, {0, "x;y"}));
    const int before = editor->document().lineCount();
    form->show();
    form->createButton->click();
    QVERIFY(form->isVisible());
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("400")));
    QCOMPARE(editor->document().lineCount(), before);
  }

  void escapeClosesTheWindow() {
    form->show();
    QTest::keyClick(form->phraseField, Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    form->setTree({{0, "a"}});
    form->show();
    form->dialogueTree->setCurrentItem(form->dialogueTree->topLevelItem(0));
    QTest::keyClick(form->dialogueTree, Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    QCOMPARE(outline(*form), QStringList{s("0:a")});

    // Esc while a node is edited in place drops the edit and closes the window as well.
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->dialogueTree->editItem(form->dialogueTree->topLevelItem(0));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(s("changed"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    QCOMPARE(outline(*form), QStringList{s("0:a")});
  }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs;
  std::unique_ptr<marvo::ScenarioDocument> document;
  std::unique_ptr<CodeEditorWindow> editor;
  std::unique_ptr<DialogueMakerWindow> form;
};

QTEST_MAIN(DialogueMakerWindowTest)
#include "dialogue_maker_window_test.moc"
