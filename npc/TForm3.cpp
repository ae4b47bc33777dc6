// The NPC maker window "NPC Maker": edits a dialogue tree, keeps it in ".dlg" files and generates
// a callable dialogue location at the end of the scenario.
#include "TForm3.h"

#include <QAbstractItemDelegate>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "editor/TForm2.h"
#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "npc/dialogue_script.h"

using marvo::fromQt;
using marvo::toQt;
namespace npc = marvo::npc;

namespace {
marvo::FileDialogRequest dialogueFileRequest() {
  return {QStringLiteral("dialog file (*.dlg)"), QStringLiteral("dlg"), QString()};
}

std::filesystem::path localPath(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

void expandWithDescendants(QTreeWidgetItem* item) {
  item->setExpanded(true);
  for (int i = 0; i < item->childCount(); ++i) expandWithDescendants(item->child(i));
}

void collect(const QTreeWidgetItem* item, int depth, npc::DialogueTree& out) {
  out.push_back({depth, fromQt(item->text(0))});
  for (int i = 0; i < item->childCount(); ++i) collect(item->child(i), depth + 1, out);
}
}  // namespace

TForm3::TForm3(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      editor_(editor),
      dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("NPC Maker"));
  PageControl1 = new QTabWidget(this);
  PageControl1->addTab(buildDialoguePage(), QStringLiteral("Диалог"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(PageControl1);
  setFixedSize(584, 432);

  connect(ToolButton1, &QToolButton::clicked, this, &TForm3::ToolButton1Click);
  connect(ToolButton2, &QToolButton::clicked, this, &TForm3::ToolButton2Click);
  connect(ToolButton3, &QToolButton::clicked, this, &TForm3::ToolButton3Click);
  connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  TreeView1->installEventFilter(this);
  // Esc closes the window from anywhere, also while a node is edited in place (the edit is dropped).
  connect(TreeView1->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
          [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
            if (hint == QAbstractItemDelegate::RevertModelCache) close();
          });
}

QWidget* TForm3::buildDialoguePage() {
  auto* page = new QWidget;

  ToolBar1 = new QToolBar(page);
  ToolBar1->setGeometry(0, 0, 561, 29);
  const auto toolButton = [this](QStyle::StandardPixmap icon, const char* text, const char* hint) {
    auto* button = new QToolButton(ToolBar1);
    button->setIcon(style()->standardIcon(icon));
    button->setText(QString::fromUtf8(text));
    button->setToolTip(QString::fromUtf8(hint));
    ToolBar1->addWidget(button);
    return button;
  };
  ToolButton1 = toolButton(QStyle::SP_FileIcon, "New", "New dialog");
  ToolButton2 = toolButton(QStyle::SP_DialogOpenButton, "Open", "Open dialog");
  ToolButton3 = toolButton(QStyle::SP_DialogSaveButton, "Save", "Save dialog");

  Edit10 = new QLineEdit(page);
  Edit10->setGeometry(0, 32, 561, 21);
  // Buttons keep their designed places unless the font needs more room; then they grow leftwards
  // from the tree's right edge.
  Button2 = new QPushButton(QStringLiteral("Add Node"), page);
  Button3 = new QPushButton(QStringLiteral("Add Child Node"), page);
  const int childWidth = std::max(89, Button3->sizeHint().width());
  const int childLeft = std::min(472, 561 - childWidth);
  Button3->setGeometry(childLeft, 56, childWidth, 25);
  const int addWidth = std::max(81, Button2->sizeHint().width());
  Button2->setGeometry(std::min(384, childLeft - 7 - addWidth), 56, addWidth, 25);
  Label6 = new QLabel(QStringLiteral("Дерево диалогов: до \";\" вводная фраза, после ответ NPC: "),
                      page);
  Label6->move(0, 72);
  Label6->adjustSize();
  // The buttons stay clickable where a long caption runs under them.
  Button2->raise();
  Button3->raise();

  TreeView1 = new QTreeWidget(page);
  TreeView1->setGeometry(0, 88, 561, 265);
  TreeView1->setHeaderHidden(true);
  TreeView1->setColumnCount(1);
  TreeView1->setIndentation(19);
  TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
  TreeView1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::SelectedClicked);
  connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, &TForm3::rememberSelection);

  Label1 = new QLabel(QStringLiteral("Метка вызова диалога:"), page);
  Label1->move(0, 362);
  Label1->adjustSize();
  Edit1 = new QLineEdit(QStringLiteral("dialog1"), page);
  Edit1->setGeometry(std::max(128, Label1->width() + 6), 360, 209, 21);
  Button1 = new QPushButton(QStringLiteral("Создать"), page);
  Button1->setGeometry(478, 356, 83, 25);

  // Enter in a field must neither add a node nor generate.
  for (auto* button : {Button1, Button2, Button3}) button->setAutoDefault(false);
  return page;
}

QTreeWidgetItem* TForm3::newNode(const QString& text) const {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
  return item;
}

QTreeWidgetItem* TForm3::currentNode() const {
  const auto selected = TreeView1->selectedItems();
  if (!selected.isEmpty()) return selected.constFirst();
  return inTree(lastSelected_) ? lastSelected_ : nullptr;
}

void TForm3::rememberSelection() {
  const auto selected = TreeView1->selectedItems();
  if (!selected.isEmpty()) lastSelected_ = selected.constFirst();
}

bool TForm3::inTree(const QTreeWidgetItem* item) const {
  if (!item) return false;
  for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
    if (*it == item) return true;
  return false;
}

npc::DialogueTree TForm3::tree() const {
  npc::DialogueTree out;
  for (int i = 0; i < TreeView1->topLevelItemCount(); ++i) collect(TreeView1->topLevelItem(i), 0, out);
  return out;
}

void TForm3::setTree(const npc::DialogueTree& tree) {
  TreeView1->clear();
  // path[d]: the latest node at depth d, the parent of the next node at depth d + 1.
  std::vector<QTreeWidgetItem*> path;
  for (const auto& node : tree) {
    auto* item = newNode(toQt(node.text));
    const auto depth = static_cast<std::size_t>(std::max(node.depth, 0));
    if (depth == 0 || path.empty()) {
      TreeView1->addTopLevelItem(item);
      path.assign(1, item);
    } else {
      const std::size_t parentDepth = std::min(depth, path.size()) - 1;
      path[parentDepth]->addChild(item);
      path.resize(parentDepth + 1);
      path.push_back(item);
    }
  }
  TreeView1->clearSelection();
  TreeView1->setCurrentItem(nullptr);
  lastSelected_ = nullptr;
}

void TForm3::Button2Click() {
  auto* item = newNode(Edit10->text());
  QTreeWidgetItem* current = currentNode();
  if (current && current->parent())
    current->parent()->addChild(item);
  else
    TreeView1->addTopLevelItem(item);
}

void TForm3::Button3Click() {
  QTreeWidgetItem* current = currentNode();
  if (!current) return;
  current->addChild(newNode(Edit10->text()));
  expandWithDescendants(current);
}

void TForm3::TreeView1KeyDown(int key) {
  QTreeWidgetItem* current = currentNode();
  if (!current) return;
  if (key == Qt::Key_Insert) {
    Button3Click();
    return;
  }
  // Delete: the node goes with all its descendants; the node the tree moves to becomes current.
  lastSelected_ = nullptr;
  delete current;
  if (QTreeWidgetItem* next = TreeView1->currentItem()) next->setSelected(true);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete || key == Qt::Key_Insert) {
      TreeView1KeyDown(key);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm3::ToolButton1Click() {
  Edit10->clear();
  setTree({});
}

void TForm3::ToolButton2Click() {
  const auto file = dialogs_.openFile(this, dialogueFileRequest());
  if (!file) return;
  const auto read = marvo::readWholeFile(localPath(*file));
  if (!read.error.empty()) {
    dialogs_.message(this, QString::fromStdString(read.error));
    return;
  }
  // The whole file is checked before the tree is touched: a broken file leaves the tree as it was.
  const auto dialogue = npc::readDialogueFile(read.bytes, fromQt(*file));
  if (!dialogue.error.empty()) {
    dialogs_.message(this, toQt(dialogue.error));
    return;
  }
  setTree(dialogue.tree);
}

void TForm3::ToolButton3Click() {
  const auto file = dialogs_.saveFile(this, dialogueFileRequest());
  if (!file) return;
  if (const auto error = marvo::replaceFile(localPath(*file), npc::writeDialogueFile(tree())))
    dialogs_.message(this, QString::fromStdString(*error));
}

void TForm3::Button1Click() {
  const std::string label = npc::dialogueLabel(fromQt(Edit1->text()));
  Edit1->setText(toQt(label));

  const auto duplicates = npc::duplicateLabelMessages(editor_.lines(), label);
  for (const auto& message : duplicates) dialogs_.message(this, toQt(message));
  if (!duplicates.empty()) return;
  // A label that game start or the engine would misread breaks the dialogue: refuse it.
  if (const auto problem = npc::labelProblem(label); !problem.empty()) {
    dialogs_.message(this, toQt(problem));
    return;
  }

  const auto script = npc::generateDialogue(tree(), label);
  if (!script.error.empty()) {
    dialogs_.message(this, toQt(script.error));
    return;
  }
  {
    TForm2::UndoStep step(editor_);  // one Ctrl+Z takes the whole dialogue back
    for (const auto& line : script.lines) editor_.appendLine(line);
  }
  accept();
}
