// The dialog seam: file dialogs and message boxes go through this interface so tests can script them.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

class QWidget;

namespace marvo {

struct FileDialogRequest {
  QString filter;         // as shown, e.g. "scenary (*.scn)"
  QString defaultSuffix;  // without the dot; empty for none
  QString initialName;    // the file name offered; empty for none
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The chosen file, or std::nullopt when the user cancelled.
  virtual std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
  // A modal message box; returns when the user confirmed it.
  virtual void message(QWidget* parent, const QString& text) = 0;
  // A folder to write into (it may be created in the dialog), or std::nullopt when cancelled.
  virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& title) {
    (void)parent;
    (void)title;
    return std::nullopt;
  }
};

// Production: QFileDialog and QMessageBox.
class QtDialogs : public Dialogs {
 public:
  std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
  void message(QWidget* parent, const QString& text) override;
  std::optional<QString> chooseFolder(QWidget* parent, const QString& title) override;
};

// Tests: answers are queued in advance; every request and message is recorded.
class ScriptedDialogs : public Dialogs {
 public:
  std::deque<std::optional<QString>> fileAnswers;  // an empty queue answers "cancel"
  QList<FileDialogRequest> requests;
  QStringList messages;
  QStringList folderTitles;  // chooseFolder takes its answer from fileAnswers too

  std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
  void message(QWidget* parent, const QString& text) override;
  std::optional<QString> chooseFolder(QWidget* parent, const QString& title) override;

 private:
  std::optional<QString> nextAnswer();
};

}  // namespace marvo
