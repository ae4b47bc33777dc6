// The map editor window "Map editor".
#include "TMap.h"

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
#include "editor/TForm2.h"
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

TMap::TMap(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Map editor"));
  buildControls();
}

// Closes an open cell editor while the map it writes to still exists.
TMap::~TMap() { hide(); }

void TMap::buildControls() {
  model_ = new MapTableModel(map_, this);
  StringGrid1 = new MapGridView(this);
  StringGrid1->setMapModel(model_);
  StringGrid1->setCurrentIndex(model_->index(0, 0));

  Memo2 = new DescriptionArea(this);
  QFontMetrics metrics(Memo2->font());
  Memo2->setMinimumWidth(
      metrics.horizontalAdvance(QString(int(mapedit::kDescriptionWidth) + 2, QLatin1Char('n'))) +
      Memo2->verticalScrollBar()->sizeHint().width() + 12);
  Memo2->setFixedHeight(metrics.lineSpacing() * 6 + 12);
  auto* memoLabel = new QLabel(QStringLiteral("ENTER - запомнить описание"), this);

  const auto phrases = mapedit::defaultDirectionPhrases();
  auto makePhrase = [&](QLabel*& label, QLineEdit*& edit, const QString& caption, std::size_t i) {
    label = new QLabel(caption, this);
    edit = new QLineEdit(toQt(phrases[i]), this);
    edit->setFixedWidth(121);
  };
  makePhrase(Label1, Edit2, QStringLiteral("North"), 0);
  makePhrase(Label2, Edit3, QStringLiteral("South"), 1);
  makePhrase(Label3, Edit4, QStringLiteral("West"), 2);
  makePhrase(Label4, Edit5, QStringLiteral("East"), 3);

  CheckBox1 = new QCheckBox(QStringLiteral("Вставлять название локации в описание"), this);
  CheckBox2 = new QCheckBox(QStringLiteral("Задавать названия локаций в качестве направлений"), this);
  CheckBox3 = new QCheckBox(QStringLiteral("Сделать переход на локацию в позиции курсора"), this);
  CheckBox4 = new QCheckBox(QStringLiteral("Использовать текстовую навигацию вместо кнопочной"), this);
  CheckBox3->setChecked(true);

  auto* menuBar = new QMenuBar(this);
  menuBar->setNativeMenuBar(false);  // the menu belongs to this window, not to a desktop bar
  auto* fileMenu = menuBar->addMenu(QStringLiteral("File"));
  New1 = fileMenu->addAction(QStringLiteral("New"));
  Loadfile1 = fileMenu->addAction(QStringLiteral("Load map"));
  Savefile1 = fileMenu->addAction(QStringLiteral("Save map"));
  Savescenary1 = fileMenu->addAction(QStringLiteral("Export map"));
  Exit1 = fileMenu->addAction(QStringLiteral("Close"));

  // Layout: the grid fills the window; below it the direction phrases, the description area
  // with its label, and the options.
  auto* phrasesBox = new QVBoxLayout;
  for (auto [label, edit] : {std::pair{Label1, Edit2}, {Label2, Edit3}, {Label3, Edit4}, {Label4, Edit5}}) {
    phrasesBox->addWidget(label);
    phrasesBox->addWidget(edit);
  }
  phrasesBox->addStretch();
  auto* optionsBox = new QVBoxLayout;
  for (auto* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4}) optionsBox->addWidget(box);
  auto* belowArea = new QHBoxLayout;
  belowArea->addLayout(optionsBox);
  belowArea->addStretch();
  belowArea->addWidget(memoLabel, 0, Qt::AlignTop);
  auto* descriptionBox = new QVBoxLayout;
  descriptionBox->addWidget(Memo2);
  descriptionBox->addLayout(belowArea);
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(phrasesBox);
  bottom->addSpacing(16);
  bottom->addLayout(descriptionBox);
  bottom->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addWidget(StringGrid1, 1);
  layout->addLayout(bottom);

  QWidget::setTabOrder(StringGrid1, Memo2);
  QWidget::setTabOrder(Memo2, Edit2);
  QWidget::setTabOrder(Edit2, Edit3);
  QWidget::setTabOrder(Edit3, Edit4);
  QWidget::setTabOrder(Edit4, Edit5);
  QWidget::setTabOrder(Edit5, CheckBox1);
  QWidget::setTabOrder(CheckBox1, CheckBox2);
  QWidget::setTabOrder(CheckBox2, CheckBox3);
  QWidget::setTabOrder(CheckBox3, CheckBox4);

  connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this, &TMap::StringGrid1Click);
  connect(StringGrid1, &MapGridView::escapeTypedWhileEditing, this, &TMap::Exit1Click);
  connect(Memo2, &DescriptionArea::storeKeyTyped, this, &TMap::Memo2KeyPress);
  connect(CheckBox2, &QCheckBox::toggled, this, &TMap::CheckBox2Click);
  connect(New1, &QAction::triggered, this, &TMap::New1Click);
  connect(Loadfile1, &QAction::triggered, this, &TMap::Loadfile1Click);
  connect(Savefile1, &QAction::triggered, this, &TMap::Savefile1Click);
  connect(Savescenary1, &QAction::triggered, this, &TMap::Savescenary1Click);
  connect(Exit1, &QAction::triggered, this, &TMap::Exit1Click);
}

QString TMap::cellText(int column, int row) const {
  if (column == 0 || row == 0) return model_->fixedCell(column, row);
  if (!mapedit::isMapCell(column, row)) return {};
  return toQt(map_.name(column, row));
}

void TMap::setCurrentCell(int column, int row) {
  if (!mapedit::isMapCell(column, row)) return;
  StringGrid1->setCurrentIndex(model_->index(row - 1, column - 1));
}

int TMap::currentColumn() const {
  const auto index = StringGrid1->currentIndex();
  return index.isValid() ? index.column() + 1 : 1;
}

int TMap::currentRow() const {
  const auto index = StringGrid1->currentIndex();
  return index.isValid() ? index.row() + 1 : 1;
}

mapedit::ExportOptions TMap::exportOptions() const {
  mapedit::ExportOptions options;
  options.jumpToCursor = CheckBox3->isChecked();
  options.cursorColumn = currentColumn();
  options.cursorRow = currentRow();
  options.namesInDescription = CheckBox1->isChecked();
  options.namesAsDirections = CheckBox2->isChecked();
  options.textNavigation = CheckBox4->isChecked();
  options.directionPhrases = {fromQt(Edit2->text()), fromQt(Edit3->text()), fromQt(Edit4->text()),
                              fromQt(Edit5->text())};
  return options;
}

void TMap::setVisible(bool visible) {
  if (visible) setWindowState(windowState() | Qt::WindowMaximized);
  QDialog::setVisible(visible);
}

void TMap::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

// Each opening: the grid takes the focus and the header cells show the coordinates.
void TMap::FormActivate() {
  StringGrid1->setFocus();
  for (int i = 0; i <= 99; ++i) model_->setFixedCell(i, 0, QString::number(i));
  for (int i = 0; i <= 99; ++i) model_->setFixedCell(0, i, QString::number(i));
}

// The current cell changed: the area shows its description, or nothing when it has no name.
void TMap::StringGrid1Click() {
  const int column = currentColumn(), row = currentRow();
  if (map_.name(column, row).empty()) {
    Memo2->showDescription({});
  } else {
    Memo2->showDescription(map_.description(mapedit::cellNumber(column, row)));
  }
}

// Stores the area's text as the description of the current cell, named or not.
void TMap::Memo2KeyPress() {
  map_.setDescription(mapedit::cellNumber(currentColumn(), currentRow()), Memo2->storedDescription());
  StringGrid1->setFocus();
}

void TMap::CheckBox2Click() {
  const bool enabled = !CheckBox2->isChecked();
  for (QWidget* w :
       std::initializer_list<QWidget*>{Edit2, Edit3, Edit4, Edit5, Label1, Label2, Label3, Label4})
    w->setEnabled(enabled);
}

// Empties every cell and description; options, phrases and the area stay as they are.
void TMap::New1Click() {
  map_.clear();
  model_->mapReplaced();
}

void TMap::Loadfile1Click() {
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

void TMap::Savefile1Click() {
  const auto file = dialogs_.saveFile(this, kSaveRequest);
  if (!file) return;
  if (auto error = mapedit::saveMapFile(toPath(*file), map_)) {
    dialogs_.message(this, errorText(*error));
    return;
  }
  dialogs_.message(this, QStringLiteral("Saved OK"));
}

// Replaces the code editor's text by the complete export in one step, which one Ctrl+Z undoes.
void TMap::Savescenary1Click() {
  if (confirmReplace && !confirmReplace()) return;
  auto result = mapedit::exportMap(map_, exportOptions());
  if (result.cursorOnEmptyCell) dialogs_.message(this, QStringLiteral("Курсор стоит на пустой ячейке"));
  editor_.replaceAllLines(result.lines);
  dialogs_.message(this, QStringLiteral("Export map OK"));
}

void TMap::Exit1Click() { close(); }
