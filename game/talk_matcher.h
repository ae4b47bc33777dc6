// Matching of the player's input against the talk patterns registered by the engine.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
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

// The talk patterns of program lines, cut into alternatives and words once and kept while the
// line's text stays the same.
class TalkPatterns {
 public:
  struct Word {
    std::size_t offset, length;  // in the pattern's text
    bool object;                 // "<object>"
  };
  struct Pattern {
    std::string source;  // the program line it was made from
    std::string text;    // talkPattern(source)
    std::vector<Word> words;
    std::vector<std::size_t> alternativeEnds;  // one past each alternative's last word
  };
  const Pattern& of(int line, std::string_view programLine);
  void clear() { patterns_.clear(); }

 private:
  std::unordered_map<int, Pattern> patterns_;
};

// Goes through the registered talk lines in registry order and their alternatives in order; the
// first matching alternative wins. An "<object>" word may set the engine's current object (of the
// objects at hand that the input names, the one it names first), also when its alternative fails
// afterwards. `input` is the normalised input (trimmed, lower-cased).
TalkMatch matchInput(Engine& engine, std::string_view input, TalkPatterns& patterns);

}  // namespace marvo
