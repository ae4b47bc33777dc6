// The engine's only way to reach the world: the output pane, message boxes and the input focus.
#pragma once

#include <cstdint>
#include <string_view>

namespace marvo {

// What the name of an engine message stands for: the missing label, the missing variable, the
// variable or the object the message is about.
enum class MessageName : std::uint8_t { None, MissingLabel, MissingVariable, Variable, Object };

// Where an engine message arose: the program line (-1 when it belongs to no line) and the name
// involved, if any. The name is valid only during the call that receives it.
struct MessageContext {
  MessageContext() = default;
  MessageContext(int atLine, MessageName kind = MessageName::None, std::string_view about = {})
      : line(atLine), nameKind(kind), name(about) {}

  int line = -1;
  MessageName nameKind = MessageName::None;
  std::string_view name;
};

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
  // A message of the engine itself, with the place it arose at. Hosts that do not show the place
  // keep the default, which shows the text alone.
  virtual void showMessageAt(std::string_view text, const MessageContext& context) {
    (void)context;
    showMessage(text);
  }
  // The inventory, characteristics or monitor views changed since the host last read them.
  // Called at most once per run, when the run ends; read them from the engine when needed.
  virtual void viewsChanged() {}
};

}  // namespace marvo
