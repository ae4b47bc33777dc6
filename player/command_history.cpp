// The command history of the input line.
#include "command_history.h"

namespace marvo {

void CommandHistory::add(const std::string& command) {
  if (!command.empty() && (commands_.empty() || commands_.back() != command)) {
    commands_.push_back(command);
    if (commands_.size() > kLimit) commands_.pop_front();
  }
  position_ = commands_.size();
  draft_.clear();
}

std::optional<std::string> CommandHistory::older(const std::string& current) {
  if (position_ == 0) return std::nullopt;
  if (position_ == commands_.size()) draft_ = current;
  return commands_[--position_];
}

std::optional<std::string> CommandHistory::newer() {
  if (position_ >= commands_.size()) return std::nullopt;
  ++position_;
  return position_ == commands_.size() ? draft_ : commands_[position_];
}

}  // namespace marvo
