// The library editor window "Library edit": holds the library text (RichEdit1), saved as "marvo.lib".
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace marvo {
class Dialogs;
}

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(marvo::Dialogs& dialogs, QWidget* parent = nullptr);

  // The library text as Windows-1251 lines.
  std::vector<std::string> libraryLines() const;
  void setLibraryLines(const std::vector<std::string>& lines);

  QPlainTextEdit* RichEdit1 = nullptr;

 protected:
  marvo::Dialogs& dialogs_;
};
