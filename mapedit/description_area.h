// The description area: shows a description broken into lines by the shared description wrap.
#pragma once

#include <QPlainTextEdit>
#include <string>
#include <string_view>

namespace marvo {

// The area never wraps by itself: its lines are always those of breakDescription() for the text
// it holds, and it re-breaks them while the author types, so what it shows is what the export
// writes. A stored description joins its lines without separator (joinDescriptionLines), so line
// breaks the author types disappear when the description is stored.
class DescriptionArea : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit DescriptionArea(QWidget* parent = nullptr);

  // Replaces the content by `description` (Windows-1251), broken into lines.
  void showDescription(std::string_view description);
  // The area's lines as one stored description (Windows-1251).
  std::string storedDescription() const;
  // The area's lines as they are shown.
  QStringList shownLines() const;

 signals:
  // Enter or Esc was typed; sent before the area itself handles the key.
  void storeKeyTyped();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void rebreak();

  bool rebreaking_ = false;
};

}  // namespace marvo
