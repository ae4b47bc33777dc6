// The main window's located messages: an engine message or the index error with the line it arose
// at beneath it, and the way from there into the code editor.
#include "editor/code_editor_window.h"
#include "game/error_location.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "main_window.h"

namespace marvo {

QString MainWindow::openEditorCaption() { return QStringLiteral("Открыть в редакторе"); }

void MainWindow::showMessageAt(std::string_view text, const MessageContext& context) {
  const auto at = game_.locate(context);
  if (!at) {
    showMessage(text);
    return;
  }
  viewsStale_ = true;
  showResults();
  showLocated(toQt(text), *at);
}

void MainWindow::showLocated(const QString& text, const ErrorLocation& at) {
  // The code editor holds the scenario only: a library line is shown without the button, and so is
  // every message after the user has asked for the editor in this handler (that request stands).
  const bool offer = at.origin.source == LineOrigin::Scenario && editor_ && editorLineRequested_ == 0;
  const bool open =
      dialogs_.messageWithAction(this, text, toQt(describeLocation(at)), offer ? openEditorCaption() : QString());
  // The run goes on as after any message; the editor opens when the handler has ended.
  if (open && offer) editorLineRequested_ = at.origin.line;
}

void MainWindow::openRequestedEditor() {
  const int line = editorLineRequested_;
  editorLineRequested_ = 0;
  if (line > 0) openEditorAtLine(line);
}

void MainWindow::openEditorAtLine(int line) {
  if (!editor_) return;
  editor_->moveCaretToLine(line - 1);
  openCodeEditor();
}

}  // namespace marvo
