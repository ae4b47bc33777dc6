// Production and scripted implementations of the dialog seam.
#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace marvo {

namespace {
std::optional<QString> runFileDialog(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(request.filter);
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  // Choosing an existing file in a save dialog replaces it without asking.
  if (mode == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}
}  // namespace

std::optional<QString> QtDialogs::openFile(QWidget* parent, const FileDialogRequest& request) {
  return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const FileDialogRequest& request) {
  return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

void QtDialogs::message(QWidget* parent, const QString& text) {
  QMessageBox box(parent);
  box.setText(text);
  box.exec();
}

std::optional<ChosenFile> QtDialogs::saveFileOfType(QWidget* parent, const FileDialogRequest& request,
                                                    const QStringList& types, int initialType) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(types);
  if (initialType >= 0 && initialType < types.size()) dialog.selectNameFilter(types.at(initialType));
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ChosenFile{dialog.selectedFiles().constFirst(),
                    std::max<int>(0, static_cast<int>(types.indexOf(dialog.selectedNameFilter())))};
}

int QtDialogs::choose(QWidget* parent, const QString& text, const QStringList& buttons) {
  QMessageBox box(parent);
  box.setWindowTitle(QStringLiteral("Marvo IF"));
  box.setText(text);
  QList<QAbstractButton*> added;
  for (const QString& caption : buttons) added.append(box.addButton(caption, QMessageBox::AcceptRole));
  // Esc answers like the last button (Cancel, Later): closing the box changes nothing.
  if (!added.isEmpty()) {
    box.setDefaultButton(static_cast<QPushButton*>(added.constFirst()));
    box.setEscapeButton(added.constLast());
  }
  box.exec();
  return static_cast<int>(added.indexOf(box.clickedButton()));
}

std::optional<QString> QtDialogs::chooseFolder(QWidget* parent, const QString& title) {
  const QString folder = QFileDialog::getExistingDirectory(parent, title);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

std::optional<QString> ScriptedDialogs::nextAnswer() {
  if (fileAnswers.empty()) return std::nullopt;
  const bool chosen = fileAnswers.front().has_value();
  const QString name = chosen ? *fileAnswers.front() : QString();
  fileAnswers.pop_front();
  if (!chosen) return std::nullopt;
  return name;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const FileDialogRequest& request) {
  requests.append(request);
  return nextAnswer();
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget* parent, const FileDialogRequest& request) {
  return openFile(parent, request);
}

void ScriptedDialogs::message(QWidget*, const QString& text) { messages.append(text); }

std::optional<QString> ScriptedDialogs::chooseFolder(QWidget*, const QString& title) {
  folderTitles.append(title);
  return nextAnswer();
}

std::optional<ChosenFile> ScriptedDialogs::saveFileOfType(QWidget* parent, const FileDialogRequest& request,
                                                          const QStringList& types, int initialType) {
  initialTypes.append(initialType);
  FileDialogRequest shown = request;
  shown.filter = types.join(QStringLiteral(";;"));
  auto name = openFile(parent, shown);
  int type = initialType;
  if (!typeAnswers.empty()) {
    type = typeAnswers.front();
    typeAnswers.pop_front();
  }
  if (!name) return std::nullopt;
  return ChosenFile{*name, type};
}

int ScriptedDialogs::choose(QWidget*, const QString& text, const QStringList&) {
  questions.append(text);
  if (choiceAnswers.empty()) return -1;
  const int answer = choiceAnswers.front();
  choiceAnswers.pop_front();
  return answer;
}

}  // namespace marvo
