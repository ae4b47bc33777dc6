// The editors' text area: line-number gutter, zoom, problem tooltips and the find bar's marks.
#include "code_view.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSettings>
#include <QTextBlock>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "gui/qt_codec.h"
#include "scenario_highlighter.h"

namespace marvo {

namespace {
constexpr int kGutterPadding = 6;
const QString kZoomKey = QStringLiteral("editor/zoom");

QSettings settings() { return QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")); }
}  // namespace

// Paints the line numbers of the view it belongs to.
class LineNumberGutter : public QWidget {
 public:
  explicit LineNumberGutter(CodeView& view) : QWidget(&view), view_(view) {}
  QSize sizeHint() const override { return {view_.gutterWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { view_.paintGutter(event); }

 private:
  CodeView& view_;
};

CodeView::CodeView(QWidget* parent) : QPlainTextEdit(parent) {
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  setFont(fixed);
  basePointSize_ = fixed.pointSizeF() > 0 ? fixed.pointSizeF() : 10;
  gutter_ = new LineNumberGutter(*this);
  connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeView::updateGutterWidth);
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy)
      gutter_->scroll(0, dy);
    else
      gutter_->update(0, rect.y(), gutter_->width(), rect.height());
  });
  connect(this, &QPlainTextEdit::cursorPositionChanged, gutter_, qOverload<>(&QWidget::update));
  zoomSteps_ = settings().value(kZoomKey, 0).toInt();
  applyZoom();
  updateGutterWidth();
}

int CodeView::gutterWidth() const {
  int digits = 1;
  for (int n = std::max(1, blockCount()); n >= 10; n /= 10) ++digits;
  digits = std::max(digits, 3);  // the gutter does not jump while a text grows to hundreds of lines
  return 2 * kGutterPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void CodeView::updateGutterWidth() {
  if (!gutter_) return;  // a font set while the view is built
  if (viewportMargins().left() != gutterWidth()) setViewportMargins(gutterWidth(), 0, 0, 0);
  const QRect area = contentsRect();
  gutter_->setGeometry(QRect(area.left(), area.top(), gutterWidth(), area.height()));
}

void CodeView::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  updateGutterWidth();
}

void CodeView::paintGutter(QPaintEvent* event) {
  QPainter painter(gutter_);
  const QPalette& colours = palette();
  painter.fillRect(event->rect(), colours.color(QPalette::Window));
  const int caretBlock = textCursor().blockNumber();
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  const int right = gutter_->width() - kGutterPadding;
  QFont normal = font(), current = font();
  current.setBold(true);
  while (block.isValid() && top <= event->rect().bottom()) {
    const int height = qRound(blockBoundingRect(block).height());
    if (block.isVisible() && top + height >= event->rect().top()) {
      const bool isCaretLine = block.blockNumber() == caretBlock;
      painter.setFont(isCaretLine ? current : normal);
      painter.setPen(colours.color(isCaretLine ? QPalette::WindowText : QPalette::PlaceholderText));
      painter.drawText(0, top, right, fontMetrics().height(), Qt::AlignRight | Qt::AlignVCenter,
                       QString::number(block.blockNumber() + 1));
    }
    top += height;
    block = block.next();
  }
}

// ---- Zoom ------------------------------------------------------------------------------------

void CodeView::zoomBy(int steps) {
  const int smallest = kSmallestPointSize - static_cast<int>(basePointSize_);
  const int largest = kLargestPointSize - static_cast<int>(basePointSize_);
  const int wanted = std::clamp(zoomSteps_ + steps, smallest, largest);
  if (wanted == zoomSteps_) return;
  zoomSteps_ = wanted;
  applyZoom();
  settings().setValue(kZoomKey, zoomSteps_);
  emit zoomChanged(zoomSteps_);
}

void CodeView::resetZoom() { zoomBy(-zoomSteps_); }

void CodeView::applyZoom() {
  QFont zoomed = font();
  zoomed.setPointSizeF(std::clamp(basePointSize_ + zoomSteps_, qreal(kSmallestPointSize), qreal(kLargestPointSize)));
  setFont(zoomed);
  gutter_->setFont(zoomed);
  updateGutterWidth();
}

void CodeView::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    switch (event->key()) {
      case Qt::Key_Plus:
      case Qt::Key_Equal:
        zoomBy(1);
        return;
      case Qt::Key_Minus:
        zoomBy(-1);
        return;
      case Qt::Key_0:
        resetZoom();
        return;
      default:
        break;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

void CodeView::wheelEvent(QWheelEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0) zoomBy(notches);
    event->accept();
    return;
  }
  QPlainTextEdit::wheelEvent(event);
}

// ---- Background, marks and tooltips ------------------------------------------------------------

bool CodeView::darkBackground() const { return palette().color(QPalette::Base).lightness() < 128; }

void CodeView::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) updateGutterWidth();
}

void CodeView::setMarkedText(const std::string& needle, const editor::FindOptions& options) {
  if (needle == markedNeedle_ && options.matchCase == markedOptions_.matchCase &&
      options.wholeWord == markedOptions_.wholeWord)
    return;
  markedNeedle_ = needle;
  markedOptions_ = options;
  viewport()->update();
}

QList<QRect> CodeView::markRects() const {
  QList<QRect> out;
  if (markedNeedle_.empty()) return out;
  const int bottom = viewport()->height();
  std::string line;
  for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
    const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
    if (box.top() > bottom) break;
    if (!block.isVisible() || block.length() > ScenarioHighlighter::kLongestColouredLine) continue;
    line.clear();
    appendCp1251(block.text(), line);
    const QTextLayout* layout = block.layout();
    for (int column : editor::findInLine(line, markedNeedle_, markedOptions_)) {
      const int end = column + static_cast<int>(markedNeedle_.size());
      const QTextLine row = layout->lineForTextPosition(column);
      if (!row.isValid()) continue;
      const qreal left = row.cursorToX(column), right = row.cursorToX(end);
      out.append(QRectF(box.left() + left, box.top() + row.y(), right - left, row.height()).toAlignedRect());
    }
  }
  return out;
}

void CodeView::setWordUnderlines(WordSpans source) {
  wordSpans_ = std::move(source);
  viewport()->update();
}

QColor CodeView::wordUnderlineColour() const {
  return darkBackground() ? QColor(0x6C, 0xB6, 0xFF) : QColor(0x1A, 0x5F, 0xD0);
}

QList<QRect> CodeView::wordUnderlineRects() const {
  QList<QRect> out;
  if (!wordSpans_) return out;
  const int bottom = viewport()->height();
  for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
    const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
    if (box.top() > bottom) break;
    if (!block.isVisible() || block.length() > ScenarioHighlighter::kLongestColouredLine) continue;
    const QTextLayout* layout = block.layout();
    for (const auto& [column, length] : wordSpans_(block.blockNumber())) {
      if (column + length > block.length() - 1) continue;  // the line changed since it was checked
      const QTextLine row = layout->lineForTextPosition(column);
      if (!row.isValid()) continue;
      const qreal left = row.cursorToX(column), right = row.cursorToX(column + length);
      out.append(QRectF(box.left() + left, box.top() + row.y(), right - left, row.height()).toAlignedRect());
    }
  }
  return out;
}

namespace {
// A wavy line along the bottom of `word`.
void drawWave(QPainter& painter, const QRect& word) {
  const qreal amplitude = 1.5, step = 2.0, base = word.bottom() - amplitude;
  QPainterPath wave(QPointF(word.left(), base));
  bool up = true;
  for (qreal x = word.left() + step; x <= word.right() + step; x += step, up = !up)
    wave.lineTo(std::min<qreal>(x, word.right()), base + (up ? -amplitude : amplitude));
  painter.drawPath(wave);
}
}  // namespace

void CodeView::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  const QList<QRect> words = wordUnderlineRects();
  if (!words.isEmpty()) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(wordUnderlineColour(), 1));
    for (const QRect& word : words) drawWave(painter, word);
  }
  const QList<QRect> marks = markRects();
  if (marks.isEmpty()) return;
  // Translucent over the text, so that its colours stay readable on either background.
  const QColor fill = darkBackground() ? QColor(255, 190, 60, 80) : QColor(255, 200, 0, 110);
  QPainter painter(viewport());
  for (const QRect& r : marks) painter.fillRect(r, fill);
  // The match the find bar selected is framed: the selection fades while the bar has the focus.
  const QTextCursor caret = textCursor();
  if (!caret.hasSelection()) return;
  const QTextBlock block = caret.block();
  const int start = caret.selectionStart() - block.position(), end = caret.selectionEnd() - block.position();
  if (start < 0 || end > block.length() - 1) return;
  const QTextLine row = block.layout()->lineForTextPosition(start);
  if (!row.isValid()) return;
  const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
  const QRectF frame(box.left() + row.cursorToX(start), box.top() + row.y(), row.cursorToX(end) - row.cursorToX(start),
                     row.height());
  painter.setPen(QPen(darkBackground() ? QColor(255, 190, 60) : QColor(200, 90, 0), 2));
  painter.drawRect(frame.adjusted(1, 1, -1, -1));
}

QString CodeView::problemTextAt(const QPoint& viewportPos) const {
  const QTextCursor at = cursorForPosition(viewportPos);
  const QTextBlock block = at.block();
  const auto* mark = dynamic_cast<const ProblemMark*>(block.userData());
  if (!mark || block.text().isEmpty()) return {};
  // Only over the underlined text itself, not the empty space after it or below the last line.
  const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
  if (viewportPos.y() < box.top() || viewportPos.y() > box.bottom()) return {};
  const QTextLine row = block.layout()->lineForTextPosition(block.length() - 1);
  if (!row.isValid() || viewportPos.x() > box.left() + row.naturalTextWidth()) return {};
  return mark->messages.join(QLatin1Char('\n'));
}

bool CodeView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = problemTextAt(help->pos());
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, viewport());
    return true;
  }
  return QPlainTextEdit::viewportEvent(event);
}

}  // namespace marvo
