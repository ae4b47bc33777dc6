// Recording and blessing: output seen turned back into walkthrough lines.
#include "recording.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "engine/codec.h"
#include "engine/text.h"

namespace marvo::walk {

namespace {
// A recorded line must read back; output longer than a walkthrough line is kept as its head.
std::string_view head(std::string_view s) { return s.substr(0, kMaxLineBytes / 2); }

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  return text;
}
}  // namespace

namespace {
// The index error's text names the program line asked for, which moves with every edit: an
// expectation keeps only its head.
std::string messageLine(const Seen& s) {
  std::string text = trim(head(s.text));
  if (s.kind == Seen::Kind::Error) text = text.substr(0, text.find(" ("));
  return "? message: " + cp1251ToUtf8(text);
}

// `messages`: the messages to expect (null: all of them but an index error right after a
// message, which belongs to that message).
std::vector<std::string> linesFor(const Step& step, const StepOutput& output,
                                  const std::vector<const Seen*>* messages) {
  std::vector<std::string> lines;
  bool echoSkipped = step.isStart;
  const std::string echo = ">" + lower(trim(step.command));
  const Seen* previous = nullptr;
  for (const auto& s : output.seen) {
    const Seen* before = std::exchange(previous, &s);
    if (!echoSkipped && s.kind == Seen::Kind::Out && s.text == echo) {
      echoSkipped = true;
      continue;
    }
    if (trim(head(s.text)).empty()) continue;
    if (s.kind == Seen::Kind::Out) {
      lines.push_back(expectedTextLine(trim(head(s.text))));
    } else if (messages ? std::find(messages->begin(), messages->end(), &s) != messages->end()
                        : !(s.kind == Seen::Kind::Error && before && before->kind == Seen::Kind::Message)) {
      lines.push_back(messageLine(s));
    }
  }
  return lines;
}
}  // namespace

std::vector<std::string> expectationLines(const Step& step, const StepOutput& output) {
  return linesFor(step, output, nullptr);
}

std::string walkthroughText(const std::vector<std::string>& commands, const std::vector<StepOutput>& outputs,
                            const std::string& title) {
  std::vector<std::string> lines;
  if (!title.empty()) lines.push_back("* " + title);
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    Step step;
    step.isStart = i == 0;
    if (!step.isStart) {
      step.command = i - 1 < commands.size() ? commands[i - 1] : std::string();
      lines.push_back("> " + cp1251ToUtf8(step.command));
    }
    for (auto& l : expectationLines(step, outputs[i])) lines.push_back(std::move(l));
  }
  return joinLines(lines);
}

std::vector<StepOutput> playCommands(const PreparedGame& game, const std::vector<std::string>& commands) {
  std::vector<WalkFile> files(1);
  WalkTest test;
  test.steps.resize(commands.size() + 1);
  test.steps[0].isStart = true;
  for (std::size_t i = 0; i < commands.size(); ++i) test.steps[i + 1].command = commands[i];
  files[0].tests.push_back(std::move(test));
  RunOptions options;
  options.threads = 1;
  return std::move(runWalkthroughs(game, files, options).tests.at(0).steps);
}

std::string recordWalkthrough(const PreparedGame& game, const std::vector<std::string>& commands,
                              const std::string& title) {
  return walkthroughText(commands, playCommands(game, commands), title);
}

std::string blessedText(const WalkFile& file, const std::vector<TestOutcome>& outcomes, bool& changed) {
  changed = false;
  std::set<int> drop;
  std::map<int, std::vector<std::string>> before;  // new lines to go before a line (1-based)
  for (const auto& o : outcomes) {
    if (o.file != &file || !o.test || o.passed || !o.test->errors.empty()) continue;
    std::set<int> failedLines;
    for (const auto& f : o.failures) failedLines.insert(f.line);
    for (std::size_t i = 0; i < o.test->steps.size() && i < o.steps.size(); ++i) {
      const Step& step = o.test->steps[i];
      int at = step.insertAfter + 1;
      bool firstText = true, expectsMessages = false;
      for (const auto& e : step.expectations) {
        using K = Expectation::Kind;
        if (e.kind == K::Message) expectsMessages = true;
        if (e.kind == K::Contains) {
          if (firstText) at = e.line;
          firstText = false;
          drop.insert(e.line);
        } else if ((e.kind == K::Lacks || e.kind == K::Matches) && failedLines.count(e.line)) {
          drop.insert(e.line);
        }
      }
      // The step's own "? message:" lines stay; only the messages they do not account for are added.
      const auto unexpected = unexpectedMessages(step, o.steps[i]);
      auto& lines = before[at];
      for (auto& l : expectsMessages ? linesFor(step, o.steps[i], &unexpected) : expectationLines(step, o.steps[i]))
        lines.push_back(std::move(l));
    }
    changed = true;
  }
  std::vector<std::string> out;
  const int count = static_cast<int>(file.lines.size());
  for (int n = 1; n <= count + 1; ++n) {
    if (auto it = before.find(n); it != before.end()) out.insert(out.end(), it->second.begin(), it->second.end());
    if (n <= count && !drop.count(n)) out.push_back(file.lines[static_cast<std::size_t>(n - 1)]);
  }
  return joinLines(out);
}

}  // namespace marvo::walk
