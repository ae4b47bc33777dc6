// marvo-cli play and cat (being built).
#include "cli_commands.h"
namespace marvo::cli {
int play(const Args&) { return 2; }
int cat(const Args&) { return 2; }
}  // namespace marvo::cli
