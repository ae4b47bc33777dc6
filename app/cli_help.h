// marvo-cli --help, --version and SUBCOMMAND --help.
#pragma once

#include <optional>
#include <string_view>

#include "cli_commands.h"

namespace marvo::cli {

// Answers `marvo-cli --version`, `marvo-cli --help` (also `help [SUBCOMMAND]`) and
// `marvo-cli SUBCOMMAND ... --help` on standard output. `usage` is the synopsis of every
// subcommand, each starting a line with "  marvo-cli NAME" and going on in lines indented deeper.
// Returns the exit status when the arguments asked for one of these, else std::nullopt.
std::optional<int> answerHelp(std::string_view command, const Args& args, std::string_view usage);

}  // namespace marvo::cli
