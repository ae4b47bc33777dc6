// Message boxes with a detail line and an extra button, for both implementations of the dialog seam.
#include <QMessageBox>
#include <QPushButton>

#include "dialogs.h"

namespace marvo {

bool QtDialogs::messageWithAction(QWidget* parent, const QString& text, const QString& detail, const QString& action) {
  QMessageBox box(parent);
  box.setText(text);
  box.setInformativeText(detail);
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  QPushButton* chosen = action.isEmpty() ? nullptr : box.addButton(action, QMessageBox::ActionRole);
  box.setDefaultButton(ok);
  box.exec();
  return chosen && box.clickedButton() == chosen;
}

bool ScriptedDialogs::messageWithAction(QWidget*, const QString& text, const QString& detail, const QString& action) {
  messages.append(text);
  details.append(detail);
  actions.append(action);
  if (actionAnswers.empty()) return false;
  const bool answer = actionAnswers.front();
  actionAnswers.pop_front();
  return answer && !action.isEmpty();
}

}  // namespace marvo
