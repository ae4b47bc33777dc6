// Fuzz target: reading play tree sidecars ("NAME.tree") from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "playtree/play_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto parsed = marvo::tree::parseTree(input);
  if (!parsed.tree) {
    // A refused file names a line of it and a reason.
    if (parsed.error.empty() || parsed.errorLine < 1) __builtin_trap();
    return 0;
  }
  const auto& tree = *parsed.tree;
  // Every node is reachable from the game start, and its path leads back to it.
  if (tree.order().size() != tree.nodes().size()) __builtin_trap();
  for (std::size_t id : tree.leaves()) (void)tree.path(id);
  // What was read is written back as a file that reads as the same tree.
  const std::string text = marvo::tree::treeText(tree);
  const auto again = marvo::tree::parseTree(text);
  if (!again.tree || marvo::tree::treeText(*again.tree) != text) __builtin_trap();
  return 0;
}
