// The main window's undo and redo of turns: "Отменить ход" and "Вернуть ход" in the Game menu,
// Ctrl+Z and Ctrl+Shift+Z (in the input line only while it is empty, so that typing keeps its own
// undo).
#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "main_window.h"

namespace marvo {

void MainWindow::buildRewind() {
  undoTurnAction_ = new QAction(QStringLiteral("Отменить ход"), this);
  undoTurnAction_->setObjectName(QStringLiteral("undoTurnAction"));
  undoTurnAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  connect(undoTurnAction_, &QAction::triggered, this, &MainWindow::undoTurn);
  redoTurnAction_ = new QAction(QStringLiteral("Вернуть ход"), this);
  redoTurnAction_->setObjectName(QStringLiteral("redoTurnAction"));
  redoTurnAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  connect(redoTurnAction_, &QAction::triggered, this, &MainWindow::redoTurn);
  gameMenu_->insertAction(saveTranscriptAction_, undoTurnAction_);
  gameMenu_->insertAction(saveTranscriptAction_, redoTurnAction_);
}

bool MainWindow::rewindKey(const QKeyEvent& key) {
  if (key.key() != Qt::Key_Z || !(key.modifiers() & Qt::ControlModifier)) return false;
  if (!commandLine_->text().isEmpty()) return false;
  if (key.modifiers() & Qt::ShiftModifier)
    redoTurn();
  else
    undoTurn();
  return true;
}

}  // namespace marvo
