// Fuzz target: reading scenario files (RTF or plain text) from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/rtf_reader.h"
#include "game/scenario_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto lines = marvo::parseScenarioText(input);
  // Whatever was read must survive being saved and read again, line for line.
  if (marvo::parseScenarioText(marvo::scenarioToRtf(lines)) != lines) __builtin_trap();
  // The RTF reader on its own, also on input that does not start like RTF.
  marvo::rtfToLines(input);
  return 0;
}
