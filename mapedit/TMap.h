// The map editor window "Map editor": the location grid, descriptions, map files and export.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "mapedit/map_export.h"
#include "mapedit/map_model.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class DescriptionArea;
class MapGridView;
class MapTableModel;
class TForm2;
namespace marvo {
class Dialogs;
}

class TMap : public QDialog {
  Q_OBJECT

 public:
  TMap(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent = nullptr);
  ~TMap() override;

  const marvo::mapedit::Map& map() const { return map_; }
  // Text of any grid cell (column, row), both 0..99: header cells show coordinates.
  QString cellText(int column, int row) const;
  // Makes the map cell (column, row), both 1..99, the grid's current cell.
  void setCurrentCell(int column, int row);
  int currentColumn() const;
  int currentRow() const;
  // The export options as the window's controls set them.
  marvo::mapedit::ExportOptions exportOptions() const;
  // Asked before the export replaces the scenario text: false leaves everything as it was (the
  // main window offers to save unsaved changes here). Unset: the export goes ahead.
  std::function<bool()> confirmReplace;

  void setVisible(bool visible) override;  // shown maximised

  MapGridView* StringGrid1 = nullptr;
  DescriptionArea* Memo2 = nullptr;
  QLineEdit* Edit2 = nullptr;  // north
  QLineEdit* Edit3 = nullptr;  // south
  QLineEdit* Edit4 = nullptr;  // west
  QLineEdit* Edit5 = nullptr;  // east
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // location name into the description
  QCheckBox* CheckBox2 = nullptr;  // location names as directions
  QCheckBox* CheckBox3 = nullptr;  // jump to the location at the cursor
  QCheckBox* CheckBox4 = nullptr;  // text navigation instead of buttons
  QAction* New1 = nullptr;
  QAction* Loadfile1 = nullptr;
  QAction* Savefile1 = nullptr;
  QAction* Savescenary1 = nullptr;
  QAction* Exit1 = nullptr;

 public slots:
  void FormActivate();
  void StringGrid1Click();
  void Memo2KeyPress();  // Enter or Esc in the description area: store the description
  void CheckBox2Click();
  void New1Click();
  void Loadfile1Click();
  void Savefile1Click();
  void Savescenary1Click();
  void Exit1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildControls();

  TForm2& editor_;
  marvo::Dialogs& dialogs_;
  marvo::mapedit::Map map_;
  MapTableModel* model_ = nullptr;
};
