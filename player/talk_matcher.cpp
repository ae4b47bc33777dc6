// Matching of the player's input against talk patterns, with "<object>" choosing an object at hand.
#include "talk_matcher.h"

#include <algorithm>
#include <array>

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

namespace {
// The talk pattern of a program line into `out`, reusing its storage.
void talkPatternInto(std::string& out, std::string_view programLine) {
  // Blanking the keyword's four characters and trimming again drops them with the blanks after.
  const std::string_view line = trimView(programLine);
  out.assign(trimView(line.substr(std::min<std::size_t>(4, line.size()))));
  for (auto& ch : out) ch = static_cast<char>(lowerByte(static_cast<unsigned char>(ch)));
}

// splitRuns into a fixed array: runs of `sep` are one cut, at most N parts; returns their number.
template <std::size_t N>
std::size_t splitInto(std::string_view s, char sep, std::array<std::string_view, N>& parts) {
  std::size_t n = 0, i = 0;
  while (i < s.size() && n < N) {
    while (i < s.size() && s[i] == sep) ++i;
    if (i >= s.size()) break;
    std::size_t j = i;
    while (j < s.size() && s[j] != sep) ++j;
    parts[n++] = s.substr(i, j - i);
    i = j;
  }
  return n;
}
}  // namespace

std::string talkPattern(std::string_view programLine) {
  std::string pattern;
  talkPatternInto(pattern, programLine);
  return pattern;
}

TalkMatch matchInput(Engine& engine, std::string_view input) {
  auto& s = engine.mutableState();
  std::string pattern;
  std::array<std::string_view, kMaxAlternatives> alternatives;
  std::array<std::string_view, kMaxPatternWords> words;
  for (int slot = 0; slot < kTalkSlots && s.talk[static_cast<std::size_t>(slot)] != 0; ++slot) {
    const int line = s.talk[static_cast<std::size_t>(slot)];
    if (line < 0 || static_cast<std::size_t>(line) >= s.program.size()) continue;
    talkPatternInto(pattern, s.program[static_cast<std::size_t>(line)]);
    const std::size_t alternativeCount = splitInto(pattern, '/', alternatives);
    // The object depends on the input and the whole pattern only: looked for once per talk line.
    int named = -1;
    for (std::size_t a = 0; a < alternativeCount; ++a) {
      const std::size_t wordCount = splitInto(alternatives[a], ' ', words);
      std::size_t count = 0;
      for (std::size_t k = 0; k < wordCount; ++k) {
        const std::string_view word = words[k];
        if (word == "<object>") {
          if (named < 0) named = objectNamedBy(s, input, pattern);
          const int object = named;
          if (object != kNoObject) {
            ++count;
            s.currentObject = object;
          }
        }
        if (contains(input, word)) ++count;
      }
      if (count != 0 && count == wordCount) return {true, line};
    }
  }
  return {};
}

}  // namespace marvo
