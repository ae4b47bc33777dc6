// The dialogue tree in pre-order, and its ".dlg" file.
#include "dialogue_tree.h"

#include <algorithm>

#include "engine/file_io.h"
#include "engine/text.h"

namespace marvo::npc {

bool isWellFormed(const DialogueTree& tree) {
  int previous = -1;
  for (const auto& node : tree) {
    if (node.depth < 0 || node.depth > previous + 1) return false;
    previous = node.depth;
  }
  return true;
}

std::vector<int> parentPositions(const DialogueTree& tree) {
  std::vector<int> parents(tree.size(), -1);
  // lastAtDepth[d]: the latest node seen at depth d, the parent of a following node at d + 1.
  std::vector<int> lastAtDepth;
  for (std::size_t i = 0; i < tree.size(); ++i) {
    // A depth out of range (a tree that is not well formed) is taken as the deepest possible.
    const auto depth = static_cast<std::size_t>(std::clamp(tree[i].depth, 0, static_cast<int>(lastAtDepth.size())));
    if (depth > 0) parents[i] = lastAtDepth[depth - 1];
    lastAtDepth.resize(depth + 1);
    lastAtDepth[depth] = static_cast<int>(i);
  }
  return parents;
}

std::vector<int> nodeStates(const DialogueTree& tree) {
  std::vector<int> states = parentPositions(tree);
  for (auto& s : states) s = s < 0 ? 0 : s + 1;
  return states;
}

std::string writeDialogueFile(const DialogueTree& tree) {
  std::string out;
  for (const auto& node : tree) {
    out.append(static_cast<std::size_t>(node.depth), '\t');
    out += node.text;
    out += "\r\n";
  }
  return out;
}

DialogueRead readDialogueFile(std::string_view content, std::string_view fileName) {
  DialogueRead result;
  const auto lines = splitLines(content, true);
  result.tree.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t indent = line.find_first_not_of("\t ");
    const std::size_t depth = indent == std::string::npos ? line.size() : indent;
    std::string text = line.substr(depth);
    if (result.tree.empty()) {
      result.tree.push_back({0, std::move(text)});
      continue;
    }
    const auto previous = static_cast<std::size_t>(result.tree.back().depth);
    if (depth > previous + 1) {
      result.error = concat(fileName, ": строка "_w, std::to_string(i + 1), ": неверный уровень ("_w,
                            std::to_string(depth), ") у пункта «"_w, text, "»; диалог не загружен"_w);
      result.tree.clear();
      return result;
    }
    result.tree.push_back({static_cast<int>(depth), std::move(text)});
  }
  return result;
}

}  // namespace marvo::npc
