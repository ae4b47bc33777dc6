// Program preparation: library splicing and expansion of the authoring forms btn, do, call and ret.
#include "program_builder.h"

#include <cstdint>
#include <cstring>

#include "engine/text.h"

namespace marvo {

using namespace literals;

std::vector<std::string> mergeLibrary(const std::vector<std::string>& scenario,
                                      const std::vector<std::string>& library) {
  std::vector<std::string> merged;
  merged.reserve(scenario.size() + library.size());
  for (const auto& line : scenario) {
    if (!library.empty() && containsLowered(line, "return"))
      merged.insert(merged.end(), library.begin(), library.end());
    merged.push_back(line);
  }
  return merged;
}

namespace {
bool mentionsTalk(const std::string& line) {
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

// Adds the program lines of one merged line; false when a btn or do line is broken. When
// `owned` is given it holds the source line, which may be taken over instead of copied.
bool addLine(std::string_view source, std::string* owned, const Keywords& keys, int& button, BuiltProgram& result) {
  auto& out = result.lines;
  const std::string_view trimmed = trimView(source);
  if (trimmed.starts_with("*")) return true;
  if (startsLowered(trimmed, "call")) {
    out.emplace_back("PUSHINDEX");
    out.push_back("JUMP " + lower(trimView(trimmed.substr(4))));
    return true;
  }
  std::string line = [&] {
    if (owned && trimmed.size() == owned->size()) return std::move(*owned);
    return std::string(trimmed);
  }();
  if (!line.empty() && line[0] == ':') line = lower(line);
  if (line.size() == 3 && startsLowered(line, "ret")) {
    out.emplace_back("POPINDEX");
    out.emplace_back("REDO");
  }
  if (keys.read) button = 1;
  if (keys.btn || startsLowered(line, "do")) {
    const bool isButton = keys.btn;
    if (!(isButton ? expandButton(line, button, out) : expandChoice(line, button, out))) {
      result.brokenAt = static_cast<long long>(line.size()) + 1;
      return false;
    }
    ++button;
    return true;
  }
  if (mentionsTalk(line)) {
    if (auto p = line.find('('); p != std::string::npos) line[p] = ' ';
    if (auto p = line.find(')'); p != std::string::npos) line[p] = ' ';
  }
  out.push_back(std::move(line));
  return true;
}

// The merge of mergeLibrary and the build in one pass; the scenario's lines are taken over when
// `owned` is set (it is then the scenario itself).
BuiltProgram build(const std::vector<std::string>& scenario, std::vector<std::string>* owned,
                   const std::vector<std::string>& library) {
  BuiltProgram result;
  auto& out = result.lines;
  // Room for the expansions too; the unused part of a large reservation is never touched.
  out.reserve(2 * scenario.size() + library.size() + 3);
  out.emplace_back("* Start programm ");
  std::vector<Keywords> libraryKeys;
  for (const auto& line : library) libraryKeys.push_back(keywordsOf(line));
  int button = 1;
  for (std::size_t i = 0; i < scenario.size(); ++i) {
    const std::string& line = scenario[i];
    const Keywords keys = keywordsOf(line);  // trimming and lower-casing labels change none of them
    if (!library.empty() && keys.ret)
      for (std::size_t l = 0; l < library.size(); ++l)
        if (!addLine(library[l], nullptr, libraryKeys[l], button, result)) return result;
    if (!addLine(line, owned ? &(*owned)[i] : nullptr, keys, button, result)) return result;
  }
  out.emplace_back("read");
  out.emplace_back("* End of programm ");
  return result;
}
}  // namespace

BuiltProgram buildProgram(const std::vector<std::string>& merged) { return build(merged, nullptr, {}); }

BuiltProgram buildProgram(const std::vector<std::string>& scenario, const std::vector<std::string>& library) {
  return build(scenario, nullptr, library);
}

BuiltProgram buildProgram(std::vector<std::string>&& scenario, const std::vector<std::string>& library) {
  return build(scenario, &scenario, library);
}

}  // namespace marvo
