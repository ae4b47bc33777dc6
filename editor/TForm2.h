// The code editor window "Code Edit": home of the one scenario text (Memo1) and the variable pane.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QPlainTextEdit;

namespace marvo {
class Dialogs;
}

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(marvo::Dialogs& dialogs, QWidget* parent = nullptr);

  // The scenario text as Windows-1251 lines, 0-based.
  std::vector<std::string> lines() const;
  void setLines(const std::vector<std::string>& lines);
  int lineCount() const;
  std::string line(int index) const;
  void replaceLine(int index, std::string_view text);
  void insertLine(int index, std::string_view text);  // before `index`; index == count appends
  void appendLine(std::string_view text);
  void clearText();

  // The read-only variable pane Memo2, rewritten by the engine's monitor.
  void setVariablePane(const std::vector<std::string>& lines);

  // Commands that lead to other windows, wired by the application.
  std::function<void()> beginGame;          // F9: after the window has closed
  std::function<void()> openMapEditor;      // F5: the editor closes once the map editor closes
  std::function<void()> openObjectPlacer;   // context menu "Создать объект"
  std::function<void()> openLibraryEditor;  // context menu "Marvo.lib"
  std::function<void()> openNpcMaker;       // NPC2Click

  QPlainTextEdit* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;

 protected:
  marvo::Dialogs& dialogs_;
};
