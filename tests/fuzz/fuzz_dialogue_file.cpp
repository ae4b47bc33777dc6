// Fuzz target: any ".dlg" content is read without fault; what is read is a well-formed tree that
// survives a write and a read unchanged, and generates without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "npc/dialogue_script.h"
#include "npc/dialogue_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marvo::npc;
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const auto read = readDialogueFile(content, "fuzz.dlg");
  if (!read.error.empty()) {
    if (!read.tree.empty()) std::abort();
    return 0;
  }
  if (!isWellFormed(read.tree)) std::abort();
  const auto again = readDialogueFile(writeDialogueFile(read.tree), "fuzz.dlg");
  if (!again.error.empty() || again.tree != read.tree) std::abort();
  const auto script = generateDialogue(read.tree, "d");
  if (script.error.empty() == (read.tree.size() > kNodeSlots)) std::abort();
  return 0;
}
