// The description area of the map editor: keeps its lines broken as the export breaks them.
#include "description_area.h"

#include <QKeyEvent>
#include <QTextBlock>

#include "gui/qt_codec.h"
#include "mapedit/description_lines.h"

namespace marvo {

namespace {
// A block's text without the line separators that Shift+Enter puts inside a block.
QString blockText(const QTextBlock& block) {
  QString text = block.text();
  text.remove(QChar::LineSeparator);
  return text;
}
}  // namespace

DescriptionArea::DescriptionArea(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabChangesFocus(true);
  connect(document(), &QTextDocument::contentsChanged, this, &DescriptionArea::rebreak);
}

void DescriptionArea::showDescription(std::string_view description) {
  rebreaking_ = true;
  setPlainText(toQt(mapedit::breakDescription(description)).join(QLatin1Char('\n')));
  rebreaking_ = false;
}

QStringList DescriptionArea::shownLines() const {
  QStringList lines;
  for (auto block = document()->firstBlock(); block.isValid(); block = block.next()) lines.append(blockText(block));
  if (lines.size() == 1 && lines.front().isEmpty()) lines.clear();
  return lines;
}

std::string DescriptionArea::storedDescription() const { return mapedit::joinDescriptionLines(fromQt(shownLines())); }

void DescriptionArea::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
    emit storeKeyTyped();
  }
  // A break between two lines is no character: Backspace at the start of a line and Delete at
  // the end of one remove the neighbouring character instead of the break.
  QTextCursor cursor = textCursor();
  if (!cursor.hasSelection() && event->modifiers() == Qt::NoModifier) {
    if (event->key() == Qt::Key_Backspace && cursor.atBlockStart() && !cursor.atStart()) {
      cursor.movePosition(QTextCursor::PreviousCharacter);
      cursor.deletePreviousChar();
      setTextCursor(cursor);
      return;
    }
    if (event->key() == Qt::Key_Delete && cursor.atBlockEnd() && !cursor.atEnd()) {
      cursor.movePosition(QTextCursor::NextCharacter);
      cursor.deleteChar();
      setTextCursor(cursor);
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(event);  // the key still reaches the area (Esc goes on to the window)
}

// Re-breaks the text after every change, keeping the caret on the same character.
void DescriptionArea::rebreak() {
  if (rebreaking_) return;
  const QStringList lines = shownLines();
  const QString joined = lines.join(QString());
  const QStringList wanted = toQt(mapedit::breakDescription(fromQt(joined)));
  QStringList current;
  for (auto block = document()->firstBlock(); block.isValid(); block = block.next()) current.append(block.text());
  if (current.join(QLatin1Char('\n')) == wanted.join(QLatin1Char('\n'))) return;

  // Caret position counted in characters of the joined text.
  const QTextCursor caret = textCursor();
  int offset = 0;
  for (auto block = document()->firstBlock(); block.isValid() && block != caret.block(); block = block.next())
    offset += static_cast<int>(blockText(block).size());
  offset += static_cast<int>(caret.block().text().left(caret.positionInBlock()).remove(QChar::LineSeparator).size());

  rebreaking_ = true;
  QTextCursor all(document());
  all.joinPreviousEditBlock();  // one undo step together with the edit that caused it
  all.select(QTextCursor::Document);
  all.insertText(wanted.join(QLatin1Char('\n')));
  all.endEditBlock();
  rebreaking_ = false;

  // Place the caret; at a line boundary it goes to the start of the next line.
  QTextCursor placed(document());
  int remaining = offset;
  auto block = document()->firstBlock();
  while (block.isValid() && block.next().isValid() && remaining >= block.length() - 1) {
    remaining -= block.length() - 1;
    block = block.next();
  }
  placed.setPosition(block.position() + std::min(remaining, block.length() - 1));
  setTextCursor(placed);
}

}  // namespace marvo
