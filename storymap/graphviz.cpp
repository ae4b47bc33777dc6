// Graphviz in-process: one context for the process, used under a lock.
#include "graphviz.h"

#include <gvc.h>

#include <mutex>

namespace marvo::storymap::gv {

namespace {

std::mutex& lock() {
  static std::mutex m;
  return m;
}

// Created on first use and kept for the process (loading the plugins takes time).
GVC_t* context() {
  static GVC_t* gvc = gvContext();
  return gvc;
}

std::string inches(double points) { return std::to_string(points / 72.0); }

}  // namespace

std::vector<std::pair<double, double>> layered(const std::vector<Box>& boxes,
                                               const std::vector<std::pair<int, int>>& edges) {
  std::vector<std::pair<double, double>> out;
  if (boxes.empty()) return out;
  std::lock_guard guard(lock());
  GVC_t* gvc = context();
  Agraph_t* g = agopen(const_cast<char*>("story"), Agstrictdirected, nullptr);
  if (!g) return out;
  // Network simplex and crossing minimisation are bounded: a tangled story still lays out quickly.
  agattr(g, AGRAPH, const_cast<char*>("rankdir"), const_cast<char*>("TB"));
  agattr(g, AGRAPH, const_cast<char*>("nodesep"), const_cast<char*>("0.5"));
  agattr(g, AGRAPH, const_cast<char*>("ranksep"), const_cast<char*>("0.7"));
  agattr(g, AGRAPH, const_cast<char*>("nslimit"), const_cast<char*>("4"));
  agattr(g, AGRAPH, const_cast<char*>("nslimit1"), const_cast<char*>("4"));
  agattr(g, AGRAPH, const_cast<char*>("mclimit"), const_cast<char*>("0.5"));
  agattr(g, AGRAPH, const_cast<char*>("splines"), const_cast<char*>("none"));
  agattr(g, AGNODE, const_cast<char*>("shape"), const_cast<char*>("box"));
  agattr(g, AGNODE, const_cast<char*>("fixedsize"), const_cast<char*>("true"));
  agattr(g, AGNODE, const_cast<char*>("label"), const_cast<char*>(""));
  Agsym_t* width = agattr(g, AGNODE, const_cast<char*>("width"), const_cast<char*>("0.75"));
  Agsym_t* height = agattr(g, AGNODE, const_cast<char*>("height"), const_cast<char*>("0.5"));
  std::vector<Agnode_t*> nodes;
  nodes.reserve(boxes.size());
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    Agnode_t* n = agnode(g, const_cast<char*>(("n" + std::to_string(i)).c_str()), 1);
    agxset(n, width, const_cast<char*>(inches(boxes[i].width).c_str()));
    agxset(n, height, const_cast<char*>(inches(boxes[i].height).c_str()));
    nodes.push_back(n);
  }
  for (const auto& [a, b] : edges) {
    if (a < 0 || b < 0 || a == b || a >= static_cast<int>(nodes.size()) || b >= static_cast<int>(nodes.size()))
      continue;
    agedge(g, nodes[static_cast<std::size_t>(a)], nodes[static_cast<std::size_t>(b)], nullptr, 1);
  }
  if (gvLayout(gvc, g, "dot") == 0) {
    out.reserve(nodes.size());
    for (Agnode_t* n : nodes) out.emplace_back(ND_coord(n).x, -ND_coord(n).y);
    gvFreeLayout(gvc, g);
  }
  agclose(g);
  return out;
}

std::optional<std::string> renderSvg(const std::string& dot) {
  std::lock_guard guard(lock());
  GVC_t* gvc = context();
  Agraph_t* g = agmemread(dot.c_str());
  if (!g) return std::nullopt;
  std::optional<std::string> svg;
  if (gvLayout(gvc, g, "nop2") == 0) {
    char* data = nullptr;
    unsigned int length = 0;
    if (gvRenderData(gvc, g, "svg", &data, &length) == 0 && data) svg = std::string(data, length);
    if (data) gvFreeRenderData(data);
    gvFreeLayout(gvc, g);
  }
  agclose(g);
  return svg;
}

}  // namespace marvo::storymap::gv

// Graphviz and the font libraries its plugins load keep allocations for the life of the process;
// a build with LeakSanitizer reports leaks of this program's own code only.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libgvc.so\nleak:libcgraph.so\nleak:libfontconfig.so\nleak:libpango\nleak:libcairo.so\n";
}
