// The code editor's keys: window keys, the text area's typing aids and the property list.
#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "code_editor_window.h"
#include "find_bar.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "keywords.h"
#include "property_list.h"

namespace marvo {

namespace {
bool isEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }
}  // namespace

bool CodeEditorWindow::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (watched == scenarioView_) return textKeyPress(key);
      if (watched == propertyPopup_) return propertyPopupKeyPress(key);
      if (watched == locationBox_) return locationBoxKeyPress(key);
      if (watched == searchField_) return searchFieldKeyPress(key);
      if (watched == variablePane_ || watched == autoCompleteBox_ || watched == problemsList() ||
          watched == referencesList() || watched == outlineFilter())
        return windowKey(key);
      // The bars' fields keep their own keys (Enter, Esc) and pass the rest on to the window.
      if (watched == findBar_->findField() || watched == findBar_->replaceField() ||
          watched == goToLineBar_->lineField())
        return editingKey(key);
      break;
    }
    case QEvent::KeyRelease:
      if (watched == scenarioView_) textKeyRelease(static_cast<QKeyEvent*>(event));
      break;
    case QEvent::FocusIn:
      // The list is rebuilt whenever it receives the focus, but not when its own drop-down closes.
      if (watched == locationBox_ && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        rebuildLocationList();
      break;
    case QEvent::MouseButtonPress:
      if (watched == scenarioView_->viewport()) {
        if (ctrlClick(static_cast<QMouseEvent*>(event))) return true;
        propertyPopup_->hide();
        scenarioView_->setFocus();
      }
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void CodeEditorWindow::keyPressEvent(QKeyEvent* event) {
  if (!windowKey(event)) QDialog::keyPressEvent(event);
}

bool CodeEditorWindow::windowKey(QKeyEvent* key) {
  if (editingKey(key)) return true;
  if (navigationKey(key)) return true;
  if (key->key() == Qt::Key_F9 && (key->modifiers() & Qt::ControlModifier)) {
    runWalkthroughs();
    return true;
  }
  switch (key->key()) {
    case Qt::Key_Escape:
      close();
      return true;
    case Qt::Key_F1:
      if (!(key->modifiers() & Qt::ShiftModifier))
        toggleCommonLocation();
      else
        emit referenceRequested(document_.line(caretLine()), scenarioView_->textCursor().positionInBlock());
      return true;
    case Qt::Key_F5:
      leaveForMapEditor();
      return true;
    case Qt::Key_F9:
      leaveForGame();
      return true;
    case kDialogueMakerKey:
      openDialogueMaker();
      return true;
    case Qt::Key_F7:
      if (!(key->modifiers() & Qt::ControlModifier)) return false;
      checkScenario();
      return true;
    default:
      return false;
  }
}

void CodeEditorWindow::refreshLineIndicator() {
  const int line = caretLine();
  lineIndicator_->setText(QString::number(line));
  lineNumberNote_->setText(QStringLiteral("(с 0) · № %1").arg(line + 1));
}

bool CodeEditorWindow::textKeyPress(QKeyEvent* key) {
  if (windowKey(key)) return true;
  refreshLineIndicator();
  // Ctrl with a key types nothing (Ctrl+= zooms): no typing aid may see its character.
  if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier && !isEnter(key))
    return false;

  const QString typed = key->text();
  if (typed == QLatin1String("=")) {
    collectPendingProperty();
  } else if (typed == QLatin1String("_")) {
    const QTextBlock caretBlock = scenarioView_->textCursor().block();
    const QTextDocument* doc = scenarioView_->document();
    // The head of the scenario is short: look its lines up one by one instead of copying the text.
    const bool opens = editor::opensPropertyList(toCp1251(caretBlock.text()), document_.lineCount(), [doc](int index) {
      return toCp1251(doc->findBlockByNumber(index).text());
    });
    if (opens) showPropertyList();
  }
  if (!isEnter(key)) return false;

  enterWentIntoText_ = true;
  if (scenarioView_->textCursor().positionInBlock() != 0 && autoCompleteBox_->isChecked()) {
    pendingProperty_ = false;
    pendingStart_ = QTextCursor();
    normaliseCaretLine();
  }
  if (key->modifiers() & Qt::ShiftModifier) {
    // Shift+Enter would break the line inside its block; a scenario line break is a new block.
    QTextCursor cursor = scenarioView_->textCursor();
    cursor.insertBlock();
    scenarioView_->setTextCursor(cursor);
    scenarioView_->ensureCursorVisible();
    return true;
  }
  return false;
}

void CodeEditorWindow::textKeyRelease(QKeyEvent* key) {
  refreshLineIndicator();
  if (!isEnter(key) || key->isAutoRepeat()) return;
  // Only the release of an Enter that went into the text continues a menu line; the release of
  // the Enter that chose a property arrives here too.
  const bool wentIntoText = enterWentIntoText_;
  enterWentIntoText_ = false;
  if (wentIntoText && autoCompleteBox_->isChecked()) continueMenuLine();
}

bool CodeEditorWindow::locationBoxKeyPress(QKeyEvent* key) {
  if (key->key() == Qt::Key_Control) {
    scenarioView_->setFocus();
    return true;
  }
  if (key->key() == Qt::Key_Escape) scenarioView_->setFocus();
  return windowKey(key);
}

bool CodeEditorWindow::searchFieldKeyPress(QKeyEvent* key) {
  if (isEnter(key)) {
    search();
    return true;
  }
  return windowKey(key);
}

// ---- Typing aids -----------------------------------------------------------------------------

void CodeEditorWindow::normaliseCaretLine() {
  QTextCursor caret = scenarioView_->textCursor();
  const QTextBlock block = caret.block();
  const std::string current = toCp1251(block.text());
  const std::string normal = editor::normaliseKeywords(current);
  if (normal == current) return;

  // Rewrite only the characters whose case changed, so every other character stays untouched;
  // the line keeps its length, so the caret goes back to the same place.
  const int anchor = caret.anchor();
  const int position = caret.position();
  QTextCursor edit(block);
  edit.beginEditBlock();
  std::size_t i = 0;
  while (i < current.size()) {
    if (current[i] == normal[i]) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < current.size() && current[end] != normal[end]) ++end;
    edit.setPosition(block.position() + static_cast<int>(i));
    edit.setPosition(block.position() + static_cast<int>(end), QTextCursor::KeepAnchor);
    edit.insertText(toQt(std::string_view(normal).substr(i, end - i)));
    i = end;
  }
  edit.endEditBlock();
  caret.setPosition(anchor);
  caret.setPosition(position, QTextCursor::KeepAnchor);
  scenarioView_->setTextCursor(caret);
}

void CodeEditorWindow::continueMenuLine() {
  const QTextBlock current = scenarioView_->textCursor().block();
  const QTextBlock previous = current.previous();
  if (!previous.isValid()) return;
  switch (editor::atContinuationAfter(toCp1251(previous.text()))) {
    case editor::AtContinuation::OfferAt: {
      // A line that already holds text (the Enter split a line) keeps it as it is.
      if (current.length() > 1) return;
      QTextCursor cursor(current);
      cursor.insertText(QStringLiteral("@"));
      scenarioView_->setTextCursor(cursor);
      break;
    }
    case editor::AtContinuation::EndRun:
      document_.replaceLine(previous.blockNumber(), {});
      break;
    case editor::AtContinuation::None:
      break;
  }
}

void CodeEditorWindow::showPropertyList() {
  const QRect caret = scenarioView_->cursorRect();
  QPoint at = scenarioView_->viewport()->mapTo(this, QPoint(caret.left() + 1, caret.bottom() + 1));
  // Keep the list inside the window: above the caret line when there is no room under it.
  if (at.y() + propertyPopup_->height() > height())
    at.setY(scenarioView_->viewport()->mapTo(this, caret.topLeft()).y() - propertyPopup_->height());
  at.setX(std::max(0, std::min(at.x(), width() - propertyPopup_->width())));
  at.setY(std::max(0, at.y()));
  propertyPopup_->move(at);
  propertyPopup_->show();
  propertyPopup_->raise();
  propertyPopup_->setCurrentRow(0);
  propertyPopup_->setFocus();
}

bool CodeEditorWindow::propertyPopupKeyPress(QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      return false;  // the list moves its selection
    case Qt::Key_Return:
    case Qt::Key_Enter:
      insertProperty();
      return true;
    case Qt::Key_Delete: {
      const int row = propertyPopup_->currentRow();
      if (!properties_.canDelete(row)) break;  // a built-in item: like any other key
      const int next = properties_.remove(row);
      delete propertyPopup_->takeItem(row);
      propertyPopup_->setCurrentRow(next);
      return true;
    }
    default:
      break;
  }
  dismissPropertyList();
  windowKey(key);  // Esc and the window's function keys act as well
  return true;
}

void CodeEditorWindow::insertProperty() {
  const QListWidgetItem* item = propertyPopup_->currentItem();
  propertyPopup_->hide();
  if (item) {
    QTextCursor cursor = scenarioView_->textCursor();
    cursor.clearSelection();
    cursor.insertText(item->text());
    cursor.movePosition(QTextCursor::EndOfBlock);
    scenarioView_->setTextCursor(cursor);
  }
  scenarioView_->setFocus();
}

void CodeEditorWindow::dismissPropertyList() {
  pendingProperty_ = true;
  pendingStart_ = scenarioView_->textCursor();
  pendingStart_.clearSelection();
  // What the author types from here on lands after this position; the position must stay put.
  pendingStart_.setKeepPositionOnInsert(true);
  propertyPopup_->hide();
  scenarioView_->setFocus();
}

void CodeEditorWindow::collectPendingProperty() {
  if (!pendingProperty_) return;
  pendingProperty_ = false;
  const QTextCursor start = pendingStart_;
  pendingStart_ = QTextCursor();
  const QTextCursor caret = scenarioView_->textCursor();
  if (start.isNull() || start.block() != caret.block() || start.position() > caret.position()) return;
  const QString typed =
      caret.block().text().mid(start.positionInBlock(), caret.positionInBlock() - start.positionInBlock());
  const auto name = editor::collectedPropertyName(toCp1251(typed));
  if (name && properties_.add(*name)) propertyPopup_->addItem(toQt(*name));
}

}  // namespace marvo
