// The object placer window "Установка объектов": a form for one object, written into the scenario.
#include "Tpred.h"

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
#include "editor/TForm2.h"
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

Tpred::Tpred(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Установка объектов"));
  PageControl1 = new QTabWidget(this);
  PageControl1->addTab(buildPlannerPage(), QStringLiteral("Планировщик объектов"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(PageControl1);
  setFixedSize(620, 422);

  setForm(objects::initialForm());

  Edit1->installEventFilter(this);
  ComboBox1->installEventFilter(this);
  connect(Button1, &QPushButton::clicked, this, &Tpred::Button1Click);
}

QWidget* Tpred::buildPlannerPage() {
  auto* page = new QWidget;

  Edit1 = new QLineEdit(page);
  Edit1->setToolTip(QStringLiteral(
      "Если имя состоит из нескольких слов, их нужно делить точкой, вместо пробелов."));
  ComboBox1 = new QComboBox(page);
  ComboBox1->setEditable(false);
  ComboBox1->setToolTip(QStringLiteral("Выберите локацию, где будет размещатся объект или "
                                       "инвентарь, если объект - предмет инвентаря."));
  Edit10 = new QLineEdit(page);
  Edit10->setToolTip(QStringLiteral(
      "Этот текст будет появляться, когда на локации присутствует данный объект."));
  Memo1 = new QPlainTextEdit(page);
  Memo1->setToolTip(QStringLiteral(
      "То, что будет появляться на экране, при вызове команды EXAMINE <object>"));
  Edit5 = new QLineEdit(page);
  Edit5->setToolTip(QStringLiteral("Сюда записывается та часть имени объекта, при вводе которой "
                                   "объект будет определяться парсером"));
  Edit2 = new QLineEdit(page);
  Edit2->setToolTip(
      QStringLiteral("Сюда заносится дополнительная маска объекта, являющаяся синонимом"));
  Edit3 = new QLineEdit(page);
  CheckBox1 = new QCheckBox(QStringLiteral("Неперемещаемый объект"), page);

  auto* left = new QGridLayout;
  left->setVerticalSpacing(2);
  left->addWidget(fieldLabel("Имя объекта:", page), 0, 0, 1, 2);
  left->addWidget(Edit1, 1, 0, 1, 2);
  left->addWidget(fieldLabel("Разместить на локации:", page), 2, 0, 1, 2);
  left->addWidget(ComboBox1, 3, 0, 1, 2);
  left->addWidget(fieldLabel("Описание при расположении:", page), 4, 0, 1, 2);
  left->addWidget(Edit10, 5, 0, 1, 2);
  left->addWidget(fieldLabel("Описание:", page), 6, 0, 1, 2);
  left->addWidget(Memo1, 7, 0, 1, 2);
  left->addWidget(fieldLabel("Маска", page), 8, 0);
  left->addWidget(fieldLabel("Синоним маски", page), 8, 1);
  left->addWidget(Edit5, 9, 0);
  left->addWidget(Edit2, 9, 1);
  left->addWidget(fieldLabel("Содержание (для вложенных предметов):", page), 10, 0, 1, 2);
  left->addWidget(Edit3, 11, 0, 1, 2);
  left->addWidget(CheckBox1, 12, 0, 1, 2);
  left->setRowStretch(7, 1);

  auto* group = new QGroupBox(QStringLiteral("Задача объекта контейнера"), page);
  CheckBox2 = new QCheckBox(QStringLiteral("Добавить задачу"), group);
  Edit4 = new QLineEdit(group);
  Edit8 = new QLineEdit(group);
  Edit7 = new QLineEdit(group);
  Edit6 = new QLineEdit(group);
  Edit13 = new QLineEdit(group);
  CheckBox3 = new QCheckBox(QStringLiteral("Ограничить размером до:"), group);
  Edit9 = new QLineEdit(group);
  CheckBox4 = new QCheckBox(QStringLiteral("Ограничить весом до:"), group);
  Edit11 = new QLineEdit(group);
  Edit9->setText(QStringLiteral("100"));
  Edit11->setText(QStringLiteral("100"));
  Edit9->setMaximumWidth(60);
  Edit11->setMaximumWidth(60);

  auto* task = new QGridLayout(group);
  task->setVerticalSpacing(2);
  task->addWidget(CheckBox2, 0, 0, 1, 2);
  task->addWidget(fieldLabel("Помещение предметов в объект (команда):", group), 1, 0, 1, 2);
  task->addWidget(Edit4, 2, 0, 1, 2);
  task->addWidget(Edit8, 3, 0, 1, 2);
  task->addWidget(Edit7, 4, 0, 1, 2);
  task->addWidget(Edit6, 5, 0, 1, 2);
  task->addWidget(fieldLabel("При выполнении:", group), 6, 0, 1, 2);
  task->addWidget(Edit13, 7, 0, 1, 2);
  task->addWidget(CheckBox3, 8, 0);
  task->addWidget(Edit9, 8, 1);
  task->addWidget(CheckBox4, 9, 0);
  task->addWidget(Edit11, 9, 1);
  task->setRowStretch(10, 1);

  Button1 = new QPushButton(QStringLiteral("Создать"), page);
  // Enter in a field must not create an object.
  Button1->setAutoDefault(false);

  auto* right = new QVBoxLayout;
  right->addWidget(group, 1);
  right->addWidget(Button1, 0, Qt::AlignRight);

  auto* columns = new QHBoxLayout(page);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  return page;
}

void Tpred::setForm(const objects::ObjectForm& form) {
  Edit1->setText(toQt(form.name));
  Edit10->setText(toQt(form.placedDescription));
  Memo1->setPlainText(toQt(form.description).join(QLatin1Char('\n')));
  Edit5->setText(toQt(form.mask));
  Edit2->setText(toQt(form.maskSynonym));
  Edit3->setText(toQt(form.contents));
  CheckBox1->setChecked(form.immovable);
  CheckBox2->setChecked(form.addTask);
  Edit4->setText(toQt(form.putInCommands[0]));
  Edit8->setText(toQt(form.putInCommands[1]));
  Edit7->setText(toQt(form.putInCommands[2]));
  Edit6->setText(toQt(form.putInCommands[3]));
  Edit13->setText(toQt(form.putInMessage));
}

objects::ObjectForm Tpred::form() const {
  objects::ObjectForm form;
  form.name = fromQt(Edit1->text());
  form.location = fromQt(ComboBox1->currentText());
  form.placedDescription = fromQt(Edit10->text());
  form.description = fromQt(Memo1->toPlainText().split(QLatin1Char('\n')));
  form.mask = fromQt(Edit5->text());
  form.maskSynonym = fromQt(Edit2->text());
  form.contents = fromQt(Edit3->text());
  form.immovable = CheckBox1->isChecked();
  form.addTask = CheckBox2->isChecked();
  form.putInCommands = {fromQt(Edit4->text()), fromQt(Edit8->text()), fromQt(Edit7->text()),
                        fromQt(Edit6->text())};
  form.putInMessage = fromQt(Edit13->text());
  return form;
}

bool Tpred::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == QStringLiteral(" ")) {
      // Names of several words are written with dots.
      Edit1->insert(QStringLiteral("."));
      return true;
    }
    if (event->type() == QEvent::KeyRelease) Edit1KeyUp();
  } else if (watched == ComboBox1 && event->type() == QEvent::FocusIn) {
    // Only a move of the focus from elsewhere counts, not the return from the list's own popup.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) ComboBox1Enter();
  }
  return QDialog::eventFilter(watched, event);
}

void Tpred::Edit1KeyUp() {
  const auto fields = objects::followName(fromQt(Edit1->text()));
  Edit5->setText(toQt(fields.mask));
  Edit2->setText(toQt(fields.maskSynonym));
  Edit10->setText(toQt(fields.placedDescription));
  Edit13->setText(toQt(fields.putInMessage));
}

void Tpred::ComboBox1Enter() {
  // The chosen location stays chosen when the rebuilt list still holds it.
  const QString chosen = ComboBox1->currentText();
  ComboBox1->clear();
  ComboBox1->addItems(toQt(objects::locationChoices(editor_.lines())));
  ComboBox1->setCurrentIndex(chosen.isEmpty() ? -1 : ComboBox1->findText(chosen));
}

void Tpred::Button1Click() {
  auto current = form();
  objects::trimNameAndMask(current);
  Edit1->setText(toQt(current.name));
  Edit5->setText(toQt(current.mask));

  // A second CREATE of the same name stops the game: say where the first one is and insert nothing.
  const auto lines = editor_.lines();
  if (const int earlier = marvo::check::findCreate(lines, current.name); earlier >= 0) {
    dialogs_.message(this, QStringLiteral("Объект «%1» уже объявлен строкой %2 сценария (%3). Второе объявление "
                                          "остановит игру сообщением «Объект %1 объявлен повторно», поэтому "
                                          "объект не вставлен. Выберите другое имя или удалите прежнее объявление.")
                               .arg(toQt(current.name))
                               .arg(earlier + 1)
                               .arg(toQt(lines[static_cast<std::size_t>(earlier)])));
    return;
  }
  TForm2::UndoStep step(editor_);  // one Ctrl+Z takes the whole object back
  for (const auto& insertion : objects::placementInsertions(lines, current)) {
    int at = static_cast<int>(insertion.before);
    for (const auto& line : insertion.lines) editor_.insertLine(at++, line);
  }
}
