// Menu lines of the output pane and the numbers the current location accepts.
#include "menu_lines.h"

#include <algorithm>

#include "game/talk_matcher.h"

namespace marvo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Longer numbers are no menu choice a player types.
constexpr std::size_t kLongestNumber = 9;

}  // namespace

std::string menuNumber(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  const std::size_t start = i;
  while (i < line.size() && isDigit(line[i])) ++i;
  if (i == start || i - start > kLongestNumber) return {};
  const std::size_t end = i;
  while (i < line.size() && isBlank(line[i])) ++i;
  if (i == line.size() || line[i] != '.') return {};
  return std::string(line.substr(start, end - start));
}

std::vector<std::string> menuChoices(const RuntimeState& state) {
  std::vector<std::string> choices;
  for (const auto line : state.talk) {
    if (line <= 0 || line >= static_cast<std::int32_t>(state.program.size())) break;
    std::string pattern = talkPattern(state.program[static_cast<std::size_t>(line)]);
    if (pattern.empty() || pattern.size() > kLongestNumber || !std::all_of(pattern.begin(), pattern.end(), isDigit))
      continue;
    choices.push_back(std::move(pattern));
  }
  return choices;
}

std::vector<std::size_t> offeredMenuLines(const std::deque<std::string>& lines,
                                          const std::vector<std::string>& choices) {
  std::vector<std::size_t> offered;
  if (choices.empty()) return offered;
  // From the end back to the start: each stretch ends at an echo line; the first stretch found
  // with menu lines in it is the menu on offer.
  std::size_t end = lines.size();
  while (end > 0) {
    std::size_t start = end;
    while (start > 0 && (lines[start - 1].empty() || lines[start - 1][0] != '>')) --start;
    for (std::size_t i = start; i < end; ++i) {
      const std::string number = menuNumber(lines[i]);
      if (!number.empty() && std::find(choices.begin(), choices.end(), number) != choices.end()) offered.push_back(i);
    }
    if (!offered.empty() || start == 0) break;
    end = start - 1;  // the echo line itself belongs to no stretch
  }
  return offered;
}

}  // namespace marvo
