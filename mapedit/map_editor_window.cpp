// The map editor window "Map editor": its controls, and its commands as calls on the map core.
#include "map_editor_window.h"

#include <QCheckBox>
#include <QFile>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include "description_area.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "map_grid_view.h"
#include "map_table_model.h"
#include "mapedit/description_lines.h"
#include "mapedit/map_file.h"

namespace marvo {

namespace {
const FileDialogRequest kOpenRequest{QStringLiteral("map (*.map)"), QString(), QString()};
const FileDialogRequest kSaveRequest{QStringLiteral("map (*.map)"), QString(), QStringLiteral("newmap.map")};

std::filesystem::path toPath(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

// File errors name the file as the file system does.
QString errorText(const std::string& error) { return QFile::decodeName(QByteArray::fromStdString(error)); }
}  // namespace

MapEditorWindow::MapEditorWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), document_(document), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Map editor"));
  buildControls();
}

// Closes an open cell editor while the map it writes to still exists.
MapEditorWindow::~MapEditorWindow() { hide(); }

void MapEditorWindow::buildControls() {
  model_ = new MapTableModel(map_, this);
  mapGrid_ = new MapGridView(this);
  mapGrid_->setAccessibleName(QStringLiteral("Карта"));
  mapGrid_->setMapModel(model_);
  mapGrid_->setCurrentIndex(model_->index(0, 0));

  descriptionArea_ = new DescriptionArea(this);
  descriptionArea_->setAccessibleName(QStringLiteral("Описание клетки"));
  QFontMetrics metrics(descriptionArea_->font());
  descriptionArea_->setMinimumWidth(
      metrics.horizontalAdvance(QString(int(mapedit::kDescriptionWidth) + 2, QLatin1Char('n'))) +
      descriptionArea_->verticalScrollBar()->sizeHint().width() + 12);
  descriptionArea_->setFixedHeight(metrics.lineSpacing() * 6 + 12);
  auto* storeHint = new QLabel(QStringLiteral("ENTER - запомнить описание"), this);

  const auto phrases = mapedit::defaultDirectionPhrases();
  const std::array<QString, 4> captions{QStringLiteral("North"), QStringLiteral("South"), QStringLiteral("West"),
                                        QStringLiteral("East")};
  for (std::size_t i = 0; i < directionFields_.size(); ++i) {
    directionLabels_[i] = new QLabel(captions[i], this);
    directionFields_[i] = new QLineEdit(toQt(phrases[i]), this);
    directionLabels_[i]->setBuddy(directionFields_[i]);
    directionFields_[i]->setFixedWidth(121);
  }

  nameInDescriptionBox_ = new QCheckBox(QStringLiteral("Вставлять название локации в описание"), this);
  namesAsDirectionsBox_ = new QCheckBox(QStringLiteral("Задавать названия локаций в качестве направлений"), this);
  jumpToCursorBox_ = new QCheckBox(QStringLiteral("Сделать переход на локацию в позиции курсора"), this);
  textNavigationBox_ = new QCheckBox(QStringLiteral("Использовать текстовую навигацию вместо кнопочной"), this);
  jumpToCursorBox_->setChecked(true);

  auto* menuBar = new QMenuBar(this);
  menuBar->setNativeMenuBar(false);  // the menu belongs to this window, not to a desktop bar
  auto* fileMenu = menuBar->addMenu(QStringLiteral("File"));
  newMapAction_ = fileMenu->addAction(QStringLiteral("New"));
  loadMapAction_ = fileMenu->addAction(QStringLiteral("Load map"));
  saveMapAction_ = fileMenu->addAction(QStringLiteral("Save map"));
  exportAction_ = fileMenu->addAction(QStringLiteral("Export map"));
  closeAction_ = fileMenu->addAction(QStringLiteral("Close"));

  // Layout: the grid fills the window; below it the direction phrases, the description area
  // with its hint, and the options.
  auto* phrasesBox = new QVBoxLayout;
  for (std::size_t i = 0; i < directionFields_.size(); ++i) {
    phrasesBox->addWidget(directionLabels_[i]);
    phrasesBox->addWidget(directionFields_[i]);
  }
  phrasesBox->addStretch();
  const std::array<QCheckBox*, 4> options{nameInDescriptionBox_, namesAsDirectionsBox_, jumpToCursorBox_,
                                          textNavigationBox_};
  auto* optionsBox = new QVBoxLayout;
  for (auto* box : options) optionsBox->addWidget(box);
  auto* belowArea = new QHBoxLayout;
  belowArea->addLayout(optionsBox);
  belowArea->addStretch();
  belowArea->addWidget(storeHint, 0, Qt::AlignTop);
  auto* descriptionBox = new QVBoxLayout;
  descriptionBox->addWidget(descriptionArea_);
  descriptionBox->addLayout(belowArea);
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(phrasesBox);
  bottom->addSpacing(16);
  bottom->addLayout(descriptionBox);
  bottom->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addWidget(mapGrid_, 1);
  layout->addLayout(bottom);

  // Tab order: grid, description area, the four phrases, the four options.
  QWidget* previous = descriptionArea_;
  QWidget::setTabOrder(mapGrid_, descriptionArea_);
  for (auto* field : directionFields_) {
    QWidget::setTabOrder(previous, field);
    previous = field;
  }
  for (auto* box : options) {
    QWidget::setTabOrder(previous, box);
    previous = box;
  }

  connect(mapGrid_->selectionModel(), &QItemSelectionModel::currentChanged, this, &MapEditorWindow::cellChosen);
  connect(mapGrid_, &MapGridView::escapeTypedWhileEditing, this, &MapEditorWindow::close);
  connect(descriptionArea_, &DescriptionArea::storeKeyTyped, this, &MapEditorWindow::storeDescription);
  connect(namesAsDirectionsBox_, &QCheckBox::toggled, this, &MapEditorWindow::namesAsDirectionsToggled);
  connect(newMapAction_, &QAction::triggered, this, &MapEditorWindow::newMap);
  connect(loadMapAction_, &QAction::triggered, this, &MapEditorWindow::loadMap);
  connect(saveMapAction_, &QAction::triggered, this, &MapEditorWindow::saveMap);
  connect(exportAction_, &QAction::triggered, this, &MapEditorWindow::exportToScenario);
  connect(closeAction_, &QAction::triggered, this, &MapEditorWindow::close);
}

QString MapEditorWindow::cellText(int column, int row) const {
  if (column == 0 || row == 0) return model_->fixedCell(column, row);
  if (!mapedit::isMapCell(column, row)) return {};
  return toQt(map_.name(column, row));
}

void MapEditorWindow::setCurrentCell(int column, int row) {
  if (!mapedit::isMapCell(column, row)) return;
  mapGrid_->setCurrentIndex(model_->index(row - 1, column - 1));
}

int MapEditorWindow::currentColumn() const {
  const auto index = mapGrid_->currentIndex();
  return index.isValid() ? index.column() + 1 : 1;
}

int MapEditorWindow::currentRow() const {
  const auto index = mapGrid_->currentIndex();
  return index.isValid() ? index.row() + 1 : 1;
}

mapedit::ExportOptions MapEditorWindow::exportOptions() const {
  mapedit::ExportOptions options;
  options.jumpToCursor = jumpToCursorBox_->isChecked();
  options.cursorColumn = currentColumn();
  options.cursorRow = currentRow();
  options.namesInDescription = nameInDescriptionBox_->isChecked();
  options.namesAsDirections = namesAsDirectionsBox_->isChecked();
  options.textNavigation = textNavigationBox_->isChecked();
  for (std::size_t i = 0; i < directionFields_.size(); ++i)
    options.directionPhrases[i] = fromQt(directionFields_[i]->text());
  return options;
}

void MapEditorWindow::setVisible(bool visible) {
  if (visible) setWindowState(windowState() | Qt::WindowMaximized);
  QDialog::setVisible(visible);
}

void MapEditorWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) windowActivated();
}

// Each opening: the grid takes the focus and the header cells show the coordinates.
void MapEditorWindow::windowActivated() {
  mapGrid_->setFocus();
  for (int i = 0; i <= 99; ++i) model_->setFixedCell(i, 0, QString::number(i));
  for (int i = 0; i <= 99; ++i) model_->setFixedCell(0, i, QString::number(i));
}

// The current cell changed: the area shows its description, or nothing when it has no name.
void MapEditorWindow::cellChosen() {
  const int column = currentColumn(), row = currentRow();
  if (map_.name(column, row).empty()) {
    descriptionArea_->showDescription({});
  } else {
    descriptionArea_->showDescription(map_.description(mapedit::cellNumber(column, row)));
  }
}

// Stores the area's text as the description of the current cell, named or not.
void MapEditorWindow::storeDescription() {
  map_.setDescription(mapedit::cellNumber(currentColumn(), currentRow()), descriptionArea_->storedDescription());
  mapGrid_->setFocus();
}

// Names as directions: the phrases are not used, so they and their captions are disabled.
void MapEditorWindow::namesAsDirectionsToggled(bool checked) {
  for (std::size_t i = 0; i < directionFields_.size(); ++i) {
    directionFields_[i]->setEnabled(!checked);
    directionLabels_[i]->setEnabled(!checked);
  }
}

// Empties every cell and description; options, phrases and the area stay as they are.
void MapEditorWindow::newMap() {
  map_.clear();
  model_->mapReplaced();
}

void MapEditorWindow::loadMap() {
  const auto file = dialogs_.openFile(this, kOpenRequest);
  if (!file) return;
  auto loaded = mapedit::loadMapFile(toPath(*file));
  if (!loaded.map) {
    dialogs_.message(this, errorText(loaded.error));
    return;
  }
  map_ = std::move(*loaded.map);
  model_->mapReplaced();
}

void MapEditorWindow::saveMap() {
  const auto file = dialogs_.saveFile(this, kSaveRequest);
  if (!file) return;
  if (auto error = mapedit::saveMapFile(toPath(*file), map_)) {
    dialogs_.message(this, errorText(*error));
    return;
  }
  dialogs_.message(this, QStringLiteral("Saved OK"));
}

// Replaces the scenario text by the complete export in one step, which one Ctrl+Z undoes; the
// document's guard (the main window's offer to save) may keep the text as it is.
void MapEditorWindow::exportToScenario() {
  if (!document_.mayReplaceText()) return;
  auto result = mapedit::exportMap(map_, exportOptions());
  if (result.cursorOnEmptyCell) dialogs_.message(this, QStringLiteral("Курсор стоит на пустой ячейке"));
  document_.replaceAllLines(result.lines);
  dialogs_.message(this, QStringLiteral("Export map OK"));
}

}  // namespace marvo
