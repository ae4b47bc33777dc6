// Matching of the player's input against talk patterns, with "<object>" choosing an object at hand.
#include "talk_matcher.h"

#include "engine/text.h"

namespace marvo {

namespace {
constexpr std::size_t kMaxAlternatives = 20;
constexpr std::size_t kMaxPatternWords = 10;

// Is the object within reach: here, carried, or inside a container that is here or carried.
bool atHand(const RuntimeState& s, int used, const GameObject& object) {
  const std::string& where = object.location;
  if (where == s.currentLocation || where == "inv") return true;
  for (int c = 0; c < used; ++c) {
    const auto& holder = s.objects[static_cast<std::size_t>(c)];
    if (holder.name == where && (holder.location == s.currentLocation || holder.location == "inv"))
      return true;
  }
  return false;
}

// The first object the input names (by mask or synonym) that the pattern does not name itself
// and that is at hand; kNoObject when none.
int objectNamedBy(const RuntimeState& s, std::string_view input, std::string_view pattern) {
  int used = 0;
  while (used < kTableSize && !s.objects[static_cast<std::size_t>(used)].name.empty()) ++used;
  for (int i = 0; i < used; ++i) {
    const auto& object = s.objects[static_cast<std::size_t>(i)];
    if (!contains(input, object.mask) && !contains(input, object.synonym)) continue;
    if (contains(pattern, object.mask) || contains(pattern, object.synonym)) continue;
    if (atHand(s, used, object)) return i;
  }
  return kNoObject;
}
}  // namespace

std::string talkPattern(std::string_view programLine) {
  std::string line = trim(programLine);
  for (std::size_t i = 0; i < 4 && i < line.size(); ++i) line[i] = ' ';
  return lower(trim(line));
}

TalkMatch matchInput(Engine& engine, std::string_view input) {
  auto& s = engine.mutableState();
  for (int slot = 0; slot < kTalkSlots && s.talk[static_cast<std::size_t>(slot)] != 0; ++slot) {
    const int line = s.talk[static_cast<std::size_t>(slot)];
    if (line < 0 || static_cast<std::size_t>(line) >= s.program.size()) continue;
    const std::string pattern = talkPattern(s.program[static_cast<std::size_t>(line)]);
    for (std::string_view alternative : splitRuns(pattern, '/', kMaxAlternatives)) {
      const auto words = splitRuns(alternative, ' ', kMaxPatternWords);
      std::size_t count = 0;
      for (std::string_view word : words) {
        if (word == "<object>") {
          const int object = objectNamedBy(s, input, pattern);
          if (object != kNoObject) {
            ++count;
            s.currentObject = object;
          }
        }
        if (contains(input, word)) ++count;
      }
      if (count != 0 && count == words.size()) return {true, line};
    }
  }
  return {};
}

}  // namespace marvo
