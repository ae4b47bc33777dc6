// The story map for other tools: JSON (nodes and edges, positions when laid out), DOT, and SVG drawn
// by Graphviz's renderer where the layout put the boxes. All output is UTF-8.
#pragma once

#include <optional>
#include <string>

#include "layout.h"
#include "story_graph.h"

namespace marvo::storymap {

// {"nodes": [{"name", "line", "text", "marks": [...], "x", "y"}...], "edges": [{"from", "to",
// "kind", "line", "label", "direction"}...], "conflicts": [...]}; a library location or line adds
// "source": "library". Positions and conflicts only with a layout.
std::string toJson(const StoryGraph& graph, const Layout* layout);
// A digraph whose nodes are named by the locations and labelled with name and text; with a layout,
// each node's "pos" pins it ("x,y!", points, y upwards as Graphviz counts).
std::string toDot(const StoryGraph& graph, const Layout* layout);
// SVG of the laid-out map; std::nullopt when Graphviz cannot draw it.
std::optional<std::string> toSvg(const StoryGraph& graph, const Layout& layout);

// The conflict as the author reads it (Windows-1251): "Строка 12: переход «север» из «a» в «b» не
// ложится на сетку карты: ...". Without `withLine` it starts at "переход".
std::string conflictText(const StoryGraph& graph, const GridConflict& conflict, bool withLine = true);

}  // namespace marvo::storymap
