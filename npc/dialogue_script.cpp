// Generation of a callable dialogue location from a dialogue tree.
#include "dialogue_script.h"

#include <algorithm>

#include "engine/decode.h"
#include "engine/keyword_aliases.h"
#include "engine/text.h"

namespace marvo::npc {

using namespace marvo::literals;

std::string dialogueLabel(std::string_view field) { return lower(trimView(field)); }

std::vector<std::string> duplicateLabelMessages(const std::vector<std::string>& scenario, std::string_view label) {
  const std::string labelLine = ":" + std::string(label);
  std::vector<std::string> messages;
  for (const auto& line : scenario)
    if (line == labelLine)
      messages.push_back(std::string("Диалог с меткой "_w) + std::string(label) + std::string(" уже существует"_w));
  return messages;
}

namespace {

struct LabelTrap {
  std::string_view fragment;
  bool atStart;          // the label starts with it (else: holds it anywhere)
  std::string_view why;  // what game start or the engine then makes of the generated lines
};

constexpr LabelTrap kLabelTraps[] = {
    {"do", true,
     "строки «МЕТКА_dialog=...» начинаются с «do», и игра превратит их в пункты меню (игра не запустится)"_w},
    {"call", true, "строки «МЕТКА_dialog=...» начинаются с «call», и игра превратит их в переходы"_w},
    {alias::kRead.stem, true,
     "строки «МЕТКА_dialog=...» начинаются с «read», и движок выполнит их как READ: диалог не начнётся"_w},
    {alias::kRead.russianStem, true, "строки «МЕТКА_dialog=...» начинаются с «ждат», и движок выполнит их как READ"_w},
    {alias::kTalk.stem, true, "строки «МЕТКА_dialog=...» начинаются с «talk», и пропуск блоков TALK собьётся"_w},
    {alias::kTalk.russianStem, true, "строки «МЕТКА_dialog=...» начинаются с «парс», и пропуск блоков TALK собьётся"_w},
    {alias::kRedo.stem, true, "строки «МЕТКА_dialog=...» начинаются с «redo», и движок выполнит их как REDO"_w},
    {alias::kRedo.russianStem, true, "строки «МЕТКА_dialog=...» начинаются с «ввер», и движок выполнит их как REDO"_w},
    {"retu", true, "строки «МЕТКА_dialog=...» начинаются с «retu», и движок выполнит их как RETURN"_w},
    {"crea", true, "строки «МЕТКА_dialog=...» начинаются с «crea», и движок создаст объект"_w},
    {"push", true, "строки «МЕТКА_dialog=...» начинаются с «push», и движок выполнит их как PUSHLOC"_w},
    {"pop", true, "строки «МЕТКА_dialog=...» начинаются с «pop», и движок выполнит их как POPLOC или POPINDEX"_w},
    {"empo", true, "строки «МЕТКА_dialog=...» начинаются с «empo», и движок сменит ответ на непонятный ввод"_w},
    {"clea", true, "строки «МЕТКА_dialog=...» начинаются с «clea», и движок выполнит их как CLEAR"_w},
    {alias::kGoto.stem, true, "строки «МЕТКА_dialog=...» начинаются с «goto», и движок выполнит их как GOTO"_w},
    {alias::kGoto.russianStem, true, "строки «МЕТКА_dialog=...» начинаются с «идти», и движок выполнит их как GOTO"_w},
    {"jump", true, "строки «МЕТКА_dialog=...» начинаются с «jump», и движок выполнит их как JUMP"_w},
    {"showitem", true, "строки «МЕТКА_dialog=...» начинаются с «showitem», и движок выполнит их как SHOWITEM"_w},
    {alias::kEndif.russianStem, true,
     "строки «МЕТКА_dialog=...» начинаются с «коне», и пропуск IF примет их за ENDIF"_w},
    {alias::kIf.stem, false, "в метке есть «if», и строки «МЕТКА_dialog=...» станут условиями IF без ENDIF"_w},
    {alias::kIf.russianStem, false, "в метке есть «если», и строки «МЕТКА_dialog=...» станут условиями IF без ENDIF"_w},
    {alias::kEndif.stem, false, "в метке есть «endi», и пропуск IF примет строки с ней за ENDIF"_w},
    {"btn", false, "в метке есть «btn», и игра превратит каждую строку с ней в кнопку (игра не запустится)"_w},
    {"return", false, "в метке есть «return», и игра вставит библиотеку перед каждой строкой с ней"_w},
    {alias::kExamine.stem, false, "в метке есть «exam», и каждая строка «МЕТКА_dialog=...» выполнит ещё и EXAMINE"_w},
    {alias::kExamine.russianStem, false,
     "в метке есть «изуч», и каждая строка «МЕТКА_dialog=...» выполнит ещё и EXAMINE"_w},
    {"_расположение"_w, false, "в метке есть название свойства объекта, и строки станут присваиваниями свойства"_w},
    {"_дескриптор"_w, false, "в метке есть название свойства объекта, и строки станут присваиваниями свойства"_w},
    {"_маска"_w, false, "в метке есть название свойства объекта, и строки станут присваиваниями свойства"_w},
    {"_синоним"_w, false, "в метке есть название свойства объекта, и строки станут присваиваниями свойства"_w},
    {"_содержание"_w, false, "в метке есть название свойства объекта, и строки станут присваиваниями свойства"_w},
    {"_описание"_w, false, "в метке есть название свойства объекта, и строки станут присваиваниями свойства"_w},
};

// The first trap the label falls into, or nullptr.
const LabelTrap* trapOf(std::string_view label) {
  for (const auto& trap : kLabelTraps)
    if (trap.atStart ? label.starts_with(trap.fragment) : contains(label, trap.fragment)) return &trap;
  return nullptr;
}

// A label like `label` that avoids every trap: "npc" in front, and a "_" inside each fragment
// that counts anywhere.
std::string suggestLabel(std::string_view label) {
  std::string out = "npc" + std::string(label);
  while (const LabelTrap* trap = trapOf(out)) {
    if (trap->atStart) break;  // cannot happen after "npc"
    out.insert(out.find(trap->fragment) + (trap->fragment.starts_with("_") ? 2 : 1), "_");
  }
  std::string cleaned;
  for (char c : out)
    if (kDelimiters.find(c) == std::string_view::npos) cleaned += c;
  return cleaned;
}

}  // namespace

std::string labelProblem(std::string_view label) {
  std::string why;
  if (label.empty()) {
    why = std::string("метка пуста, и CALL не сможет перейти к диалогу"_w);
  } else if (label.find_first_of(kDelimiters) != std::string_view::npos) {
    why = std::string(
        "в метке есть пробел или знак + - = < > * / , ; ( ), и имена переменных диалога распадутся на "
        "несколько слов"_w);
  } else if (label.starts_with("*") || label.starts_with("!") || label.starts_with("@") || label.starts_with("^") ||
             label.starts_with(":")) {
    why = std::string("метка начинается со знака, который меняет смысл строки"_w);
  } else if (const LabelTrap* trap = trapOf(label)) {
    why = std::string(trap->why);
    replaceFirst(why, "МЕТКА"_w, label);
  } else {
    return {};
  }
  const std::string better = suggestLabel(label.empty() ? std::string_view("dialog") : label);
  return concat("Метка диалога «"_w, label, "» не годится: "_w, why, ". Возьмите, например, «"_w,
                trapOf(better) || better.empty() ? std::string_view("dialog1") : std::string_view(better), "»."_w);
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
    const std::string answer = semicolon == std::string::npos ? std::string() : slot.text.substr(semicolon + 1);
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
    script.error = std::string("В дереве диалога больше 400 узлов (всего "_w) + std::to_string(tree.size()) +
                   std::string("); диалог не создан"_w);
    return script;
  }
  const std::string label(labelView);
  const auto table = fillNodeTable(tree);
  auto& out = script.lines;

  out.insert(out.end(),
             {
                 "",
                 std::string("* НАЧАЛО ДИАЛОГА "_w) + label,
                 ":" + label,
                 std::string("* Вызвать диалог можно командой CALL "_w) + label + std::string(" из любой локации"_w),
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
