// Benchmark of the story map: the graph and its layout of the editor benchmarks' 90,000-line
// scenario (at most 1 s), of a generated 500-location menu story (300 ms), of each shipped game
// (50 ms), and the update after a one-line edit (100 ms: the graph again, only new locations placed).
// Medians of wall time, on one processor (MARVO_BENCH_CPU, default 0).

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "editor_scenario.h"
#include "engine/text.h"
#include "game/scenario_file.h"
#include "storymap/layout.h"

using namespace marvo;
using namespace marvo::literals;
using Lines = std::vector<std::string>;

namespace {

Lines readLines(const std::filesystem::path& path) {
  auto read = readScenarioFile(path);
  if (!read.error.empty()) {
    std::printf("error: %s\n", read.error.c_str());
    std::exit(1);
  }
  return std::move(read.lines);
}

// A menu story of `count` locations in chapters of 25: each location offers the next two of its
// chapter and a way back to the chapter's start; a chapter's last location leads to the next
// chapter; every tenth location calls a shared subroutine and has a typed command.
Lines menuStory(int count) {
  Lines out;
  const auto loc = [](int i) { return "scene" + std::to_string(i); };
  for (int i = 0; i < count; ++i) {
    const int chapter = i / 25 * 25, end = std::min(chapter + 25, count);
    out.push_back(std::string("*- - - - Сцена "_w) + std::to_string(i));
    out.push_back(":" + loc(i));
    out.push_back(std::string("@Сцена номер "_w) + std::to_string(i) + std::string(". Дорога петляет."_w));
    if (i + 1 < end) out.push_back(std::string("btn [Дальше] "_w) + loc(i + 1));
    if (i + 2 < end) out.push_back(std::string("btn [Свернуть] "_w) + loc(i + 2));
    if (i + 1 == end && end < count) out.push_back(std::string("btn [Новая глава] "_w) + loc(end));
    if (i != chapter) out.push_back(std::string("btn [Вернуться] "_w) + loc(chapter));
    if (i % 10 == 0) {
      out.push_back(std::string("do Передохнуть"_w));
      out.push_back("call rest");
      out.push_back("REDO");
      out.push_back(std::string("TALK осмотреться"_w));
      out.push_back(std::string("!Ничего особенного."_w));
      out.push_back("REDO");
    }
    out.push_back("READ");
    out.push_back("");
  }
  out.push_back(":rest");
  out.push_back(std::string("@Вы отдыхаете."_w));
  out.push_back("ret");
  return out;
}

bool measure(const char* name, const Lines& scenario, const Lines& library, double limit, int runs, int editLine) {
  storymap::StoryGraph graph;
  storymap::Layout layout;
  const double full = bench::medianMs(runs, [&] {
    graph = storymap::buildStoryGraph(scenario, library);
    layout = storymap::layoutStory(graph);
  });
  bool ok = bench::report((std::string(name) + ": graph + layout").c_str(), full, limit, "ms");
  if (editLine < 0) return ok;
  // One line edited (a text line changed, then a new location added after it), the layout before
  // it kept: what the map window computes after a pause in typing.
  Lines edited = scenario;
  bool flip = false;
  const double update = bench::medianMs(runs, [&] {
    edited[static_cast<std::size_t>(editLine)] = (flip = !flip) ? "!x" : ":newplace";
    const storymap::StoryGraph g = storymap::buildStoryGraph(edited, library);
    const storymap::Layout next = storymap::layoutStory(g, {}, &layout);
    if (next.at.size() != g.nodes.size()) std::printf("error: layout lost nodes\n");
  });
  ok &= bench::report((std::string(name) + ": update after a one-line edit").c_str(), update, 100, "ms");
  std::printf("  (%zu locations, %zu edges, %zu grid conflicts)\n", graph.nodes.size(), graph.edges.size(),
              layout.conflicts.size());
  return ok;
}

}  // namespace

int main() {
  marvo::bench::pinToBenchProcessor();

  const std::filesystem::path source = MARVO_SOURCE_DIR;
  const Lines library = readLines(source / "games" / "marvo.lib");
  char pattern[] = "/tmp/marvo-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const Lines big = readLines(bench::writeEditorScenario(pattern));
  std::filesystem::remove_all(pattern);

  bool ok = true;
  ok &= measure("story map of the 90,000-line scenario", big, library, 1000, 5, static_cast<int>(big.size()) / 2);
  const Lines story = menuStory(500);
  ok &= measure("story map of a 500-location menu story", story, {}, 300, 9, static_cast<int>(story.size()) / 2);
  for (const char* game : {"mayak", "yarmarka"})
    ok &= measure((std::string("story map of games/") + game + ".scn").c_str(),
                  readLines(source / "games" / (std::string(game) + ".scn")), library, 50, 21, -1);
  return ok ? 0 : 1;
}
