// Reading and writing ".map" files.
#include "map_file.h"

#include "engine/file_io.h"

namespace marvo::mapedit {

std::string formatMapFile(const Map& map) {
  std::string out;
  out.reserve(static_cast<std::size_t>(kMapFileLines) * 2);
  for (int row = 1; row <= kMapSize; ++row) {
    for (int column = 1; column <= kMapSize; ++column) {
      out += map.name(column, row);
      out += "\r\n";
    }
  }
  for (int k = 0; k < kDescriptionCount; ++k) {
    out += map.description(k);
    out += "\r\n";
  }
  return out;
}

ParsedMap parseMapFile(std::string_view text) {
  ParsedMap result;
  auto lines = splitLines(text, true);
  result.lineCount = lines.size();
  if (lines.size() < static_cast<std::size_t>(kMapFileLines)) return result;

  Map map;
  std::size_t i = 0;
  for (int row = 1; row <= kMapSize; ++row) {
    for (int column = 1; column <= kMapSize; ++column) map.setName(column, row, std::move(lines[i++]));
  }
  for (int k = 0; k < kDescriptionCount; ++k) map.setDescription(k, std::move(lines[i++]));
  result.map = std::move(map);
  return result;
}

MapLoad loadMapFile(const std::filesystem::path& path) {
  MapLoad result;
  auto file = readWholeFile(path);
  if (!file.error.empty()) {
    result.error = file.error;
    return result;
  }
  auto parsed = parseMapFile(file.bytes);
  if (!parsed.map) {
    result.error = path.string() + ": строк в файле " + std::to_string(parsed.lineCount) + ", а в файле карты их " +
                   std::to_string(kMapFileLines) + "; карта не загружена";
    return result;
  }
  result.map = std::move(parsed.map);
  return result;
}

std::optional<std::string> saveMapFile(const std::filesystem::path& path, const Map& map) {
  return replaceFile(path, formatMapFile(map));
}

}  // namespace marvo::mapedit
