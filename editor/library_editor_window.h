// The library editor window "Library edit": the text of the script library, saved as "marvo.lib".
#pragma once

#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

#include "code_view.h"

class QLabel;
class QToolBar;
class QToolButton;

namespace marvo {

class Dialogs;
class ScenarioHighlighter;

class LibraryEditorWindow : public QDialog {
  Q_OBJECT

 public:
  explicit LibraryEditorWindow(Dialogs& dialogs, QWidget* parent = nullptr);

  // The library text as Windows-1251 lines. Each line set here ends with a line break; an empty
  // line after the final break is not a line.
  std::vector<std::string> libraryLines() const;
  void setLibraryLines(const std::vector<std::string>& lines);
  // The whole text as Windows-1251 bytes: lines separated by CR LF, with a final CR LF only when
  // the text ends with a line break. setLibraryText accepts CR, LF or CR LF (text from a NUL byte
  // on is dropped) and keeps the text exactly, so a file loaded with it is saved back unchanged.
  std::string libraryText() const;
  void setLibraryText(std::string_view cp1251);

  CodeView* libraryView() const { return libraryView_; }
  // The caret's line, counted from 1 as in the problems list: "Строка 12 из 340".
  QLabel* lineIndicator() const { return lineIndicator_; }

  // Coloured as the code editor colours the scenario, while the window is shown.
  void setVisible(bool visible) override;
  QToolButton* saveButton() const { return saveButton_; }

 public slots:
  // Saves the text to "marvo.lib" in the current directory and confirms with "Marvo.lib saved".
  // A failed write is shown with its reason and leaves the text and the old file as they were.
  bool saveLibrary();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Dialogs& dialogs_;
  QToolBar* toolBar_ = nullptr;
  QToolButton* saveButton_ = nullptr;
  CodeView* libraryView_ = nullptr;
  QLabel* lineIndicator_ = nullptr;
  ScenarioHighlighter* highlighter_ = nullptr;

  void refreshLineIndicator();
};

}  // namespace marvo
