// The main window's input line: a one-line edit that recalls earlier commands with Up and Down.
#pragma once

#include <QLineEdit>
#include <string>

#include "player/command_history.h"

namespace marvo {

class CommandLine : public QLineEdit {
  Q_OBJECT

 public:
  explicit CommandLine(QWidget* parent = nullptr);

  // A command submitted (Windows-1251), for Up to bring back.
  void remember(const std::string& command) { history_.add(command); }
  const CommandHistory& history() const { return history_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CommandHistory history_;
};

}  // namespace marvo
