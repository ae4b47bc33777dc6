// Plays a walkthrough (.walk) through `marvo-cli play --events --no-clock` and checks its expectations.
// Usage: walk_check MARVO_CLI SCENARIO WALK [LIBRARY]. Exit 0 when every expectation holds.
// walk_check --markdown MARVO_CLI PAGE.md [LIBRARY] checks every example of a reference page: each
// ```scn block (a scenario fragment, UTF-8) is played against the ```walk block that follows it.
// Directives: "# comment", "* title", "> command", plain text (the command's output contains it),
// "!text" (does not contain), "/regex/", "? inventory: ITEM", "? characteristics: ITEM",
// "? var NAME = N", "? location: NAME", "? message: TEXT". The block before the first ">" checks the
// game start. "+ clock N" needs the running clock and is reported as unsupported here.
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Expectation {
  int line = 0;        // line of the .walk file
  std::string text;    // the directive as written
};

struct Step {
  std::string command;  // the input typed (empty for the game-start block)
  std::vector<Expectation> checks;
};

// The events of one play: output lines per command and the state after the last one.
struct Play {
  std::vector<std::vector<std::string>> blocks;  // block 0: game start; block k: command k
  std::vector<std::string> inventory, characteristics, monitor;
};

std::string unescapeJson(const std::string& s, std::size_t& i) {  // i at the opening quote
  std::string out;
  for (++i; i < s.size() && s[i] != '"'; ++i) {
    if (s[i] != '\\' || i + 1 >= s.size()) { out += s[i]; continue; }
    const char c = s[++i];
    if (c == 'n') out += '\n';
    else if (c == 't') out += '\t';
    else if (c == 'r') out += '\r';
    else if (c == 'u' && i + 4 < s.size()) { out += static_cast<char>(std::strtol(s.substr(i + 1, 4).c_str(), nullptr, 16)); i += 4; }
    else out += c;
  }
  ++i;
  return out;
}

std::vector<std::string> jsonStrings(const std::string& s, std::size_t from) {
  std::vector<std::string> items;
  for (std::size_t i = s.find('"', from); i != std::string::npos; i = s.find('"', i)) items.push_back(unescapeJson(s, i));
  return items;
}

bool runPlay(const std::string& cli, const std::string& scenario, const std::string& library,
             const std::vector<Step>& steps, std::size_t count, const std::string& scratch, Play& play) {
  {
    std::ofstream in(scratch + ".in", std::ios::binary);
    for (std::size_t k = 1; k < count; ++k) in << steps[k].command << '\n';
  }
  std::string cmd = "'" + cli + "' play --events --no-clock";
  if (!library.empty()) cmd += " --library '" + library + "'";
  cmd += " '" + scenario + "' <'" + scratch + ".in' >'" + scratch + ".out' 2>/dev/null";
  // Exit status 3 says an engine message was shown: the expectations judge whether it should be.
  const int status = std::system(cmd.c_str());
  if (status == -1 || !WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 3)) return false;
  std::ifstream out(scratch + ".out", std::ios::binary);
  play = Play{};
  play.blocks.emplace_back();
  std::size_t echoes = 0;
  for (std::string line; std::getline(out, line);) {
    const auto key = line.substr(0, line.find(':'));
    auto values = jsonStrings(line, line.find(':'));
    if (key == "{\"out\"" && !values.empty()) {
      if (!values[0].empty() && values[0][0] == '>' && echoes + 1 < count) {
        ++echoes;
        play.blocks.emplace_back();
      }
      play.blocks.back().push_back(values[0]);
    } else if (key == "{\"message\"" && !values.empty()) {
      play.blocks.back().push_back("[" + values[0] + "]");
    } else if (key == "{\"error\"") {
      play.blocks.back().push_back("[error: index]");
    } else if (key == "{\"inventory\"") play.inventory = values;
    else if (key == "{\"characteristics\"") play.characteristics = values;
    else if (key == "{\"monitor\"") play.monitor = values;
  }
  return true;
}

std::string trim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(0, 1);
  return s;
}

bool contains(const std::vector<std::string>& lines, const std::string& what) {
  for (const auto& l : lines) if (l.find(what) != std::string::npos) return true;
  return false;
}

// Checks one expectation against the play that ended with its command; returns an error or "".
std::string check(const Expectation& e, const Play& play) {
  const auto& out = play.blocks.back();
  const std::string& t = e.text;
  if (t[0] == '!') return contains(out, t.substr(1)) ? "the output contains \"" + t.substr(1) + "\"" : "";
  if (t.size() > 1 && t[0] == '/' && t.back() == '/') {
    try {
      const std::regex re(t.substr(1, t.size() - 2));
      for (const auto& l : out) if (std::regex_search(l, re)) return "";
    } catch (const std::regex_error&) {
      return "not a valid regular expression: " + t;
    }
    return "no output line matches " + t;
  }
  if (t[0] == '?') {
    const std::string q = trim(t.substr(1));
    auto after = [&](const std::string& p) { return trim(q.substr(p.size())); };
    if (q.rfind("inventory:", 0) == 0) {
      for (const auto& i : play.inventory) if (i == after("inventory:")) return "";
      return "the inventory lacks \"" + after("inventory:") + "\"";
    }
    if (q.rfind("characteristics:", 0) == 0) {
      for (const auto& i : play.characteristics) if (i == after("characteristics:")) return "";
      return "the characteristics lack \"" + after("characteristics:") + "\"";
    }
    if (q.rfind("location:", 0) == 0) {
      return !play.monitor.empty() && play.monitor.back() == after("location:") ? "" : "the location is \"" + (play.monitor.empty() ? std::string() : play.monitor.back()) + "\"";
    }
    if (q.rfind("message:", 0) == 0) return contains(out, "[" + after("message:") + "]") ? "" : "no message \"" + after("message:") + "\"";
    if (q.rfind("var ", 0) == 0) {
      const auto eq = q.find('=');
      const std::string name = trim(q.substr(4, eq - 4)), value = trim(q.substr(eq + 1));
      for (const auto& m : play.monitor) {
        if (m.rfind(name + " = ", 0) == 0) return trim(m.substr(name.size() + 3)) == value ? "" : "the variable is " + m;
      }
      return "no variable " + name;
    }
    return "unknown check";
  }
  return contains(out, t) ? "" : "the output lacks \"" + t + "\"";
}

// Reads walk directives from text; returns the steps (step 0 checks the game start) or an error.
bool parseWalk(std::istream& file, const std::string& walk, int firstLine, std::vector<Step>& steps) {
  steps.assign(1, Step{});
  int number = firstLine - 1;
  for (std::string raw; std::getline(file, raw);) {
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (raw.empty() || raw[0] == '#' || raw[0] == '*') continue;
    if (raw[0] == '>') { steps.push_back({trim(raw.substr(1)), {}}); continue; }
    if (raw[0] == '+') { std::cerr << walk << ":" << number << ": \"+ clock\" is not supported by this runner\n"; return false; }
    steps.back().checks.push_back({number, raw});
  }
  return true;
}

// Plays the steps on the scenario; prints every failed expectation; returns the failure count.
int playWalk(const std::string& cli, const std::string& scenario, const std::string& library,
             const std::vector<Step>& steps, const std::string& walk, const std::string& scratch) {
  int failures = 0;
  Play play;
  for (std::size_t k = 0; k < steps.size(); ++k) {
    if (steps[k].checks.empty() && k + 1 < steps.size()) continue;
    if (!runPlay(cli, scenario, library, steps, k + 1, scratch, play)) { std::cerr << "marvo-cli failed\n"; return failures + 1; }
    for (const auto& e : steps[k].checks) {
      const std::string error = check(e, play);
      if (error.empty()) continue;
      ++failures;
      std::cerr << walk << ":" << e.line << ": " << error << " (after \"" << steps[k].command << "\")\n  output:\n";
      for (const auto& l : play.blocks.back()) std::cerr << "    " << l << "\n";
    }
  }
  return failures;
}

// Checks the ```scn / ```walk pairs of a Markdown page.
int checkPage(const std::string& cli, const std::string& page, const std::string& library) {
  std::ifstream file(page, std::ios::binary);
  if (!file) { std::cerr << page << ": cannot be read\n"; return 2; }
  std::vector<std::string> lines;
  for (std::string l; std::getline(file, l);) lines.push_back(l.empty() || l.back() != '\r' ? l : l.substr(0, l.size() - 1));
  const std::string scratch = page.substr(page.find_last_of('/') + 1);
  int examples = 0, failures = 0;
  auto fence = [&](std::size_t& i, std::string& text) {  // i at the opening fence; leaves i past the closing one
    const int first = static_cast<int>(i) + 2;
    for (++i; i < lines.size() && lines[i].rfind("```", 0) != 0; ++i) text += lines[i] + "\n";
    ++i;
    return first;
  };
  for (std::size_t i = 0; i < lines.size();) {
    if (lines[i] != "```scn") { ++i; continue; }
    const int scnLine = static_cast<int>(i) + 1;
    std::string scenarioText, walkText;
    fence(i, scenarioText);
    while (i < lines.size() && lines[i].empty()) ++i;
    if (i >= lines.size() || lines[i] != "```walk") {
      std::cerr << page << ":" << scnLine << ": a ```scn example without the ```walk block after it\n";
      ++failures;
      continue;
    }
    const int walkLine = fence(i, walkText);
    ++examples;
    const std::string scenario = scratch + "." + std::to_string(examples) + ".scn";
    std::ofstream(scenario, std::ios::binary) << "\xEF\xBB\xBF" << scenarioText;  // UTF-8 with its mark
    std::istringstream walkStream(walkText);
    std::vector<Step> steps;
    if (!parseWalk(walkStream, page, walkLine, steps)) return 1;
    failures += playWalk(cli, scenario, library, steps, page, scenario);
  }
  std::cout << page << ": " << examples << " examples, " << failures << " failed\n";
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--markdown") return checkPage(argv[2], argv[3], argc > 4 ? argv[4] : "");
  if (argc < 4) {
    std::fputs("usage: walk_check MARVO_CLI SCENARIO WALK [LIBRARY]\n"
               "       walk_check --markdown MARVO_CLI PAGE.md [LIBRARY]\n", stderr);
    return 2;
  }
  const std::string cli = argv[1], scenario = argv[2], walk = argv[3], library = argc > 4 ? argv[4] : "";
  std::ifstream file(walk, std::ios::binary);
  if (!file) { std::cerr << walk << ": cannot be read\n"; return 2; }
  std::vector<Step> steps;
  if (!parseWalk(file, walk, 1, steps)) return 1;
  const int failures = playWalk(cli, scenario, library, steps, walk, walk.substr(walk.find_last_of('/') + 1) + ".play");
  std::cout << walk << ": " << steps.size() - 1 << " commands, " << failures << " failed\n";
  return failures == 0 ? 0 : 1;
}
