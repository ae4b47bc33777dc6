// Program preparation: library splicing and expansion of the authoring forms btn, do, call and ret.
#include "program_builder.h"

#include <endian.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "engine/keyword_aliases.h"
#include "engine/text.h"

namespace marvo {

using namespace literals;

std::vector<std::string> mergeLibrary(const std::vector<std::string>& scenario,
                                      const std::vector<std::string>& library) {
  return mergeLibraryMapped(scenario, library).lines;
}

MergedText mergeLibraryMapped(const std::vector<std::string>& scenario, const std::vector<std::string>& library) {
  MergedText merged;
  merged.lines.reserve(scenario.size() + library.size());
  merged.origins.reserve(scenario.size() + library.size());
  for (std::size_t i = 0; i < scenario.size(); ++i) {
    const auto& line = scenario[i];
    if (!library.empty() && containsLowered(line, "return")) {
      merged.lines.insert(merged.lines.end(), library.begin(), library.end());
      for (std::size_t j = 0; j < library.size(); ++j)
        merged.origins.push_back({LineOrigin::Library, static_cast<int>(j + 1)});
    }
    merged.lines.push_back(line);
    merged.origins.push_back({LineOrigin::Scenario, static_cast<int>(i + 1)});
  }
  return merged;
}

namespace {
// Does the line, lower-cased, start with `head` (given in lower case)?
bool startsLowered(std::string_view line, std::string_view head) {
  if (line.size() < head.size()) return false;
  for (std::size_t i = 0; i < head.size(); ++i)
    if (lowerByte(static_cast<unsigned char>(line[i])) != static_cast<unsigned char>(head[i])) return false;
  return true;
}

bool changesWhenLowered(std::string_view text) {
  for (char c : text)
    if (lowerByte(static_cast<unsigned char>(c)) != static_cast<unsigned char>(c)) return true;
  return false;
}

// The trimmed line as the build reads it: a label lower-cased (into `lowered`, which is left empty
// when nothing changes).
[[gnu::always_inline]] inline std::string_view asRead(std::string_view trimmed, std::string& lowered) {
  if (trimmed.empty() || trimmed[0] != ':' || !changesWhenLowered(trimmed)) return trimmed;
  lowered = lower(trimmed);
  return lowered;
}

// What the build looks for anywhere in a line, found in one pass: the keywords (lower-cased)
// and the talk brackets.
struct Keywords {
  bool ret = false, read = false, btn = false, bracket = false;
};

std::uint64_t load64(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  return le64toh(word);
}

// Bytes p[0..n), 1 <= n < 8, as the low bytes of a word, the rest zero. Read with whole loads:
// bytes stored one by one and read back as a word would stall the read.
std::uint64_t loadShort(const char* p, std::size_t n) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])); };
  if (n < 4) return byte(0) | byte(n / 2) << (8 * (n / 2)) | byte(n - 1) << (8 * (n - 1));
  std::uint32_t low, high;
  std::memcpy(&low, p, 4);
  std::memcpy(&high, p + n - 4, 4);
  return static_cast<std::uint64_t>(le32toh(low)) | static_cast<std::uint64_t>(le32toh(high)) << (8 * (n - 4));
}

Keywords keywordsOf(std::string_view line) {
  Keywords k;
  // Eight bytes at a time: a byte is a candidate when, with bit 5 set, it is "r" or "b" (only
  // "r"/"R" and "b"/"B" are) or a bracket (0x28, 0x29; also the control bytes 0x08, 0x09).
  // Past the end of the line the word holds zeros, and 0x20 is no candidate.
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kLows = 0x7F7F7F7F7F7F7F7Full;
  const auto zeroBytes = [](std::uint64_t y) { return ~(((y & kLows) + kLows) | y | kLows); };
  const std::size_t size = line.size();
  for (std::size_t at = 0; at < size; at += 8) {
    const std::size_t left = size - at;
    std::uint64_t word = left >= 8   ? load64(line.data() + at)
                         : size >= 8 ? load64(line.data() + size - 8) >> (8 * (8 - left))
                                     : loadShort(line.data() + at, left);
    word |= kOnes * 0x20;
    std::uint64_t candidates =
        zeroBytes(word ^ kOnes * 'r') | zeroBytes(word ^ kOnes * 'b') | zeroBytes((word & ~kOnes) ^ kOnes * '(');
    while (candidates) {
      const std::size_t i = at + static_cast<std::size_t>(std::countr_zero(candidates)) / 8;
      candidates &= candidates - 1;
      const std::string_view rest = line.substr(i);
      switch (rest[0] | 0x20) {
        case 'r':
          if (startsLowered(rest, "read"))
            k.read = true;
          else if (startsLowered(rest, "return"))
            k.ret = true;
          break;
        case 'b':
          if (startsLowered(rest, "btn")) k.btn = true;
          break;
        default:
          if (rest[0] == '(' || rest[0] == ')') k.bracket = true;
      }
    }
  }
  return k;
}

// Builds the program line by line from merged lines, with their origins. The strings of a
// program given to it for reuse are overwritten in place, which spares an allocation for every
// line that fits into the old one. A mapping builder (kMapped) also notes how each source line was
// taken, leaves a broken btn or do line out instead of stopping, and keeps no source texts.
template <bool kMapped>
class Builder {
 public:
  explicit Builder(std::size_t expectedLines, std::vector<std::string>&& reuse = {}) {
    result_.lines = std::move(reuse);
    // Room for the expansions too; the unused part of a large reservation is never touched.
    result_.lines.reserve(2 * expectedLines + 3);
    result_.origins.reserve(2 * expectedLines + 3);
    if constexpr (kMapped) takings_.reserve(expectedLines + 1);
    push({"* Start programm "}, kMade);
  }

  // Adds the program lines of one merged line; false when a btn or do line is broken (never for a
  // mapping builder). When `owned` is given it holds the source line, which may be taken over
  // instead of copied. `from` is the packed origin of the merged line.
  bool add(std::string_view source, std::string* owned, const Keywords& keys, std::uint32_t from) {
    const std::string_view trimmed = trimView(source);
    const char first = trimmed.empty() ? '\0' : trimmed[0];
    if (first == '*') return true;
    const std::uint32_t expanded = from | kGenerated;
    if ((first | 0x20) == 'c' && startsLowered(trimmed, "call")) {
      keepText(from, source);
      note(from, Made::Call, 2);
      push({"PUSHINDEX"}, expanded);
      push({"JUMP ", lower(trimView(trimmed.substr(4)))}, expanded);
      return true;
    }
    // A label is held lower-cased.
    std::string loweredLabel;
    const std::string_view text = asRead(trimmed, loweredLabel);
    const bool talkBrackets = keys.bracket && mentionsTalk(text);
    const bool choice = (first | 0x20) == 'd' && startsLowered(text, "do");
    // The program holds the author's text as it is unless game start changes it or the line is
    // one-shot (emptied when executed); the others are kept aside for quoting.
    const bool verbatim =
        text.size() == source.size() && loweredLabel.empty() && !talkBrackets && first != '^' && !keys.btn && !choice;
    if (!verbatim) keepText(from, source);
    if (text.size() == 3 && (first | 0x20) == 'r' && startsLowered(text, "ret")) {
      note(from, Made::Return, 2);
      push({"POPINDEX"}, expanded);
      push({"REDO"}, expanded);
    }
    if (keys.read) button_ = 1;
    if (keys.btn || choice) {
      const Made made = keys.btn ? Made::Button : Made::Choice;
      note(from, made, made == Made::Button ? 4 : 2, button_);
      if (!(keys.btn ? expandButton(text, expanded) : expandChoice(text, expanded))) {
        if constexpr (kMapped) {
          takings_.back().count = 0;  // left out; the numbering goes on without it
          return true;
        }
        result_.brokenAt = static_cast<long long>(text.size()) + 1;
        result_.brokenLine = unpackOrigin(from);
        return false;
      }
      ++button_;
      return true;
    }
    note(from, Made::Copy, 1);
    std::string& line = next(from);
    if (owned && loweredLabel.empty() && trimmed.size() == owned->size())
      line = std::move(*owned);
    else
      assign(line, {text});
    if (talkBrackets) {
      if (auto p = line.find('('); p != std::string::npos) line[p] = ' ';
      if (auto p = line.find(')'); p != std::string::npos) line[p] = ' ';
    }
    return true;
  }

  void finish() {
    push({"read"}, kMade);
    push({"* End of programm "}, kMade);
  }

  // The program made so far (lines of a reused program beyond its end dropped).
  PreparedProgram take() {
    result_.lines.resize(count_);
    return std::move(result_);
  }
  std::vector<Taking> takeTakings() { return std::move(takings_); }

 private:
  static constexpr std::uint32_t kGenerated = 1u << 31;
  static constexpr std::uint32_t kMade = LineOrigin::Game << 29 | kGenerated;

  // The string of the next program line (a reused one, or a new empty one).
  [[gnu::always_inline]] std::string& next(std::uint32_t origin) {
    result_.origins.push_back(origin);
    auto& lines = result_.lines;
    if (count_ == lines.size()) lines.emplace_back();
    return lines[count_++];
  }
  [[gnu::always_inline]] void push(std::initializer_list<std::string_view> parts, std::uint32_t origin) {
    assign(next(origin), parts);
  }
  // Sets `line` to the parts joined: in the string's own room when they fit (and the room is not
  // far too large), else in a new string of just their size.
  [[gnu::always_inline]] static void assign(std::string& line, std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view part : parts) size += part.size();
    if (line.capacity() < size || (line.capacity() > 256 && line.capacity() / 4 > size))
      line = std::string(size, '\0');
    else
      line.resize(size);
    char* p = line.data();
    for (std::string_view part : parts) {
      if (!part.empty()) std::memcpy(p, part.data(), part.size());
      p += part.size();
    }
  }

  // "[B] R": B runs from the character after the first "[" to the next "]" after that character.
  bool expandButton(std::string_view line, std::uint32_t origin) {
    const auto open = line.find('[');
    if (open == std::string::npos || open + 1 >= line.size()) return false;
    const auto close = line.find(']', open + 2);
    if (close == std::string::npos) return false;
    menuLine(line.substr(open + 1, close - open - 1), origin);
    push({"goto ", trimView(line.substr(close + 1))}, origin);
    push({"redo"}, origin);
    return true;
  }
  bool expandChoice(std::string_view line, std::uint32_t origin) {
    const auto blank = line.find(' ');
    if (blank == std::string::npos || blank + 1 >= line.size()) return false;
    menuLine(line.substr(blank + 1), origin);
    return true;
  }
  // "@N. text" and "talk N" for the current button number.
  void menuLine(std::string_view text, std::uint32_t origin) {
    char digits[12];
    const std::string_view number(
        digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, button_).ptr - digits));
    push({"@", number, ". ", text}, origin);
    push({"talk ", number}, origin);
  }

  // A mapping builder notes how the merged line is taken: `count` program lines from the next one.
  [[gnu::always_inline]] void note(std::uint32_t from, Made made, std::size_t count, int button = 0) {
    if constexpr (kMapped) takings_.push_back({unpackOrigin(from), made, button, count_, count});
  }

  void keepText(std::uint32_t packed, std::string_view text) {
    if constexpr (kMapped) return;  // a map quotes nothing
    const LineOrigin from = unpackOrigin(packed);
    // The library is spliced in before every "return" line: its texts are kept once.
    if (from.source == LineOrigin::Library) {
      const auto i = static_cast<std::size_t>(from.line);
      if (libraryKept_.size() <= i) libraryKept_.resize(i + 1);
      if (libraryKept_[i]) return;
      libraryKept_[i] = true;
    }
    result_.texts.add(from, text);
  }

  PreparedProgram result_;
  std::size_t count_ = 0;  // program lines made so far
  int button_ = 1;
  std::vector<bool> libraryKept_;
  std::vector<Taking> takings_;  // kMapped only
};

// Waits until `passed` is beyond `line`.
void waitUntilPassed(const std::atomic<std::size_t>& passed, std::size_t line) {
  for (auto now = passed.load(std::memory_order_acquire); now <= line; now = passed.load(std::memory_order_acquire))
    passed.wait(now, std::memory_order_acquire);
}

BuiltProgram unpacked(PreparedProgram&& prepared) {
  BuiltProgram built;
  built.lines = std::move(prepared.lines);
  built.origins.reserve(prepared.origins.size());
  for (std::uint32_t packed : prepared.origins) built.origins.push_back(unpackOrigin(packed));
  built.brokenAt = prepared.brokenAt;
  built.brokenLine = prepared.brokenLine;
  return built;
}
}  // namespace

std::uint32_t packOrigin(const LineOrigin& origin) {
  const auto line = static_cast<std::uint32_t>(std::clamp(origin.line, 0, kMaxPackedLine));
  return line | static_cast<std::uint32_t>(origin.source) << 29 | (origin.generated ? 1u << 31 : 0u);
}

LineOrigin unpackOrigin(std::uint32_t packed) {
  return {static_cast<LineOrigin::Source>((packed >> 29) & 3u), static_cast<int>(packed & kMaxPackedLine),
          (packed >> 31) != 0};
}

void SourceTexts::add(const LineOrigin& origin, std::string_view text) {
  text = text.substr(0, std::numeric_limits<std::uint32_t>::max());
  entries_.push_back(
      {packOrigin({origin.source, origin.line, false}), static_cast<std::uint32_t>(text.size()), text_.size()});
  text_.append(text);
}

std::optional<std::string_view> SourceTexts::text(const LineOrigin& origin) const {
  const Entry* entry = find(origin);
  if (!entry) return std::nullopt;
  return std::string_view(text_).substr(entry->offset, entry->length);
}

const SourceTexts::Entry* SourceTexts::find(const LineOrigin& origin) const {
  const std::uint32_t key = packOrigin({origin.source, origin.line, false});
  // Scenario lines are added in increasing order; library lines once each, at the first splice.
  for (const auto& entry : entries_)
    if (entry.key == key) return &entry;
  return nullptr;
}

namespace {
// Game start's loop: the library spliced in before every scenario line containing "return", each
// merged line added as it comes. False when a broken line stopped the build. A mapping builder
// splices at most `maxLibraryLines` library lines in all and notes where it first left a copy out.
template <bool kMapped>
bool buildAll(Builder<kMapped>& builder, const std::vector<std::string>& scenario, std::vector<std::string>* owned,
              const std::vector<std::string>& library, const std::atomic<std::size_t>* passed,
              std::size_t maxLibraryLines = 0, int* splicesStoppedAt = nullptr) {
  std::vector<Keywords> libraryKeys;
  for (const auto& line : library) libraryKeys.push_back(keywordsOf(line));
  std::size_t spliced = 0;
  for (std::size_t i = 0; i < scenario.size(); ++i) {
    const std::string& line = scenario[i];
    const Keywords keys = keywordsOf(line);  // trimming and lower-casing labels change none of them
    if (!library.empty() && keys.ret) {
      bool splice = true;
      if constexpr (kMapped) {
        if (*splicesStoppedAt || spliced + library.size() > maxLibraryLines) {
          if (!*splicesStoppedAt) *splicesStoppedAt = static_cast<int>(std::min<std::size_t>(i + 1, kMaxPackedLine));
          splice = false;
        }
        spliced += library.size();
      }
      for (std::size_t l = 0; splice && l < library.size(); ++l) {
        const auto from = packOrigin({LineOrigin::Library, static_cast<int>(l + 1)});
        if (!builder.add(library[l], nullptr, libraryKeys[l], from)) return false;
      }
    }
    const auto from = packOrigin({LineOrigin::Scenario, static_cast<int>(i + 1)});
    if (owned && passed) waitUntilPassed(*passed, i);
    if (!builder.add(line, owned ? &(*owned)[i] : nullptr, keys, from)) return false;
    if (owned) std::string().swap((*owned)[i]);  // a line not taken over is not needed any more
  }
  builder.finish();
  return true;
}
}  // namespace

PreparedProgram prepareProgram(const std::vector<std::string>& scenario, std::vector<std::string>* owned,
                               const std::vector<std::string>& library, std::vector<std::string>&& reuse,
                               const std::atomic<std::size_t>* passed) {
  Builder<false> builder(scenario.size() + library.size(), std::move(reuse));
  buildAll(builder, scenario, owned, library, passed);
  return builder.take();
}

ProgramMap mapProgram(const std::vector<std::string>& scenario, const std::vector<std::string>& library,
                      std::size_t maxLibraryLines) {
  Builder<true> builder(scenario.size() + library.size());
  ProgramMap map;
  buildAll(builder, scenario, nullptr, library, nullptr, maxLibraryLines, &map.splicesStoppedAt);
  PreparedProgram built = builder.take();
  map.lines = std::move(built.lines);
  map.origins.reserve(built.origins.size());
  for (std::uint32_t packed : built.origins) map.origins.push_back(unpackOrigin(packed));
  map.takings = builder.takeTakings();
  return map;
}

std::string readSourceLine(std::string_view source) {
  std::string lowered;
  const std::string_view text = asRead(trimView(source), lowered);
  return lowered.empty() ? std::string(text) : std::move(lowered);
}

BuiltProgram buildProgram(const std::vector<std::string>& merged, const std::vector<LineOrigin>* origins) {
  Builder<false> builder(merged.size());
  for (std::size_t i = 0; i < merged.size(); ++i) {
    const LineOrigin from =
        origins && i < origins->size() ? (*origins)[i] : LineOrigin{LineOrigin::Scenario, static_cast<int>(i + 1)};
    if (!builder.add(merged[i], nullptr, keywordsOf(merged[i]), packOrigin(from))) return unpacked(builder.take());
  }
  builder.finish();
  return unpacked(builder.take());
}

}  // namespace marvo
