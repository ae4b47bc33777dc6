// Fuzz target: any ".map" content is read without fault; a map that is read survives a write and a
// read unchanged, and exports without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "mapedit/map_export.h"
#include "mapedit/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marvo::mapedit;
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const auto parsed = parseMapFile(content);
  if (!parsed.map) return 0;
  const auto again = parseMapFile(formatMapFile(*parsed.map));
  if (!again.map || formatMapFile(*again.map) != formatMapFile(*parsed.map)) std::abort();
  ExportOptions options;
  (void)exportMap(*parsed.map, options);
  return 0;
}
