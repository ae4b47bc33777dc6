// The subcommands of marvo-cli; each takes the arguments after its name and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace marvo::cli {

using Args = std::vector<std::string>;

int play(const Args& args);
int cat(const Args& args);
int check(const Args& args);
int dialogue(const Args& args);
int exportMap(const Args& args);
int test(const Args& args);
int record(const Args& args);
int replayCheck(const Args& args);

}  // namespace marvo::cli
