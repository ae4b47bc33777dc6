// The problems list of the code editor: the rows, the heading with the counts, activation by
// double-click or Enter.
#include "problems_panel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace marvo {

namespace {
QString severityName(Problem::Severity s) {
  switch (s) {
    case Problem::Severity::Error:
      return QStringLiteral("ошибка");
    case Problem::Severity::Warning:
      return QStringLiteral("предупреждение");
    case Problem::Severity::Note:
      return QStringLiteral("замечание");
  }
  return {};
}
}  // namespace

QTreeWidget* addLineList(QWidget* panel, QLabel* heading, const QStringList& headers, const QString& accessibleName) {
  auto* list = new QTreeWidget(panel);
  list->setAccessibleName(accessibleName);
  list->setColumnCount(static_cast<int>(headers.size()));
  list->setHeaderLabels(headers);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAlternatingRowColors(true);
  list->setWordWrap(false);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionResizeMode(2, QHeaderView::Stretch);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(heading);
  column->addWidget(list, 1);
  return list;
}

ProblemsPanel::ProblemsPanel(QWidget* parent) : QWidget(parent) {
  heading_ = new QLabel(this);
  list_ = addLineList(
      this, heading_,
      {QStringLiteral("Строка"), QStringLiteral("Вид"), QStringLiteral("Описание"), QStringLiteral("Правило")},
      QStringLiteral("Проблемы"));
  list_->installEventFilter(this);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { activate(item); });
  setProblems({});
}

void ProblemsPanel::setProblems(const QList<Problem>& problems) {
  problems_ = problems;
  list_->clear();
  int errors = 0, warnings = 0;
  QList<QTreeWidgetItem*> items;
  for (int i = 0; i < problems_.size(); ++i) {
    const Problem& p = problems_[i];
    if (p.severity == Problem::Severity::Error)
      ++errors;
    else if (p.severity == Problem::Severity::Warning)
      ++warnings;
    const QString where =
        p.line > 0 ? (p.inScenario ? QString::number(p.line) : p.source + QLatin1Char(':') + QString::number(p.line))
                   : p.source;
    auto* item = new QTreeWidgetItem({where, severityName(p.severity), p.text, p.rule});
    item->setData(0, Qt::UserRole, i);
    item->setToolTip(2, p.text);
    item->setIcon(1, style()->standardIcon(p.severity == Problem::Severity::Error ? QStyle::SP_MessageBoxCritical
                                                                                  : QStyle::SP_MessageBoxWarning));
    items.append(item);
  }
  list_->addTopLevelItems(items);
  list_->resizeColumnToContents(0);
  list_->resizeColumnToContents(1);
  heading_->setText(problems_.isEmpty()
                        ? QStringLiteral("Проблемы: нет")
                        : QStringLiteral("Проблемы: ошибок %1, предупреждений %2").arg(errors).arg(warnings));
  if (!items.isEmpty()) list_->setCurrentItem(items.first());
}

bool ProblemsPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      activate(list_->currentItem());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void ProblemsPanel::activate(QTreeWidgetItem* item) {
  if (!item) return;
  const int index = item->data(0, Qt::UserRole).toInt();
  if (index >= 0 && index < problems_.size()) emit problemActivated(problems_[index]);
}

}  // namespace marvo
