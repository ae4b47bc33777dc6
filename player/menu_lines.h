// The menu lines of the output pane that a click may choose: "N. text" lines whose number the
// current location accepts as a command.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/state.h"

namespace marvo {

// The number a menu line starts with ("  12. Войти" gives "12"; blanks may stand around the
// number), or an empty text when the line does not start that way.
std::string menuNumber(std::string_view line);

// The registered talk patterns made of digits only, in registry order: the numbers of the menu
// on offer.
std::vector<std::string> menuChoices(const RuntimeState& state);

// The indexes of the output lines that form the menu on offer: the lines whose menu number is
// one of `choices`, taken from the latest stretch after an echo line (">...") that holds any, so
// that an answer without a menu (an impossible command) leaves the earlier menu on offer.
std::vector<std::size_t> offeredMenuLines(const std::deque<std::string>& lines,
                                          const std::vector<std::string>& choices);

}  // namespace marvo
