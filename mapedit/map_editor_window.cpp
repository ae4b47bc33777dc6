// The map editor window "Map editor".
#include "map_editor_window.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include "description_area.h"
#include "editor/code_editor_window.h"
#include "editor/scenario_document.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "map_grid_view.h"
#include "map_table_model.h"
#include "mapedit/description_lines.h"
#include "mapedit/map_file.h"

using marvo::fromQt;
using marvo::toQt;
namespace mapedit = marvo::mapedit;

namespace {
const marvo::FileDialogRequest kOpenRequest{QStringLiteral("map (*.map)"), QString(), QString()};
const marvo::FileDialogRequest kSaveRequest{QStringLiteral("map (*.map)"), QString(),
                                            QStringLiteral("newmap.map")};

std::filesystem::path toPath(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

// File errors name the file as the file system does.
QString errorText(const std::string& error) { return QFile::decodeName(QByteArray::fromStdString(error)); }
}  // namespace

MapEditorWindow::MapEditorWindow(CodeEditorWindow& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Map editor"));
  buildControls();
}

// Closes an open cell editor while the map it writes to still exists.
MapEditorWindow::~MapEditorWindow() { hide(); }

void MapEditorWindow::buildControls() {
  model_ = new MapTableModel(map_, this);
  mapGrid = new MapGridView(this);
  mapGrid->setMapModel(model_);
  mapGrid->setCurrentIndex(model_->index(0, 0));

  descriptionArea = new DescriptionArea(this);
  QFontMetrics metrics(descriptionArea->font());
  descriptionArea->setMinimumWidth(
      metrics.horizontalAdvance(QString(int(mapedit::kDescriptionWidth) + 2, QLatin1Char('n'))) +
      descriptionArea->verticalScrollBar()->sizeHint().width() + 12);
  descriptionArea->setFixedHeight(metrics.lineSpacing() * 6 + 12);
  auto* memoLabel = new QLabel(QStringLiteral("ENTER - запомнить описание"), this);

  const auto phrases = mapedit::defaultDirectionPhrases();
  auto makePhrase = [&](QLabel*& label, QLineEdit*& edit, const QString& caption, std::size_t i) {
    label = new QLabel(caption, this);
    edit = new QLineEdit(toQt(phrases[i]), this);
    edit->setFixedWidth(121);
  };
  makePhrase(northLabel, northField, QStringLiteral("North"), 0);
  makePhrase(southLabel, southField, QStringLiteral("South"), 1);
  makePhrase(westLabel, westField, QStringLiteral("West"), 2);
  makePhrase(eastLabel, eastField, QStringLiteral("East"), 3);

  nameInDescriptionBox = new QCheckBox(QStringLiteral("Вставлять название локации в описание"), this);
  namesAsDirectionsBox = new QCheckBox(QStringLiteral("Задавать названия локаций в качестве направлений"), this);
  jumpToCursorBox = new QCheckBox(QStringLiteral("Сделать переход на локацию в позиции курсора"), this);
  textNavigationBox = new QCheckBox(QStringLiteral("Использовать текстовую навигацию вместо кнопочной"), this);
  jumpToCursorBox->setChecked(true);

  auto* menuBar = new QMenuBar(this);
  menuBar->setNativeMenuBar(false);  // the menu belongs to this window, not to a desktop bar
  auto* fileMenu = menuBar->addMenu(QStringLiteral("File"));
  newAction = fileMenu->addAction(QStringLiteral("New"));
  loadFileAction = fileMenu->addAction(QStringLiteral("Load map"));
  saveFileAction = fileMenu->addAction(QStringLiteral("Save map"));
  exportAction = fileMenu->addAction(QStringLiteral("Export map"));
  exitAction = fileMenu->addAction(QStringLiteral("Close"));

  // Layout: the grid fills the window; below it the direction phrases, the description area
  // with its label, and the options.
  auto* phrasesBox = new QVBoxLayout;
  for (auto [label, edit] : {std::pair{northLabel, northField}, {southLabel, southField}, {westLabel, westField}, {eastLabel, eastField}}) {
    phrasesBox->addWidget(label);
    phrasesBox->addWidget(edit);
  }
  phrasesBox->addStretch();
  auto* optionsBox = new QVBoxLayout;
  for (auto* box : {nameInDescriptionBox, namesAsDirectionsBox, jumpToCursorBox, textNavigationBox}) optionsBox->addWidget(box);
  auto* belowArea = new QHBoxLayout;
  belowArea->addLayout(optionsBox);
  belowArea->addStretch();
  belowArea->addWidget(memoLabel, 0, Qt::AlignTop);
  auto* descriptionBox = new QVBoxLayout;
  descriptionBox->addWidget(descriptionArea);
  descriptionBox->addLayout(belowArea);
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(phrasesBox);
  bottom->addSpacing(16);
  bottom->addLayout(descriptionBox);
  bottom->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addWidget(mapGrid, 1);
  layout->addLayout(bottom);

  QWidget::setTabOrder(mapGrid, descriptionArea);
  QWidget::setTabOrder(descriptionArea, northField);
  QWidget::setTabOrder(northField, southField);
  QWidget::setTabOrder(southField, westField);
  QWidget::setTabOrder(westField, eastField);
  QWidget::setTabOrder(eastField, nameInDescriptionBox);
  QWidget::setTabOrder(nameInDescriptionBox, namesAsDirectionsBox);
  QWidget::setTabOrder(namesAsDirectionsBox, jumpToCursorBox);
  QWidget::setTabOrder(jumpToCursorBox, textNavigationBox);

  connect(mapGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, &MapEditorWindow::cellChosen);
  connect(mapGrid, &MapGridView::escapeTypedWhileEditing, this, &MapEditorWindow::closeEditor);
  connect(descriptionArea, &DescriptionArea::storeKeyTyped, this, &MapEditorWindow::storeDescription);
  connect(namesAsDirectionsBox, &QCheckBox::toggled, this, &MapEditorWindow::namesAsDirectionsToggled);
  connect(newAction, &QAction::triggered, this, &MapEditorWindow::newMap);
  connect(loadFileAction, &QAction::triggered, this, &MapEditorWindow::loadMap);
  connect(saveFileAction, &QAction::triggered, this, &MapEditorWindow::saveMap);
  connect(exportAction, &QAction::triggered, this, &MapEditorWindow::exportToScenario);
  connect(exitAction, &QAction::triggered, this, &MapEditorWindow::closeEditor);
}

QString MapEditorWindow::cellText(int column, int row) const {
  if (column == 0 || row == 0) return model_->fixedCell(column, row);
  if (!mapedit::isMapCell(column, row)) return {};
  return toQt(map_.name(column, row));
}

void MapEditorWindow::setCurrentCell(int column, int row) {
  if (!mapedit::isMapCell(column, row)) return;
  mapGrid->setCurrentIndex(model_->index(row - 1, column - 1));
}

int MapEditorWindow::currentColumn() const {
  const auto index = mapGrid->currentIndex();
  return index.isValid() ? index.column() + 1 : 1;
}

int MapEditorWindow::currentRow() const {
  const auto index = mapGrid->currentIndex();
  return index.isValid() ? index.row() + 1 : 1;
}

mapedit::ExportOptions MapEditorWindow::exportOptions() const {
  mapedit::ExportOptions options;
  options.jumpToCursor = jumpToCursorBox->isChecked();
  options.cursorColumn = currentColumn();
  options.cursorRow = currentRow();
  options.namesInDescription = nameInDescriptionBox->isChecked();
  options.namesAsDirections = namesAsDirectionsBox->isChecked();
  options.textNavigation = textNavigationBox->isChecked();
  options.directionPhrases = {fromQt(northField->text()), fromQt(southField->text()), fromQt(westField->text()),
                              fromQt(eastField->text())};
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
  mapGrid->setFocus();
  for (int i = 0; i <= 99; ++i) model_->setFixedCell(i, 0, QString::number(i));
  for (int i = 0; i <= 99; ++i) model_->setFixedCell(0, i, QString::number(i));
}

// The current cell changed: the area shows its description, or nothing when it has no name.
void MapEditorWindow::cellChosen() {
  const int column = currentColumn(), row = currentRow();
  if (map_.name(column, row).empty()) {
    descriptionArea->showDescription({});
  } else {
    descriptionArea->showDescription(map_.description(mapedit::cellNumber(column, row)));
  }
}

// Stores the area's text as the description of the current cell, named or not.
void MapEditorWindow::storeDescription() {
  map_.setDescription(mapedit::cellNumber(currentColumn(), currentRow()), descriptionArea->storedDescription());
  mapGrid->setFocus();
}

void MapEditorWindow::namesAsDirectionsToggled() {
  const bool enabled = !namesAsDirectionsBox->isChecked();
  for (QWidget* w :
       std::initializer_list<QWidget*>{northField, southField, westField, eastField, northLabel, southLabel, westLabel, eastLabel})
    w->setEnabled(enabled);
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

// Replaces the code editor's text by the complete export in one step, which one Ctrl+Z undoes.
void MapEditorWindow::exportToScenario() {
  if (confirmReplace && !confirmReplace()) return;
  auto result = mapedit::exportMap(map_, exportOptions());
  if (result.cursorOnEmptyCell) dialogs_.message(this, QStringLiteral("Курсор стоит на пустой ячейке"));
  editor_.document().replaceAllLines(result.lines);
  dialogs_.message(this, QStringLiteral("Export map OK"));
}

void MapEditorWindow::closeEditor() { close(); }
