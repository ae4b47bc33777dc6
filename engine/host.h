// The engine's only way to reach the world: the output pane, message boxes and the input focus.
#pragma once

#include <string_view>

namespace marvo {

// Implemented by the main window, by marvo-cli and by the tests. All texts are Windows-1251.
class EngineHost {
 public:
  virtual ~EngineHost() = default;
  // The input line gets the focus (once at the start of every run).
  virtual void focusInput() {}
  virtual void clearOutput() = 0;
  virtual void appendOutput(std::string_view line) = 0;
  // A modal message; returns when the user has confirmed it. The engine's inventory,
  // characteristics and monitor views are current while it is shown.
  virtual void showMessage(std::string_view text) = 0;
  // The inventory, characteristics or monitor views changed since the host last read them.
  // Called at most once per run, when the run ends; read them from the engine when needed.
  virtual void viewsChanged() {}
};

}  // namespace marvo
