// The ".map" file: 9801 cell names row by row, then the 10100 descriptions; one value per line.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "map_model.h"

namespace marvo::mapedit {

inline constexpr int kMapFileLines = kMapSize * kMapSize + kDescriptionCount;  // 19901

// The file content of a map: exactly 19901 lines, each ended by CR LF.
std::string formatMapFile(const Map& map);

struct ParsedMap {
  std::optional<Map> map;     // empty when the text is too short to be a map
  std::size_t lineCount = 0;  // lines found in the text (CR, LF or CR LF end a line)
};

// Reads a map from file text. A text with fewer than 19901 lines gives no map at all;
// lines beyond 19901 are ignored. Reading stops at a NUL byte, as for every text file.
ParsedMap parseMapFile(std::string_view text);

struct MapLoad {
  std::optional<Map> map;
  std::string error;  // set when map is empty; names the file (file-system encoding) and the reason
};

// Reads and checks the whole file before handing out a map, so a bad file never half-replaces one.
MapLoad loadMapFile(const std::filesystem::path& path);

// Writes the map, replacing the file safely; returns the error text on failure.
std::optional<std::string> saveMapFile(const std::filesystem::path& path, const Map& map);

}  // namespace marvo::mapedit
