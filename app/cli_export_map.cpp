// marvo-cli export_map (not built yet).
#include <cstdio>

#include "cli_commands.h"

namespace marvo::cli {

int exportMap(const Args&) {
  std::fputs("marvo-cli: this subcommand is not available yet\n", stderr);
  return 2;
}

}  // namespace marvo::cli
