// Whole-text replacement and grouped edits of the code editor's scenario text, each undone at once.
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>

#include "code_editor_window.h"
#include "line_codec.h"

void CodeEditorWindow::replaceAllLines(const std::vector<std::string>& lines) {
  const QString text = marvo::editor::linesToQt(lines);
  pendingStart_ = QTextCursor();  // a property name being typed belongs to the old text
  // Only what lies between the common beginning and the common end of the old and the new text is
  // replaced: the document's blocks are slow to make, and a text exported again after a small
  // change of the map differs in a few lines. The edit is one undo step; an equal text is left
  // alone. The document holds a paragraph separator where the text has a line break.
  QTextDocument* doc = scenarioView->document();
  const QString old = doc->toRawText();
  const auto same = [&](qsizetype i, qsizetype j) {
    const QChar n = text[j];
    return old[i] == (n == QLatin1Char('\n') ? QChar(QChar::ParagraphSeparator) : n);
  };
  const qsizetype shorter = std::min(old.size(), text.size());
  qsizetype head = 0;
  while (head < shorter && same(head, head)) ++head;
  qsizetype tail = 0;
  while (tail < shorter - head && same(old.size() - 1 - tail, text.size() - 1 - tail)) ++tail;
  if (head + tail < old.size() || head + tail < text.size()) {
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.setPosition(static_cast<int>(head));
    cursor.setPosition(static_cast<int>(old.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(text.sliced(head, text.size() - tail - head));
    cursor.endEditBlock();
  }
  caretToStart();
}

void CodeEditorWindow::caretToStart() {
  caretToStartPending_ = !isVisible();
  if (caretToStartPending_) return;
  scenarioView->moveCursor(QTextCursor::Start);
  scenarioView->verticalScrollBar()->setValue(0);
  scenarioView->horizontalScrollBar()->setValue(0);
}

CodeEditorWindow::UndoStep::UndoStep(CodeEditorWindow& editor) : cursor_(editor.scenarioView->document()) { cursor_.beginEditBlock(); }

CodeEditorWindow::UndoStep::~UndoStep() { cursor_.endEditBlock(); }
