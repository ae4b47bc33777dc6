// marvo-cli dialogue: prints the dialogue location that "Создать" of the NPC maker would append.
#include <cstdio>
#include <optional>
#include <string>

#include "cli_commands.h"
#include "engine/codec.h"
#include "engine/file_io.h"
#include "game/scenario_file.h"
#include "npc/dialogue_script.h"
#include "npc/dialogue_tree.h"

namespace marvo::cli {

namespace {
int usageError(const std::string& what) {
  std::fprintf(stderr,
               "marvo-cli dialogue: %s\n"
               "usage: marvo-cli dialogue FILE.dlg [--label LABEL] [--scenario FILE.scn]\n",
               what.c_str());
  return 2;
}

void printLine(const std::string& utf8, std::FILE* to) {
  std::fwrite(utf8.data(), 1, utf8.size(), to);
  std::fputc('\n', to);
}
}  // namespace

int dialogue(const Args& args) {
  std::optional<std::string> dialogueFile;
  std::string label = "dialog1";
  std::optional<std::string> scenarioFile;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--label" || arg == "--scenario") {
      if (i + 1 >= args.size()) return usageError(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--label")
        label = value;
      else
        scenarioFile = value;
    } else if (arg.starts_with("--")) {
      return usageError("unknown option " + arg);
    } else if (dialogueFile) {
      return usageError("more than one dialogue file");
    } else {
      dialogueFile = arg;
    }
  }
  if (!dialogueFile) return usageError("no dialogue file");

  const auto file = readWholeFile(*dialogueFile);
  if (!file.error.empty()) {
    printLine(file.error, stderr);
    return 1;
  }
  const auto dialogue = npc::readDialogueFile(file.bytes, utf8ToCp1251(*dialogueFile));
  if (!dialogue.error.empty()) {
    printLine(cp1251ToUtf8(dialogue.error), stderr);
    return 1;
  }

  const std::string normalised = npc::dialogueLabel(utf8ToCp1251(label));
  if (scenarioFile) {
    const auto scenario = readScenarioFile(*scenarioFile);
    if (!scenario.error.empty()) {
      printLine(scenario.error, stderr);
      return 1;
    }
    const auto duplicates = npc::duplicateLabelMessages(scenario.lines, normalised);
    for (const auto& message : duplicates) printLine(cp1251ToUtf8(message), stderr);
    if (!duplicates.empty()) return 1;
  }

  if (const auto problem = npc::labelProblem(normalised); !problem.empty()) {
    printLine(cp1251ToUtf8(problem), stderr);
    return 1;
  }
  const auto script = npc::generateDialogue(dialogue.tree, normalised);
  if (!script.error.empty()) {
    printLine(cp1251ToUtf8(script.error), stderr);
    return 1;
  }
  for (const auto& line : script.lines) printLine(cp1251ToUtf8(line), stdout);
  return std::ferror(stdout) ? 1 : 0;
}

}  // namespace marvo::cli
