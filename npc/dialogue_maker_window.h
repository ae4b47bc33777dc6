// The NPC maker window "NPC Maker": a dialogue tree kept in ".dlg" files and made into a dialogue location.
#pragma once

#include <QAbstractItemDelegate>
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

namespace marvo {

class Dialogs;
class ScenarioDocument;

// Edits a dialogue tree, keeps it in ".dlg" files and appends the generated dialogue location,
// callable from the scenario, to the end of the scenario text.
class DialogueMakerWindow : public QDialog {
  Q_OBJECT

 public:
  DialogueMakerWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent = nullptr);

  // The tree shown, in pre-order, texts in Windows-1251; setTree replaces it (nothing selected).
  npc::DialogueTree tree() const;
  void setTree(const npc::DialogueTree& tree);

  // The current node: the node the tree's selection last moved to, or nullptr. A click on the
  // tree's blank area clears Qt's selection but keeps the current node.
  QTreeWidgetItem* currentNode() const;

  QTabWidget* pages() const { return pages_; }
  QToolButton* newButton() const { return newButton_; }
  QToolButton* openButton() const { return openButton_; }
  QToolButton* saveButton() const { return saveButton_; }
  QLineEdit* phraseField() const { return phraseField_; }
  QPushButton* addNodeButton() const { return addNodeButton_; }
  QPushButton* addChildButton() const { return addChildButton_; }
  QLabel* treeCaption() const { return treeCaption_; }
  QTreeWidget* dialogueTree() const { return dialogueTree_; }
  QLabel* labelCaption() const { return labelCaption_; }
  QLineEdit* labelField() const { return labelField_; }
  QPushButton* createButton() const { return createButton_; }

 public slots:
  void addNode();         // "Add Node": the phrase as the current node's last sibling, or as the last root
  void addChildNode();    // "Add Child Node" and Insert in the tree: the phrase under the current node
  void newDialogue();     // "New"
  void openDialogue();    // "Open"
  void saveDialogue();    // "Save"
  void createDialogue();  // "Создать"

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void rememberSelection();
  void nodeEditClosed(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);

 private:
  QWidget* buildDialoguePage();
  QTreeWidgetItem* newNode(const QString& text) const;
  void deleteCurrentNode();
  bool inTree(const QTreeWidgetItem* item) const;

  ScenarioDocument& document_;
  Dialogs& dialogs_;
  QTreeWidgetItem* lastSelected_ = nullptr;  // may be gone: checked against the tree before use

  QTabWidget* pages_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QToolButton* newButton_ = nullptr;
  QToolButton* openButton_ = nullptr;
  QToolButton* saveButton_ = nullptr;
  QLineEdit* phraseField_ = nullptr;
  QPushButton* addNodeButton_ = nullptr;
  QPushButton* addChildButton_ = nullptr;
  QLabel* treeCaption_ = nullptr;
  QTreeWidget* dialogueTree_ = nullptr;
  QLabel* labelCaption_ = nullptr;
  QLineEdit* labelField_ = nullptr;
  QPushButton* createButton_ = nullptr;
};

}  // namespace marvo
