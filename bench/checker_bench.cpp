// Benchmark: the scenario checker on a 90,000-line game (with the library) must take at most 200 ms.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "bench_util.h"
#include "checker/checker.h"
#include "engine/text.h"

namespace {

using namespace marvo::literals;

// A clean game of locations like the sample's: a menu line, buttons, a talk block with a condition,
// a variable shown in a text line, objects placed in the rooms.
std::vector<std::string> bigScenario(int lineCount) {
  std::vector<std::string> out;
  for (int i = 0; i < 200; ++i) {
    const std::string n = "item" + std::to_string(i);
    out.push_back("CREATE " + n);
    out.push_back(n + std::string("_Расположение=loc"_w) + std::to_string(i));
    out.push_back(n + std::string("_Описание=Ничего особенного."_w));
  }
  out.push_back("gold=0");
  constexpr int kLocationLines = 19;
  const int locations = (lineCount - 3 - static_cast<int>(out.size())) / kLocationLines;
  for (int loc = 0; loc < locations; ++loc) {
    const std::string n = std::to_string(loc);
    out.push_back(std::string("*- - - - Локация "_w) + n + " - - - -");
    out.push_back(":loc" + n);
    out.push_back(std::string("@Комната номер "_w) + n + std::string(". Здесь тихо.%"_w));
    out.push_back(std::string("btn [На север] loc"_w) + std::to_string((loc + 1) % locations));
    out.push_back(std::string("btn [На юг] loc"_w) + std::to_string(loc > 0 ? loc - 1 : 0));
    out.push_back(std::string("TALK поискать/искать"_w));
    out.push_back("IF gold<100");
    out.push_back("gold=gold+1");
    out.push_back(std::string("!Вы нашли монету. Всего: [#gold]"_w));
    out.push_back("ENDIF");
    out.push_back("IF gold>=100");
    out.push_back(std::string("!Больше ничего нет."_w));
    out.push_back("ENDIF");
    out.push_back("REDO");
    out.push_back("IF rnd>90");
    out.push_back(std::string("!Где-то вдали шумит ветер."_w));
    out.push_back("ENDIF");
    out.push_back("READ");
    out.push_back("");
  }
  while (static_cast<int>(out.size()) < lineCount - 3) out.push_back("");
  out.push_back(":common");
  out.push_back("RETURN");
  out.push_back("");
  return out;
}

std::vector<std::string> library() {
  return {std::string("TALK осмотреть <object>/изучить <object>"_w),
          std::string("ИЗУЧИТЬ <object>"_w),
          "REDO",
          std::string("TALK взять <object>"_w),
          std::string("IF <object>_Расположение=inv"_w),
          std::string("!Уже есть."_w),
          "ENDIF",
          std::string("<object>_Расположение=inv"_w),
          "REDO"};
}

}  // namespace

int main() {
  marvo::check::CheckInput input;
  input.scenario = bigScenario(90000);
  input.library = library();
  std::size_t found = 0;
  // The machine may be shared: the verdict is on processor time, the wall time is shown beside it.
  std::vector<double> cpu;
  const double wall = marvo::bench::medianMs(7, [&] {
    const std::clock_t start = std::clock();
    found = marvo::check::checkScenario(input).size();
    cpu.push_back(1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
  });
  std::sort(cpu.begin(), cpu.end());
  std::printf("checker: %zu lines, %zu findings (0 expected), median wall time %.1f ms\n", input.scenario.size(), found,
              wall);
  const bool ok =
      marvo::bench::report("checker on a 90,000-line scenario (processor time)", cpu[cpu.size() / 2], 200.0, "ms");
  return ok && found == 0 ? 0 : 1;
}
