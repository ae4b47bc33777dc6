// Fuzz target: reading recovery files and games in progress from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // A game in progress read must be written and read again as the same game.
  if (const auto play = marvo::parsePlayRecovery(input)) {
    const auto again = marvo::parsePlayRecovery(marvo::playRecoveryText(*play));
    if (!again || again->steps != play->steps || again->pendingTicks != play->pendingTicks ||
        again->fingerprint != play->fingerprint)
      __builtin_trap();
  }
  const auto recovery = marvo::parseRecovery(input);
  if (!recovery) return 0;
  // What was read must survive being written and read again, line for line.
  const auto again = marvo::parseRecovery(marvo::recoveryText(recovery->scenario, recovery->lines));
  if (!again || again->lines != recovery->lines) __builtin_trap();
  return 0;
}
