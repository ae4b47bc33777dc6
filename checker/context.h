// Shared state of one check: the prepared program, its labels and objects, and the report.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "program.h"

namespace marvo::check {

// Collects diagnostics; a library line spliced several times reports each problem once.
class Reporter {
 public:
  // A rule reports at most this many findings; a text full of one mistake needs no more.
  static constexpr int kPerRule = 1000;
  bool full(std::string_view rule) const {
    auto it = perRule_.find(std::string(rule));
    return it != perRule_.end() && it->second >= kPerRule;
  }
  void add(Source source, int line1, Severity severity, std::string text, std::string_view rule);
  void at(const ProgramLine& line, Severity severity, std::string text, std::string_view rule) {
    add(line.source, line.origin + 1, severity, std::move(text), rule);
  }
  std::vector<Diagnostic> take();

 private:
  std::vector<Diagnostic> list_;
  std::unordered_set<std::size_t> seen_;          // hashes of (source, line, rule, text)
  std::unordered_map<std::string, int> perRule_;  // findings kept per rule
};

struct Context {
  const CheckInput& input;
  Program program;
  Reporter report;
  std::unordered_map<std::string, int> labels;  // ":name" (lower-case) -> first program line
  std::vector<int> labelLines;                  // program lines that start with ":", in order
  int commonLine = -1;                          // first line equal to ":common"
  std::unordered_set<std::string> objects;      // names given by CREATE anywhere
  bool libraryHasText = false;                  // some library line is not blank

  const ProgramLine& line(int i) const { return program.lines[static_cast<std::size_t>(i)]; }
  int size() const { return static_cast<int>(program.lines.size()); }
  bool isLabel(int i) const { return line(i).text.starts_with(":"); }
};

// Rule groups; each reports into ctx.report.
void checkLabelsAndJumps(Context& ctx);
void checkBlocks(Context& ctx);        // IF/ENDIF and TALK/REDO pairing as the engine skips them
void checkLocationEnds(Context& ctx);  // falling into the next location, reachability, library
void checkStatements(Context& ctx);    // lines the engine takes for something else, near misses
void checkObjects(Context& ctx);       // properties: suffixes, undeclared names, stored blanks
void checkVariables(Context& ctx);     // read but never assigned, assigned but never read
void checkTalkPatterns(Context& ctx);  // shadowed patterns, collisions with button numbers
void checkEncoding(Context& ctx);      // text that looks like another code page

// Optimal string alignment distance, capped: returns cap + 1 when the distance exceeds cap.
int editDistance(std::string_view a, std::string_view b, int cap);

}  // namespace marvo::check

namespace marvo::check {
// A text in «» for a message, shortened to 60 characters.
std::string quoted(std::string_view text);
}  // namespace marvo::check
