// Fuzz target: the scenario checker on arbitrary bytes (scenario text, then after a NUL the library).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "checker/checker.h"
#include "engine/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)marvo::check::checkFileBytes(bytes);
  std::string_view scenario = bytes, library;
  if (auto nul = bytes.find('\0'); nul != std::string_view::npos) {
    scenario = bytes.substr(0, nul);
    library = bytes.substr(nul + 1);
  }
  marvo::check::CheckInput input;
  input.scenario = marvo::splitLines(scenario, false);
  input.library = marvo::splitLines(library, true);
  for (const auto& d : marvo::check::checkScenario(input)) (void)marvo::check::formatDiagnostic(d, "f");
  return 0;
}
