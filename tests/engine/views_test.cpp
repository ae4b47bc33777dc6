// The engine's lists and monitor must equal what a literal rebuild before/after every line shows.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/text.h"
#include "support/play.h"

using namespace marvo;
using namespace marvo::literals;
using marvo::test::w;
using Lines = std::vector<std::string>;

namespace {

// The straightforward per-line rebuild, computed from the state by the observer hook.
struct LiteralViews {
  Lines inventory{""};
  Lines characteristics;
  Lines monitor;

  void beforeLine(const RuntimeState& s) {
    inventory.clear();
    for (const auto& o : s.objects) {
      if (o.name.empty()) break;
      if (o.location != "inv") continue;
      std::string item = o.name;
      std::replace(item.begin(), item.end(), '.', ' ');
      inventory.push_back(item);
    }
    characteristics.clear();
    for (const auto& v : s.vars)
      if (v.kind == "vip" && v.value > 0) characteristics.push_back(v.name + " " + std::to_string(v.value));
  }

  void afterLine(const RuntimeState& s) {
    monitor.clear();
    monitor.emplace_back("Значения переменных:"_w);
    for (const auto& v : s.vars)
      if (!v.name.empty()) monitor.push_back(v.name + " = " + std::to_string(v.value) + "    " + v.kind);
    std::string current = s.currentObject < kTableSize ? s.objects[static_cast<std::size_t>(s.currentObject)].name : "";
    monitor.push_back(concat("объект анализатора: "_w, current));
    const std::string rule(53, '-');
    monitor.push_back(rule);
    monitor.emplace_back("        * Монитор объектов *"_w);
    monitor.push_back(rule);
    for (const auto& o : s.objects) {
      if (o.name.empty()) break;
      for (auto [label, value] : {std::pair{"имя объекта: "_w, &o.name},
                                  {"расположение: "_w, &o.location},
                                  {"маска: "_w, &o.mask},
                                  {"синоним: "_w, &o.synonym},
                                  {"дескриптор: "_w, &o.descriptor},
                                  {"содержание: "_w, &o.content}})
        monitor.push_back(concat(label, *value));
      monitor.push_back(rule);
    }
    monitor.emplace_back("Текущая локация:"_w);
    monitor.push_back(s.currentLocation);
  }
};

// Compares the engine's views with the literal ones whenever the user could see them.
class CheckingHost : public test::RecordingHost {
 public:
  CheckingHost(const Engine& engine, const LiteralViews& literal) : engine_(engine), literal_(literal) {}
  void showMessage(std::string_view text) override {
    RecordingHost::showMessage(text);
    check("message");
  }
  void check(const char* when) {
    ++checks;
    EXPECT_EQ(engine_.inventoryView(), literal_.inventory) << when;
    EXPECT_EQ(engine_.characteristicsView(), literal_.characteristics) << when;
    EXPECT_EQ(engine_.monitorView(), literal_.monitor) << when;
  }
  int checks = 0;

 private:
  const Engine& engine_;
  const LiteralViews& literal_;
};

struct Checked {
  Engine engine;
  Game game{engine};
  LiteralViews literal;
  CheckingHost host{engine, literal};
  Checked() {
    engine.setLineObserver([this](bool after) {
      if (after)
        literal.afterLine(engine.state());
      else
        literal.beforeLine(engine.state());
    });
  }
  void start(const Lines& scenario) {
    try {
      game.begin(w(scenario), {}, host);
    } catch (const IndexError&) {
    }
    host.check("after game start");
  }
  void say(const std::string& input) {
    try {
      game.talk(w(input), host);
    } catch (const IndexError&) {
    }
    host.check(input.c_str());
  }
};

}  // namespace

TEST(Views, BeforeAnyGameTheWindowShowsItsInitialState) {
  Engine engine;
  EXPECT_EQ(engine.inventoryView(), Lines{""});
  EXPECT_TRUE(engine.characteristicsView().empty());
  EXPECT_TRUE(engine.monitorView().empty());
}

TEST(Views, EqualTheLiteralRebuildAtEveryRunEndAndMessage) {
  Checked c;
  c.start({"CREATE ключ",
           "CREATE сундук",
           "сундук_Расположение=hall",
           "VIP rnd",
           "VIP сила",
           "сила = 5",
           ":hall",
           "@Холл %",
           "TALK взять <object>",
           "<object>_Расположение=inv",
           "REDO",
           "TALK бросить <object>",
           "<object>_Расположение=location",
           "REDO",
           "TALK очистить",
           "CLEAR",
           "REDO",
           "TALK сброс",
           "CLEAR сила",
           "x = 1",
           "REDO",
           "TALK беги",
           "GOTO лес",
           "REDO",
           "TALK плохо",
           "!итог [#нет]",
           "REDO",
           "TALK конец",
           "IF 1 = 2",
           "READ",
           ":common",
           "RETURN",
           ":лес",
           "JUMP hall"});
  for (const char* input :
       {"взять сундук", "бросить ключ", "", "плохо", "сброс", "очистить", "беги", "взять ключ", "конец", "", "xyz"})
    c.say(input);
  EXPECT_GT(c.host.checks, 12);
}

TEST(Views, AnOverflowLineIsNotYetInTheMonitor) {
  Checked c;
  Lines scenario{":a"};
  scenario.resize(89998, "");
  scenario.push_back("last = 1");
  scenario.push_back("after = 1");
  c.start(scenario);
  EXPECT_EQ(c.host.messages(), Lines{"Переполнение сценария"});
  EXPECT_TRUE(c.engine.findVariable("last") < kTableSize);
}

TEST(Views, TheHostHearsOfChangesOncePerRunNotPerLine) {
  test::Play p;
  p.start({":a", "n = n + 1", "IF n < 1000", "GOTO a", "ENDIF", "READ"});
  EXPECT_EQ(p.host.viewsChangedCount, 1);
  EXPECT_EQ(p.host.focusCount, 1);
}
