// The play tree of a scenario: every command played as a node under the commands before it, with
// the reply it got, the reply the author blessed as expected, and the sidecar file "NAME.tree".
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace marvo::tree {

// Node 0 is the game start; every other node is one command after its parent's path. Texts are
// Windows-1251 (the name is the author's, as typed).
struct Node {
  std::string command;
  std::string name;
  std::vector<std::string> reply;                   // the turn's lines as last played
  std::optional<std::vector<std::string>> blessed;  // the reply the author expects
  bool changed = false;                             // the last check found a reply other than the blessed one
  bool unfit = false;                               // the command matched nothing (or the run failed) on the last check
  std::size_t parent = 0;
  std::vector<std::size_t> children;  // in the order they were first played
  bool removed = false;
};

class PlayTree {
 public:
  PlayTree();

  const std::vector<Node>& nodes() const { return nodes_; }
  const Node& node(std::size_t id) const { return nodes_.at(id); }
  Node& node(std::size_t id) { return nodes_.at(id); }

  // The child of `parent` for `command`: the existing one (same command after the same path is
  // the same node), else a new one.
  std::size_t child(std::size_t parent, const std::string& command);
  // Adds a play (the commands from game start); returns the node of its last command (0 for none).
  std::size_t addPlay(const std::vector<std::string>& commands);
  // The commands from game start to `id`.
  std::vector<std::string> path(std::size_t id) const;
  // Nodes without children (the game start only when it has none), in file order.
  std::vector<std::size_t> leaves() const;
  // Every node that is not removed, parents before children, children in their order.
  std::vector<std::size_t> order() const;
  // Removes `id` and everything under it (not the game start).
  void remove(std::size_t id);
  // Blesses the node's current reply (also "accept the new reply" after a check).
  void bless(std::size_t id);

 private:
  std::vector<Node> nodes_;
};

// The sidecar of a scenario: "NAME.tree" beside "NAME.scn".
std::filesystem::path treeFileFor(const std::filesystem::path& scenario);

// The sidecar text (UTF-8): a header line, then per node, depth-first in the children's order,
// "> command" indented two spaces per depth, followed by its lines, indented one level deeper:
// "@ name", "= blessed line", "~ reply line" (the reply only where it differs from the blessed one),
// "! unfit", "? changed"; a bare "=" or "~" stands for a reply of no lines. Each line ends with LF.
std::string treeText(const PlayTree& tree);
struct TreeParse {
  std::optional<PlayTree> tree;
  int errorLine = 0;  // 1-based; 0 with a tree
  std::string error;  // UTF-8, Russian
};
TreeParse parseTree(std::string_view utf8);

// Reading the sidecar: a missing file gives an empty tree. A broken or foreign file is renamed to
// "NAME.tree.bak" (replacing an older one) and an empty tree started; `message` then says so
// (UTF-8, Russian, naming the file, the line and the reason).
struct TreeLoad {
  PlayTree tree;
  std::string message;
};
TreeLoad loadTree(const std::filesystem::path& file);
// Replaces the file atomically. Returns "<file>: <reason>" on failure.
std::optional<std::string> saveTree(const std::filesystem::path& file, const PlayTree& tree);

}  // namespace marvo::tree
