// Saving the scenario document as "Save" (F2 in the main window, Ctrl+S in the code editor) and
// "Save as..." do it: the file dialog, the question before replacing another file, and the report
// of a failed save with the offer to save elsewhere.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace marvo {

class Dialogs;
class ScenarioDocument;

class DocumentSaver {
 public:
  enum class Result { Saved, Cancelled, Failed };

  // Questions and messages are shown over `parent`.
  DocumentSaver(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent);

  // To the file the text belongs to, in its format; through saveAs() when it has none.
  Result save();
  // Asks for a file (RTF or plain text) and saves there. A file other than the one the text
  // belongs to is replaced only after a question.
  Result saveAs();
  // Writes to `file`. On failure says what was not saved and offers "Save as...", whose result
  // is then the result.
  Result saveTo(const QString& file, bool plainText);

  // `name` when its folder may be written or is not there; else the same file name in the user's documents
  // folder, the home folder or the current folder, the first that may be written. The save
  // dialog starts there.
  static QString nameInWritableFolder(const QString& name);

  // The file types of the save dialog: RTF scenario and plain text scenario.
  static QStringList types();
  static constexpr int kPlainTextType = 1;

 private:
  ScenarioDocument& document_;
  Dialogs& dialogs_;
  QWidget* parent_;
};

}  // namespace marvo
