// The object placer window "Установка объектов": a form for one object, written into the scenario.
#include "object_placer_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "checker/checker.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"

namespace marvo {

namespace {
// A field's caption; it also names the field for assistive technology.
QLabel* fieldLabel(const char* utf8, QWidget* parent, QWidget* field) {
  auto* label = new QLabel(QString::fromUtf8(utf8), parent);
  label->setBuddy(field);
  return label;
}
}  // namespace

ObjectPlacerWindow::ObjectPlacerWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), document_(document), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Установка объектов"));
  pages_ = new QTabWidget(this);
  pages_->addTab(buildPlannerPage(), QStringLiteral("Планировщик объектов"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(pages_);
  setFixedSize(620, 422);

  setForm(objects::initialForm());

  nameField_->installEventFilter(this);
  locationBox_->installEventFilter(this);
  connect(createButton_, &QPushButton::clicked, this, &ObjectPlacerWindow::createObject);
}

QWidget* ObjectPlacerWindow::buildPlannerPage() {
  auto* page = new QWidget;

  nameField_ = new QLineEdit(page);
  nameField_->setToolTip(
      QStringLiteral("Если имя состоит из нескольких слов, их нужно делить точкой, вместо пробелов."));
  locationBox_ = new QComboBox(page);
  locationBox_->setEditable(false);
  locationBox_->setToolTip(
      QStringLiteral("Выберите локацию, где будет размещатся объект или "
                     "инвентарь, если объект - предмет инвентаря."));
  placedDescriptionField_ = new QLineEdit(page);
  placedDescriptionField_->setToolTip(
      QStringLiteral("Этот текст будет появляться, когда на локации присутствует данный объект."));
  descriptionField_ = new QPlainTextEdit(page);
  descriptionField_->setToolTip(
      QStringLiteral("То, что будет появляться на экране, при вызове команды EXAMINE <object>"));
  maskField_ = new QLineEdit(page);
  maskField_->setToolTip(
      QStringLiteral("Сюда записывается та часть имени объекта, при вводе которой "
                     "объект будет определяться парсером"));
  maskSynonymField_ = new QLineEdit(page);
  maskSynonymField_->setToolTip(QStringLiteral("Сюда заносится дополнительная маска объекта, являющаяся синонимом"));
  contentsField_ = new QLineEdit(page);
  immovableBox_ = new QCheckBox(QStringLiteral("Неперемещаемый объект"), page);

  auto* left = new QGridLayout;
  left->setVerticalSpacing(2);
  left->addWidget(fieldLabel("Имя объекта:", page, nameField_), 0, 0, 1, 2);
  left->addWidget(nameField_, 1, 0, 1, 2);
  left->addWidget(fieldLabel("Разместить на локации:", page, locationBox_), 2, 0, 1, 2);
  left->addWidget(locationBox_, 3, 0, 1, 2);
  left->addWidget(fieldLabel("Описание при расположении:", page, placedDescriptionField_), 4, 0, 1, 2);
  left->addWidget(placedDescriptionField_, 5, 0, 1, 2);
  left->addWidget(fieldLabel("Описание:", page, descriptionField_), 6, 0, 1, 2);
  left->addWidget(descriptionField_, 7, 0, 1, 2);
  left->addWidget(fieldLabel("Маска", page, maskField_), 8, 0);
  left->addWidget(fieldLabel("Синоним маски", page, maskSynonymField_), 8, 1);
  left->addWidget(maskField_, 9, 0);
  left->addWidget(maskSynonymField_, 9, 1);
  left->addWidget(fieldLabel("Содержание (для вложенных предметов):", page, contentsField_), 10, 0, 1, 2);
  left->addWidget(contentsField_, 11, 0, 1, 2);
  left->addWidget(immovableBox_, 12, 0, 1, 2);
  left->setRowStretch(7, 1);

  auto* group = new QGroupBox(QStringLiteral("Задача объекта контейнера"), page);
  addTaskBox_ = new QCheckBox(QStringLiteral("Добавить задачу"), group);
  for (auto*& field : putInFields_) field = new QLineEdit(group);
  putInMessageField_ = new QLineEdit(group);
  sizeLimitBox_ = new QCheckBox(QStringLiteral("Ограничить размером до:"), group);
  sizeLimitField_ = new QLineEdit(group);
  weightLimitBox_ = new QCheckBox(QStringLiteral("Ограничить весом до:"), group);
  weightLimitField_ = new QLineEdit(group);
  sizeLimitField_->setText(QStringLiteral("100"));
  weightLimitField_->setText(QStringLiteral("100"));
  sizeLimitField_->setAccessibleName(QStringLiteral("Предел размера"));
  weightLimitField_->setAccessibleName(QStringLiteral("Предел веса"));
  sizeLimitField_->setMaximumWidth(60);
  weightLimitField_->setMaximumWidth(60);

  auto* task = new QGridLayout(group);
  task->setVerticalSpacing(2);
  task->addWidget(addTaskBox_, 0, 0, 1, 2);
  task->addWidget(fieldLabel("Помещение предметов в объект (команда):", group, putInFields_[0]), 1, 0, 1, 2);
  int row = 2;
  for (auto* field : putInFields_) {
    field->setAccessibleName(QStringLiteral("Команда помещения %1").arg(row - 1));
    task->addWidget(field, row++, 0, 1, 2);
  }
  task->addWidget(fieldLabel("При выполнении:", group, putInMessageField_), 6, 0, 1, 2);
  task->addWidget(putInMessageField_, 7, 0, 1, 2);
  task->addWidget(sizeLimitBox_, 8, 0);
  task->addWidget(sizeLimitField_, 8, 1);
  task->addWidget(weightLimitBox_, 9, 0);
  task->addWidget(weightLimitField_, 9, 1);
  task->setRowStretch(10, 1);

  createButton_ = new QPushButton(QStringLiteral("Создать"), page);
  // Enter in a field must not create an object.
  createButton_->setAutoDefault(false);

  auto* right = new QVBoxLayout;
  right->addWidget(group, 1);
  right->addWidget(createButton_, 0, Qt::AlignRight);

  auto* columns = new QHBoxLayout(page);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  return page;
}

void ObjectPlacerWindow::setForm(const objects::ObjectForm& form) {
  nameField_->setText(toQt(form.name));
  placedDescriptionField_->setText(toQt(form.placedDescription));
  descriptionField_->setPlainText(toQt(form.description).join(QLatin1Char('\n')));
  maskField_->setText(toQt(form.mask));
  maskSynonymField_->setText(toQt(form.maskSynonym));
  contentsField_->setText(toQt(form.contents));
  immovableBox_->setChecked(form.immovable);
  addTaskBox_->setChecked(form.addTask);
  for (std::size_t i = 0; i < putInFields_.size(); ++i) putInFields_[i]->setText(toQt(form.putInCommands[i]));
  putInMessageField_->setText(toQt(form.putInMessage));
}

objects::ObjectForm ObjectPlacerWindow::form() const {
  objects::ObjectForm form;
  form.name = fromQt(nameField_->text());
  form.location = fromQt(locationBox_->currentText());
  form.placedDescription = fromQt(placedDescriptionField_->text());
  form.description = fromQt(descriptionField_->toPlainText().split(QLatin1Char('\n')));
  form.mask = fromQt(maskField_->text());
  form.maskSynonym = fromQt(maskSynonymField_->text());
  form.contents = fromQt(contentsField_->text());
  form.immovable = immovableBox_->isChecked();
  form.addTask = addTaskBox_->isChecked();
  for (std::size_t i = 0; i < putInFields_.size(); ++i) form.putInCommands[i] = fromQt(putInFields_[i]->text());
  form.putInMessage = fromQt(putInMessageField_->text());
  return form;
}

bool ObjectPlacerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == nameField_) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->text() == QStringLiteral(" ")) {
      // Names of several words are written with dots.
      nameField_->insert(QStringLiteral("."));
      return true;
    }
    if (event->type() == QEvent::KeyRelease) nameEdited();
  } else if (watched == locationBox_ && event->type() == QEvent::FocusIn) {
    // Only a move of the focus from elsewhere counts, not the return from the list's own popup.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) rebuildLocationList();
  }
  return QDialog::eventFilter(watched, event);
}

void ObjectPlacerWindow::nameEdited() {
  const auto fields = objects::followName(fromQt(nameField_->text()));
  maskField_->setText(toQt(fields.mask));
  maskSynonymField_->setText(toQt(fields.maskSynonym));
  placedDescriptionField_->setText(toQt(fields.placedDescription));
  putInMessageField_->setText(toQt(fields.putInMessage));
}

void ObjectPlacerWindow::rebuildLocationList() {
  // The chosen location stays chosen when the rebuilt list still holds it.
  const QString chosen = locationBox_->currentText();
  locationBox_->clear();
  locationBox_->addItems(toQt(objects::locationChoices(document_.lines())));
  locationBox_->setCurrentIndex(chosen.isEmpty() ? -1 : locationBox_->findText(chosen));
}

void ObjectPlacerWindow::createObject() {
  auto current = form();
  objects::trimNameAndMask(current);
  nameField_->setText(toQt(current.name));
  maskField_->setText(toQt(current.mask));

  // A second CREATE of the same name stops the game: say where the first one is and insert nothing.
  const auto lines = document_.lines();
  if (const int earlier = check::findCreate(lines, current.name); earlier >= 0) {
    dialogs_.message(this, QStringLiteral("Объект «%1» уже объявлен строкой %2 сценария (%3). Второе объявление "
                                          "остановит игру сообщением «Объект %1 объявлен повторно», поэтому "
                                          "объект не вставлен. Выберите другое имя или удалите прежнее объявление.")
                               .arg(toQt(current.name))
                               .arg(earlier + 1)
                               .arg(toQt(lines[static_cast<std::size_t>(earlier)])));
    return;
  }
  ScenarioDocument::UndoStep step(document_);  // one Ctrl+Z takes the whole object back
  for (const auto& insertion : objects::placementInsertions(lines, current)) {
    int at = static_cast<int>(insertion.before);
    for (const auto& line : insertion.lines) document_.insertLine(at++, line);
  }
}

}  // namespace marvo
