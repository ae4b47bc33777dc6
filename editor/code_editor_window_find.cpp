// The code editor's editing commands: undo, redo and the clipboard in the context menu; Find and
// Replace (Ctrl+F, Ctrl+H) and Go to line (Ctrl+G) in bars above the text.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

#include "code_editor_window.h"
#include "find_bar.h"

namespace marvo {

void CodeEditorWindow::addEditingCommands() {
  undoAction_ = addKeyItem(contextMenu_, QStringLiteral("Отменить"), QKeySequence::Undo);
  redoAction_ = addKeyItem(contextMenu_, QStringLiteral("Повторить"), QKeySequence::Redo);
  contextMenu_->addSeparator();
  cutAction_ = addKeyItem(contextMenu_, QStringLiteral("Вырезать"), QKeySequence::Cut);
  copyAction_ = addKeyItem(contextMenu_, QStringLiteral("Копировать"), QKeySequence::Copy);
  pasteAction_ = addKeyItem(contextMenu_, QStringLiteral("Вставить"), QKeySequence::Paste);
  contextMenu_->addSeparator();
  findAction_ = addKeyItem(contextMenu_, QStringLiteral("Найти..."), QKeySequence(Qt::CTRL | Qt::Key_F));
  replaceAction_ = addKeyItem(contextMenu_, QStringLiteral("Заменить..."), QKeySequence(Qt::CTRL | Qt::Key_H));
  goToLineAction_ = addKeyItem(contextMenu_, QStringLiteral("Перейти к строке..."), QKeySequence(Qt::CTRL | Qt::Key_G));
  contextMenu_->addSeparator();

  connect(undoAction_, &QAction::triggered, scenarioView_, &QPlainTextEdit::undo);
  connect(redoAction_, &QAction::triggered, scenarioView_, &QPlainTextEdit::redo);
  connect(cutAction_, &QAction::triggered, scenarioView_, &QPlainTextEdit::cut);
  connect(copyAction_, &QAction::triggered, scenarioView_, &QPlainTextEdit::copy);
  connect(pasteAction_, &QAction::triggered, scenarioView_, &QPlainTextEdit::paste);
  connect(findAction_, &QAction::triggered, this, &CodeEditorWindow::openFind);
  connect(replaceAction_, &QAction::triggered, this, &CodeEditorWindow::openReplace);
  connect(goToLineAction_, &QAction::triggered, this, &CodeEditorWindow::openGoToLine);
  // Each item is available only when it can do something.
  connect(contextMenu_, &QMenu::aboutToShow, this, [this] {
    QTextDocument* doc = scenarioView_->document();
    const bool selection = scenarioView_->textCursor().hasSelection();
    undoAction_->setEnabled(doc->isUndoAvailable());
    redoAction_->setEnabled(doc->isRedoAvailable());
    cutAction_->setEnabled(selection);
    copyAction_->setEnabled(selection);
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    pasteAction_->setEnabled(clipboard && clipboard->hasText());
  });
}

QWidget* CodeEditorWindow::textWithBars(QWidget* text) {
  findBar_ = new FindBar(*scenarioView_, document_, this);
  goToLineBar_ = new GoToLineBar(*scenarioView_, this);
  connect(findBar_, &FindBar::caretMoved, this, &CodeEditorWindow::refreshLineIndicator);
  connect(goToLineBar_, &GoToLineBar::caretMoved, this, &CodeEditorWindow::refreshLineIndicator);
  for (QWidget* field : {findBar_->findField(), findBar_->replaceField(), goToLineBar_->lineField()})
    field->installEventFilter(this);
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(findBar_);
  layout->addWidget(goToLineBar_);
  layout->addWidget(text, 1);
  return column;
}

void CodeEditorWindow::openFind() {
  goToLineBar_->hide();
  findBar_->openFind();
}

void CodeEditorWindow::openReplace() {
  goToLineBar_->hide();
  findBar_->openReplace();
}

void CodeEditorWindow::openGoToLine() {
  findBar_->closeBar();
  goToLineBar_->open();
}

bool CodeEditorWindow::editingKey(QKeyEvent* key) {
  // Zoom from any control of the window; the plus may need Shift on the keyboard.
  if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier) {
    switch (key->key()) {
      case Qt::Key_Plus:
      case Qt::Key_Equal:
        scenarioView_->zoomBy(1);
        return true;
      case Qt::Key_Minus:
        scenarioView_->zoomBy(-1);
        return true;
      case Qt::Key_0:
        scenarioView_->resetZoom();
        return true;
      default:
        break;
    }
  }
  if (key->modifiers() != Qt::ControlModifier) return false;
  switch (key->key()) {
    case Qt::Key_F:
      openFind();
      return true;
    case Qt::Key_H:
      openReplace();
      return true;
    case Qt::Key_G:
      openGoToLine();
      return true;
    default:
      return false;
  }
}

}  // namespace marvo
