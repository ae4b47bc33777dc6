// JSON, DOT and SVG of the story map.
#include "export.h"

#include <cmath>

#include "engine/codec.h"
#include "engine/text.h"
#include "game/json_events.h"
#include "graphviz.h"

namespace marvo::storymap {

using namespace literals;

namespace {

std::string number(double v) { return std::to_string(std::llround(v)); }

// A DOT string literal of Windows-1251 text, in UTF-8.
std::string dotString(std::string_view cp1251) {
  std::string out = "\"";
  for (char c : cp1251ToUtf8(cp1251)) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n' || c == '\r') continue;
    out += c;
  }
  return out + "\"";
}

std::string_view colourOf(std::uint8_t marks) {
  if (marks & kUnreachable) return "#bdbdbd";
  if (marks & kClosedLoop) return "#f4a6a6";
  if (marks & kDeadEnd) return "#f7c98b";
  if (marks & kEnding) return "#b7d9f7";
  if (marks & kStart) return "#b9e4b0";
  return "#ffffff";
}

std::string shortened(std::string_view text, std::size_t most) {
  if (text.size() <= most) return std::string(text);
  return std::string(text.substr(0, most - 3)) + "...";
}

std::string_view directionWord(Direction d) {
  switch (d) {
    case Direction::North:
      return "север"_w;
    case Direction::South:
      return "юг"_w;
    case Direction::West:
      return "запад"_w;
    case Direction::East:
      return "восток"_w;
    case Direction::Up:
      return "вверх"_w;
    case Direction::Down:
      return "вниз"_w;
    default:
      return "";
  }
}

}  // namespace

std::string toJson(const StoryGraph& graph, const Layout* layout) {
  std::string out = "{\"nodes\": [";
  for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
    const Node& n = graph.nodes[i];
    out += i ? ",\n  " : "\n  ";
    out += "{\"name\": " + events::jsonString(n.name) + ", \"line\": " + std::to_string(n.line);
    if (n.source == LineOrigin::Library) out += ", \"source\": \"library\"";
    out += ", \"text\": " + events::jsonString(n.text) + ", \"marks\": [";
    const auto marks = markNames(n.marks);
    for (std::size_t k = 0; k < marks.size(); ++k) out += (k ? ", \"" : "\"") + std::string(marks[k]) + "\"";
    out += "]";
    if (layout && i < layout->at.size())
      out += ", \"x\": " + number(layout->at[i].x) + ", \"y\": " + number(layout->at[i].y);
    out += "}";
  }
  out += graph.nodes.empty() ? "],\n\"edges\": [" : "\n],\n\"edges\": [";
  for (std::size_t i = 0; i < graph.edges.size(); ++i) {
    const Edge& e = graph.edges[i];
    out += i ? ",\n  " : "\n  ";
    out += "{\"from\": " + events::jsonString(graph.nodes[static_cast<std::size_t>(e.from)].name) +
           ", \"to\": " + events::jsonString(graph.nodes[static_cast<std::size_t>(e.to)].name) + ", \"kind\": \"" +
           std::string(kindName(e.kind)) + "\", \"line\": " + std::to_string(e.line);
    if (e.source == LineOrigin::Library) out += ", \"source\": \"library\"";
    out += ", \"label\": " + events::jsonString(e.label);
    if (e.direction != Direction::None) out += ", \"direction\": \"" + std::string(directionName(e.direction)) + "\"";
    out += "}";
  }
  out += graph.edges.empty() ? "]" : "\n]";
  if (layout) {
    out += ",\n\"conflicts\": [";
    for (std::size_t i = 0; i < layout->conflicts.size(); ++i) {
      const GridConflict& c = layout->conflicts[i];
      const Edge& e = graph.edges[static_cast<std::size_t>(c.edge)];
      out += i ? ",\n  " : "\n  ";
      out += "{\"line\": " + std::to_string(e.line) +
             ", \"from\": " + events::jsonString(graph.nodes[static_cast<std::size_t>(e.from)].name) +
             ", \"to\": " + events::jsonString(graph.nodes[static_cast<std::size_t>(e.to)].name) +
             ", \"direction\": \"" + std::string(directionName(e.direction)) + "\"";
      if (c.other >= 0)
        out += ", \"taken_by\": " + events::jsonString(graph.nodes[static_cast<std::size_t>(c.other)].name);
      out += ", \"message\": " + events::jsonString(conflictText(graph, c)) + "}";
    }
    out += layout->conflicts.empty() ? "]" : "\n]";
  }
  return out + "}\n";
}

std::string toDot(const StoryGraph& graph, const Layout* layout) {
  std::string out =
      "digraph story {\n"
      "  node [shape=box, style=\"rounded,filled\", fontname=\"DejaVu Sans\", fontsize=10, fixedsize=true, "
      "width=" +
      std::to_string(kBoxWidth / 72) + ", height=" + std::to_string(kBoxHeight / 72) +
      "];\n"
      "  edge [fontname=\"DejaVu Sans\", fontsize=9];\n";
  for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
    const Node& n = graph.nodes[i];
    // The label: the name, and the first text line beneath it.
    std::string label = dotString(shortened(n.name, 26));
    if (!n.text.empty()) {
      const std::string text = dotString(shortened(n.text, 28));
      label.insert(label.size() - 1, "\\n" + text.substr(1, text.size() - 2));
    }
    out += "  " + dotString(n.name) + " [label=" + label + ", fillcolor=\"" + std::string(colourOf(n.marks)) + "\"";
    if (layout && i < layout->at.size())
      out += ", pos=\"" + number(layout->at[i].x) + "," + number(-layout->at[i].y) + "!\"";
    out += "];\n";
  }
  for (const Edge& e : graph.edges) {
    out += "  " + dotString(graph.nodes[static_cast<std::size_t>(e.from)].name) + " -> " +
           dotString(graph.nodes[static_cast<std::size_t>(e.to)].name) + " [class=\"" + std::string(kindName(e.kind)) +
           "\"";
    const std::string label = e.direction != Direction::None && e.label.empty()
                                  ? std::string(directionWord(e.direction))
                                  : shortened(e.label, 24);
    if (!label.empty()) out += ", label=" + dotString(label);
    if (e.kind == EdgeKind::Call || e.kind == EdgeKind::Hook) out += ", style=dashed";
    if (e.kind == EdgeKind::Fall) out += ", style=dotted";
    out += "];\n";
  }
  return out + "}\n";
}

std::optional<std::string> toSvg(const StoryGraph& graph, const Layout& layout) {
  return gv::renderSvg(toDot(graph, &layout));
}

std::string conflictText(const StoryGraph& graph, const GridConflict& conflict, bool withLine) {
  const Edge& e = graph.edges[static_cast<std::size_t>(conflict.edge)];
  const auto name = [&](int k) { return concat("«"_w, graph.nodes[static_cast<std::size_t>(k)].name, "»"_w); };
  std::string text = withLine ? concat("Строка "_w, std::to_string(e.line),
                                       e.source == LineOrigin::Library ? " библиотеки"_w : "", ": "_w)
                              : std::string();
  text += concat("переход «"_w, directionWord(e.direction), "» из "_w, name(e.from), " в "_w, name(e.to),
                 " не ложится на сетку карты: "_w);
  if (conflict.other >= 0)
    text += concat("это место уже занято локацией "_w, name(conflict.other), "."_w);
  else
    text += concat("локация "_w, name(e.to), " уже стоит в другом месте по другим направлениям."_w);
  return text;
}

}  // namespace marvo::storymap
