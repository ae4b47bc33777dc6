// Matching of the player's input against the talk patterns registered by the engine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"

namespace marvo {

// The talk pattern of a program line: trimmed, the keyword's four characters blanked, trimmed
// again, lower-cased.
std::string talkPattern(std::string_view programLine);

struct TalkMatch {
  bool matched = false;
  int line = 0;  // program line of the matching talk line
};

// Goes through the registered talk lines in registry order and their alternatives in order; the
// first matching alternative wins. An "<object>" word may set the engine's current object, also
// when its alternative fails afterwards. `input` is the normalised input (trimmed, lower-cased).
TalkMatch matchInput(Engine& engine, std::string_view input);

}  // namespace marvo
