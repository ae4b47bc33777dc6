// Generation of a callable dialogue location from a dialogue tree.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "npc/dialogue_tree.h"

namespace marvo::npc {

// Slots of the generator's node table; larger trees are refused.
inline constexpr std::size_t kNodeSlots = 400;
// The conversation state "idle", also the next state of an option that ends the conversation.
inline constexpr int kIdleState = 399;

// The dialogue label D: the label field trimmed of characters up to code 32, then lower-cased.
std::string dialogueLabel(std::string_view field);

// One message "Диалог с меткой D уже существует" for every scenario line that is exactly ":" + D.
std::vector<std::string> duplicateLabelMessages(const std::vector<std::string>& scenario, std::string_view label);

// Why the (normalised) label would break the generated dialogue once game start and the engine
// read it, with a label to use instead; empty when the label is safe. A label that starts with
// "do", "call", "read", "talk" or another keyword, or that holds "if", "btn", "return" and the
// like, turns the generated lines into other statements (see the message for which).
std::string labelProblem(std::string_view label);

// One slot of the node table: a free slot has an empty text.
struct NodeSlot {
  std::string text;
  int state = 0;
};

// The node table filled from the tree: each node in pre-order takes the first free slot, gets its
// state written there, then its text. Requires tree.size() <= kNodeSlots.
std::vector<NodeSlot> fillNodeTable(const DialogueTree& tree);

struct DialogueScript {
  std::vector<std::string> lines;  // header, state blocks and footer
  std::string error;               // non-empty when the tree cannot be generated; then no lines
};

// The lines that "Создать" appends for `tree` under the (already normalised) label. Trees of more
// than kNodeSlots nodes are refused with an error text. The duplicate check is separate.
DialogueScript generateDialogue(const DialogueTree& tree, std::string_view label);

}  // namespace marvo::npc
