// The commands the player has submitted, recalled into the input line with Up and Down.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace marvo {

class CommandHistory {
 public:
  static constexpr std::size_t kLimit = 500;

  // A submitted command: kept unless it is empty or repeats the latest one; the next recall
  // starts again from the newest command.
  void add(const std::string& command);
  // Up: the command before the one shown, or nullopt at the oldest. `current` is what the input
  // line holds; leaving the line being typed keeps it as the draft that Down brings back.
  std::optional<std::string> older(const std::string& current);
  // Down: the next newer command, the draft after the newest, nullopt when the draft is shown.
  std::optional<std::string> newer();

  std::size_t size() const { return commands_.size(); }

 private:
  std::deque<std::string> commands_;
  std::size_t position_ = 0;  // commands_.size() while the draft is shown
  std::string draft_;
};

}  // namespace marvo
