// The walkthrough runner: one fresh game per test on copies of the prepared program, on worker threads.
#include "runner.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "engine/codec.h"
#include "engine/engine.h"
#include "engine/text.h"
#include "game/game.h"

namespace marvo::walk {

namespace {

// Output lines kept per command, and messages and errors kept beside them: a flood of output
// never hides the message that ends it (the runaway guard's, the index error).
constexpr std::size_t kMaxSeenPerCommand = 5000;
constexpr std::size_t kMaxMessagesPerCommand = 1000;
// Regular expressions see at most this much of a line: the standard matcher recurses per character.
constexpr std::size_t kRegexLineLimit = 16 * 1024;

class CollectingHost : public EngineHost {
 public:
  explicit CollectingHost(const Game& game) : game_(game) {}
  StepOutput output;

  void clearOutput() override {}
  void appendOutput(std::string_view line) override { add(Seen::Kind::Out, line); }
  void showMessage(std::string_view text) override { add(Seen::Kind::Message, text); }
  void showMessageAt(std::string_view text, const MessageContext& context) override {
    add(Seen::Kind::Message, text, game_.locate(context));
  }
  void indexError(const IndexError& error) { add(Seen::Kind::Error, error.what(), game_.locate(error)); }

 private:
  void add(Seen::Kind kind, std::string_view text, const std::optional<ErrorLocation>& place = {}) {
    if (kind == Seen::Kind::Out ? lines_ >= kMaxSeenPerCommand : messages_ >= kMaxMessagesPerCommand) {
      ++(kind == Seen::Kind::Out ? output.dropped : output.droppedMessages);
      return;
    }
    ++(kind == Seen::Kind::Out ? lines_ : messages_);
    output.seen.push_back({kind, std::string(text), place ? describeLocation(*place) : std::string()});
  }

  std::size_t lines_ = 0, messages_ = 0;

  const Game& game_;
};

std::vector<std::string> utf8List(const std::vector<std::string>& cp1251) {
  std::vector<std::string> out;
  for (const auto& s : cp1251) out.push_back(cp1251ToUtf8(s));
  return out;
}

bool anyLine(const StepOutput& out, bool messagesOnly, const std::function<bool(const std::string&)>& test) {
  return std::any_of(out.seen.begin(), out.seen.end(),
                     [&](const Seen& s) { return (!messagesOnly || s.kind != Seen::Kind::Out) && test(s.text); });
}

// An item of the inventory or characteristics list equals the text, or starts with it and a blank.
bool listHas(const std::vector<std::string>& items, const std::string& text) {
  const std::string want = lower(text);
  return std::any_of(items.begin(), items.end(), [&](const std::string& item) {
    const std::string have = lower(trim(item));
    return have == want || have.starts_with(want + " ");
  });
}

// What a command printed with every message and error, but at most a few of the lines around
// them: a runaway turn prints thousands of lines before its message.
std::vector<std::string> renderMessages(const StepOutput& out) {
  constexpr std::size_t kHead = 20;
  if (out.seen.size() <= 3 * kHead) return renderOutput(out);
  StepOutput brief;
  std::size_t skipped = 0;
  for (std::size_t i = 0; i < out.seen.size(); ++i) {
    if (i < kHead || out.seen[i].kind != Seen::Kind::Out) {
      if (skipped)
        brief.seen.push_back({Seen::Kind::Out, "... (" + std::to_string(skipped) + std::string(" строк)"_w), {}});
      skipped = 0;
      brief.seen.push_back(out.seen[i]);
    } else {
      ++skipped;
    }
  }
  brief.dropped = out.dropped + skipped;
  brief.droppedMessages = out.droppedMessages;
  return renderOutput(brief);
}

class TestRun {
 public:
  TestRun(const PreparedGame& game, const RunOptions& options, std::vector<std::uint8_t>* executed)
      : prepared_(game), executed_(executed), stopAtFirstFailure_(options.stopAtFirstFailure) {
    engine_.setLineBudget(options.lineBudget);
    if (executed_) {
      engine_.setLineObserver([this](bool afterLine) {
        if (afterLine) return;
        const auto pc = static_cast<std::size_t>(engine_.state().pc);
        if (pc < executed_->size()) (*executed_)[pc] = 1;
      });
    }
  }

  void run(TestOutcome& outcome) {
    const WalkTest& test = *outcome.test;
    for (const auto& step : test.steps) {
      CollectingHost host(game_);
      try {
        if (step.isStart) {
          game_.begin(prepared_.program, host);
        } else {
          for (long long i = 0; i < step.clockTicks; ++i) game_.tick();
          game_.talk(step.command, host);
        }
      } catch (const IndexError& e) {
        host.indexError(e);
      }
      const std::size_t failuresBefore = outcome.failures.size();
      check(step, host.output, outcome);
      outcome.steps.push_back(std::move(host.output));
      if (stopAtFirstFailure_ && outcome.failures.size() > failuresBefore) break;
    }
  }

 private:
  void fail(TestOutcome& outcome, const Step& step, int line, std::string expected, std::vector<std::string> got) {
    outcome.failures.push_back({line, false, cp1251ToUtf8(step.command), std::move(expected), std::move(got)});
  }

  void check(const Step& step, const StepOutput& out, TestOutcome& outcome) {
    using K = Expectation::Kind;
    bool messagesExpected = false;
    for (const auto& e : step.expectations) {
      bool ok = true;
      std::vector<std::string> got;
      switch (e.kind) {
        case K::Contains:
        case K::Lacks:
          ok =
              anyLine(out, false, [&](const std::string& s) { return contains(s, e.text); }) == (e.kind == K::Contains);
          break;
        case K::Matches:
          try {
            ok = anyLine(out, false, [&](const std::string& s) {
              const std::string_view part = std::string_view(s).substr(0, kRegexLineLimit);
              return std::regex_search(part.begin(), part.end(), *e.regex);
            });
          } catch (const std::exception& ex) {
            ok = false;
            got.push_back(std::string("(ошибка регулярного выражения: ") + ex.what() + ")");
          }
          break;
        case K::Inventory:
          ok = listHas(engine_.inventoryView(), e.text);
          got = utf8List(engine_.inventoryView());
          break;
        case K::Characteristic:
          ok = listHas(engine_.characteristicsView(), e.text);
          got = utf8List(engine_.characteristicsView());
          break;
        case K::Variable: {
          const int slot = engine_.findVariable(e.text);
          ok = slot < kTableSize && engine_.valueOf(e.text) == e.value;
          got.push_back(slot < kTableSize ? cp1251ToUtf8(e.text) + " = " + std::to_string(engine_.valueOf(e.text))
                                          : "нет переменной " + cp1251ToUtf8(e.text));
          break;
        }
        case K::Location:
          ok = lower(trim(engine_.state().currentLocation)) == lower(e.text);
          got.push_back(cp1251ToUtf8(engine_.state().currentLocation));
          break;
        case K::Message:
          messagesExpected = true;
          ok = anyLine(out, true, [&](const std::string& s) { return contains(s, e.text); });
          break;
      }
      if (!ok) fail(outcome, step, e.line, e.source, got.empty() ? renderOutput(out) : std::move(got));
    }
    // Every message and error of the step must be expected: the runaway guard, an engine message
    // or the index error is a fault of the game unless the walkthrough says it is meant.
    if (out.droppedMessages || !unexpectedMessages(step, out).empty())
      fail(outcome, step, step.line, messagesExpected ? "(без других сообщений движка)" : "(без сообщений движка)",
           renderMessages(out));
  }

  const PreparedGame& prepared_;
  std::vector<std::uint8_t>* executed_;
  bool stopAtFirstFailure_;
  Engine engine_;
  Game game_{engine_};
};

}  // namespace

std::string TestOutcome::name() const {
  if (!test) return file->path;
  std::string n = where(*file, test->line);
  if (!test->title.empty()) n += " " + test->title;
  return n;
}

std::vector<const Seen*> unexpectedMessages(const Step& step, const StepOutput& output) {
  std::vector<const Seen*> unexpected;
  bool previousExpected = false;  // the entry before is an expected message
  for (const auto& s : output.seen) {
    if (s.kind == Seen::Kind::Out) {
      previousExpected = false;
      continue;
    }
    const bool expected = (s.kind == Seen::Kind::Error && previousExpected) ||
                          std::any_of(step.expectations.begin(), step.expectations.end(), [&](const Expectation& e) {
                            return e.kind == Expectation::Kind::Message && contains(s.text, e.text);
                          });
    if (!expected) unexpected.push_back(&s);
    previousExpected = expected && s.kind == Seen::Kind::Message;
  }
  return unexpected;
}

std::vector<std::string> renderOutput(const StepOutput& output) {
  std::vector<std::string> lines;
  for (const auto& s : output.seen) {
    const std::string text = cp1251ToUtf8(s.text);
    lines.push_back(s.kind == Seen::Kind::Out ? text : "[" + text + "]");
    if (!s.place.empty()) lines.push_back("  (" + cp1251ToUtf8(s.place) + ")");
  }
  if (output.dropped) lines.push_back("... и ещё " + std::to_string(output.dropped) + " строк");
  if (output.droppedMessages) lines.push_back("... и ещё " + std::to_string(output.droppedMessages) + " сообщений");
  return lines;
}

RunResult runWalkthroughs(const PreparedGame& game, const std::vector<WalkFile>& files, const RunOptions& options) {
  RunResult result;
  for (const auto& file : files) {
    if (!file.errors.empty()) {
      TestOutcome o;
      o.file = &file;
      for (const auto& e : file.errors) o.failures.push_back({e.line, true, {}, e.text, {}});
      result.tests.push_back(std::move(o));
    }
    for (const auto& test : file.tests) {
      TestOutcome o;
      o.file = &file;
      o.test = &test;
      result.tests.push_back(std::move(o));
    }
  }
  const std::size_t programSize = game.built.lines.size();
  if (options.coverage) result.executed.assign(programSize, 0);

  std::atomic<std::size_t> next{0}, done{0};
  std::mutex merge;
  auto worker = [&] {
    std::vector<std::uint8_t> executed(options.coverage ? programSize : 0, 0);
    for (;;) {
      const std::size_t i = next++;
      if (i >= result.tests.size()) break;
      TestOutcome& o = result.tests[i];
      const bool cancelled = options.cancel && options.cancel->load();
      if (o.test && !o.test->errors.empty()) {
        for (const auto& e : o.test->errors) o.failures.push_back({e.line, true, {}, e.text, {}});
      } else if (o.test && !cancelled) {
        try {
          TestRun(game, options, options.coverage ? &executed : nullptr).run(o);
        } catch (const std::exception& e) {
          o.failures.push_back({o.test->line, true, {}, std::string("тест прерван: ") + e.what(), {}});
        }
      } else if (o.test) {
        o.failures.push_back({o.test->line, true, {}, "тест не запускался (прервано)", {}});
      }
      o.passed = o.failures.empty() && o.test;
      if (options.progress) options.progress(++done, result.tests.size());
    }
    if (options.coverage) {
      std::lock_guard lock(merge);
      for (std::size_t k = 0; k < programSize; ++k) result.executed[k] |= executed[k];
    }
  };
  unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(1, result.tests.size())));
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (auto& t : pool) t.join();
  for (const auto& o : result.tests) (o.passed ? result.passed : result.failed)++;
  return result;
}

}  // namespace marvo::walk
