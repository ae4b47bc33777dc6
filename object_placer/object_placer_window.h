// The object placer window "Установка объектов": a form for one object, written into the scenario.
#pragma once

#include <QDialog>

#include "object_placer/object_definition.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class CodeEditorWindow;
namespace marvo {
class Dialogs;
}

class ObjectPlacerWindow : public QDialog {
  Q_OBJECT

 public:
  ObjectPlacerWindow(CodeEditorWindow& editor, marvo::Dialogs& dialogs, QWidget* parent = nullptr);

  // The form's fields as they stand, in Windows-1251.
  marvo::objects::ObjectForm form() const;

  // Handlers (the events reach them through eventFilter and the button's signal).
  void nameEdited();
  void locationBoxEntered();
  void createObject();

  QTabWidget* pages = nullptr;
  QLineEdit* nameField = nullptr;       // name
  QComboBox* locationBox = nullptr;   // location
  QLineEdit* placedDescriptionField = nullptr;      // placed description
  QPlainTextEdit* descriptionField = nullptr;  // description
  QLineEdit* maskField = nullptr;       // mask
  QLineEdit* maskSynonymField = nullptr;       // mask synonym
  QLineEdit* contentsField = nullptr;       // contents
  QCheckBox* immovableBox = nullptr;   // immovable
  QCheckBox* addTaskBox = nullptr;   // add task
  QLineEdit* putInField1st = nullptr;       // put-in commands, top to bottom: putInField1st, putInField2nd, putInField3rd, putInField4th
  QLineEdit* putInField2nd = nullptr;
  QLineEdit* putInField3rd = nullptr;
  QLineEdit* putInField4th = nullptr;
  QLineEdit* putInMessageField = nullptr;      // put-in message
  QCheckBox* sizeLimitBox = nullptr;   // size limit (shown, not used by the generator)
  QLineEdit* sizeLimitField = nullptr;
  QCheckBox* weightLimitBox = nullptr;   // weight limit (shown, not used by the generator)
  QLineEdit* weightLimitField = nullptr;
  QPushButton* createButton = nullptr;   // "Создать"

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildPlannerPage();
  void setForm(const marvo::objects::ObjectForm& form);

  CodeEditorWindow& editor_;
  marvo::Dialogs& dialogs_;
};
