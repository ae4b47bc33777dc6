// marvo-cli: the terminal companion of Marvo IF. It plays, checks, tests and publishes scenarios
// and prints what the editors generate; kUsage below lists every subcommand.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli_commands.h"
#include "cli_help.h"

namespace {
// Each subcommand's synopsis starts a line with "  marvo-cli NAME"; its SUBCOMMAND --help shows it.
constexpr std::string_view kUsage =
    "usage:\n"
    "  marvo-cli play [--library FILE] [--replay SAVEFILE] [--save-log SAVEFILE] [--events]"
    " [--no-clock] [--clock-step N]\n"
    "            [--undo-word WORD] SCENARIO\n"
    "  marvo-cli cat SCENARIO\n"
    "  marvo-cli check [--library FILE] [--format text|json] [--spelling] SCENARIO...\n"
    "  marvo-cli check --library FILE [--format text|json]\n"
    "  marvo-cli graph [--library FILE] [--format dot|svg|json] SCENARIO\n"
    "  marvo-cli dialogue FILE.dlg [--label LABEL] [--scenario FILE.scn]\n"
    "  marvo-cli export-map FILE.map [--cursor ROW,COL] [--no-jump] [--names-in-description]\n"
    "            [--names-as-directions] [--text-navigation] [--north TEXT] [--south TEXT]\n"
    "            [--west TEXT] [--east TEXT]\n"
    "  marvo-cli publish [--library FILE] [--title TEXT] [--force] SCENARIO OUT_DIR\n"
    "  marvo-cli test [--library FILE] [--bless] [--coverage] SCENARIO [WALK...]\n"
    "  marvo-cli record [--library FILE] SCENARIO [--from SAVE.sav | < commands]\n"
    "  marvo-cli replay-check [--library FILE] SCENARIO SAVE.sav --against OLD_SCENARIO\n"
    "  marvo-cli lsp [--library FILE] [--diagnostics-delay MS] [--stdio]\n";

int usage() {
  std::fputs(kUsage.data(), stderr);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string_view command = argv[1];
  marvo::cli::Args args(argv + 2, argv + argc);
  if (auto status = marvo::cli::answerHelp(command, args, kUsage)) return *status;
  if (command == "play") return marvo::cli::play(args);
  if (command == "cat") return marvo::cli::cat(args);
  if (command == "check") return marvo::cli::check(args);
  if (command == "graph") return marvo::cli::graph(args);
  if (command == "dialogue") return marvo::cli::dialogue(args);
  if (command == "export-map") return marvo::cli::exportMap(args);
  if (command == "publish") return marvo::cli::publish(args);
  if (command == "test") return marvo::cli::test(args);
  if (command == "record") return marvo::cli::record(args);
  if (command == "replay-check") return marvo::cli::replayCheck(args);
  if (command == "lsp") return marvo::cli::lsp(args);
  return usage();
}
