// Generation of a callable dialogue location from a dialogue tree.
#include "dialogue_script.h"

#include <algorithm>

#include "engine/text.h"

namespace marvo::npc {

using namespace marvo::literals;

std::string dialogueLabel(std::string_view field) { return lower(trimView(field)); }

std::vector<std::string> duplicateLabelMessages(const std::vector<std::string>& scenario,
                                                std::string_view label) {
  const std::string labelLine = ":" + std::string(label);
  std::vector<std::string> messages;
  for (const auto& line : scenario)
    if (line == labelLine)
      messages.push_back(std::string("Диалог с меткой "_w) + std::string(label) +
                         std::string(" уже существует"_w));
  return messages;
}

std::vector<NodeSlot> fillNodeTable(const DialogueTree& tree) {
  std::vector<NodeSlot> table(kNodeSlots);
  const auto states = nodeStates(tree);
  std::size_t free = 0;  // the first free slot: every slot before it holds a text
  for (std::size_t i = 0; i < tree.size() && free < table.size(); ++i) {
    // A node with an empty text leaves its slot free, so the next node overwrites its state.
    table[free].state = states[i];
    table[free].text = tree[i].text;
    if (!table[free].text.empty()) ++free;
  }
  return table;
}

namespace {
void appendOptions(std::vector<std::string>& out, const std::vector<NodeSlot>& table, int state,
                   const std::string& label) {
  int number = 0;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const NodeSlot& slot = table[i];
    if (slot.state != state || slot.text.empty()) continue;
    ++number;
    const std::size_t semicolon = slot.text.find(';');
    const std::string phrase = slot.text.substr(0, semicolon);
    const std::string answer =
        semicolon == std::string::npos ? std::string() : slot.text.substr(semicolon + 1);
    // An option leads to the state of the slot after it when that state is greater (its first
    // child), otherwise the conversation ends.
    const bool leadsOn = i + 1 < table.size() && table[i + 1].state > slot.state;
    const int next = leadsOn ? table[i + 1].state : kIdleState;
    out.push_back("!" + std::to_string(number) + ". " + phrase);
    out.push_back("TALK " + std::to_string(number));
    out.push_back("!" + answer);
    out.push_back(label + "_dialog=" + std::to_string(next));
    out.push_back("REDO");
  }
}
}  // namespace

DialogueScript generateDialogue(const DialogueTree& tree, std::string_view labelView) {
  DialogueScript script;
  if (tree.size() > kNodeSlots) {
    script.error = std::string("В дереве диалога больше 400 узлов (всего "_w) +
                   std::to_string(tree.size()) + std::string("); диалог не создан"_w);
    return script;
  }
  const std::string label(labelView);
  const auto table = fillNodeTable(tree);
  auto& out = script.lines;

  out.insert(out.end(), {
      "",
      std::string("* НАЧАЛО ДИАЛОГА "_w) + label,
      ":" + label,
      std::string("* Вызвать диалог можно командой CALL "_w) + label +
          std::string(" из любой локации"_w),
      "IF " + label + "_first=0",
      label + "_dialog=399",
      label + "_first=1",
      "ENDIF",
      "IF " + label + "_dialog=399",
      std::string("TALK общатс/говор/разгов/толков/базари/беседов"_w),
      label + "_dialog=0",
      "REDO",
      "ENDIF",
  });

  int lastState = 0;
  for (const auto& slot : table) lastState = std::max(lastState, slot.state);
  for (int state = 0; state <= lastState; ++state) {
    out.emplace_back();
    out.push_back("IF " + label + "_dialog=" + std::to_string(state));
    appendOptions(out, table, state, label);
    out.push_back("ENDIF");
  }

  out.insert(out.end(), {
      "",
      std::string("*Возврат к вызывающей локации"_w),
      "RET",
      "*- - - - - - - -  END of NPC - - - - - -*",
  });
  return script;
}

}  // namespace marvo::npc
