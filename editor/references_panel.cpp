// The references list and the rename bar of the code editor.
#include "references_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "problems_panel.h"

namespace marvo {

namespace {
bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
}  // namespace

ReferencesPanel::ReferencesPanel(QWidget* parent) : QWidget(parent) {
  heading_ = new QLabel(this);
  list_ = addLineList(this, heading_, {QStringLiteral("Строка"), QStringLiteral("Вид"), QStringLiteral("Текст")},
                      QStringLiteral("Использования"));
  list_->installEventFilter(this);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    const int index = item ? item->data(0, Qt::UserRole).toInt() : -1;
    if (index >= 0 && index < references_.size()) emit referenceActivated(references_[index]);
  });
}

void ReferencesPanel::setReferences(const QString& heading, const QList<Reference>& references) {
  references_ = references;
  list_->clear();
  QList<QTreeWidgetItem*> items;
  for (int i = 0; i < references_.size(); ++i) {
    const Reference& r = references_[i];
    const QString where = r.inLibrary ? QStringLiteral("библиотека:%1").arg(r.line) : QString::number(r.line);
    auto* item = new QTreeWidgetItem({where, r.role, r.text});
    item->setData(0, Qt::UserRole, i);
    item->setToolTip(2, r.text);
    items.append(item);
  }
  list_->addTopLevelItems(items);
  list_->resizeColumnToContents(0);
  list_->resizeColumnToContents(1);
  heading_->setText(heading);
  if (!items.isEmpty()) list_->setCurrentItem(items.first());
}

bool ReferencesPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event)->key())) {
    emit list_->itemDoubleClicked(list_->currentItem(), 0);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

RenameBar::RenameBar(QWidget* parent) : QWidget(parent) {
  caption_ = new QLabel(this);
  nameField_ = new QLineEdit(this);
  nameField_->setAccessibleName(QStringLiteral("Новое имя"));
  nameField_->setToolTip(QStringLiteral("Новое имя; Enter — переименовать везде в сценарии, Esc — отмена"));
  nameField_->installEventFilter(this);
  auto* apply = new QPushButton(QStringLiteral("Переименовать"), this);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 2, 0, 2);
  row->addWidget(caption_);
  row->addWidget(nameField_, 1);
  row->addWidget(apply);
  connect(apply, &QPushButton::clicked, this, [this] { emit renameRequested(nameField_->text()); });
  hide();
}

void RenameBar::open(const QString& what, const QString& name) {
  caption_->setText(QStringLiteral("Переименовать %1 «%2» в:").arg(what, name));
  nameField_->setText(name);
  show();
  nameField_->selectAll();
  nameField_->setFocus();
}

bool RenameBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == nameField_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (isEnter(key)) {
      emit renameRequested(nameField_->text());
      return true;
    }
    if (key == Qt::Key_Escape) {
      hide();
      emit closed();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace marvo
