// The subcommands of marvo-cli; each takes the arguments after its name and returns the exit status.
#pragma once

#include <string>
#include <vector>

#include "game/scenario_file.h"

namespace marvo::cli {

using Args = std::vector<std::string>;

int play(const Args& args);
int cat(const Args& args);
int check(const Args& args);
int graph(const Args& args);
int dialogue(const Args& args);
int exportMap(const Args& args);
int publish(const Args& args);
int test(const Args& args);
int record(const Args& args);
int replayCheck(const Args& args);
int lsp(const Args& args);

// The library lines: the --library file (`option`), else "marvo.lib" in the current directory,
// else none. When there is none or it cannot be read, a note says "<doing> without a library";
// `unreadable`, when given, is set when a library file could not be read.
std::vector<std::string> readLibrary(const std::string& option, const char* doing, bool* unreadable = nullptr);

// Says on standard error what is doubtful about a scenario file that was read all the same (empty,
// binary bytes, an RTF document cut short), as the desktop program asks before opening one.
void warnDoubtfulScenario(const std::string& path, const ScenarioRead& read);

// The library file for `scenario`: `option` (--library) when given, else the first "marvo.lib" the
// desktop program would read (current folder, the scenario's folder, the user's folder, the
// installed games), named on standard error. Empty: none found.
std::string libraryFor(const std::string& option, const std::string& scenario);

}  // namespace marvo::cli
