// The text area of the code and library editors: a plain text view with line numbers in a gutter,
// zoom (Ctrl+plus/minus, Ctrl+wheel, Ctrl+0), the messages of underlined problems as tooltips, and
// every occurrence of the find bar's text marked.
#pragma once

#include <QList>
#include <QPlainTextEdit>
#include <QRect>
#include <QString>
#include <functional>
#include <string>

#include "find_text.h"

namespace marvo {

class CodeView : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CodeView(QWidget* parent = nullptr);

  // The gutter at the left: line numbers counted from 1, as the problems list counts them.
  QWidget* lineNumberGutter() const { return gutter_; }
  int gutterWidth() const;

  // Zoom in steps of one point from the size the view was built with; remembered in the settings
  // (shared by the editors) and taken from them when a view is built.
  int zoomSteps() const { return zoomSteps_; }
  void zoomBy(int steps);
  void resetZoom();
  static constexpr int kSmallestPointSize = 6;
  static constexpr int kLargestPointSize = 72;

  // Whether the view's background is dark (the colours of the text follow it).
  bool darkBackground() const;

  // Marks every occurrence of `needle` (Windows-1251; empty for none) in the visible lines.
  void setMarkedText(const std::string& needle, const editor::FindOptions& options);
  // Where the marks of the visible lines are, in viewport coordinates.
  QList<QRect> markRects() const;

  // Words underlined with a wavy line in their own colour (the spelling check's unknown words):
  // for a line (0-based), the first character and the length of each word. None without a source.
  using WordSpans = std::function<QList<QPair<int, int>>(int line)>;
  void setWordUnderlines(WordSpans source);
  // Where those underlines are in the visible lines, in viewport coordinates (the words' boxes).
  QList<QRect> wordUnderlineRects() const;
  // Blue: apart from the problems' red and amber on either background.
  QColor wordUnderlineColour() const;

  // The messages of the problems underlined at `viewportPos` (one a line), empty when the point is
  // not over the text of an underlined line.
  QString problemTextAt(const QPoint& viewportPos) const;

 signals:
  void zoomChanged(int steps);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class LineNumberGutter;
  void paintGutter(QPaintEvent* event);
  void updateGutterWidth();
  void applyZoom();

  QWidget* gutter_ = nullptr;
  qreal basePointSize_ = 0;
  int zoomSteps_ = 0;
  WordSpans wordSpans_;
  std::string markedNeedle_;
  editor::FindOptions markedOptions_;
};

}  // namespace marvo
