// Matching of the player's input against talk patterns, with "<object>" choosing an object at hand.
#include "talk_matcher.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

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
    if (holder.name == where && (holder.location == s.currentLocation || holder.location == "inv")) return true;
  }
  return false;
}

// An input with the bytes it holds: a word with a byte the input lacks cannot be in it, which
// most words of most patterns are told by without a search.
class InputBytes {
 public:
  explicit InputBytes(std::string_view input) : input_(input) {
    for (unsigned char c : input) present_[c >> 6] |= std::uint64_t{1} << (c & 63);
  }
  bool contains(std::string_view word) const {
    for (unsigned char c : word)
      if (!(present_[c >> 6] >> (c & 63) & 1)) return false;
    return marvo::contains(input_, word);
  }
  // Where `word` first occurs in the input; npos when it does not (or is empty).
  std::size_t find(std::string_view word) const { return word.empty() ? std::string_view::npos : input_.find(word); }

 private:
  std::string_view input_;
  std::array<std::uint64_t, 4> present_{};
};

// The objects the input names by mask or synonym, in slot order, and how many slots are used.
struct NamedObjects {
  std::vector<int> objects;
  int used = 0;
};
NamedObjects objectsNamedIn(const RuntimeState& s, const InputBytes& input) {
  NamedObjects named;
  while (named.used < kTableSize && !s.objects[static_cast<std::size_t>(named.used)].name.empty()) ++named.used;
  for (int i = 0; i < named.used; ++i) {
    const auto& object = s.objects[static_cast<std::size_t>(i)];
    if (input.contains(object.mask) || input.contains(object.synonym)) named.objects.push_back(i);
  }
  return named;
}

// The named object that the pattern does not name itself, that is at hand and that the input
// names first: in «взять монету из шкатулки» the coin, whichever was created first. Objects named
// at the same place (one name inside the other) go by slot order. kNoObject when none.
int objectFor(const RuntimeState& s, const NamedObjects& named, const InputBytes& input, std::string_view pattern) {
  int chosen = kNoObject;
  std::size_t chosenAt = std::string_view::npos;
  for (int i : named.objects) {
    const auto& object = s.objects[static_cast<std::size_t>(i)];
    if (contains(pattern, object.mask) || contains(pattern, object.synonym)) continue;
    const std::size_t at = std::min(input.find(object.mask), input.find(object.synonym));
    if (at >= chosenAt || !atHand(s, named.used, object)) continue;
    chosen = i;
    chosenAt = at;
  }
  return chosen;
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

const TalkPatterns::Pattern& TalkPatterns::of(int line, std::string_view programLine) {
  // A new entry is the pattern of an empty line, which has no alternatives.
  Pattern& p = patterns_[line];
  if (p.source == programLine) return p;
  p.source.assign(programLine);
  talkPatternInto(p.text, programLine);
  p.words.clear();
  p.alternativeEnds.clear();
  std::array<std::string_view, kMaxAlternatives> alternatives;
  std::array<std::string_view, kMaxPatternWords> words;
  const std::size_t alternativeCount = splitInto(p.text, '/', alternatives);
  for (std::size_t a = 0; a < alternativeCount; ++a) {
    const std::size_t wordCount = splitInto(alternatives[a], ' ', words);
    for (std::size_t k = 0; k < wordCount; ++k)
      p.words.push_back(
          {static_cast<std::size_t>(words[k].data() - p.text.data()), words[k].size(), words[k] == "<object>"});
    p.alternativeEnds.push_back(p.words.size());
  }
  return p;
}

TalkMatch matchInput(Engine& engine, std::string_view input, TalkPatterns& patterns) {
  auto& s = engine.mutableState();
  const InputBytes bytes(input);
  std::optional<NamedObjects> named;  // found at the first "<object>"; no match changes them
  for (int slot = 0; slot < kTalkSlots && s.talk[static_cast<std::size_t>(slot)] != 0; ++slot) {
    const int line = s.talk[static_cast<std::size_t>(slot)];
    if (line < 0 || static_cast<std::size_t>(line) >= s.program.size()) continue;
    const TalkPatterns::Pattern& pattern = patterns.of(line, s.program[static_cast<std::size_t>(line)]);
    // The object depends on the input and the whole pattern only: looked for once per talk line.
    int object = -1;
    std::size_t w = 0;
    for (const std::size_t end : pattern.alternativeEnds) {
      const std::size_t wordCount = end - w;
      std::size_t count = 0;
      for (; w < end; ++w) {
        const TalkPatterns::Word& word = pattern.words[w];
        if (word.object) {
          if (!named) named = objectsNamedIn(s, bytes);
          if (object < 0) object = objectFor(s, *named, bytes, pattern.text);
          if (object != kNoObject) {
            ++count;
            s.currentObject = object;
          }
        }
        if (bytes.contains(std::string_view(pattern.text).substr(word.offset, word.length))) ++count;
      }
      if (count != 0 && count == wordCount) return {true, line};
    }
  }
  return {};
}

}  // namespace marvo
