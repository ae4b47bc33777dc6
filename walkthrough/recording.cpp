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

namespace {
// The words of a line, lower-cased, for telling which new line replaces a changed expectation.
std::set<std::string> wordsOf(std::string_view s) {
  std::set<std::string> words;
  const std::string l = lower(s);
  std::size_t i = 0;
  while (i < l.size()) {
    const std::size_t end = l.find(' ', i);
    const std::size_t stop = end == std::string::npos ? l.size() : end;
    if (stop > i) words.insert(l.substr(i, stop - i));
    i = stop + 1;
  }
  return words;
}

int sharedWords(const std::string& a, const std::string& b) {
  const auto wa = wordsOf(a), wb = wordsOf(b);
  return static_cast<int>(std::count_if(wa.begin(), wa.end(), [&](const std::string& w) { return wb.count(w) > 0; }));
}

// The plain output lines of a step as an expectation would hold them (Windows-1251, trimmed).
std::vector<std::string> plainOutput(const Step& step, const StepOutput& output) {
  std::vector<std::string> lines;
  bool echoSkipped = step.isStart;
  const std::string echo = ">" + lower(trim(step.command));
  for (const auto& s : output.seen) {
    if (s.kind != Seen::Kind::Out) continue;
    if (!echoSkipped && s.text == echo) {
      echoSkipped = true;
      continue;
    }
    std::string t = trim(head(s.text));
    if (!t.empty()) lines.push_back(std::move(t));
  }
  return lines;
}

// The new lines for a run of failed plain expectations whose neighbours that still hold matched
// output lines `from` and `to` (exclusive): for each failed line the output line between them that
// shares most words with it, in order; every line between them when no such choice is clear.
std::vector<std::string> replacementFor(const std::vector<const Expectation*>& failed,
                                        const std::vector<std::string>& out, std::size_t from, std::size_t to) {
  std::vector<std::string> gap(out.begin() + static_cast<std::ptrdiff_t>(from),
                               out.begin() + static_cast<std::ptrdiff_t>(to));
  if (gap.size() <= failed.size()) return gap;
  std::vector<std::string> chosen;
  std::size_t next = 0;
  for (const Expectation* e : failed) {
    int best = 0;
    std::size_t at = gap.size();
    for (std::size_t j = next; j < gap.size(); ++j) {
      if (const int score = sharedWords(e->text, gap[j]); score > best) {
        best = score;
        at = j;
      }
    }
    if (at == gap.size()) return gap;
    chosen.push_back(gap[at]);
    next = at + 1;
  }
  return chosen;
}
}  // namespace

std::string blessedText(const WalkFile& file, const std::vector<TestOutcome>& outcomes, bool& changed) {
  using K = Expectation::Kind;
  std::set<int> drop;
  std::map<int, std::vector<std::string>> before;  // new lines to go before a line (1-based)
  for (const auto& o : outcomes) {
    if (o.file != &file || !o.test || o.passed || !o.test->errors.empty()) continue;
    std::set<int> failedLines;
    for (const auto& f : o.failures) failedLines.insert(f.line);
    for (std::size_t i = 0; i < o.test->steps.size() && i < o.steps.size(); ++i) {
      const Step& step = o.test->steps[i];
      const StepOutput& output = o.steps[i];
      const auto unexpected = unexpectedMessages(step, output);
      bool expectsMessages = false;
      int firstText = 0;
      for (const auto& e : step.expectations) {
        if (e.kind == K::Message) expectsMessages = true;
        if (e.kind == K::Contains && !firstText) firstText = e.line;
        // A text, pattern or message no longer printed goes; "?" checks of the game's state stay.
        if ((e.kind == K::Contains || e.kind == K::Lacks || e.kind == K::Matches || e.kind == K::Message) &&
            failedLines.count(e.line))
          drop.insert(e.line);
      }
      // Failed plain texts are replaced by the output lines between the neighbours that still hold.
      const auto out = plainOutput(step, output);
      std::vector<const Expectation*> run;
      std::size_t anchor = 0;  // output lines before this one are accounted for
      auto flush = [&](std::size_t to) {
        if (run.empty()) return;
        auto& lines = before[run.front()->line];
        for (const auto& l : replacementFor(run, out, anchor, std::max(anchor, to)))
          lines.push_back(expectedTextLine(l));
        run.clear();
      };
      for (const auto& e : step.expectations) {
        if (e.kind != K::Contains) continue;
        if (failedLines.count(e.line)) {
          run.push_back(&e);
          continue;
        }
        std::size_t j = anchor;
        while (j < out.size() && !contains(out[j], e.text)) ++j;
        if (j == out.size()) continue;  // holds, but out of order: no anchor
        flush(j);
        anchor = j + 1;
      }
      flush(out.size());
      // Messages the step does not account for are added (the index error right after a message
      // belongs to it unless the step expects messages one by one).
      if (!unexpected.empty()) {
        auto& lines = before[firstText ? firstText : step.insertAfter + 1];
        const Seen* previous = nullptr;
        for (const auto& s : output.seen) {
          const Seen* prior = std::exchange(previous, &s);
          if (std::find(unexpected.begin(), unexpected.end(), &s) == unexpected.end()) continue;
          if (!expectsMessages && s.kind == Seen::Kind::Error && prior && prior->kind == Seen::Kind::Message) continue;
          lines.push_back(messageLine(s));
        }
      }
    }
  }
  std::vector<std::string> out;
  const int count = static_cast<int>(file.lines.size());
  for (int n = 1; n <= count + 1; ++n) {
    if (auto it = before.find(n); it != before.end()) out.insert(out.end(), it->second.begin(), it->second.end());
    if (n <= count && !drop.count(n)) out.push_back(file.lines[static_cast<std::size_t>(n - 1)]);
  }
  changed = out != file.lines;
  return joinLines(out);
}

}  // namespace marvo::walk
