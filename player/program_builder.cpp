// Program preparation: library splicing and expansion of the authoring forms btn, do, call and ret.
#include "program_builder.h"

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

// Adds the program lines of one merged line; false when a btn or do line is broken. When
// `owned` is given it holds the source line, which may be taken over instead of copied.
bool addLine(std::string_view source, std::string* owned, int& button, BuiltProgram& result) {
  auto& out = result.lines;
  const std::string_view trimmed = trimView(source);
  if (trimmed.starts_with("*")) return true;
  if (startsLowered(trimmed, "call")) {
    out.emplace_back("PUSHINDEX");
    out.push_back("JUMP " + lower(trimView(trimmed.substr(4))));
    return true;
  }
  std::string line;
  if (owned && trimmed.size() == owned->size()) line.swap(*owned);
  else line.assign(trimmed);
  if (!line.empty() && line[0] == ':') line = lower(line);
  if (line.size() == 3 && startsLowered(line, "ret")) {
    out.emplace_back("POPINDEX");
    out.emplace_back("REDO");
  }
  if (containsLowered(line, "read")) button = 1;
  const bool isButton = containsLowered(line, "btn");
  if (isButton || startsLowered(line, "do")) {
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
  int button = 1;
  for (std::size_t i = 0; i < scenario.size(); ++i) {
    const std::string& line = scenario[i];
    if (!library.empty() && containsLowered(line, "return"))
      for (const auto& libraryLine : library)
        if (!addLine(libraryLine, nullptr, button, result)) return result;
    if (!addLine(line, owned ? &(*owned)[i] : nullptr, button, result)) return result;
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
