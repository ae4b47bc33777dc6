// The NPC maker window "NPC Maker": its controls, tree editing, ".dlg" files and the generated dialogue.
#include "dialogue_maker_window.h"

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

#include "engine/file_io.h"
#include "gui/dialogs.h"
#include "gui/file_messages.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "npc/dialogue_script.h"

namespace marvo {

namespace {
FileDialogRequest dialogueFileRequest() {
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

DialogueMakerWindow::DialogueMakerWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      document_(document),
      dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("NPC Maker"));
  pages_ = new QTabWidget(this);
  pages_->addTab(buildDialoguePage(), QStringLiteral("Диалог"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(pages_);
  setFixedSize(584, 432);

  connect(newButton_, &QToolButton::clicked, this, &DialogueMakerWindow::newDialogue);
  connect(openButton_, &QToolButton::clicked, this, &DialogueMakerWindow::openDialogue);
  connect(saveButton_, &QToolButton::clicked, this, &DialogueMakerWindow::saveDialogue);
  connect(addNodeButton_, &QPushButton::clicked, this, &DialogueMakerWindow::addNode);
  connect(addChildButton_, &QPushButton::clicked, this, &DialogueMakerWindow::addChildNode);
  connect(createButton_, &QPushButton::clicked, this, &DialogueMakerWindow::createDialogue);
  dialogueTree_->installEventFilter(this);
  connect(dialogueTree_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
          &DialogueMakerWindow::nodeEditClosed);
}

// Esc in a node's in-place editor drops the edit and closes the window, as Esc does anywhere else.
void DialogueMakerWindow::nodeEditClosed(QWidget*, QAbstractItemDelegate::EndEditHint hint) {
  if (hint == QAbstractItemDelegate::RevertModelCache) close();
}

QWidget* DialogueMakerWindow::buildDialoguePage() {
  auto* page = new QWidget;

  toolBar_ = new QToolBar(page);
  toolBar_->setGeometry(0, 0, 561, 29);
  const auto toolButton = [this](QStyle::StandardPixmap icon, const char* text, const char* hint) {
    auto* button = new QToolButton(toolBar_);
    button->setIcon(style()->standardIcon(icon));
    button->setText(QString::fromUtf8(text));
    button->setToolTip(QString::fromUtf8(hint));
    toolBar_->addWidget(button);
    return button;
  };
  newButton_ = toolButton(QStyle::SP_FileIcon, "New", "New dialog");
  openButton_ = toolButton(QStyle::SP_DialogOpenButton, "Open", "Open dialog");
  saveButton_ = toolButton(QStyle::SP_DialogSaveButton, "Save", "Save dialog");

  phraseField_ = new QLineEdit(page);
  phraseField_->setAccessibleName(QStringLiteral("Фраза узла"));
  phraseField_->setGeometry(0, 32, 561, 21);
  // Buttons keep their designed places unless the font needs more room; then they grow leftwards
  // from the tree's right edge.
  addNodeButton_ = new QPushButton(QStringLiteral("Add Node"), page);
  addChildButton_ = new QPushButton(QStringLiteral("Add Child Node"), page);
  const int childWidth = std::max(89, addChildButton_->sizeHint().width());
  const int childLeft = std::min(472, 561 - childWidth);
  addChildButton_->setGeometry(childLeft, 56, childWidth, 25);
  const int addWidth = std::max(81, addNodeButton_->sizeHint().width());
  addNodeButton_->setGeometry(std::min(384, childLeft - 7 - addWidth), 56, addWidth, 25);
  treeCaption_ = new QLabel(QStringLiteral("Дерево диалогов: до \";\" вводная фраза, после ответ NPC: "), page);
  treeCaption_->move(0, 72);
  treeCaption_->adjustSize();
  // The buttons stay clickable where a long caption runs under them.
  addNodeButton_->raise();
  addChildButton_->raise();

  dialogueTree_ = new QTreeWidget(page);
  dialogueTree_->setAccessibleName(QStringLiteral("Дерево диалогов"));
  dialogueTree_->setGeometry(0, 88, 561, 265);
  dialogueTree_->setHeaderHidden(true);
  dialogueTree_->setColumnCount(1);
  dialogueTree_->setIndentation(19);
  dialogueTree_->setSelectionMode(QAbstractItemView::SingleSelection);
  dialogueTree_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::SelectedClicked);
  connect(dialogueTree_, &QTreeWidget::itemSelectionChanged, this, &DialogueMakerWindow::rememberSelection);

  labelCaption_ = new QLabel(QStringLiteral("Метка вызова диалога:"), page);
  labelCaption_->move(0, 362);
  labelCaption_->adjustSize();
  labelField_ = new QLineEdit(QStringLiteral("dialog1"), page);
  labelCaption_->setBuddy(labelField_);
  labelField_->setGeometry(std::max(128, labelCaption_->width() + 6), 360, 209, 21);
  createButton_ = new QPushButton(QStringLiteral("Создать"), page);
  createButton_->setGeometry(478, 356, 83, 25);

  // Enter in a field must neither add a node nor generate.
  for (auto* button : {createButton_, addNodeButton_, addChildButton_}) button->setAutoDefault(false);
  return page;
}

QTreeWidgetItem* DialogueMakerWindow::newNode(const QString& text) const {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
  return item;
}

QTreeWidgetItem* DialogueMakerWindow::currentNode() const {
  const auto selected = dialogueTree_->selectedItems();
  if (!selected.isEmpty()) return selected.constFirst();
  return inTree(lastSelected_) ? lastSelected_ : nullptr;
}

void DialogueMakerWindow::rememberSelection() {
  const auto selected = dialogueTree_->selectedItems();
  if (!selected.isEmpty()) lastSelected_ = selected.constFirst();
}

bool DialogueMakerWindow::inTree(const QTreeWidgetItem* item) const {
  if (!item) return false;
  for (QTreeWidgetItemIterator it(dialogueTree_); *it; ++it)
    if (*it == item) return true;
  return false;
}

npc::DialogueTree DialogueMakerWindow::tree() const {
  npc::DialogueTree out;
  for (int i = 0; i < dialogueTree_->topLevelItemCount(); ++i) collect(dialogueTree_->topLevelItem(i), 0, out);
  return out;
}

void DialogueMakerWindow::setTree(const npc::DialogueTree& tree) {
  dialogueTree_->clear();
  // path[d]: the latest node at depth d, the parent of the next node at depth d + 1.
  std::vector<QTreeWidgetItem*> path;
  for (const auto& node : tree) {
    auto* item = newNode(toQt(node.text));
    const auto depth = static_cast<std::size_t>(std::max(node.depth, 0));
    if (depth == 0 || path.empty()) {
      dialogueTree_->addTopLevelItem(item);
      path.assign(1, item);
    } else {
      const std::size_t parentDepth = std::min(depth, path.size()) - 1;
      path[parentDepth]->addChild(item);
      path.resize(parentDepth + 1);
      path.push_back(item);
    }
  }
  dialogueTree_->clearSelection();
  dialogueTree_->setCurrentItem(nullptr);
  lastSelected_ = nullptr;
}

void DialogueMakerWindow::addNode() {
  auto* item = newNode(phraseField_->text());
  QTreeWidgetItem* current = currentNode();
  if (current && current->parent())
    current->parent()->addChild(item);
  else
    dialogueTree_->addTopLevelItem(item);
}

void DialogueMakerWindow::addChildNode() {
  QTreeWidgetItem* current = currentNode();
  if (!current) return;
  current->addChild(newNode(phraseField_->text()));
  expandWithDescendants(current);
}

// The node goes with all its descendants; the node the tree moves to becomes current.
void DialogueMakerWindow::deleteCurrentNode() {
  QTreeWidgetItem* current = currentNode();
  if (!current) return;
  lastSelected_ = nullptr;
  delete current;
  if (QTreeWidgetItem* next = dialogueTree_->currentItem()) next->setSelected(true);
}

bool DialogueMakerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dialogueTree_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete) {
      deleteCurrentNode();
      return true;
    }
    if (key == Qt::Key_Insert) {
      addChildNode();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void DialogueMakerWindow::newDialogue() {
  phraseField_->clear();
  setTree({});
}

void DialogueMakerWindow::openDialogue() {
  const auto file = dialogs_.openFile(this, dialogueFileRequest());
  if (!file) return;
  const auto read = readWholeFile(localPath(*file));
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

void DialogueMakerWindow::saveDialogue() {
  const auto file = dialogs_.saveFile(this, dialogueFileRequest());
  if (!file) return;
  if (const auto error = replaceFile(localPath(*file), npc::writeDialogueFile(tree())))
    dialogs_.message(this, QStringLiteral("Диалог не сохранён: %1.").arg(fileProblem(*error)));
}

void DialogueMakerWindow::createDialogue() {
  const std::string label = npc::dialogueLabel(fromQt(labelField_->text()));
  labelField_->setText(toQt(label));

  const auto duplicates = npc::duplicateLabelMessages(document_.lines(), label);
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
    ScenarioDocument::UndoStep step(document_);  // one Ctrl+Z takes the whole dialogue back
    for (const auto& line : script.lines) document_.appendLine(line);
  }
  accept();
}

}  // namespace marvo
