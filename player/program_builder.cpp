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
}  // namespace

BuiltProgram buildProgram(const std::vector<std::string>& merged) {
  BuiltProgram result;
  auto& out = result.lines;
  out.reserve(merged.size() + 3);
  out.push_back("* Start programm ");
  int button = 1;
  for (const auto& source : merged) {
    std::string line = trim(source);
    if (line.starts_with("*")) continue;
    if (line.starts_with(":")) line = lower(line);
    const std::string key = lower(line);
    if (key.starts_with("call")) {
      std::string target = key;
      target.replace(0, 4, "    ");
      out.push_back("PUSHINDEX");
      out.push_back("JUMP " + trim(target));
      continue;
    }
    if (key == "ret") {
      out.push_back("POPINDEX");
      out.push_back("REDO");
    }
    if (key.find("read") != std::string::npos) button = 1;
    if (key.find("btn") != std::string::npos) {
      if (!expandButton(line, button, out)) {
        result.brokenAt = static_cast<long long>(line.size()) + 1;
        return result;
      }
      ++button;
      continue;
    }
    if (key.starts_with("do")) {
      if (!expandChoice(line, button, out)) {
        result.brokenAt = static_cast<long long>(line.size()) + 1;
        return result;
      }
      ++button;
      continue;
    }
    if (mentionsTalk(line)) {
      if (auto p = line.find('('); p != std::string::npos) line[p] = ' ';
      if (auto p = line.find(')'); p != std::string::npos) line[p] = ' ';
    }
    out.push_back(std::move(line));
  }
  out.push_back("read");
  out.push_back("* End of programm ");
  return result;
}

}  // namespace marvo
