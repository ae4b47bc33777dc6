// The map editor window "Map editor": the location grid, descriptions, map files and export.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "mapedit/map_export.h"
#include "mapedit/map_model.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace marvo {

class DescriptionArea;
class Dialogs;
class ScenarioDocument;
class MapGridView;
class MapTableModel;

class MapEditorWindow : public QDialog {
  Q_OBJECT

 public:
  MapEditorWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent = nullptr);
  ~MapEditorWindow() override;

  const mapedit::Map& map() const { return map_; }
  // Text of any grid cell (column, row), both 0..99: header cells show coordinates.
  QString cellText(int column, int row) const;
  // Makes the map cell (column, row), both 1..99, the grid's current cell.
  void setCurrentCell(int column, int row);
  int currentColumn() const;
  int currentRow() const;
  // The export options as the window's controls set them.
  mapedit::ExportOptions exportOptions() const;
  void setVisible(bool visible) override;  // shown maximised

  MapGridView* mapGrid() const { return mapGrid_; }
  DescriptionArea* descriptionArea() const { return descriptionArea_; }
  // The button caption of a direction and its caption label ("North" ...).
  QLineEdit* directionField(mapedit::Direction direction) const { return directionFields_[directionIndex(direction)]; }
  QLabel* directionLabel(mapedit::Direction direction) const { return directionLabels_[directionIndex(direction)]; }
  QCheckBox* nameInDescriptionBox() const { return nameInDescriptionBox_; }
  QCheckBox* namesAsDirectionsBox() const { return namesAsDirectionsBox_; }
  QCheckBox* jumpToCursorBox() const { return jumpToCursorBox_; }
  QCheckBox* textNavigationBox() const { return textNavigationBox_; }
  QAction* newMapAction() const { return newMapAction_; }
  QAction* loadMapAction() const { return loadMapAction_; }
  QAction* saveMapAction() const { return saveMapAction_; }
  QAction* exportAction() const { return exportAction_; }
  QAction* closeAction() const { return closeAction_; }

 public slots:
  void storeDescription();  // Enter or Esc in the description area: store the description
  void newMap();            // "New"
  void loadMap();           // "Load map"
  void saveMap();           // "Save map"
  void exportToScenario();  // "Export map"

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void windowActivated();
  void cellChosen();
  void namesAsDirectionsToggled(bool checked);

 private:
  static constexpr std::size_t directionIndex(mapedit::Direction direction) {
    return static_cast<std::size_t>(direction);
  }
  void buildControls();

  ScenarioDocument& document_;
  Dialogs& dialogs_;
  mapedit::Map map_;
  MapTableModel* model_ = nullptr;

  MapGridView* mapGrid_ = nullptr;
  DescriptionArea* descriptionArea_ = nullptr;
  // North, south, west and east: the order of mapedit::Direction and of the export's phrases.
  std::array<QLineEdit*, 4> directionFields_{};
  std::array<QLabel*, 4> directionLabels_{};
  QCheckBox* nameInDescriptionBox_ = nullptr;
  QCheckBox* namesAsDirectionsBox_ = nullptr;
  QCheckBox* jumpToCursorBox_ = nullptr;
  QCheckBox* textNavigationBox_ = nullptr;
  QAction* newMapAction_ = nullptr;
  QAction* loadMapAction_ = nullptr;
  QAction* saveMapAction_ = nullptr;
  QAction* exportAction_ = nullptr;
  QAction* closeAction_ = nullptr;
};

}  // namespace marvo
