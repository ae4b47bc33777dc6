// Shared state of one check: the prepared program, its labels and objects, and the report.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "game/symbol_index.h"
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
  std::vector<std::uint8_t> runnable;           // per program line: some run can execute it
  SymbolIndex symbols;                          // definitions of the scenario and the library

  const ProgramLine& line(int i) const { return program.lines[static_cast<std::size_t>(i)]; }
  int size() const { return static_cast<int>(program.lines.size()); }
  bool isLabel(int i) const { return line(i).text.starts_with(":"); }
};

// Optimal string alignment distance, capped: returns cap + 1 when the distance exceeds cap.
int editDistance(std::string_view a, std::string_view b, int cap);

// Rule groups; each reports into ctx.report.
void checkLabelsAndJumps(Context& ctx);
void checkBlocks(Context& ctx);             // IF/ENDIF and TALK/REDO pairing as the engine skips them
void checkLocationEnds(Context& ctx);       // falling into the next location, reachability, library
void checkStatements(Context& ctx);         // lines the engine takes for something else, near misses
void checkObjects(Context& ctx);            // properties: suffixes, undeclared names, stored blanks
void checkVariables(Context& ctx);          // read but never assigned, assigned but never read
void checkTalkPatterns(Context& ctx);       // shadowed patterns, collisions with button numbers
void checkEncoding(Context& ctx);           // text that looks like another code page
void checkOrder(Context& ctx);              // unreachable statements, empty talk blocks, CREATE run again
void checkNames(Context& ctx);              // places and objects nothing declares, library words over objects
void checkTalkSyntax(Context& ctx);         // patterns that no input the player types can match
void checkDecidedConditions(Context& ctx);  // IF never true after the assignment above it
void checkLostAssignments(Context& ctx);    // a value overwritten before anything reads it
void checkNesting(Context& ctx);            // IF closed at once, crossed IF/TALK blocks, property before CREATE

// The name among `candidates` nearest to `name` by edit distance (at most 1 for names of four
// characters or fewer, else 2), or "" when none is that near or the name is one of them.
template <class Range>
std::string_view nearestName(std::string_view name, const Range& candidates) {
  if (name.size() < 2 || name.size() > 40) return {};
  int best = name.size() <= 4 ? 1 : 2;
  std::string_view found;
  for (const auto& c : candidates) {
    const std::string_view v(c);
    if (v == name) return {};
    const int d = editDistance(name, v, best);
    if (d <= best && (found.empty() || d < best)) {
      found = v;
      best = d;
    }
  }
  return found;
}

}  // namespace marvo::check

namespace marvo::check {
// A text in «» for a message, shortened to 60 characters.
std::string quoted(std::string_view text);
}  // namespace marvo::check
