// Engine benchmarks: counting-loop throughput, game start of a large scenario, replay of a long
// game. The figures are medians of the CPU time of this thread, which other work on the machine
// disturbs far less than wall time; wall times are printed beside them. Game start, which uses a
// second thread, is timed by the wall clock.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "bench/shipped_game.h"
#include "engine/codec.h"
#include "engine/engine.h"
#include "game/game.h"

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

double clockMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}
double cpuMs() { return clockMs(CLOCK_THREAD_CPUTIME_ID); }

double wallMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Medians {
  double cpu, wall;
};

// Runs `body` `runs` times; the medians of the processor time on `cpuClock` and of wall time.
Medians medians(int runs, clockid_t cpuClock, const std::function<void()>& body) {
  std::vector<double> cpu, wall;
  for (int i = 0; i < runs; ++i) {
    const double c = clockMs(cpuClock), w = wallMs();
    body();
    wall.push_back(wallMs() - w);
    cpu.push_back(clockMs(cpuClock) - c);
  }
  std::sort(cpu.begin(), cpu.end());
  std::sort(wall.begin(), wall.end());
  return {cpu[cpu.size() / 2], wall[wall.size() / 2]};
}

// The median CPU time of this thread; the median wall time is printed beside it.
double medianCpuMs(int runs, const std::function<void()>& body) {
  const Medians m = medians(runs, CLOCK_THREAD_CPUTIME_ID, body);
  std::printf("  CPU %.2f ms, wall %.2f ms (medians of %d)\n", m.cpu, m.wall, runs);
  return m.cpu;
}

// The median wall time; the median processor time of the whole process is printed beside it
// (work that `body` hands to other threads counts there).
double medianWallMs(int runs, const std::function<void()>& body) {
  const Medians m = medians(runs, CLOCK_PROCESS_CPUTIME_ID, body);
  std::printf("  wall %.2f ms, processor time of all threads %.2f ms (medians of %d)\n", m.wall, m.cpu, runs);
  return m.wall;
}

Lines cp(const Lines& utf8) {
  Lines out;
  for (const auto& l : utf8) out.push_back(utf8ToCp1251(l));
  return out;
}

bool throughput(const char* name, const Lines& scenario, double expectedLines, double limit) {
  double linesPerRun = 0;
  const double ms = medianCpuMs(5, [&] {
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
  std::printf("  %.1f million lines\n", linesPerRun / 1e6);
  return bench::report(name, perSecond, limit, "Mlines/s", true);
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
  return cp({"TALK осмотреть <object>", "ИЗУЧИТЬ <object>", "REDO", "TALK взять <object>", "<object>_Расположение=inv",
             "очки = очки + 1", "!Взято.", "REDO", "TALK бросить <object>", "<object>_Расположение=location",
             "!Брошено.", "REDO"});
}

// The largest parser game shipped in games/ with the standard library, and 10,000 commands made
// from its own talk patterns (objects named by their masks), menu numbers and empty inputs.
bool shippedGameReplay() {
  const bench::ShippedGame shipped = bench::largestShippedGame();
  if (shipped.file.empty()) return true;
  const auto& scenario = shipped.scenario;
  const auto& lib = shipped.library;
  Engine engine;
  Game game(engine);
  KeepingHost host(engine);
  game.begin(scenario, lib, host);
  const Lines kinds = bench::commandsFromTalkPatterns(engine.state());
  Lines commands;
  for (std::size_t i = 0; commands.size() < 10000; ++i) commands.push_back(kinds[(i * 7) % kinds.size()]);
  std::printf("%s with marvo.lib: %zu different commands\n", shipped.file.filename().c_str(), kinds.size());

  std::vector<double> perCommand;
  const double total = medianCpuMs(5, [&] {
    game.begin(scenario, lib, host);
    perCommand.clear();
    for (const auto& command : commands) {
      const double start = cpuMs();
      game.talk(command, host);
      perCommand.push_back(cpuMs() - start);
    }
    host.refresh();
  });
  std::sort(perCommand.begin(), perCommand.end());
  std::printf("  one command: median %.2f us, slowest %.1f us\n", perCommand[perCommand.size() / 2] * 1000.0,
              perCommand.back() * 1000.0);
  return bench::report("replay of 10,000 commands of the largest shipped game", total, 100.0, "ms");
}

}  // namespace

int main() {
  bool ok = true;
  std::puts("Throughput of the counting loop (assignment with +, IF, jump back):");
  ok &= throughput("counting loop with JUMP (3 lines per turn)",
                   {"x = 0", ":loop", "x = x + 1", "IF x < 4000000", "JUMP loop", "ENDIF", "READ"}, 12e6, 100.0);
  ok &= throughput("counting loop with GOTO (4 lines per turn, label entered)",
                   {":loop", "x = x + 1", "IF x < 3000000", "GOTO loop", "ENDIF", "READ"}, 12e6, 100.0);

  {
    Lines scenario;
    scenario.reserve(90000);
    for (int i = 0; i < 90000; ++i) {
      switch (i % 6) {
        case 0:
          scenario.push_back(":loc" + std::to_string(i));
          break;
        case 1:
          scenario.push_back(utf8ToCp1251("@Описание локации номер ") + std::to_string(i) + " %");
          break;
        case 2:
          scenario.push_back("btn [Go] loc" + std::to_string(i + 5));
          break;
        case 3:
          scenario.push_back("x = x + 1");
          break;
        case 4:
          scenario.push_back(i == 90000 - 2 ? "RETURN" : "!text line " + std::to_string(i));
          break;
        default:
          scenario.push_back("READ");
          break;
      }
    }
    scenario[89998] = "RETURN";  // the library is spliced in once, before this line
    Lines lib;
    for (int i = 0; i < 200; ++i) lib.push_back("TALK verb" + std::to_string(i) + " <object>");
    Engine engine;
    Game game(engine);
    KeepingHost host(engine);
    // The copy (tmp.scn) is written on a second thread while the program is built: the figure is
    // the time until the game has started, the copy finished.
    std::puts("Game start:");
    const double ms = medianWallMs(15, [&] {
      game.begin(scenario, lib, host, "bench_tmp.scn");
      host.refresh();
    });
    std::remove("bench_tmp.scn");
    ok &= bench::report("game start, 90,000 lines + 200-line library (tmp.scn included)", ms, 10.0, "ms");
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
    std::puts("Replay of a generated adventure:");
    const double ms = medianCpuMs(5, [&] {
      game.begin(scenario, lib, host);
      host.refresh();
      game.replay(commands, host);
      host.refresh();
    });
    std::printf("  %zu output lines, %zu commands logged\n", host.output.size(), game.commandLog().size());
    ok &= bench::report("replay of 10,000 commands, 50 locations, 200 objects", ms, 500.0, "ms");
  }
  ok &= shippedGameReplay();
  return ok ? 0 : 1;
}
