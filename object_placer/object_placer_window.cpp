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
#include "editor/code_editor_window.h"
#include "editor/scenario_document.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"

using marvo::fromQt;
using marvo::toQt;
namespace objects = marvo::objects;

namespace {
QLabel* fieldLabel(const char* utf8, QWidget* parent) {
  return new QLabel(QString::fromUtf8(utf8), parent);
}
}  // namespace

ObjectPlacerWindow::ObjectPlacerWindow(CodeEditorWindow& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Установка объектов"));
  pages = new QTabWidget(this);
  pages->addTab(buildPlannerPage(), QStringLiteral("Планировщик объектов"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(pages);
  setFixedSize(620, 422);

  setForm(objects::initialForm());

  nameField->installEventFilter(this);
  locationBox->installEventFilter(this);
  connect(createButton, &QPushButton::clicked, this, &ObjectPlacerWindow::createObject);
}

QWidget* ObjectPlacerWindow::buildPlannerPage() {
  auto* page = new QWidget;

  nameField = new QLineEdit(page);
  nameField->setToolTip(QStringLiteral(
      "Если имя состоит из нескольких слов, их нужно делить точкой, вместо пробелов."));
  locationBox = new QComboBox(page);
  locationBox->setEditable(false);
  locationBox->setToolTip(QStringLiteral("Выберите локацию, где будет размещатся объект или "
                                       "инвентарь, если объект - предмет инвентаря."));
  placedDescriptionField = new QLineEdit(page);
  placedDescriptionField->setToolTip(QStringLiteral(
      "Этот текст будет появляться, когда на локации присутствует данный объект."));
  descriptionField = new QPlainTextEdit(page);
  descriptionField->setToolTip(QStringLiteral(
      "То, что будет появляться на экране, при вызове команды EXAMINE <object>"));
  maskField = new QLineEdit(page);
  maskField->setToolTip(QStringLiteral("Сюда записывается та часть имени объекта, при вводе которой "
                                   "объект будет определяться парсером"));
  maskSynonymField = new QLineEdit(page);
  maskSynonymField->setToolTip(
      QStringLiteral("Сюда заносится дополнительная маска объекта, являющаяся синонимом"));
  contentsField = new QLineEdit(page);
  immovableBox = new QCheckBox(QStringLiteral("Неперемещаемый объект"), page);

  auto* left = new QGridLayout;
  left->setVerticalSpacing(2);
  left->addWidget(fieldLabel("Имя объекта:", page), 0, 0, 1, 2);
  left->addWidget(nameField, 1, 0, 1, 2);
  left->addWidget(fieldLabel("Разместить на локации:", page), 2, 0, 1, 2);
  left->addWidget(locationBox, 3, 0, 1, 2);
  left->addWidget(fieldLabel("Описание при расположении:", page), 4, 0, 1, 2);
  left->addWidget(placedDescriptionField, 5, 0, 1, 2);
  left->addWidget(fieldLabel("Описание:", page), 6, 0, 1, 2);
  left->addWidget(descriptionField, 7, 0, 1, 2);
  left->addWidget(fieldLabel("Маска", page), 8, 0);
  left->addWidget(fieldLabel("Синоним маски", page), 8, 1);
  left->addWidget(maskField, 9, 0);
  left->addWidget(maskSynonymField, 9, 1);
  left->addWidget(fieldLabel("Содержание (для вложенных предметов):", page), 10, 0, 1, 2);
  left->addWidget(contentsField, 11, 0, 1, 2);
  left->addWidget(immovableBox, 12, 0, 1, 2);
  left->setRowStretch(7, 1);

  auto* group = new QGroupBox(QStringLiteral("Задача объекта контейнера"), page);
  addTaskBox = new QCheckBox(QStringLiteral("Добавить задачу"), group);
  putInField1st = new QLineEdit(group);
  putInField2nd = new QLineEdit(group);
  putInField3rd = new QLineEdit(group);
  putInField4th = new QLineEdit(group);
  putInMessageField = new QLineEdit(group);
  sizeLimitBox = new QCheckBox(QStringLiteral("Ограничить размером до:"), group);
  sizeLimitField = new QLineEdit(group);
  weightLimitBox = new QCheckBox(QStringLiteral("Ограничить весом до:"), group);
  weightLimitField = new QLineEdit(group);
  sizeLimitField->setText(QStringLiteral("100"));
  weightLimitField->setText(QStringLiteral("100"));
  sizeLimitField->setMaximumWidth(60);
  weightLimitField->setMaximumWidth(60);

  auto* task = new QGridLayout(group);
  task->setVerticalSpacing(2);
  task->addWidget(addTaskBox, 0, 0, 1, 2);
  task->addWidget(fieldLabel("Помещение предметов в объект (команда):", group), 1, 0, 1, 2);
  task->addWidget(putInField1st, 2, 0, 1, 2);
  task->addWidget(putInField2nd, 3, 0, 1, 2);
  task->addWidget(putInField3rd, 4, 0, 1, 2);
  task->addWidget(putInField4th, 5, 0, 1, 2);
  task->addWidget(fieldLabel("При выполнении:", group), 6, 0, 1, 2);
  task->addWidget(putInMessageField, 7, 0, 1, 2);
  task->addWidget(sizeLimitBox, 8, 0);
  task->addWidget(sizeLimitField, 8, 1);
  task->addWidget(weightLimitBox, 9, 0);
  task->addWidget(weightLimitField, 9, 1);
  task->setRowStretch(10, 1);

  createButton = new QPushButton(QStringLiteral("Создать"), page);
  // Enter in a field must not create an object.
  createButton->setAutoDefault(false);

  auto* right = new QVBoxLayout;
  right->addWidget(group, 1);
  right->addWidget(createButton, 0, Qt::AlignRight);

  auto* columns = new QHBoxLayout(page);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  return page;
}

void ObjectPlacerWindow::setForm(const objects::ObjectForm& form) {
  nameField->setText(toQt(form.name));
  placedDescriptionField->setText(toQt(form.placedDescription));
  descriptionField->setPlainText(toQt(form.description).join(QLatin1Char('\n')));
  maskField->setText(toQt(form.mask));
  maskSynonymField->setText(toQt(form.maskSynonym));
  contentsField->setText(toQt(form.contents));
  immovableBox->setChecked(form.immovable);
  addTaskBox->setChecked(form.addTask);
  putInField1st->setText(toQt(form.putInCommands[0]));
  putInField2nd->setText(toQt(form.putInCommands[1]));
  putInField3rd->setText(toQt(form.putInCommands[2]));
  putInField4th->setText(toQt(form.putInCommands[3]));
  putInMessageField->setText(toQt(form.putInMessage));
}

objects::ObjectForm ObjectPlacerWindow::form() const {
  objects::ObjectForm form;
  form.name = fromQt(nameField->text());
  form.location = fromQt(locationBox->currentText());
  form.placedDescription = fromQt(placedDescriptionField->text());
  form.description = fromQt(descriptionField->toPlainText().split(QLatin1Char('\n')));
  form.mask = fromQt(maskField->text());
  form.maskSynonym = fromQt(maskSynonymField->text());
  form.contents = fromQt(contentsField->text());
  form.immovable = immovableBox->isChecked();
  form.addTask = addTaskBox->isChecked();
  form.putInCommands = {fromQt(putInField1st->text()), fromQt(putInField2nd->text()), fromQt(putInField3rd->text()),
                        fromQt(putInField4th->text())};
  form.putInMessage = fromQt(putInMessageField->text());
  return form;
}

bool ObjectPlacerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == nameField) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == QStringLiteral(" ")) {
      // Names of several words are written with dots.
      nameField->insert(QStringLiteral("."));
      return true;
    }
    if (event->type() == QEvent::KeyRelease) nameEdited();
  } else if (watched == locationBox && event->type() == QEvent::FocusIn) {
    // Only a move of the focus from elsewhere counts, not the return from the list's own popup.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) locationBoxEntered();
  }
  return QDialog::eventFilter(watched, event);
}

void ObjectPlacerWindow::nameEdited() {
  const auto fields = objects::followName(fromQt(nameField->text()));
  maskField->setText(toQt(fields.mask));
  maskSynonymField->setText(toQt(fields.maskSynonym));
  placedDescriptionField->setText(toQt(fields.placedDescription));
  putInMessageField->setText(toQt(fields.putInMessage));
}

void ObjectPlacerWindow::locationBoxEntered() {
  // The chosen location stays chosen when the rebuilt list still holds it.
  const QString chosen = locationBox->currentText();
  locationBox->clear();
  locationBox->addItems(toQt(objects::locationChoices(editor_.document().lines())));
  locationBox->setCurrentIndex(chosen.isEmpty() ? -1 : locationBox->findText(chosen));
}

void ObjectPlacerWindow::createObject() {
  auto current = form();
  objects::trimNameAndMask(current);
  nameField->setText(toQt(current.name));
  maskField->setText(toQt(current.mask));

  // A second CREATE of the same name stops the game: say where the first one is and insert nothing.
  const auto lines = editor_.document().lines();
  if (const int earlier = marvo::check::findCreate(lines, current.name); earlier >= 0) {
    dialogs_.message(this, QStringLiteral("Объект «%1» уже объявлен строкой %2 сценария (%3). Второе объявление "
                                          "остановит игру сообщением «Объект %1 объявлен повторно», поэтому "
                                          "объект не вставлен. Выберите другое имя или удалите прежнее объявление.")
                               .arg(toQt(current.name))
                               .arg(earlier + 1)
                               .arg(toQt(lines[static_cast<std::size_t>(earlier)])));
    return;
  }
  marvo::ScenarioDocument::UndoStep step(editor_.document());  // one Ctrl+Z takes the whole object back
  for (const auto& insertion : objects::placementInsertions(lines, current)) {
    int at = static_cast<int>(insertion.before);
    for (const auto& line : insertion.lines) editor_.document().insertLine(at++, line);
  }
}
