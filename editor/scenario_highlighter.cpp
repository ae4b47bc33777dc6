// Syntax colouring of the scenario text.
#include "scenario_highlighter.h"

#include "gui/qt_codec.h"

using marvo::editor::LineKind;

namespace marvo {

ScenarioHighlighter::ScenarioHighlighter(QObject* parent) : QSyntaxHighlighter(parent) {
  label_.setForeground(QColor(0x00, 0x00, 0x99));
  label_.setFontWeight(QFont::Bold);
  comment_.setForeground(QColor(0x80, 0x80, 0x80));
  comment_.setFontItalic(true);
  text_.setForeground(QColor(0x00, 0x70, 0x00));
  menu_.setForeground(QColor(0x90, 0x00, 0x90));
  talk_.setForeground(QColor(0xA0, 0x50, 0x00));
  keyword_.setForeground(QColor(0x00, 0x40, 0xC0));
  keyword_.setFontWeight(QFont::Bold);
}

const QTextCharFormat& ScenarioHighlighter::formatOf(LineKind kind) const {
  switch (kind) {
    case LineKind::Label:
      return label_;
    case LineKind::Comment:
      return comment_;
    case LineKind::Text:
      return text_;
    case LineKind::Menu:
      return menu_;
    case LineKind::Talk:
      return talk_;
    case LineKind::Plain:
      break;
  }
  return keyword_;  // not reached for plain lines
}

void ScenarioHighlighter::highlightBlock(const QString& text) {
  if (text.isEmpty() || text.size() > kLongestColouredLine) return;
  line_.clear();
  marvo::appendCp1251(text, line_);
  marvo::editor::styleLine(line_, style_);
  const auto* mark = dynamic_cast<const ProblemMark*>(currentBlockUserData());
  if (!mark) {
    if (style_.kind != LineKind::Plain) setFormat(0, static_cast<int>(text.size()), formatOf(style_.kind));
    for (const auto& span : style_.keywords) setFormat(span.start, span.length, keyword_);
    return;
  }
  // A line with problems keeps its colours and gets a wavy underline: red for errors.
  auto underlined = [&](QTextCharFormat f) {
    f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    f.setUnderlineColor(mark->error ? QColor(0xE0, 0x00, 0x00) : QColor(0xE0, 0x90, 0x00));
    return f;
  };
  setFormat(0, static_cast<int>(text.size()),
            underlined(style_.kind != LineKind::Plain ? formatOf(style_.kind) : QTextCharFormat()));
  for (const auto& span : style_.keywords) setFormat(span.start, span.length, underlined(keyword_));
}

}  // namespace marvo
