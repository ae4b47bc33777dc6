// Program preparation: library splicing and expansion of the authoring forms btn, do, call and ret.
#include "program_builder.h"

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

BuiltProgram buildProgram(const std::vector<std::string>& merged, const std::vector<LineOrigin>* origins) {
  BuiltProgram result;
  auto& out = result.lines;
  auto& map = result.origins;
  out.reserve(merged.size() + 3);
  map.reserve(merged.size() + 3);
  const LineOrigin made{LineOrigin::Game, 0, true};
  out.push_back("* Start programm ");
  map.push_back(made);
  int button = 1;
  for (std::size_t i = 0; i < merged.size(); ++i) {
    const LineOrigin from = origins && i < origins->size()
                                ? (*origins)[i]
                                : LineOrigin{LineOrigin::Scenario, static_cast<int>(i + 1)};
    LineOrigin expanded = from;
    expanded.generated = true;
    // Every line appended from here on up to the next merged line comes from this one.
    const auto mapTo = [&](const LineOrigin& origin) {
      while (map.size() < out.size()) map.push_back(origin);
    };
    std::string line = trim(merged[i]);
    if (line.starts_with("*")) continue;
    if (line.starts_with(":")) line = lower(line);
    const std::string key = lower(line);
    if (key.starts_with("call")) {
      std::string target = key;
      target.replace(0, 4, "    ");
      out.push_back("PUSHINDEX");
      out.push_back("JUMP " + trim(target));
      mapTo(expanded);
      continue;
    }
    if (key == "ret") {
      out.push_back("POPINDEX");
      out.push_back("REDO");
      mapTo(expanded);
    }
    if (key.find("read") != std::string::npos) button = 1;
    if (key.find("btn") != std::string::npos || key.starts_with("do")) {
      const bool isButton = key.find("btn") != std::string::npos;
      if (!(isButton ? expandButton(line, button, out) : expandChoice(line, button, out))) {
        result.brokenAt = static_cast<long long>(line.size()) + 1;
        result.brokenLine = from;
        return result;
      }
      mapTo(expanded);
      ++button;
      continue;
    }
    if (mentionsTalk(line)) {
      if (auto p = line.find('('); p != std::string::npos) line[p] = ' ';
      if (auto p = line.find(')'); p != std::string::npos) line[p] = ' ';
    }
    out.push_back(std::move(line));
    mapTo(from);
  }
  out.push_back("read");
  out.push_back("* End of programm ");
  map.resize(out.size(), made);
  return result;
}

}  // namespace marvo
