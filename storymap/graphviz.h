// Graphviz in-process (cgraph + gvc): the layered layout of boxes, and SVG drawn by its renderer.
// Graphviz keeps global state, so every call is serialised.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace marvo::storymap::gv {

struct Box {
  double width = 0;  // points
  double height = 0;
};

// Centres of the boxes (points, y downwards) after dot's layered layout of `edges` (pairs of box
// indexes). Empty when Graphviz failed.
std::vector<std::pair<double, double>> layered(const std::vector<Box>& boxes,
                                               const std::vector<std::pair<int, int>>& edges);

// SVG of a DOT text whose nodes carry their positions ("pos"), drawn where they stand; std::nullopt
// when Graphviz cannot read or draw it.
std::optional<std::string> renderSvg(const std::string& dot);

}  // namespace marvo::storymap::gv
