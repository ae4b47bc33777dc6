// marvo-cli graph: the story map of a scenario as DOT, SVG or JSON, laid out as the map window
// lays it out (the author's placement from the sidecar file beside the scenario included).
#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "engine/codec.h"
#include "engine/file_io.h"
#include "game/scenario_file.h"
#include "storymap/export.h"
#include "storymap/sidecar.h"

namespace marvo::cli {

namespace {

int usageError(const std::string& what) {
  std::fprintf(stderr,
               "marvo-cli graph: %s\n"
               "usage: marvo-cli graph [--library FILE] [--format dot|svg|json] SCENARIO\n",
               what.c_str());
  return 2;
}

}  // namespace

int graph(const Args& args) {
  std::string libraryPath, format = "dot", scenarioPath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--library" || a == "--format") {
      if (i + 1 >= args.size()) return usageError(a + " needs a value");
      (a == "--library" ? libraryPath : format) = args[++i];
    } else if (a.starts_with("--")) {
      return usageError("unknown option " + a);
    } else if (!scenarioPath.empty()) {
      return usageError("one scenario only");
    } else {
      scenarioPath = a;
    }
  }
  if (format != "dot" && format != "svg" && format != "json") return usageError("unknown format " + format);
  if (scenarioPath.empty()) return usageError("no scenario");

  const FileRead file = readWholeFile(scenarioPath);
  if (!file.error.empty()) {
    std::fprintf(stderr, "marvo-cli graph: %s\n", file.error.c_str());
    return 1;
  }
  bool unreadable = false;
  const std::vector<std::string> library = readLibrary(libraryPath, "drawing the map", &unreadable);
  const storymap::StoryGraph graph = storymap::buildStoryGraph(parseScenarioText(file.bytes), library);
  // The sidecar is only read here: a broken one is reported and left where it is.
  const storymap::SidecarRead sidecar = storymap::readSidecar(storymap::sidecarPath(scenarioPath), false);
  if (!sidecar.note.empty()) std::fprintf(stderr, "marvo-cli graph: %s\n", cp1251ToUtf8(sidecar.note).c_str());
  const storymap::Layout layout = storymap::layoutStory(graph, sidecar.placement);
  for (const auto& conflict : layout.conflicts) {
    const storymap::Edge& e = graph.edges[static_cast<std::size_t>(conflict.edge)];
    const std::string& where = e.source == LineOrigin::Library ? libraryPath : scenarioPath;
    std::fprintf(stderr, "%s:%d: warning: %s\n", where.empty() ? "marvo.lib" : where.c_str(), e.line,
                 cp1251ToUtf8(storymap::conflictText(graph, conflict, false)).c_str());
  }

  std::string out;
  if (format == "json") {
    out = storymap::toJson(graph, &layout);
  } else if (format == "dot") {
    out = storymap::toDot(graph, &layout);
  } else if (auto svg = storymap::toSvg(graph, layout)) {
    out = std::move(*svg);
  } else {
    std::fputs("marvo-cli graph: Graphviz could not draw the map\n", stderr);
    return 1;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return unreadable ? 1 : 0;
}

}  // namespace marvo::cli
