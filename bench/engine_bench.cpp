// Engine benchmarks: counting-loop throughput, game start of a large scenario, replay of a long game.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "engine/codec.h"
#include "engine/engine.h"
#include "player/game.h"

using namespace marvo;
using Lines = std::vector<std::string>;

namespace {

// A host that keeps everything it is given, as a window would.
class KeepingHost : public EngineHost {
 public:
  explicit KeepingHost(Engine& engine) : engine_(engine) {}
  void clearOutput() override { output.clear(); }
  void appendOutput(std::string_view line) override { output.emplace_back(line); }
  void showMessage(std::string_view text) override { messages.emplace_back(text); }
  // Like a window, pull the views when they are shown: once the handler has finished.
  void viewsChanged() override { stale = true; }
  void refresh() {
    if (!stale) return;
    stale = false;
    inventory = engine_.inventoryView();
    characteristics = engine_.characteristicsView();
    monitor = engine_.monitorView();
  }
  bool stale = false;
  Lines output, messages, inventory, characteristics, monitor;

 private:
  Engine& engine_;
};

Lines cp(const Lines& utf8) {
  Lines out;
  for (const auto& l : utf8) out.push_back(utf8ToCp1251(l));
  return out;
}

bool throughput(const char* name, const Lines& scenario, double expectedLines) {
  double linesPerRun = 0;
  const double ms = bench::medianMs(5, [&] {
    Engine engine;
    Game game(engine);
    KeepingHost host(engine);
    const auto before = engine.linesExecuted();
    game.begin(scenario, {}, host);
    host.refresh();
    linesPerRun = static_cast<double>(engine.linesExecuted() - before);
  });
  if (linesPerRun < expectedLines) std::printf("  (only %.0f lines executed)\n", linesPerRun);
  const double perSecond = linesPerRun / (ms / 1000.0) / 1e6;
  std::printf("  %.1f million lines in %.1f ms\n", linesPerRun / 1e6, ms);
  return bench::report(name, perSecond, 10.0, "Mlines/s", true);
}

// 50 locations joined by buttons, 200 objects spread over them, verbs from a small library.
Lines adventure() {
  Lines s;
  for (int i = 0; i < 200; ++i) {
    const std::string o = "предмет" + std::to_string(i);
    s.push_back("CREATE " + o);
    s.push_back(o + "_Расположение=loc" + std::to_string(i % 50));
    s.push_back(o + "_Описание=Это предмет номер " + std::to_string(i) + ".");
  }
  s.push_back("VIP очки");
  for (int l = 0; l < 50; ++l) {
    s.push_back(":loc" + std::to_string(l));
    s.push_back("@Локация " + std::to_string(l) + ". [#step]. %");
    s.push_back("btn [Вперёд] loc" + std::to_string((l + 1) % 50));
    s.push_back("btn [Назад] loc" + std::to_string((l + 49) % 50));
    s.push_back("READ");
  }
  s.push_back(":common");
  s.push_back("RETURN");
  return cp(s);
}

Lines library() {
  return cp({"TALK осмотреть <object>", "ИЗУЧИТЬ <object>", "REDO", "TALK взять <object>",
             "<object>_Расположение=inv", "очки = очки + 1", "!Взято.", "REDO", "TALK бросить <object>",
             "<object>_Расположение=location", "!Брошено.", "REDO"});
}

}  // namespace

int main() {
  bool ok = true;
  std::puts("Throughput of the counting loop (assignment with +, IF, jump back):");
  ok &= throughput("counting loop with JUMP (3 lines per turn)",
                   {"x = 0", ":loop", "x = x + 1", "IF x < 4000000", "JUMP loop", "ENDIF", "READ"}, 12e6);
  ok &= throughput("counting loop with GOTO (4 lines per turn, label entered)",
                   {":loop", "x = x + 1", "IF x < 3000000", "GOTO loop", "ENDIF", "READ"}, 12e6);

  {
    Lines scenario;
    scenario.reserve(90000);
    for (int i = 0; i < 90000; ++i) {
      switch (i % 6) {
        case 0: scenario.push_back(":loc" + std::to_string(i)); break;
        case 1: scenario.push_back(utf8ToCp1251("@Описание локации номер ") + std::to_string(i) + " %"); break;
        case 2: scenario.push_back("btn [Go] loc" + std::to_string(i + 5)); break;
        case 3: scenario.push_back("x = x + 1"); break;
        case 4: scenario.push_back(i == 90000 - 2 ? "RETURN" : "!text line " + std::to_string(i)); break;
        default: scenario.push_back("READ"); break;
      }
    }
    scenario[89998] = "RETURN";  // the library is spliced in once, before this line
    Lines lib;
    for (int i = 0; i < 200; ++i) lib.push_back("TALK verb" + std::to_string(i) + " <object>");
    Engine engine;
    Game game(engine);
    KeepingHost host(engine);
    const double ms = bench::medianMs(9, [&] {
      game.begin(scenario, lib, host, "bench_tmp.scn");
      host.refresh();
    });
    std::remove("bench_tmp.scn");
    ok &= bench::report("game start, 90,000 lines + 200-line library (tmp.scn included)", ms, 50.0, "ms");
  }

  {
    const Lines scenario = adventure();
    const Lines lib = library();
    Lines commands;
    const char* verbs[] = {"1", "осмотреть предмет", "взять предмет", "бросить предмет", "2", "", "1", "xyzzy"};
    for (int i = 0; i < 10000; ++i) {
      std::string c = verbs[i % 8];
      if (c.ends_with("предмет")) c += std::to_string((i / 8) % 200);
      commands.push_back(utf8ToCp1251(c));
    }
    Engine engine;
    Game game(engine);
    KeepingHost host(engine);
    const double ms = bench::medianMs(5, [&] {
      game.begin(scenario, lib, host);
      host.refresh();
      game.replay(commands, host);
      host.refresh();
    });
    std::printf("  %zu output lines, %zu commands logged\n", host.output.size(), game.commandLog().size());
    ok &= bench::report("replay of 10,000 commands, 50 locations, 200 objects", ms, 500.0, "ms");
  }
  return ok ? 0 : 1;
}
