// The NPC maker window "NPC Maker": edits a dialogue tree, keeps it in ".dlg" files and generates
// a callable dialogue location at the end of the scenario.
#pragma once

#include <QDialog>

#include "npc/dialogue_tree.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class CodeEditorWindow;
namespace marvo {
class Dialogs;
}

class DialogueMakerWindow : public QDialog {
  Q_OBJECT

 public:
  DialogueMakerWindow(CodeEditorWindow& editor, marvo::Dialogs& dialogs, QWidget* parent = nullptr);

  // The tree shown, in pre-order, texts in Windows-1251; setTree replaces it (nothing selected).
  marvo::npc::DialogueTree tree() const;
  void setTree(const marvo::npc::DialogueTree& tree);

  // The current node: the node the tree's selection last moved to, or nullptr. A click on the
  // tree's blank area clears Qt's selection but keeps the current node.
  QTreeWidgetItem* currentNode() const;

  void addNode();      // "Add Node"
  void addChildNode();      // "Add Child Node"
  void newDialogue();  // "New"
  void openDialogue();  // "Open"
  void saveDialogue();  // "Save"
  void createDialogue();      // "Создать"

  QTabWidget* pages = nullptr;
  QToolBar* toolBar = nullptr;
  QToolButton* newButton = nullptr;
  QToolButton* openButton = nullptr;
  QToolButton* saveButton = nullptr;
  QLineEdit* phraseField = nullptr;  // phrase field
  QPushButton* addNodeButton = nullptr;
  QPushButton* addChildButton = nullptr;
  QLabel* treeCaption = nullptr;
  QTreeWidget* dialogueTree = nullptr;
  QLabel* labelCaption = nullptr;
  QLineEdit* labelField = nullptr;  // label field
  QPushButton* createButton = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildDialoguePage();
  QTreeWidgetItem* newNode(const QString& text) const;
  void treeKeyDown(int key);
  void rememberSelection();
  bool inTree(const QTreeWidgetItem* item) const;

  CodeEditorWindow& editor_;
  marvo::Dialogs& dialogs_;
  QTreeWidgetItem* lastSelected_ = nullptr;  // may be gone: checked against the tree before use
};
