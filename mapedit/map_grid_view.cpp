// The map editor's grid view: header sizes, the painted corner cell, Tab and Esc in a cell editor.
#include "map_grid_view.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>

#include "map_table_model.h"

namespace marvo {

MapGridView::MapGridView(QWidget* parent) : QTableView(parent) {
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed);
  setTabKeyNavigation(false);  // Tab leaves the grid for the description area
  setWordWrap(false);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultSectionSize(80);
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(15);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setHighlightSections(false);

  // The corner button is the grid's cell (0, 0); it shows that cell's text.
  corner_ = findChild<QAbstractButton*>();
  if (corner_) corner_->installEventFilter(this);
}

void MapGridView::setMapModel(MapTableModel* model) {
  mapModel_ = model;
  setModel(model);
  connect(model, &QAbstractItemModel::headerDataChanged, this, &MapGridView::repaintCorner);
}

// The corner has no header section of its own: any header change may concern it.
void MapGridView::repaintCorner() {
  if (corner_) corner_->update();
}

void MapGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  switch (hint) {
    case QAbstractItemDelegate::EditNextItem:
    case QAbstractItemDelegate::EditPreviousItem:
      // Tab ends the edit and moves the focus on, as it does when no cell is being edited.
      QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
      QAbstractScrollArea::focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
      return;
    case QAbstractItemDelegate::RevertModelCache:
      QTableView::closeEditor(editor, hint);
      emit escapeTypedWhileEditing();
      return;
    default:
      QTableView::closeEditor(editor, hint);
  }
}

bool MapGridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == corner_ && event->type() == QEvent::Paint && mapModel_) {
    QStyleOptionHeader option;
    option.initFrom(corner_);
    option.rect = corner_->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = mapModel_->fixedCell(0, 0);
    option.textAlignment = Qt::AlignCenter;
    QPainter painter(corner_);
    style()->drawControl(QStyle::CE_Header, &option, &painter, corner_);
    return true;
  }
  return QTableView::eventFilter(watched, event);
}

}  // namespace marvo
