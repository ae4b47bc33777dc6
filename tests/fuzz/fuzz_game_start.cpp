// Fuzz target: game start on arbitrary scenario text followed by a few Talk inputs.
// The input is the scenario; its last lines after a NUL byte (if any) are the player's inputs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "engine/file_io.h"
#include "game/game.h"

namespace {
class QuietHost : public marvo::EngineHost {
 public:
  void clearOutput() override { lines = 0; }
  void appendOutput(std::string_view) override { ++lines; }
  void showMessage(std::string_view) override {}
  std::size_t lines = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string_view inputs;
  if (auto nul = text.find('\0'); nul != std::string_view::npos) {
    inputs = text.substr(nul + 1);
    text = text.substr(0, nul);
  }
  const auto scenario = marvo::splitLines(text, false);
  const std::vector<std::string> library{"TALK look <object>", "EXAMINE <object>", "REDO"};
  auto commands = marvo::splitLines(inputs, false);
  if (commands.size() > 8) commands.resize(8);

  marvo::Engine engine;
  engine.setLineBudget(3000);
  marvo::Game game(engine);
  QuietHost host;
  try {
    game.begin(scenario, library, host);
  } catch (const marvo::IndexError&) {
  }
  for (const auto& command : commands) {
    try {
      game.talk(command, host);
    } catch (const marvo::IndexError&) {
    }
    game.tick();
  }
  (void)engine.monitorView();
  return 0;
}
