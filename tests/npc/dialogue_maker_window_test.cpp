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
#include "engine/file_io.h"
#include "engine/text.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "npc/dialogue_maker_window.h"
#include "tests/support/private_settings.h"

using namespace marvo::literals;
using marvo::toQt;
using marvo::npc::DialogueTree;

namespace {
// The tree as "depth:text" entries in pre-order, for compact comparisons.
QStringList outline(const marvo::DialogueMakerWindow& maker) {
  QStringList out;
  for (const auto& node : maker.tree()) out << QString::number(node.depth) + QLatin1Char(':') + toQt(node.text);
  return out;
}

QStringList documentTail(const marvo::ScenarioDocument& document, int count) {
  QStringList out;
  for (int i = document.lineCount() - count; i < document.lineCount(); ++i) out << toQt(document.line(i));
  return out;
}

QString s(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

class DialogueMakerWindowTest : public QObject {
  Q_OBJECT

 public:
  // Settings and recovery files of the windows stay out of the user's folders.
  static void initMain() { marvo::test::usePrivateSettings(); }

 private slots:
  void init() {
    dialogs = std::make_unique<marvo::ScriptedDialogs>();
    document = std::make_unique<marvo::ScenarioDocument>();
    editor = std::make_unique<marvo::CodeEditorWindow>(*document, *dialogs);
    maker = std::make_unique<marvo::DialogueMakerWindow>(*document, *dialogs);
  }
  void cleanup() {
    maker.reset();
    editor.reset();
  }

  void initialState() {
    QCOMPARE(maker->windowTitle(), s("NPC Maker"));
    QCOMPARE(maker->pages()->tabText(0), s("Диалог"));
    QCOMPARE(maker->labelField()->text(), s("dialog1"));
    QCOMPARE(maker->phraseField()->text(), QString());
    QCOMPARE(maker->treeCaption()->text(), s("Дерево диалогов: до \";\" вводная фраза, после ответ NPC: "));
    QCOMPARE(maker->labelCaption()->text(), s("Метка вызова диалога:"));
    QCOMPARE(maker->openButton()->toolTip(), s("Open dialog"));
    QCOMPARE(maker->dialogueTree()->topLevelItemCount(), 0);
    QVERIFY(!maker->currentNode());
  }

  void addNodeWithAndWithoutCurrent() {
    maker->phraseField()->setText(s(" a;b "));
    maker->addNodeButton()->click();  // empty tree, nothing selected: first root
    maker->addNodeButton()->click();  // still nothing selected: another root
    QCOMPARE(outline(*maker), (QStringList{s("0: a;b "), s("0: a;b ")}));
    QCOMPARE(maker->phraseField()->text(), s(" a;b "));
    QVERIFY(!maker->currentNode());

    maker->dialogueTree()->setCurrentItem(maker->dialogueTree()->topLevelItem(0));
    maker->phraseField()->setText(s("c"));
    maker->addChildButton()->click();  // child of the first root
    maker->phraseField()->setText(s("d"));
    maker->addNodeButton()->click();  // current is a root: a new last root
    QCOMPARE(outline(*maker), (QStringList{s("0: a;b "), s("1:c"), s("0: a;b "), s("0:d")}));
    QCOMPARE(maker->currentNode(), maker->dialogueTree()->topLevelItem(0));

    maker->dialogueTree()->setCurrentItem(maker->dialogueTree()->topLevelItem(0)->child(0));
    maker->phraseField()->setText(s("e"));
    maker->addNodeButton()->click();  // current is a child: a new last sibling under the same parent
    QCOMPARE(outline(*maker), (QStringList{s("0: a;b "), s("1:c"), s("1:e"), s("0: a;b "), s("0:d")}));
    QCOMPARE(maker->currentNode(), maker->dialogueTree()->topLevelItem(0)->child(0));
  }

  void addChildNeedsACurrentNodeAndExpandsIt() {
    maker->addChildButton()->click();
    QCOMPARE(maker->dialogueTree()->topLevelItemCount(), 0);

    maker->setTree({{0, "r"}, {1, "c"}, {2, "g"}});
    QTreeWidgetItem* root = maker->dialogueTree()->topLevelItem(0);
    QVERIFY(!root->isExpanded());
    maker->dialogueTree()->setCurrentItem(root);
    maker->phraseField()->setText(s("new"));
    maker->addChildButton()->click();
    QCOMPARE(outline(*maker), (QStringList{s("0:r"), s("1:c"), s("2:g"), s("1:new")}));
    QVERIFY(root->isExpanded());
    QVERIFY(root->child(0)->isExpanded());
    QVERIFY(!root->child(1)->isSelected());
  }

  void deleteAndInsertKeys() {
    maker->setTree({{0, "a"}, {1, "a1"}, {2, "a11"}, {0, "b"}});
    maker->phraseField()->setText(s("x"));
    // Nothing selected: both keys do nothing.
    QTest::keyClick(maker->dialogueTree(), Qt::Key_Delete);
    QTest::keyClick(maker->dialogueTree(), Qt::Key_Insert);
    QCOMPARE(outline(*maker).size(), 4);

    maker->dialogueTree()->setCurrentItem(maker->dialogueTree()->topLevelItem(1));
    QTest::keyClick(maker->dialogueTree(), Qt::Key_Insert);
    QCOMPARE(outline(*maker), (QStringList{s("0:a"), s("1:a1"), s("2:a11"), s("0:b"), s("1:x")}));

    maker->dialogueTree()->setCurrentItem(maker->dialogueTree()->topLevelItem(0));
    QTest::keyClick(maker->dialogueTree(), Qt::Key_Delete);  // with its descendants
    QCOMPARE(outline(*maker), (QStringList{s("0:b"), s("1:x")}));
    // The node the tree moved to is current now.
    QCOMPARE(maker->currentNode(), maker->dialogueTree()->topLevelItem(0));

    QTest::keyClick(maker->dialogueTree(), Qt::Key_Delete);
    QTest::keyClick(maker->dialogueTree(), Qt::Key_Delete);
    QCOMPARE(maker->dialogueTree()->topLevelItemCount(), 0);
    QVERIFY(!maker->currentNode());
  }

  void blankAreaClickKeepsTheCurrentNode() {
    maker->show();
    QVERIFY(QTest::qWaitForWindowExposed(maker.get()));
    maker->setTree({{0, "a"}, {1, "a1"}, {0, "b"}});
    maker->dialogueTree()->expandAll();
    QTreeWidgetItem* child = maker->dialogueTree()->topLevelItem(0)->child(0);
    QWidget* viewport = maker->dialogueTree()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, maker->dialogueTree()->visualItemRect(child).center());
    QCOMPARE(maker->currentNode(), child);

    // Below the last node: Qt clears its selection, the maker keeps the node it moved to.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(10, viewport->height() - 5));
    QVERIFY(maker->dialogueTree()->selectedItems().isEmpty());
    QCOMPARE(maker->currentNode(), child);

    maker->phraseField()->setText(s("sib"));
    maker->addNodeButton()->click();  // a sibling, not a new root
    maker->phraseField()->setText(s("kid"));
    maker->addChildButton()->click();
    QCOMPARE(outline(*maker), (QStringList{s("0:a"), s("1:a1"), s("2:kid"), s("1:sib"), s("0:b")}));
    QTest::keyClick(maker->dialogueTree(), Qt::Key_Delete);
    QCOMPARE(outline(*maker), (QStringList{s("0:a"), s("1:sib"), s("0:b")}));
  }

  void inPlaceEditingChangesTheText() {
    maker->setTree({{0, "old"}});
    QTreeWidgetItem* item = maker->dialogueTree()->topLevelItem(0);
    maker->show();
    QVERIFY(QTest::qWaitForWindowExposed(maker.get()));
    maker->dialogueTree()->editItem(item);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(s("Кто ты?;Страж."));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(outline(*maker), QStringList{s("0:Кто ты?;Страж.")});
  }

  void newClearsTreeAndPhraseButKeepsLabel() {
    maker->setTree({{0, "a"}, {1, "b"}});
    maker->dialogueTree()->setCurrentItem(maker->dialogueTree()->topLevelItem(0));
    maker->phraseField()->setText(s("phrase"));
    maker->labelField()->setText(s("talk"));
    maker->newButton()->click();
    QCOMPARE(maker->dialogueTree()->topLevelItemCount(), 0);
    QCOMPARE(maker->phraseField()->text(), QString());
    QCOMPARE(maker->labelField()->text(), s("talk"));
    QVERIFY(!maker->currentNode());
    QVERIFY(dialogs->messages.isEmpty());
  }

  void saveAndOpen() {
    QTemporaryDir dir;
    const QString file = dir.filePath(s("разговор.dlg"));
    maker->setTree({{0, std::string("Привет;Здравствуй"_w)}, {1, "a;b"}, {0, "c"}});

    dialogs->fileAnswers.push_back(std::nullopt);  // cancelled: nothing written
    maker->saveButton()->click();
    QVERIFY(!QFile::exists(file));

    dialogs->fileAnswers.push_back(file);
    maker->saveButton()->click();
    QCOMPARE(dialogs->requests.last().filter, s("dialog file (*.dlg)"));
    QCOMPARE(dialogs->requests.last().defaultSuffix, s("dlg"));
    QCOMPARE(dialogs->requests.last().initialName, QString());
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2;\xc7\xe4\xf0\xe0\xe2\xf1\xf2\xe2"
                                         "\xf3\xe9\r\n\ta;b\r\nc\r\n"));

    maker->newButton()->click();
    dialogs->fileAnswers.push_back(file);
    maker->openButton()->click();
    QCOMPARE(outline(*maker), (QStringList{s("0:Привет;Здравствуй"), s("1:a;b"), s("0:c")}));
    QVERIFY(!maker->currentNode());
    QVERIFY(dialogs->messages.isEmpty());
  }

  void brokenOrMissingFileLeavesTheTree() {
    QTemporaryDir dir;
    const QString broken = dir.filePath(s("broken.dlg"));
    QVERIFY(!marvo::replaceFile(broken.toStdString(), "a\r\n\tb\r\n\t\t\tc;d\r\ne\r\n"));
    maker->setTree({{0, "keep"}, {1, "me"}});

    dialogs->fileAnswers.push_back(broken);
    maker->openButton()->click();
    QCOMPARE(outline(*maker), (QStringList{s("0:keep"), s("1:me")}));
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->messages[0], broken + s(": строка 3: неверный уровень (3) у пункта «c;d»; диалог не загружен"));

    dialogs->fileAnswers.push_back(dir.filePath(s("missing.dlg")));
    maker->openButton()->click();
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY(dialogs->messages[1].contains(s("missing.dlg")));
    QCOMPARE(outline(*maker).size(), 2);

    dialogs->fileAnswers.push_back(std::nullopt);
    maker->openButton()->click();
    QCOMPARE(outline(*maker).size(), 2);
    QCOMPARE(dialogs->messages.size(), 2);
  }

  void saveFailureIsReported() {
    QTemporaryDir dir;
    dialogs->fileAnswers.push_back(dir.filePath(s("no/such/dir/x.dlg")));
    maker->saveButton()->click();
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("x.dlg")));
  }

  void createAppendsAndCloses() {
    document->setLines({":loc1", "READ", ":common", "RETURN"});
    maker->setTree({{0, "a;b"}, {1, "c;d"}, {0, "e;f"}});
    maker->labelField()->setText(s("  Беседа\t"));
    maker->show();
    maker->createButton()->click();

    QCOMPARE(maker->labelField()->text(), s("беседа"));
    QVERIFY(!maker->isVisible());
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(document->lineCount(), 4 + 13 + 21 + 4);
    QCOMPARE(toQt(document->line(3)), s("RETURN"));
    QCOMPARE(toQt(document->line(4)), QString());
    QCOMPARE(toQt(document->line(6)), s(":беседа"));
    QCOMPARE(documentTail(*document, 9), (QStringList{s("TALK 1"), s("!d"), s("беседа_dialog=399"), s("REDO"),
                                                      s("ENDIF"), QString(), s("*Возврат к вызывающей локации"),
                                                      s("RET"), s("*- - - - - - - -  END of NPC - - - - - -*")}));
    // The tree itself is not changed.
    QCOMPARE(outline(*maker).size(), 3);
  }

  void duplicateLabelIsRefusedAndWindowStaysOpen() {
    document->setLines({":dialog1", "READ", ":Dialog1", ":dialog1"});
    maker->labelField()->setText(s(" DIALOG1 "));
    maker->show();
    maker->createButton()->click();
    QVERIFY(maker->isVisible());
    QCOMPARE(maker->labelField()->text(), s("dialog1"));
    QCOMPARE(dialogs->messages,
             (QStringList{s("Диалог с меткой dialog1 уже существует"), s("Диалог с меткой dialog1 уже существует")}));
    QCOMPARE(document->lineCount(), 4);
  }

  void labelThatBreaksTheDialogueIsRefused() {
    document->setLines({":loc1", "READ", ":common", "RETURN"});
    maker->setTree({{0, "a;b"}});
    maker->labelField()->setText(s("Doorman"));
    maker->show();
    maker->createButton()->click();
    QVERIFY(maker->isVisible());
    QCOMPARE(maker->labelField()->text(), s("doorman"));
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("«do»")));
    QVERIFY(dialogs->messages[0].contains(s("«npcdoorman»")));
    QCOMPARE(document->lineCount(), 4);
  }

  void oversizedTreeIsRefused() {
    maker->setTree(DialogueTree(401, {0, "x;y"}));
    const int before = document->lineCount();
    maker->show();
    maker->createButton()->click();
    QVERIFY(maker->isVisible());
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(s("400")));
    QCOMPARE(document->lineCount(), before);
  }

  void escapeClosesTheWindow() {
    maker->show();
    QTest::keyClick(maker->phraseField(), Qt::Key_Escape);
    QVERIFY(!maker->isVisible());
    maker->setTree({{0, "a"}});
    maker->show();
    maker->dialogueTree()->setCurrentItem(maker->dialogueTree()->topLevelItem(0));
    QTest::keyClick(maker->dialogueTree(), Qt::Key_Escape);
    QVERIFY(!maker->isVisible());
    QCOMPARE(outline(*maker), QStringList{s("0:a")});

    // Esc while a node is edited in place drops the edit and closes the window as well.
    maker->show();
    QVERIFY(QTest::qWaitForWindowExposed(maker.get()));
    maker->dialogueTree()->editItem(maker->dialogueTree()->topLevelItem(0));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(s("changed"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!maker->isVisible());
    QCOMPARE(outline(*maker), QStringList{s("0:a")});
  }

 private:
  std::unique_ptr<marvo::ScriptedDialogs> dialogs;
  std::unique_ptr<marvo::ScenarioDocument> document;
  std::unique_ptr<marvo::CodeEditorWindow> editor;
  std::unique_ptr<marvo::DialogueMakerWindow> maker;
};

QTEST_MAIN(DialogueMakerWindowTest)
#include "dialogue_maker_window_test.moc"
