// Fuzz target: reading saved games from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/saved_game.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto commands = marvo::parseSavedGame(input);
  // Whatever was read must survive being saved and read again, command for command.
  if (marvo::parseSavedGame(marvo::savedGameText(commands)) != commands) __builtin_trap();
  return 0;
}
