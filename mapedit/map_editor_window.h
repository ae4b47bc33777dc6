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
class CodeEditorWindow;
namespace marvo {
class Dialogs;
}

class MapEditorWindow : public QDialog {
  Q_OBJECT

 public:
  MapEditorWindow(CodeEditorWindow& editor, marvo::Dialogs& dialogs, QWidget* parent = nullptr);
  ~MapEditorWindow() override;

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

  MapGridView* mapGrid = nullptr;
  DescriptionArea* descriptionArea = nullptr;
  QLineEdit* northField = nullptr;  // north
  QLineEdit* southField = nullptr;  // south
  QLineEdit* westField = nullptr;  // west
  QLineEdit* eastField = nullptr;  // east
  QLabel* northLabel = nullptr;
  QLabel* southLabel = nullptr;
  QLabel* westLabel = nullptr;
  QLabel* eastLabel = nullptr;
  QCheckBox* nameInDescriptionBox = nullptr;  // location name into the description
  QCheckBox* namesAsDirectionsBox = nullptr;  // location names as directions
  QCheckBox* jumpToCursorBox = nullptr;  // jump to the location at the cursor
  QCheckBox* textNavigationBox = nullptr;  // text navigation instead of buttons
  QAction* newAction = nullptr;
  QAction* loadFileAction = nullptr;
  QAction* saveFileAction = nullptr;
  QAction* exportAction = nullptr;
  QAction* exitAction = nullptr;

 public slots:
  void windowActivated();
  void cellChosen();
  void storeDescription();  // Enter or Esc in the description area: store the description
  void namesAsDirectionsToggled();
  void newMap();
  void loadMap();
  void saveMap();
  void exportToScenario();
  void closeEditor();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildControls();

  CodeEditorWindow& editor_;
  marvo::Dialogs& dialogs_;
  marvo::mapedit::Map map_;
  MapTableModel* model_ = nullptr;
};
