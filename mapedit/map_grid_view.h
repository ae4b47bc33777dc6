// The map grid view: fixed coordinate headers with a painted corner cell, Tab and Esc while editing.
#pragma once

#include <QTableView>

class QAbstractButton;

namespace marvo {

class MapTableModel;

class MapGridView : public QTableView {
  Q_OBJECT

 public:
  explicit MapGridView(QWidget* parent = nullptr);

  void setMapModel(MapTableModel* model);

 signals:
  // Esc was typed while a cell was being edited: the edit is reverted, the window closes.
  void escapeTypedWhileEditing();

 protected:
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void repaintCorner();

 private:
  MapTableModel* mapModel_ = nullptr;
  QAbstractButton* corner_ = nullptr;
};

}  // namespace marvo
