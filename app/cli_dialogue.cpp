// marvo-cli dialogue (not built yet).
#include <cstdio>

#include "cli_commands.h"

namespace marvo::cli {

int dialogue(const Args&) {
  std::fputs("marvo-cli: this subcommand is not available yet\n", stderr);
  return 2;
}

}  // namespace marvo::cli
