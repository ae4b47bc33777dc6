// The NPC maker window "NPC Maker": edits a dialogue tree, keeps it in ".dlg" files and generates
// a callable dialogue location at the end of the scenario.
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

#include "editor/code_editor_window.h"
#include "editor/scenario_document.h"
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

DialogueMakerWindow::DialogueMakerWindow(CodeEditorWindow& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      editor_(editor),
      dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("NPC Maker"));
  pages = new QTabWidget(this);
  pages->addTab(buildDialoguePage(), QStringLiteral("Диалог"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(pages);
  setFixedSize(584, 432);

  connect(newButton, &QToolButton::clicked, this, &DialogueMakerWindow::newDialogue);
  connect(openButton, &QToolButton::clicked, this, &DialogueMakerWindow::openDialogue);
  connect(saveButton, &QToolButton::clicked, this, &DialogueMakerWindow::saveDialogue);
  connect(addNodeButton, &QPushButton::clicked, this, &DialogueMakerWindow::addNode);
  connect(addChildButton, &QPushButton::clicked, this, &DialogueMakerWindow::addChildNode);
  connect(createButton, &QPushButton::clicked, this, &DialogueMakerWindow::createDialogue);
  dialogueTree->installEventFilter(this);
  // Esc closes the window from anywhere, also while a node is edited in place (the edit is dropped).
  connect(dialogueTree->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
          [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
            if (hint == QAbstractItemDelegate::RevertModelCache) close();
          });
}

QWidget* DialogueMakerWindow::buildDialoguePage() {
  auto* page = new QWidget;

  toolBar = new QToolBar(page);
  toolBar->setGeometry(0, 0, 561, 29);
  const auto toolButton = [this](QStyle::StandardPixmap icon, const char* text, const char* hint) {
    auto* button = new QToolButton(toolBar);
    button->setIcon(style()->standardIcon(icon));
    button->setText(QString::fromUtf8(text));
    button->setToolTip(QString::fromUtf8(hint));
    toolBar->addWidget(button);
    return button;
  };
  newButton = toolButton(QStyle::SP_FileIcon, "New", "New dialog");
  openButton = toolButton(QStyle::SP_DialogOpenButton, "Open", "Open dialog");
  saveButton = toolButton(QStyle::SP_DialogSaveButton, "Save", "Save dialog");

  phraseField = new QLineEdit(page);
  phraseField->setGeometry(0, 32, 561, 21);
  // Buttons keep their designed places unless the font needs more room; then they grow leftwards
  // from the tree's right edge.
  addNodeButton = new QPushButton(QStringLiteral("Add Node"), page);
  addChildButton = new QPushButton(QStringLiteral("Add Child Node"), page);
  const int childWidth = std::max(89, addChildButton->sizeHint().width());
  const int childLeft = std::min(472, 561 - childWidth);
  addChildButton->setGeometry(childLeft, 56, childWidth, 25);
  const int addWidth = std::max(81, addNodeButton->sizeHint().width());
  addNodeButton->setGeometry(std::min(384, childLeft - 7 - addWidth), 56, addWidth, 25);
  treeCaption = new QLabel(QStringLiteral("Дерево диалогов: до \";\" вводная фраза, после ответ NPC: "),
                      page);
  treeCaption->move(0, 72);
  treeCaption->adjustSize();
  // The buttons stay clickable where a long caption runs under them.
  addNodeButton->raise();
  addChildButton->raise();

  dialogueTree = new QTreeWidget(page);
  dialogueTree->setGeometry(0, 88, 561, 265);
  dialogueTree->setHeaderHidden(true);
  dialogueTree->setColumnCount(1);
  dialogueTree->setIndentation(19);
  dialogueTree->setSelectionMode(QAbstractItemView::SingleSelection);
  dialogueTree->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::SelectedClicked);
  connect(dialogueTree, &QTreeWidget::itemSelectionChanged, this, &DialogueMakerWindow::rememberSelection);

  labelCaption = new QLabel(QStringLiteral("Метка вызова диалога:"), page);
  labelCaption->move(0, 362);
  labelCaption->adjustSize();
  labelField = new QLineEdit(QStringLiteral("dialog1"), page);
  labelField->setGeometry(std::max(128, labelCaption->width() + 6), 360, 209, 21);
  createButton = new QPushButton(QStringLiteral("Создать"), page);
  createButton->setGeometry(478, 356, 83, 25);

  // Enter in a field must neither add a node nor generate.
  for (auto* button : {createButton, addNodeButton, addChildButton}) button->setAutoDefault(false);
  return page;
}

QTreeWidgetItem* DialogueMakerWindow::newNode(const QString& text) const {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
  return item;
}

QTreeWidgetItem* DialogueMakerWindow::currentNode() const {
  const auto selected = dialogueTree->selectedItems();
  if (!selected.isEmpty()) return selected.constFirst();
  return inTree(lastSelected_) ? lastSelected_ : nullptr;
}

void DialogueMakerWindow::rememberSelection() {
  const auto selected = dialogueTree->selectedItems();
  if (!selected.isEmpty()) lastSelected_ = selected.constFirst();
}

bool DialogueMakerWindow::inTree(const QTreeWidgetItem* item) const {
  if (!item) return false;
  for (QTreeWidgetItemIterator it(dialogueTree); *it; ++it)
    if (*it == item) return true;
  return false;
}

npc::DialogueTree DialogueMakerWindow::tree() const {
  npc::DialogueTree out;
  for (int i = 0; i < dialogueTree->topLevelItemCount(); ++i) collect(dialogueTree->topLevelItem(i), 0, out);
  return out;
}

void DialogueMakerWindow::setTree(const npc::DialogueTree& tree) {
  dialogueTree->clear();
  // path[d]: the latest node at depth d, the parent of the next node at depth d + 1.
  std::vector<QTreeWidgetItem*> path;
  for (const auto& node : tree) {
    auto* item = newNode(toQt(node.text));
    const auto depth = static_cast<std::size_t>(std::max(node.depth, 0));
    if (depth == 0 || path.empty()) {
      dialogueTree->addTopLevelItem(item);
      path.assign(1, item);
    } else {
      const std::size_t parentDepth = std::min(depth, path.size()) - 1;
      path[parentDepth]->addChild(item);
      path.resize(parentDepth + 1);
      path.push_back(item);
    }
  }
  dialogueTree->clearSelection();
  dialogueTree->setCurrentItem(nullptr);
  lastSelected_ = nullptr;
}

void DialogueMakerWindow::addNode() {
  auto* item = newNode(phraseField->text());
  QTreeWidgetItem* current = currentNode();
  if (current && current->parent())
    current->parent()->addChild(item);
  else
    dialogueTree->addTopLevelItem(item);
}

void DialogueMakerWindow::addChildNode() {
  QTreeWidgetItem* current = currentNode();
  if (!current) return;
  current->addChild(newNode(phraseField->text()));
  expandWithDescendants(current);
}

void DialogueMakerWindow::treeKeyDown(int key) {
  QTreeWidgetItem* current = currentNode();
  if (!current) return;
  if (key == Qt::Key_Insert) {
    addChildNode();
    return;
  }
  // Delete: the node goes with all its descendants; the node the tree moves to becomes current.
  lastSelected_ = nullptr;
  delete current;
  if (QTreeWidgetItem* next = dialogueTree->currentItem()) next->setSelected(true);
}

bool DialogueMakerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dialogueTree && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete || key == Qt::Key_Insert) {
      treeKeyDown(key);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void DialogueMakerWindow::newDialogue() {
  phraseField->clear();
  setTree({});
}

void DialogueMakerWindow::openDialogue() {
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

void DialogueMakerWindow::saveDialogue() {
  const auto file = dialogs_.saveFile(this, dialogueFileRequest());
  if (!file) return;
  if (const auto error = marvo::replaceFile(localPath(*file), npc::writeDialogueFile(tree())))
    dialogs_.message(this, QString::fromStdString(*error));
}

void DialogueMakerWindow::createDialogue() {
  const std::string label = npc::dialogueLabel(fromQt(labelField->text()));
  labelField->setText(toQt(label));

  const auto duplicates = npc::duplicateLabelMessages(editor_.document().lines(), label);
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
    marvo::ScenarioDocument::UndoStep step(editor_.document());  // one Ctrl+Z takes the whole dialogue back
    for (const auto& line : script.lines) editor_.document().appendLine(line);
  }
  accept();
}
