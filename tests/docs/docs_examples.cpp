// docs_examples MARVO_CLI PAGE.md LIBRARY: runs every example of a reference page. Each ```scn block
// (a scenario fragment, UTF-8) is written beside the ```walk block that follows it, and the pair is
// played by `marvo-cli test`, so an example that stops doing what the page says fails. A ```check
// block after a ```scn block instead lists findings of `marvo-cli check`, one a line as
// "LINE: error|warning: TEXT [RULE]" (TEXT may be shortened): each must be among the findings.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::string quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The lines of a fenced block opening at `i`; leaves `i` past its closing fence.
std::string fenced(const std::vector<std::string>& lines, std::size_t& i) {
  std::string text;
  for (++i; i < lines.size() && lines[i].rfind("```", 0) != 0; ++i) text += lines[i] + "\n";
  ++i;
  return text;
}

// What a command printed on standard output; `status` gets its exit status.
std::string output(const std::string& command, int& status) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    status = -1;
    return text;
  }
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  status = pclose(pipe);
  return text;
}

// The findings of a ```check block missing from the report of `marvo-cli check` on `scn`.
std::vector<std::string> missingFindings(const std::string& expected, const std::string& report,
                                         const std::string& scn) {
  std::vector<std::string> missing;
  std::size_t at = 0;
  while (at < expected.size()) {
    const std::size_t end = expected.find('\n', at);
    const std::string line = expected.substr(at, end - at);
    at = end == std::string::npos ? expected.size() : end + 1;
    if (line.empty()) continue;
    const std::size_t colon = line.find(": "), space = line.find(':', colon + 2), open = line.rfind(" [");
    if (colon == std::string::npos || open == std::string::npos || line.back() != ']') {
      missing.push_back(line + " (not LINE: SEVERITY: TEXT [RULE])");
      continue;
    }
    const std::string head =
        scn + ":" + line.substr(0, colon) + ": " + line.substr(colon + 2, std::min(space, open) - colon - 2);
    const std::string rule = line.substr(open);
    bool found = false;
    for (std::size_t p = report.find(head); p != std::string::npos && !found; p = report.find(head, p + 1)) {
      const std::size_t stop = report.find('\n', p);
      const std::string got = report.substr(p, stop - p);
      found = (p == 0 || report[p - 1] == '\n') && got.size() >= rule.size() &&
              got.compare(got.size() - rule.size(), rule.size(), rule) == 0;
    }
    if (!found) missing.push_back(line);
  }
  return missing;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: docs_examples MARVO_CLI PAGE.md LIBRARY\n";
    return 2;
  }
  const std::string cli = argv[1], page = argv[2], library = argv[3];
  std::ifstream file(page, std::ios::binary);
  if (!file) {
    std::cerr << page << ": cannot be read\n";
    return 1;
  }
  std::vector<std::string> lines;
  for (std::string l; std::getline(file, l);)
    lines.push_back(!l.empty() && l.back() == '\r' ? l.substr(0, l.size() - 1) : l);
  const std::string name = page.substr(page.find_last_of('/') + 1);
  int examples = 0, failures = 0;
  for (std::size_t i = 0; i < lines.size();) {
    if (lines[i] != "```scn") {
      ++i;
      continue;
    }
    const std::size_t scnLine = i + 1;
    const std::string scenario = fenced(lines, i);
    while (i < lines.size() && lines[i].empty()) ++i;
    if (i < lines.size() && lines[i] == "```check") {
      const std::string expected = fenced(lines, i);
      const std::string base = name + "." + std::to_string(++examples);
      std::ofstream(base + ".scn", std::ios::binary) << "\xEF\xBB\xBF" << scenario;
      int status = 0;
      const std::string report =
          output(quoted(cli) + " check --library " + quoted(library) + " " + quoted(base + ".scn"), status);
      const auto missing = missingFindings(expected, report, base + ".scn");
      for (const auto& m : missing)
        std::cerr << page << ":" << scnLine << ": the checker does not report: " << m << "\n";
      if (!missing.empty()) {
        std::cerr << report;
        ++failures;
      }
      continue;
    }
    if (i >= lines.size() || lines[i] != "```walk") {
      std::cerr << page << ":" << scnLine << ": a ```scn example without the ```walk block after it\n";
      ++failures;
      continue;
    }
    const std::string walk = fenced(lines, i);
    const std::string base = name + "." + std::to_string(++examples);
    std::ofstream(base + ".scn", std::ios::binary) << "\xEF\xBB\xBF" << scenario;  // UTF-8 with its mark
    std::ofstream(base + ".walk", std::ios::binary) << walk;
    const std::string command =
        quoted(cli) + " test --library " + quoted(library) + " " + quoted(base + ".scn") + " " + quoted(base + ".walk");
    const int status = std::system(command.c_str());
    if (status != 0) {
      std::cerr << page << ":" << scnLine << ": this example does not do what its walkthrough says (" << base
                << ".walk above)\n";
      ++failures;
    }
  }
  std::cout << page << ": " << examples << " examples, " << failures << " failed\n";
  return failures == 0 ? 0 : 1;
}
