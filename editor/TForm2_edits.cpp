// Whole-text replacement and grouped edits of the code editor's scenario text, each undone at once.
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>

#include "TForm2.h"
#include "line_codec.h"

void TForm2::replaceAllLines(const std::vector<std::string>& lines) {
  const QString text = marvo::editor::linesToQt(lines);
  pendingStart_ = QTextCursor();  // a property name being typed belongs to the old text
  QTextCursor cursor(Memo1->document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  cursor.insertText(text);
  cursor.endEditBlock();
  caretToStart();
}

void TForm2::caretToStart() {
  caretToStartPending_ = !isVisible();
  if (caretToStartPending_) return;
  Memo1->moveCursor(QTextCursor::Start);
  Memo1->verticalScrollBar()->setValue(0);
  Memo1->horizontalScrollBar()->setValue(0);
}

TForm2::UndoStep::UndoStep(TForm2& editor) : cursor_(editor.Memo1->document()) { cursor_.beginEditBlock(); }

TForm2::UndoStep::~UndoStep() { cursor_.endEditBlock(); }
