// The object placer window "Установка объектов": a form for one object, written into the scenario.
#pragma once

#include <QDialog>

#include "objects/object_definition.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TForm2;
namespace marvo {
class Dialogs;
}

class Tpred : public QDialog {
  Q_OBJECT

 public:
  Tpred(TForm2& editor, marvo::Dialogs& dialogs, QWidget* parent = nullptr);

  // The form's fields as they stand, in Windows-1251.
  marvo::objects::ObjectForm form() const;

  // Handlers (the events reach them through eventFilter and the button's signal).
  void Edit1KeyUp();
  void ComboBox1Enter();
  void Button1Click();

  QTabWidget* PageControl1 = nullptr;
  QLineEdit* Edit1 = nullptr;       // name
  QComboBox* ComboBox1 = nullptr;   // location
  QLineEdit* Edit10 = nullptr;      // placed description
  QPlainTextEdit* Memo1 = nullptr;  // description
  QLineEdit* Edit5 = nullptr;       // mask
  QLineEdit* Edit2 = nullptr;       // mask synonym
  QLineEdit* Edit3 = nullptr;       // contents
  QCheckBox* CheckBox1 = nullptr;   // immovable
  QCheckBox* CheckBox2 = nullptr;   // add task
  QLineEdit* Edit4 = nullptr;       // put-in commands, top to bottom: Edit4, Edit8, Edit7, Edit6
  QLineEdit* Edit8 = nullptr;
  QLineEdit* Edit7 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QLineEdit* Edit13 = nullptr;      // put-in message
  QCheckBox* CheckBox3 = nullptr;   // size limit (shown, not used by the generator)
  QLineEdit* Edit9 = nullptr;
  QCheckBox* CheckBox4 = nullptr;   // weight limit (shown, not used by the generator)
  QLineEdit* Edit11 = nullptr;
  QPushButton* Button1 = nullptr;   // "Создать"

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildPlannerPage();
  void setForm(const marvo::objects::ObjectForm& form);

  TForm2& editor_;
  marvo::Dialogs& dialogs_;
};
