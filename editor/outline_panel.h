// Beside the code editor's text: the scenario's locations in line order, narrowed by a filter;
// activating one (click, Enter) puts the caret on its label.
#pragma once

#include <QTimer>
#include <QWidget>

class QLineEdit;
class QListWidget;

namespace marvo {

class ScenarioDocument;

class OutlinePanel : public QWidget {
  Q_OBJECT

 public:
  explicit OutlinePanel(ScenarioDocument& document, QWidget* parent = nullptr);

  // Lists the locations again now (it follows the text by itself, a moment after each edit).
  void rebuild();
  QLineEdit* filterField() const { return filter_; }
  QListWidget* list() const { return list_; }

 signals:
  void locationActivated(int line);  // 0-based label line

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ScenarioDocument& document_;
  QLineEdit* filter_ = nullptr;
  QListWidget* list_ = nullptr;
  QTimer debounce_;
};

}  // namespace marvo
