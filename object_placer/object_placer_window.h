// The object placer window "Установка объектов": a form for one object, written into the scenario.
#pragma once

#include <QDialog>
#include <array>

#include "object_placer/object_definition.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace marvo {

class Dialogs;
class ScenarioDocument;

class ObjectPlacerWindow : public QDialog {
  Q_OBJECT

 public:
  ObjectPlacerWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent = nullptr);

  // The form's fields as they stand, in Windows-1251.
  objects::ObjectForm form() const;

  QTabWidget* pages() const { return pages_; }
  QLineEdit* nameField() const { return nameField_; }
  QComboBox* locationBox() const { return locationBox_; }
  QLineEdit* placedDescriptionField() const { return placedDescriptionField_; }
  QPlainTextEdit* descriptionField() const { return descriptionField_; }
  QLineEdit* maskField() const { return maskField_; }
  QLineEdit* maskSynonymField() const { return maskSynonymField_; }
  QLineEdit* contentsField() const { return contentsField_; }
  QCheckBox* immovableBox() const { return immovableBox_; }
  QCheckBox* addTaskBox() const { return addTaskBox_; }
  const std::array<QLineEdit*, 4>& putInFields() const { return putInFields_; }
  QLineEdit* putInMessageField() const { return putInMessageField_; }
  QCheckBox* sizeLimitBox() const { return sizeLimitBox_; }
  QLineEdit* sizeLimitField() const { return sizeLimitField_; }
  QPushButton* createButton() const { return createButton_; }

 public slots:
  // "Создать": inserts the object's definition (and its container task) into the scenario text.
  void createObject();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildPlannerPage();
  void setForm(const objects::ObjectForm& form);
  // After every key in the name field: the fields that follow the name are written from it.
  void nameEdited();
  // The focus moved into the location list from elsewhere: the list is read from the scenario anew.
  void rebuildLocationList();

  ScenarioDocument& document_;
  Dialogs& dialogs_;

  QTabWidget* pages_ = nullptr;
  QLineEdit* nameField_ = nullptr;
  QComboBox* locationBox_ = nullptr;
  QLineEdit* placedDescriptionField_ = nullptr;
  QPlainTextEdit* descriptionField_ = nullptr;
  QLineEdit* maskField_ = nullptr;
  QLineEdit* maskSynonymField_ = nullptr;
  QLineEdit* contentsField_ = nullptr;
  QCheckBox* immovableBox_ = nullptr;
  QCheckBox* addTaskBox_ = nullptr;
  std::array<QLineEdit*, 4> putInFields_{};  // the put-in commands, top to bottom
  QLineEdit* putInMessageField_ = nullptr;
  QCheckBox* sizeLimitBox_ = nullptr;  // size limit (shown, not used by the generator)
  QLineEdit* sizeLimitField_ = nullptr;
  QCheckBox* weightLimitBox_ = nullptr;  // weight limit (shown, not used by the generator)
  QLineEdit* weightLimitField_ = nullptr;
  QPushButton* createButton_ = nullptr;
};

}  // namespace marvo
