// The main window's output pane.
#include "output_pane.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTextBlock>
#include <QWheelEvent>
#include <algorithm>

#include "gui/qt_codec.h"

namespace marvo {

namespace {

// A key that types a character (a letter, a digit, a blank, a sign) rather than a command key.
bool typesText(const QKeyEvent& key) {
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString text = key.text();
  return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

}  // namespace

OutputPane::OutputPane(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  // Read with the keyboard too: arrows move a caret through the text; typing goes to the input line.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // The text only grows and is trimmed at its start: nothing to undo, and no history to keep.
  document()->setUndoRedoEnabled(false);
  viewport()->setMouseTracking(true);
  installEventFilter(this);

  auto makeAction = [this](const QString& caption, const QList<QKeySequence>& keys, int step) {
    auto* action = new QAction(caption, this);
    action->setShortcuts(keys);
    // Active whichever control of the window has the focus, the input line included.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, step] { setTextSize(step ? textSize_ + step : kDefaultSize); });
    addAction(action);
    return action;
  };
  zoomIn_ = makeAction(QStringLiteral("Крупнее"),
                       {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, 1);
  zoomOut_ = makeAction(QStringLiteral("Мельче"), {QKeySequence(QKeySequence::ZoomOut)}, -1);
  zoomReset_ = makeAction(QStringLiteral("Обычный размер"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, 0);
}

void OutputPane::showLines(const std::deque<std::string>& lines, std::uint64_t appended, std::uint64_t clears) {
  std::uint64_t added = appended - shownAppended_;
  // Lines dropped at the start since the last show; anything else than "added at the end, dropped
  // at the start" (a clear, or more lines dropped than were shown) shows the lines afresh.
  const bool grows = clears == shownClears_ && added <= lines.size() && shownCount_ + added >= lines.size();
  std::size_t dropped = grows ? shownCount_ + added - lines.size() : shownCount_;
  if (!grows || dropped >= shownCount_) {
    if (shownCount_ > 0) {
      // Removed through a cursor: clear() would also announce an empty insertion.
      QTextCursor all(document());
      all.select(QTextCursor::Document);
      all.removeSelectedText();
    }
    shownCount_ = 0;
    dropped = 0;
    added = lines.size();
  }
  shownAppended_ = appended;
  shownClears_ = clears;
  if (dropped > 0) {
    QTextCursor start(document());
    start.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, static_cast<int>(dropped));
    start.removeSelectedText();
    shownCount_ -= dropped;
  }
  if (added > 0) {
    // One insertion for all new lines: one notice to assistive technology with the whole text.
    QString text;
    for (std::size_t i = lines.size() - added; i < lines.size(); ++i) {
      if (shownCount_ > 0 || i > lines.size() - added) text += QLatin1Char('\n');
      appendQt(lines[i], text);
    }
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    shownCount_ += added;
  }
}

void OutputPane::setMenuLines(const std::vector<std::size_t>& lines) {
  menuLines_ = lines;
  underlineMenuLines();
}

void OutputPane::underlineMenuLines() {
  QList<QTextEdit::ExtraSelection> marks;
  for (std::size_t line : menuLines_) {
    const QTextBlock block = document()->findBlockByNumber(static_cast<int>(line));
    if (!block.isValid()) continue;
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(block);
    mark.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    mark.format.setFontUnderline(true);
    marks.append(mark);
  }
  setExtraSelections(marks);
}

void OutputPane::setTextSize(int pixelSize) {
  pixelSize = std::clamp(pixelSize, kSmallestSize, kLargestSize);
  if (pixelSize == textSize_ && font().pixelSize() == pixelSize) return;
  textSize_ = pixelSize;
  QFont larger = font();
  larger.setPixelSize(pixelSize);
  setFont(larger);
  emit textSizeChanged(pixelSize);
}

void OutputPane::setTypingTarget(QWidget* target) { typingTarget_ = target; }

void OutputPane::forwardTyping(QWidget* from) { from->installEventFilter(this); }

bool OutputPane::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && typingTarget_ && watched != typingTarget_ &&
      typesText(*static_cast<QKeyEvent*>(event))) {
    typingTarget_->setFocus(Qt::OtherFocusReason);
    QCoreApplication::sendEvent(typingTarget_, event);
    return true;
  }
  return QPlainTextEdit::eventFilter(watched, event);
}

void OutputPane::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QPlainTextEdit::wheelEvent(event);
    return;
  }
  // One step per notch; fine-grained wheels add up until a notch is reached.
  wheelPending_ += event->angleDelta().y();
  const int steps = wheelPending_ / 120;
  wheelPending_ %= 120;
  if (steps != 0) setTextSize(textSize_ + steps);
  event->accept();
}

QRect OutputPane::lineArea(int line) const {
  const QTextBlock block = document()->findBlockByNumber(line);
  if (!block.isValid()) return {};
  return blockBoundingGeometry(block).translated(contentOffset()).toAlignedRect();
}

int OutputPane::menuLineAt(const QPoint& position) const {
  const int line = cursorForPosition(position).blockNumber();
  if (!lineArea(line).contains(position)) return -1;
  const auto found = std::find(menuLines_.begin(), menuLines_.end(), static_cast<std::size_t>(line));
  return found != menuLines_.end() ? line : -1;
}

void OutputPane::mousePressEvent(QMouseEvent* event) {
  pressedMenuLine_ = event->button() == Qt::LeftButton ? menuLineAt(event->position().toPoint()) : -1;
  QPlainTextEdit::mousePressEvent(event);
}

void OutputPane::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  const int pressed = pressedMenuLine_;
  pressedMenuLine_ = -1;
  // A drag that selected text is for copying, not a choice.
  if (event->button() != Qt::LeftButton || pressed < 0 || textCursor().hasSelection()) return;
  if (menuLineAt(event->position().toPoint()) == pressed) emit menuLineClicked(pressed);
}

void OutputPane::mouseMoveEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseMoveEvent(event);
  const bool onMenu = event->buttons() == Qt::NoButton && menuLineAt(event->position().toPoint()) >= 0;
  viewport()->setCursor(onMenu ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void OutputPane::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu(event->pos());
  menu->addSeparator();
  menu->addActions({zoomIn_, zoomOut_, zoomReset_});
  menu->exec(event->globalPos());
  delete menu;
}

}  // namespace marvo
