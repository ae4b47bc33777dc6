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
class TForm2;
namespace marvo {
class Dialogs;
}

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  TForm3(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent = nullptr);

  // The tree shown, in pre-order, texts in Windows-1251; setTree replaces it (nothing selected).
  marvo::npc::DialogueTree tree() const;
  void setTree(const marvo::npc::DialogueTree& tree);

  // The current node: the node the tree's selection last moved to, or nullptr. A click on the
  // tree's blank area clears Qt's selection but keeps the current node.
  QTreeWidgetItem* currentNode() const;

  void Button2Click();      // "Add Node"
  void Button3Click();      // "Add Child Node"
  void ToolButton1Click();  // "New"
  void ToolButton2Click();  // "Open"
  void ToolButton3Click();  // "Save"
  void Button1Click();      // "Создать"

  QTabWidget* PageControl1 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButton1 = nullptr;
  QToolButton* ToolButton2 = nullptr;
  QToolButton* ToolButton3 = nullptr;
  QLineEdit* Edit10 = nullptr;  // phrase field
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QLabel* Label6 = nullptr;
  QTreeWidget* TreeView1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;  // label field
  QPushButton* Button1 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildDialoguePage();
  QTreeWidgetItem* newNode(const QString& text) const;
  void TreeView1KeyDown(int key);
  void rememberSelection();
  bool inTree(const QTreeWidgetItem* item) const;

  TForm2& editor_;
  marvo::Dialogs& dialogs_;
  QTreeWidgetItem* lastSelected_ = nullptr;  // may be gone: checked against the tree before use
};
