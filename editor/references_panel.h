// Under the code editor's text: the list of a symbol's definitions and uses (laid out as the
// problems list; double-click or Enter jumps), and the bar that asks for a symbol's new name.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTreeWidget;

namespace marvo {

struct Reference {
  int line = 0;            // 1-based
  bool inLibrary = false;  // a line of the library, not of the scenario
  QString role;            // "определение", "свойство", "использование"
  QString text;            // the line, trimmed
};

class ReferencesPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ReferencesPanel(QWidget* parent = nullptr);

  // Replaces the list; `heading` says whose uses these are.
  void setReferences(const QString& heading, const QList<Reference>& references);
  const QList<Reference>& references() const { return references_; }
  QTreeWidget* list() const { return list_; }
  QLabel* heading() const { return heading_; }

 signals:
  // Double-click or Enter on a row.
  void referenceActivated(const Reference& reference);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* heading_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QList<Reference> references_;
};

// "Переименовать": the symbol's name to edit; Enter asks for the rename, Esc closes the bar.
class RenameBar : public QWidget {
  Q_OBJECT

 public:
  explicit RenameBar(QWidget* parent = nullptr);

  // Shows the bar for `what` (as the caption says it) with `name` selected in the field.
  void open(const QString& what, const QString& name);
  QLineEdit* nameField() const { return nameField_; }

 signals:
  void renameRequested(const QString& newName);
  void closed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* caption_ = nullptr;
  QLineEdit* nameField_ = nullptr;
};

}  // namespace marvo
