// marvo-cli --help, --version and SUBCOMMAND --help: the synopsis lines come from the usage text,
// the explanations from the table below (a subcommand without an entry shows its synopsis alone).
#include "cli_help.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "marvo_version.h"

namespace marvo::cli {
namespace {

struct Explanation {
  std::string_view command;
  std::string_view text;
};

constexpr Explanation kExplanations[] = {
    {"play",
     "Plays SCENARIO (RTF or plain Windows-1251 text) in the terminal, one command per line of\n"
     "standard input (UTF-8; an empty line is Enter on an empty input). Writes tmp.scn in the\n"
     "current directory, or in ~/.local/share/marvo when the current directory may not be written.\n"
     "  --library FILE      the library (default: the first marvo.lib in the current directory, the\n"
     "                      scenario's directory, ~/.local/share/marvo or the installed games;\n"
     "                      named on standard error)\n"
     "  --replay SAVEFILE   load this saved game after the start\n"
     "  --save-log SAVEFILE write the commands typed since the start at the end of input\n"
     "  --events            print JSON Lines events instead of a transcript\n"
     "  --no-clock          freeze the game clock (variable time)\n"
     "  --clock-step N      instead of real seconds, N clock ticks before every command\n"
     "                      (0 keeps time at 0; reproducible runs of timed events)\n"
     "  --undo-word WORD    a line that is WORD (any letter case) takes back the last command:\n"
     "                      the game is replayed without it and its last turn shown again\n"},
    {"cat", "Prints the lines of SCENARIO as \"Open File\" reads them (UTF-8).\n"},
    {"publish",
     "Writes SCENARIO with its library as a folder for the web player (index.html and its\n"
     "files), to be served over http and played in a browser.\n"
     "  --library FILE      the library (default: found as play finds it)\n"
     "  --title TEXT        the page's title (default: the scenario's first text line or comment)\n"
     "  --force             write into OUT_DIR even when it is not empty\n"},
    {"test",
     "Runs walkthroughs (WALK files; without them NAME.walk, NAME-*.walk and NAME/*.walk beside\n"
     "the scenario) against SCENARIO, every test from a fresh game start, and prints each failed\n"
     "expectation with what the game printed, then PASS or FAIL per test. Exit status 1 when a\n"
     "test failed.\n"
     "  --library FILE      the library (default: marvo.lib in the current directory, else none)\n"
     "  --bless             rewrite the expectations that failed with what the game printed now;\n"
     "                      those that still hold, comments and checks stay as written. Exit\n"
     "                      status 0 when the blessed walkthroughs pass\n"
     "  --coverage          also list the locations, commands, menus and lines no test reached\n"},
    {"record",
     "Plays commands from game start and prints a walkthrough that expects exactly what the game\n"
     "printed: the commands come from standard input, one a line (UTF-8), or from a saved game.\n"
     "  --library FILE      the library (default: marvo.lib in the current directory, else none)\n"
     "  --from SAVE.sav     take the commands of this saved game\n"},
    {"replay-check",
     "Replays the commands of SAVE.sav on OLD_SCENARIO and on SCENARIO and prints the first\n"
     "command whose output differs (exit status 1), else \"no difference\".\n"
     "  --library FILE      the library (default: marvo.lib in the current directory, else none)\n"
     "  --against OLD_SCENARIO  the scenario to compare with\n"},
    {"check",
     "Checks each SCENARIO together with the library and prints the mistakes found as\n"
     "FILE:LINE: error|warning: TEXT, then a summary. An error changes what the game does;\n"
     "a warning may be meant. With --library FILE and no SCENARIO, checks the library alone.\n"
     "  --library FILE      the library (default: marvo.lib in the current directory, else none)\n"
     "  --format text|json  the form of the report\n"
     "  --spelling          also report unknown words of the game's text (warnings, rule spelling)\n"
     "                      with up to three suggestions; names and made-up words go into NAME.dic\n"
     "                      beside the scenario (needs Debian's hunspell-ru)\n"},
    {"graph",
     "Prints the story map of SCENARIO: its locations and the ways between them (commands,\n"
     "choices, jumps, calls, the library's hooks), laid out as the map window lays them out,\n"
     "with the places the author dragged kept (NAME.layout beside the scenario).\n"
     "  --library FILE      the library (default: marvo.lib in the current directory, else none)\n"
     "  --format dot|svg|json  DOT with positions (default), SVG drawn by Graphviz, or JSON\n"},
    {"dialogue",
     "Prints the lines the NPC dialogue maker's \"Создать\" appends for the dialogue file.\n"
     "  --label LABEL       the label of the generated location\n"
     "  --scenario FILE.scn the scenario the lines would be appended to\n"},
    {"export-map",
     "Prints the scenario lines the map editor's export produces for the map file.\n"
     "  --cursor ROW,COL    the selected cell (the start location)\n"
     "  --no-jump, --names-in-description, --names-as-directions, --text-navigation\n"
     "                      the export's check boxes\n"
     "  --north, --south, --west, --east TEXT   the direction words\n"},
    {"lsp",
     "Runs the language server (Language Server Protocol 3.17, JSON-RPC over standard input and\n"
     "output) for editors: diagnostics of the checker, completion, hover, definition, references,\n"
     "rename, outline and folding on scenarios in Windows-1251. The library is marvo.lib beside\n"
     "the scenario, else the installed one. Ends at \"exit\" or at the end of input.\n"
     "  --library FILE          the library when the scenario's folder has none\n"
     "  --diagnostics-delay MS  the pause in typing before diagnostics (default 100)\n"
     "  --stdio                 accepted for editors that pass it (standard input and output\n"
     "                          are always used)\n"},
};

// The lines of `usage` that belong to `command`; empty when it has none.
std::string synopsis(std::string_view usage, std::string_view command) {
  const std::string head = "  marvo-cli " + std::string(command);
  std::string result;
  bool inside = false;
  while (!usage.empty()) {
    const auto end = usage.find('\n');
    const std::string_view line = usage.substr(0, end);
    usage = end == std::string_view::npos ? std::string_view() : usage.substr(end + 1);
    if (line.starts_with("  marvo-cli ")) {
      inside = line == head || line.starts_with(head + ' ');
    } else if (!line.starts_with("   ")) {
      inside = false;
    }
    if (inside) result.append(line).append("\n");
  }
  return result;
}

int commandHelp(std::string_view usage, std::string_view command) {
  const std::string lines = synopsis(usage, command);
  if (lines.empty()) {
    std::fprintf(stderr, "marvo-cli: unknown subcommand \"%.*s\"\n", static_cast<int>(command.size()), command.data());
    return 2;
  }
  std::printf("usage:\n%s", lines.c_str());
  const auto* found = std::find_if(std::begin(kExplanations), std::end(kExplanations),
                                   [command](const Explanation& e) { return e.command == command; });
  if (found != std::end(kExplanations)) std::printf("\n%.*s", static_cast<int>(found->text.size()), found->text.data());
  return 0;
}

}  // namespace

std::optional<int> answerHelp(std::string_view command, const Args& args, std::string_view usage) {
  if (command == "--version") {
    std::printf("marvo-cli (Marvo IF) %s\n", MARVO_VERSION);
    return 0;
  }
  if (command == "--help" || command == "-h" || command == "help") {
    if (command == "help" && !args.empty()) return commandHelp(usage, args.front());
    std::printf(
        "marvo-cli: the terminal companion of Marvo IF\n%.*s\n"
        "marvo-cli SUBCOMMAND --help explains one subcommand; marvo-cli --version prints "
        "the version.\n",
        static_cast<int>(usage.size()), usage.data());
    return 0;
  }
  if (std::find(args.begin(), args.end(), "--help") != args.end()) {
    if (synopsis(usage, command).empty()) return std::nullopt;  // the usual error for unknown ones
    return commandHelp(usage, command);
  }
  return std::nullopt;
}

}  // namespace marvo::cli
