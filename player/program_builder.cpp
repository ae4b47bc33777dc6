// Program preparation: library splicing and expansion of the authoring forms btn, do, call and ret.
#include "program_builder.h"

#include <cstdint>
#include <algorithm>
#include <cstring>

#include "engine/text.h"

namespace marvo {

using namespace literals;

std::vector<std::string> mergeLibrary(const std::vector<std::string>& scenario,
                                      const std::vector<std::string>& library) {
  return mergeLibraryMapped(scenario, library).lines;
}

MergedText mergeLibraryMapped(const std::vector<std::string>& scenario,
                              const std::vector<std::string>& library) {
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
bool mentionsTalk(std::string_view line) {
  return line.find("talk") != std::string::npos || line.find("парс"_w) != std::string::npos;
}

// "[B] R": B runs from the character after the first "[" to the next "]" after that character.
bool expandButton(const std::string& line, int number, std::vector<std::string>& out) {
  const auto open = line.find('[');
  if (open == std::string::npos || open + 1 >= line.size()) return false;
  const auto close = line.find(']', open + 2);
  if (close == std::string::npos) return false;
  const std::string text = line.substr(open + 1, close - open - 1);
  const std::string target = trim(std::string_view(line).substr(close + 1));
  const std::string n = std::to_string(number);
  out.push_back(concat("@", n, ". ", text));
  out.push_back("talk " + n);
  out.push_back("goto " + target);
  out.push_back("redo");
  return true;
}

bool expandChoice(const std::string& line, int number, std::vector<std::string>& out) {
  const auto blank = line.find(' ');
  if (blank == std::string::npos || blank + 1 >= line.size()) return false;
  const std::string n = std::to_string(number);
  out.push_back(concat("@", n, ". ", std::string_view(line).substr(blank + 1)));
  out.push_back("talk " + n);
  return true;
}

// Does the line, lower-cased, start with `head` (given in lower case)?
bool startsLowered(std::string_view line, std::string_view head) {
  if (line.size() < head.size()) return false;
  for (std::size_t i = 0; i < head.size(); ++i)
    if (lowerByte(static_cast<unsigned char>(line[i])) != static_cast<unsigned char>(head[i])) return false;
  return true;
}

// The keywords of a line that the build looks for anywhere in it (lower-cased), found in one pass.
struct Keywords {
  bool ret = false, read = false, btn = false;
};

Keywords keywordsOf(std::string_view line) {
  Keywords k;
  // Only "r"/"R" lower-case to "r", and only "b"/"B" to "b": with bit 5 set every candidate is
  // "r" or "b". Eight bytes without one are passed over at once.
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  const auto hasByte = [](std::uint64_t x, unsigned char b) {
    const std::uint64_t y = x ^ (kOnes * b);
    return ((y - kOnes) & ~y & kHighs) != 0;
  };
  for (std::size_t chunk = 0; chunk < line.size(); chunk += 8) {
    if (chunk + 8 <= line.size()) {
      std::uint64_t word;
      std::memcpy(&word, line.data() + chunk, 8);
      word |= kOnes * 0x20;
      if (!hasByte(word, 'r') && !hasByte(word, 'b')) continue;
    }
    for (std::size_t i = chunk; i < chunk + 8 && i < line.size(); ++i) {
      const char c = static_cast<char>(line[i] | 0x20);
      if (c == 'r') {
        if (startsLowered(line.substr(i), "read")) k.read = true;
        else if (startsLowered(line.substr(i), "return")) k.ret = true;
      } else if (c == 'b' && startsLowered(line.substr(i), "btn")) {
        k.btn = true;
      }
    }
  }
  return k;
}

// Builds the program line by line from merged lines, with their origins.
class Builder {
 public:
  explicit Builder(PreparedProgram& result, std::size_t expectedLines) : result_(result) {
    // Room for the expansions too; the unused part of a large reservation is never touched.
    result_.lines.reserve(2 * expectedLines + 3);
    result_.origins.reserve(2 * expectedLines + 3);
    push("* Start programm ", kMade);
  }

  // Adds the program lines of one merged line; false when a btn or do line is broken. When
  // `owned` is given it holds the source line, which may be taken over instead of copied.
  bool add(std::string_view source, std::string* owned, const Keywords& keys, LineOrigin from) {
    const std::string_view trimmed = trimView(source);
    if (trimmed.starts_with("*")) return true;
    LineOrigin expanded = from;
    expanded.generated = true;
    if (startsLowered(trimmed, "call")) {
      keepText(from, source);
      push("PUSHINDEX", expanded);
      push("JUMP " + lower(trimView(trimmed.substr(4))), expanded);
      return true;
    }
    const bool label = trimmed.starts_with(":");
    const std::string loweredLabel = label ? lower(trimmed) : std::string();
    const std::string_view final = label ? std::string_view(loweredLabel) : trimmed;
    const bool talkBrackets = (final.find('(') != std::string_view::npos || final.find(')') != std::string_view::npos) &&
                              mentionsTalk(final);
    // The program holds the author's text as it is unless game start changes it or the line is
    // one-shot (emptied when executed); the others are kept aside for quoting.
    const bool verbatim = final == source && !talkBrackets && !final.starts_with("^") && !keys.btn &&
                          !startsLowered(final, "do");
    if (!verbatim) keepText(from, source);
    std::string line = [&] {
      if (owned && trimmed.size() == owned->size()) return std::move(*owned);
      return std::string(trimmed);
    }();
    if (label) line = lower(line);
    if (line.size() == 3 && startsLowered(line, "ret")) {
      push("POPINDEX", expanded);
      push("REDO", expanded);
    }
    if (keys.read) button_ = 1;
    if (keys.btn || startsLowered(line, "do")) {
      const bool isButton = keys.btn;
      if (!(isButton ? expandButton(line, button_, result_.lines) : expandChoice(line, button_, result_.lines))) {
        result_.brokenAt = static_cast<long long>(line.size()) + 1;
        result_.brokenLine = from;
        result_.origins.resize(result_.lines.size(), packOrigin(expanded));
        return false;
      }
      result_.origins.resize(result_.lines.size(), packOrigin(expanded));
      ++button_;
      return true;
    }
    if (talkBrackets) {
      if (auto p = line.find('('); p != std::string::npos) line[p] = ' ';
      if (auto p = line.find(')'); p != std::string::npos) line[p] = ' ';
    }
    push(std::move(line), from);
    return true;
  }

  void finish() {
    push("read", kMade);
    push("* End of programm ", kMade);
  }

 private:
  static constexpr LineOrigin kMade{LineOrigin::Game, 0, true};

  void push(std::string line, const LineOrigin& origin) {
    result_.lines.push_back(std::move(line));
    result_.origins.push_back(packOrigin(origin));
  }
  void keepText(const LineOrigin& from, std::string_view text) {
    // The library is spliced in before every "return" line: its texts are kept once.
    if (from.source == LineOrigin::Library) {
      const auto i = static_cast<std::size_t>(from.line);
      if (libraryKept_.size() <= i) libraryKept_.resize(i + 1);
      if (libraryKept_[i]) return;
      libraryKept_[i] = true;
    }
    result_.texts.add(from, text);
  }

  PreparedProgram& result_;
  int button_ = 1;
  std::vector<bool> libraryKept_;
};

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
  entries_.push_back({packOrigin({origin.source, origin.line, false}), text_.size(), text.size()});
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

PreparedProgram prepareProgram(const std::vector<std::string>& scenario, std::vector<std::string>* owned,
                               const std::vector<std::string>& library) {
  PreparedProgram result;
  Builder builder(result, scenario.size() + library.size());
  std::vector<Keywords> libraryKeys;
  for (const auto& line : library) libraryKeys.push_back(keywordsOf(line));
  for (std::size_t i = 0; i < scenario.size(); ++i) {
    const std::string& line = scenario[i];
    const Keywords keys = keywordsOf(line);  // trimming and lower-casing labels change none of them
    if (!library.empty() && keys.ret) {
      for (std::size_t l = 0; l < library.size(); ++l) {
        const LineOrigin from{LineOrigin::Library, static_cast<int>(l + 1)};
        if (!builder.add(library[l], nullptr, libraryKeys[l], from)) return result;
      }
    }
    const LineOrigin from{LineOrigin::Scenario, static_cast<int>(i + 1)};
    if (!builder.add(line, owned ? &(*owned)[i] : nullptr, keys, from)) return result;
  }
  builder.finish();
  return result;
}

BuiltProgram buildProgram(const std::vector<std::string>& merged, const std::vector<LineOrigin>* origins) {
  PreparedProgram result;
  Builder builder(result, merged.size());
  for (std::size_t i = 0; i < merged.size(); ++i) {
    const LineOrigin from = origins && i < origins->size()
                                ? (*origins)[i]
                                : LineOrigin{LineOrigin::Scenario, static_cast<int>(i + 1)};
    if (!builder.add(merged[i], nullptr, keywordsOf(merged[i]), from)) return unpacked(std::move(result));
  }
  builder.finish();
  return unpacked(std::move(result));
}

}  // namespace marvo
