// Syntax colouring of the scenario text.
#include "scenario_highlighter.h"

#include <QWidget>

#include "gui/qt_codec.h"

using marvo::editor::LineKind;

namespace marvo {

ScenarioHighlighter::ScenarioHighlighter(QObject* parent) : QSyntaxHighlighter(parent) { buildFormats(); }

// Every colour reads at a contrast of at least 4.5:1 on white and on the light greys of light
// themes (the dark set likewise on black and the dark greys of dark themes).
void ScenarioHighlighter::buildFormats() {
  label_ = comment_ = text_ = menu_ = talk_ = keyword_ = QTextCharFormat();
  label_.setForeground(dark_ ? QColor(0x8A, 0xB4, 0xF8) : QColor(0x00, 0x00, 0x99));
  label_.setFontWeight(QFont::Bold);
  comment_.setForeground(dark_ ? QColor(0xB8, 0xB8, 0xB8) : QColor(0x5E, 0x5E, 0x5E));
  comment_.setFontItalic(true);
  text_.setForeground(dark_ ? QColor(0x86, 0xD0, 0x86) : QColor(0x00, 0x70, 0x00));
  menu_.setForeground(dark_ ? QColor(0xE6, 0x9A, 0xE6) : QColor(0x90, 0x00, 0x90));
  talk_.setForeground(dark_ ? QColor(0xF0, 0xB0, 0x60) : QColor(0x99, 0x4C, 0x00));
  keyword_.setForeground(dark_ ? QColor(0x7C, 0xC0, 0xFF) : QColor(0x00, 0x40, 0xC0));
  keyword_.setFontWeight(QFont::Bold);
}

QColor ScenarioHighlighter::underlineColour(bool error) const {
  if (dark_) return error ? QColor(0xFF, 0x6B, 0x6B) : QColor(0xFF, 0xC0, 0x4D);
  return error ? QColor(0xE0, 0x00, 0x00) : QColor(0xE0, 0x90, 0x00);
}

void ScenarioHighlighter::setDarkBackground(bool dark) {
  if (dark == dark_) return;
  dark_ = dark;
  buildFormats();
  if (document()) rehighlight();
}

void ScenarioHighlighter::followBackgroundOf(QWidget* view) {
  view->installEventFilter(this);
  setDarkBackground(view->palette().color(QPalette::Base).lightness() < 128);
}

bool ScenarioHighlighter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::PaletteChange) {
    if (auto* view = qobject_cast<QWidget*>(watched))
      setDarkBackground(view->palette().color(QPalette::Base).lightness() < 128);
  }
  return QSyntaxHighlighter::eventFilter(watched, event);
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
    f.setUnderlineColor(underlineColour(mark->error));
    return f;
  };
  setFormat(0, static_cast<int>(text.size()),
            underlined(style_.kind != LineKind::Plain ? formatOf(style_.kind) : QTextCharFormat()));
  for (const auto& span : style_.keywords) setFormat(span.start, span.length, underlined(keyword_));
}

}  // namespace marvo
