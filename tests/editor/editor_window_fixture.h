// Helpers for the editor window tests: typing into widgets, caret placement, Windows-1251 texts.
#pragma once

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <string>
#include <vector>

#include "engine/codec.h"
#include "gui/qt_codec.h"

// A Windows-1251 string from a UTF-8 literal.
inline std::string w(const char* utf8) { return marvo::utf8ToCp1251(utf8); }

inline std::vector<std::string> w(std::initializer_list<const char*> utf8Lines) {
  std::vector<std::string> out;
  for (const char* line : utf8Lines) out.push_back(w(line));
  return out;
}

// Types `text` key by key; characters outside ASCII go one at a time as text-only key events.
inline void typeText(QWidget* widget, const QString& text) {
  for (QChar ch : text) {
    if (ch.unicode() < 0x80)
      QTest::keyClick(widget, static_cast<char>(ch.unicode()));
    else
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

inline void typeText(QWidget* widget, const char* utf8) { typeText(widget, QString::fromUtf8(utf8)); }

inline void placeCaret(QPlainTextEdit* edit, int line, int column) {
  QTextCursor cursor(edit->document()->findBlockByNumber(line));
  cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
  edit->setTextCursor(cursor);
}

inline std::vector<std::string> numberedLines(int count, const char* prefix = "line ") {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(prefix + std::to_string(i));
  return out;
}
