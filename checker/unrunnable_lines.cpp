// Which program lines some run can execute, by following the engine's control flow from every
// place a run can start.
#include "unrunnable_lines.h"

#include <algorithm>
#include <unordered_map>

#include "engine/decode.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"
#include "program.h"
#include "skip_stops.h"

namespace marvo::check {

std::vector<std::uint8_t> runnableLines(const std::vector<FlowLine>& program) {
  const int n = static_cast<int>(program.size());
  std::vector<std::uint8_t> reached(program.size(), 0);
  std::unordered_map<std::string, int> labels;  // ":name" -> first label line
  int common = -1;
  for (int i = 0; i < n; ++i) {
    const std::string_view t = program[static_cast<std::size_t>(i)].text;
    if (!t.starts_with(":")) continue;
    labels.emplace(lower(t), i);
    if (t == ":common" && common < 0) common = i;
  }
  const auto marksOf = [&](int k) { return program[static_cast<std::size_t>(k)].marks; };
  const SkipStops ifSkip(n, marksOf, kOpensIf, kClosesIf);
  const SkipStops talkSkip(n, marksOf, kOpensTalk, kClosesTalk);

  std::vector<int> work;
  auto reach = [&](int i) {
    if (i < 0 || i >= n || reached[static_cast<std::size_t>(i)]) return;
    reached[static_cast<std::size_t>(i)] = 1;
    work.push_back(i);
  };
  reach(0);
  for (int i = 0; i < n; ++i)
    if (program[static_cast<std::size_t>(i)].text.starts_with(":")) reach(i);
  if (common >= 0) reach(common + 1);  // READ goes on after ":common"
  std::string key;
  while (!work.empty()) {
    const int i = work.back();
    work.pop_back();
    const FlowLine& l = program[static_cast<std::size_t>(i)];
    const std::uint32_t r = l.rows;
    if (r & kTalk) reach(i + 1);                              // a matched input runs the block
    if (r & kPushIndex) reach(i + 2);                         // POPINDEX returns behind the JUMP of a call
    if (r & kPopIndex) reach(1);                              // an empty save register
    if (r & (kReturn | kRedo | kPopIndex | kRead)) continue;  // the run ends or starts a line above
    if (r & (kGoto | kJump)) {
      key.assign(":").append(l.target);
      if (auto it = labels.find(key); it != labels.end()) reach(r & kGoto ? it->second : it->second + 1);
      continue;
    }
    if (r & kTalk) {
      // The skip stops on the closing line, which is passed, not executed.
      if (const int k = talkSkip.stop(i); k >= 0) reach(k + 1);
      continue;
    }
    if (r & kIf) reach(ifSkip.stop(i));  // false: the skip stops on its ENDIF, which then runs
    reach(i + 1);
  }
  return reached;
}

std::vector<std::uint8_t> runnableLines(const std::vector<std::string>& program) {
  std::vector<FlowLine> flow(program.size());
  std::vector<DecodedLine> decoded(program.size());
  for (std::size_t i = 0; i < program.size(); ++i) {
    const std::string& text = program[i];
    DecodedLine& d = decoded[i];
    const std::string raw = runtimeRaw(text);
    decodeLine(raw, d);
    const std::string t = lower(trimView(text));
    std::uint8_t m = 0;
    if (opensIfLevel(t)) m |= kOpensIf;
    if (closesIfLevel(t)) m |= kClosesIf;
    if (opensTalkLevel(t)) m |= kOpensTalk;
    if (closesTalkLevel(t)) m |= kClosesTalk;
    flow[i] = {text, executedRows(d.rows), m, d.truthWord(1).text};
  }
  return runnableLines(flow);
}

}  // namespace marvo::check
