// The outline of locations beside the code editor's text.
#include "outline_panel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "navigation.h"

namespace marvo {

namespace {
constexpr int kRebuildDelayMs = 400;
}  // namespace

OutlinePanel::OutlinePanel(ScenarioDocument& document, QWidget* parent) : QWidget(parent), document_(document) {
  filter_ = new QLineEdit(this);
  filter_->setAccessibleName(QStringLiteral("Фильтр локаций"));
  filter_->setPlaceholderText(QStringLiteral("Фильтр локаций"));
  filter_->setClearButtonEnabled(true);
  list_ = new QListWidget(this);
  list_->setAccessibleName(QStringLiteral("Локации"));
  list_->setUniformItemSizes(true);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(new QLabel(QStringLiteral("Локации:"), this));
  column->addWidget(filter_);
  column->addWidget(list_, 1);

  debounce_.setSingleShot(true);
  debounce_.setInterval(kRebuildDelayMs);
  connect(&debounce_, &QTimer::timeout, this, &OutlinePanel::rebuild);
  // Typing never waits for the list: it is rebuilt once the author pauses, and only while shown.
  connect(document_.textDocument(), &QTextDocument::contentsChanged, this, [this] {
    if (isVisible()) debounce_.start();
  });
  connect(filter_, &QLineEdit::textChanged, this, &OutlinePanel::rebuild);
  connect(filter_, &QLineEdit::returnPressed, this, [this] {
    if (list_->count() > 0) emit locationActivated(list_->item(0)->data(Qt::UserRole).toInt());
  });
  connect(list_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { emit locationActivated(item->data(Qt::UserRole).toInt()); });
  connect(list_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { emit locationActivated(item->data(Qt::UserRole).toInt()); });
}

void OutlinePanel::showEvent(QShowEvent* event) {
  // Shown with a text of many thousand lines, the window appears first and lists them a moment later.
  debounce_.start();
  QWidget::showEvent(event);
}

void OutlinePanel::rebuild() {
  debounce_.stop();
  const auto entries = editor::outlineEntries(document_.symbols(), toCp1251(filter_->text()));
  list_->setUpdatesEnabled(false);
  list_->clear();
  for (const auto& entry : entries) {
    // The label as the author wrote it (letter case kept), with its number from 1.
    const QString label = toQt(document_.line(entry.line)).trimmed();
    auto* item = new QListWidgetItem(QStringLiteral("%1  (%2)").arg(label).arg(entry.line + 1), list_);
    item->setData(Qt::UserRole, entry.line);
  }
  list_->setUpdatesEnabled(true);
}

}  // namespace marvo
