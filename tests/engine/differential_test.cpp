// The compiled fast path against the line-at-a-time dispatch: random scenarios played by both
// must give the same events, the same lists and monitor at every message and run end, and the
// same state afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/play.h"
#include "support/random_scenario.h"

using namespace marvo;
using marvo::test::ScenarioMaker;
using marvo::test::w;
using Lines = std::vector<std::string>;

namespace {

// Records what the user could see: the events in order, with the views at every message.
class ViewRecordingHost : public test::RecordingHost {
 public:
  explicit ViewRecordingHost(const Engine& engine) : engine_(engine) {}
  void showMessageAt(std::string_view text, const MessageContext& context) override {
    events.push_back("at " + std::to_string(context.line) + " " + std::to_string(static_cast<int>(context.nameKind)) +
                     " " + test::u(context.name));
    RecordingHost::showMessageAt(text, context);
  }
  void showMessage(std::string_view text) override {
    RecordingHost::showMessage(text);
    recordViews();
  }
  void recordViews() {
    auto add = [&](const char* kind, const Lines& lines) {
      events.push_back(kind);
      events.insert(events.end(), lines.begin(), lines.end());
    };
    add("inventory", engine_.inventoryView());
    add("characteristics", engine_.characteristicsView());
    add("monitor", engine_.monitorView());
  }

 private:
  const Engine& engine_;
};

// Every item of the state as one text (free slots left out), for comparing two engines.
std::string stateOf(Engine& engine) {
  const RuntimeState& s = engine.state();
  std::string out;
  auto add = [&](auto... parts) {
    ((out += parts), ...);
    out += '\n';
  };
  auto num = [](long long v) { return std::to_string(v); };
  for (const auto& line : s.program) add(line);
  add("pc ", num(s.pc), " label ", num(s.locationLine), " menu ", num(s.menuMarker), " talkDepth ", num(s.talkDepth),
      " ifDepth ", num(s.ifDepth), " save ", num(s.saveRegister), " common ", num(s.commonLine),
      s.commonFound ? " found" : "", s.clearOutputFlag ? " clear" : "", " object ", num(s.currentObject));
  add("location ", s.currentLocation, " reply ", s.impossibleReply, " objects ", s.objectsText);
  for (int v : s.once) out += num(v) + ' ';
  for (int v : s.talk) out += num(v) + ' ';
  for (bool v : s.shown) out += v ? '1' : '0';
  for (const auto& line : s.textQueue) add("text ", line);
  for (const auto& line : s.menuQueue) add("menu ", line);
  for (std::size_t i = 0; i < s.vars.size(); ++i) {
    const auto& v = s.vars[i];
    if (!v.name.empty() || v.value || !v.kind.empty())
      add(num(static_cast<long long>(i)), v.name, "=", num(v.value), " ", v.kind);
  }
  for (const auto& o : s.objects)
    if (!(o.name + o.mask + o.synonym + o.description + o.descriptor + o.location + o.content).empty())
      add(o.name, "|", o.mask, "|", o.synonym, "|", o.description, "|", o.descriptor, "|", o.location, "|", o.content);
  add("lines ", num(static_cast<long long>(engine.linesExecuted())), " next draw ", num(engine.random().next()));
  return out;
}

struct Player {
  explicit Player(bool reference, std::uint64_t budget) {
    engine.setReferenceDispatch(reference);
    engine.setLineBudget(budget);
  }
  void act(auto&& action) {
    try {
      action();
    } catch (const IndexError& error) {
      host.events.push_back("index error " + std::to_string(error.index()) + " at " + std::to_string(error.line()) +
                            " " + test::u(error.context().name));
    }
    host.events.push_back("run end");
    host.recordViews();
  }
  Engine engine;
  Game game{engine};
  ViewRecordingHost host{engine};
};

}  // namespace

TEST(Differential, CompiledPathEqualsTheDispatchOnRandomScenarios) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr int kCases = 2000;  // the sanitizer build runs the same cases about thirty times slower
#else
  constexpr int kCases = 10000;
#endif
  int mismatches = 0;
  for (int i = 0; i < kCases && mismatches < 3; ++i) {
    ScenarioMaker maker(static_cast<std::uint32_t>(i));
    const Lines scenario = w(maker.scenario());
    const Lines library = maker.pick(0, 1) ? w(Lines{"TALK осмотреть <object>", "EXAMINE <object>", "REDO"}) : Lines{};
    const Lines inputs = w(maker.inputs());
    const auto budget = static_cast<std::uint64_t>(maker.pick(1, 4) * 500);
    Player reference(true, budget), compiled(false, budget);
    for (Player* p : {&reference, &compiled}) {
      p->act([&] { p->game.begin(scenario, library, p->host); });
      for (const auto& input : inputs) p->act([&] { p->game.talk(input, p->host); });
    }
    const bool same =
        reference.host.events == compiled.host.events && stateOf(reference.engine) == stateOf(compiled.engine);
    if (!same) {
      ++mismatches;
      std::string text;
      for (const auto& line : scenario) text += test::u(line) + "\n";
      ADD_FAILURE() << "case " << i << ":\n" << text;
      EXPECT_EQ(reference.host.events, compiled.host.events);
      EXPECT_EQ(test::u(stateOf(reference.engine)), test::u(stateOf(compiled.engine)));
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Differential, TheRunawayGuardCountsTheLinesOfBothPathsExactly) {
  for (bool reference : {true, false}) {
    test::Play p;
    p.engine.setReferenceDispatch(reference);
    p.engine.setLineBudget(3001);
    p.start({":loop", "x = x + 1", "IF x < 1000000", "GOTO loop", "ENDIF", "READ"});
    ASSERT_EQ(p.messages().size(), 1u);
    EXPECT_TRUE(p.messages()[0].starts_with("Сценарий зациклился: ход прерван после 3001 строк без ожидания ввода"));
    // Line 0 and 750 turns of four lines.
    EXPECT_EQ(p.var("x"), 750);
    EXPECT_EQ(p.var("step"), 750);
    EXPECT_EQ(p.engine.linesExecuted(), 3001u);
  }
}
