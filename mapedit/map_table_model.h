// Table model of the map grid: the 99 x 99 map cells as items, the coordinates as header sections.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>

#include "mapedit/map_model.h"

namespace marvo {

// Row i and column j of the model are the grid's map cell at row i + 1, column j + 1. The grid's
// fixed header row and column (cells with row 0 or column 0) are the header sections; section s
// is header cell s + 1, and the corner cell (0, 0) is kept apart.
class MapTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit MapTableModel(mapedit::Map& map, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Text of a fixed header cell (column 0 or row 0, both 0..99); empty for map cells.
  QString fixedCell(int column, int row) const;
  void setFixedCell(int column, int row, const QString& text);

  // Tells the views that every map cell may have changed (after New or Load).
  void mapReplaced();

 private:
  mapedit::Map& map_;
  std::array<QString, 100> topRow_;      // cells (column, 0); [0] is the corner
  std::array<QString, 100> leftColumn_;  // cells (0, row); [0] unused, the corner lives in topRow_
};

}  // namespace marvo
