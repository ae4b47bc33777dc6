// The main window's output pane: read-only game text that grows at its end (so that assistive
// technology hears each new line), clickable menu lines, zoom, and typing passed to the input line.
#pragma once

#include <QPlainTextEdit>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class QAction;

namespace marvo {

class OutputPane : public QPlainTextEdit {
  Q_OBJECT

 public:
  static constexpr int kDefaultSize = 19;  // pixel size of the text
  static constexpr int kSmallestSize = 9;
  static constexpr int kLargestSize = 72;

  explicit OutputPane(QWidget* parent = nullptr);

  // Shows `lines` (Windows-1251). `appended` counts every line ever added to the model and
  // `clears` every time it was emptied: when only lines were added and the oldest dropped, the
  // pane adds the new lines at its end and removes the dropped ones from its start, and nothing
  // else of its text changes.
  void showLines(const std::deque<std::string>& lines, std::uint64_t appended, std::uint64_t clears);

  // The lines (indexes into the shown lines) that a click chooses; they are underlined.
  void setMenuLines(const std::vector<std::size_t>& lines);

  // Where shown line `line` lies in the viewport (empty for no such line).
  QRect lineArea(int line) const;

  // Pixel size of the text, kept within kSmallestSize..kLargestSize.
  int textSize() const { return textSize_; }
  void setTextSize(int pixelSize);

  // Printable keys typed while the pane (or another control given to forwardTyping) has the
  // focus go to `target`, which takes the focus.
  void setTypingTarget(QWidget* target);
  void forwardTyping(QWidget* from);

  QAction* zoomInAction() const { return zoomIn_; }
  QAction* zoomOutAction() const { return zoomOut_; }
  QAction* zoomResetAction() const { return zoomReset_; }

 signals:
  // A click on a menu line (its index among the shown lines).
  void menuLineClicked(int line);
  void textSizeChanged(int pixelSize);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int menuLineAt(const QPoint& position) const;
  void underlineMenuLines();

  std::uint64_t shownAppended_ = 0;
  std::uint64_t shownClears_ = 0;
  std::size_t shownCount_ = 0;
  std::vector<std::size_t> menuLines_;
  int pressedMenuLine_ = -1;
  int textSize_ = kDefaultSize;
  int wheelPending_ = 0;  // wheel turn not yet a whole notch
  QWidget* typingTarget_ = nullptr;
  QAction* zoomIn_ = nullptr;
  QAction* zoomOut_ = nullptr;
  QAction* zoomReset_ = nullptr;
};

}  // namespace marvo
