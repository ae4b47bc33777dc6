// The dialogue tree in pre-order, and its ".dlg" file (one line per node, depth as leading TABs).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::npc {

struct DialogueNode {
  int depth = 0;     // 0 for a root
  std::string text;  // Windows-1251; "phrase;answer"

  bool operator==(const DialogueNode&) const = default;
};

// A dialogue tree listed in pre-order: every node is followed by its descendants, siblings in
// their order. The index of a node is its tree position. The first node has depth 0 and every
// node's depth is at most one more than the depth of the node before it.
using DialogueTree = std::vector<DialogueNode>;

bool isWellFormed(const DialogueTree& tree);

// Tree position of each node's parent, or -1 for a root. Requires a well-formed tree.
std::vector<int> parentPositions(const DialogueTree& tree);

// State of each node: 0 for a root, its parent's tree position plus 1 otherwise.
std::vector<int> nodeStates(const DialogueTree& tree);

// The file content: per node, depth TABs, the text and CR LF. An empty tree gives an empty file.
std::string writeDialogueFile(const DialogueTree& tree);

struct DialogueRead {
  DialogueTree tree;
  std::string error;  // empty on success; then `tree` is the whole file
};

// Reads file content (lines end at CR, LF or CR LF). A line's depth is the number of its leading
// TABs and blanks; the first line is a root whatever its depth. A line deeper by more than one
// level than the node before it is an error naming `fileName`, the line number, the depth and the
// text; then the tree is empty and nothing of the file is to be used.
DialogueRead readDialogueFile(std::string_view content, std::string_view fileName);

}  // namespace marvo::npc
