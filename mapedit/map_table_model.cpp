// Table model of the map grid: map cell names as items, the coordinate cells as header sections.
#include "map_table_model.h"

#include "gui/qt_codec.h"

namespace marvo {

using mapedit::kMapSize;

MapTableModel::MapTableModel(mapedit::Map& map, QObject* parent) : QAbstractTableModel(parent), map_(map) {}

int MapTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kMapSize; }

int MapTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kMapSize; }

QVariant MapTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return toQt(map_.name(index.column() + 1, index.row() + 1));
}

bool MapTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  // A cell holds one line: line breaks that arrive by pasting become blanks.
  QString text = value.toString();
  for (QChar& ch : text) {
    if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r') || ch == QChar::LineSeparator ||
        ch == QChar::ParagraphSeparator)
      ch = QLatin1Char(' ');
  }
  map_.setName(index.column() + 1, index.row() + 1, fromQt(text));
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

Qt::ItemFlags MapTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant MapTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || section < 0 || section >= kMapSize) return {};
  return orientation == Qt::Horizontal ? fixedCell(section + 1, 0) : fixedCell(0, section + 1);
}

QString MapTableModel::fixedCell(int column, int row) const {
  if (row == 0 && column >= 0 && column < 100) return topRow_[static_cast<std::size_t>(column)];
  if (column == 0 && row > 0 && row < 100) return leftColumn_[static_cast<std::size_t>(row)];
  return {};
}

void MapTableModel::setFixedCell(int column, int row, const QString& text) {
  if (row == 0 && column >= 0 && column < 100) {
    topRow_[static_cast<std::size_t>(column)] = text;
    // The corner has no section of its own; its views repaint it on any header change.
    const int section = column > 0 ? column - 1 : 0;
    emit headerDataChanged(Qt::Horizontal, section, section);
  } else if (column == 0 && row > 0 && row < 100) {
    leftColumn_[static_cast<std::size_t>(row)] = text;
    emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
  }
}

void MapTableModel::mapReplaced() {
  emit dataChanged(index(0, 0), index(kMapSize - 1, kMapSize - 1), {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace marvo
