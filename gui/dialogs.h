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

// A save dialog with several file types (filters): the chosen file and the index of its type.
struct ChosenFile {
  QString name;
  int type = 0;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The chosen file, or std::nullopt when the user cancelled.
  virtual std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
  // A modal message box; returns when the user confirmed it.
  virtual void message(QWidget* parent, const QString& text) = 0;
  // A modal message box with `detail` beneath the text and, when `action` is not empty, a button
  // with that caption beside OK. Returns true when the user chose that button. The default shows
  // the detail in a plain message box and offers no button.
  virtual bool messageWithAction(QWidget* parent, const QString& text, const QString& detail, const QString& action) {
    (void)action;
    message(parent, detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail);
    return false;
  }
  // A save dialog offering `types` (each "name (*.ext ...)"), `initialType` preselected. The
  // request's filter is ignored. std::nullopt when the user cancelled.
  virtual std::optional<ChosenFile> saveFileOfType(QWidget* parent, const FileDialogRequest& request,
                                                   const QStringList& types, int initialType) = 0;
  // A question with one button per entry of `buttons`: the index of the one chosen, or -1 when
  // the box was closed without a choice (Esc).
  virtual int choose(QWidget* parent, const QString& text, const QStringList& buttons) = 0;
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
  bool messageWithAction(QWidget* parent, const QString& text, const QString& detail, const QString& action) override;
  std::optional<ChosenFile> saveFileOfType(QWidget* parent, const FileDialogRequest& request, const QStringList& types,
                                           int initialType) override;
  int choose(QWidget* parent, const QString& text, const QStringList& buttons) override;
  std::optional<QString> chooseFolder(QWidget* parent, const QString& title) override;
};

// Tests: answers are queued in advance; every request and message is recorded.
class ScriptedDialogs : public Dialogs {
 public:
  std::deque<std::optional<QString>> fileAnswers;  // an empty queue answers "cancel"
  QList<FileDialogRequest> requests;
  QStringList messages;  // the texts of both kinds of message box
  // Of the message boxes with a detail: the details, the action captions offered, and the answers
  // (true chooses the action; an empty queue answers OK).
  QStringList details;
  QStringList actions;
  std::deque<bool> actionAnswers;
  std::deque<int> typeAnswers;    // the type chosen in saveFileOfType; empty: the initial type
  QList<int> initialTypes;        // the type each saveFileOfType offered first
  std::deque<int> choiceAnswers;  // an empty queue answers -1 (closed without a choice)
  QStringList questions;
  QStringList folderTitles;  // chooseFolder takes its answer from fileAnswers too

  std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
  void message(QWidget* parent, const QString& text) override;
  bool messageWithAction(QWidget* parent, const QString& text, const QString& detail, const QString& action) override;
  std::optional<ChosenFile> saveFileOfType(QWidget* parent, const FileDialogRequest& request, const QStringList& types,
                                           int initialType) override;
  int choose(QWidget* parent, const QString& text, const QStringList& buttons) override;
  std::optional<QString> chooseFolder(QWidget* parent, const QString& title) override;

 private:
  std::optional<QString> nextAnswer();
};

}  // namespace marvo
