// The main window's input line with its command history.
#include "command_line.h"

#include <QKeyEvent>

#include "gui/qt_codec.h"

namespace marvo {

CommandLine::CommandLine(QWidget* parent) : QLineEdit(parent) {}

void CommandLine::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  std::optional<std::string> recalled;
  if (plain && event->key() == Qt::Key_Up)
    recalled = history_.older(fromQt(text()));
  else if (plain && event->key() == Qt::Key_Down)
    recalled = history_.newer();
  else {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (recalled) setText(toQt(*recalled));  // the caret goes to the end
  event->accept();
}

}  // namespace marvo
