// Helpers shared by the scenario-file and saved-game tests: temporary folders and fixture files.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/codec.h"
#include "engine/file_io.h"

namespace marvo::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "marvo-files-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
  std::size_t entryCount() const {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(path_), std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path path_;
};

inline void writeBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::filesystem::path fixture(std::string_view name) {
  return std::filesystem::path(MARVO_SOURCE_DIR) / "tests/game/fixtures" / name;
}

// The expected lines of a fixture: a UTF-8 text file, one line per line.
inline std::vector<std::string> expectedLines(std::string_view name) {
  return splitLines(utf8ToCp1251(readBytes(fixture(name))), false);
}

// Windows-1251 lines from UTF-8 source text, for readable expectations.
inline std::vector<std::string> cp1251Lines(std::initializer_list<std::string_view> utf8) {
  std::vector<std::string> lines;
  for (auto line : utf8) lines.push_back(utf8ToCp1251(line));
  return lines;
}

// Windows-1251 text from UTF-8 source text. (Tests convert at run time: clang 14 crashes on some
// uses of the compile-time "..."_w literal, and these tests are also built with clang for fuzzing.)
inline std::string cp(std::string_view utf8) { return utf8ToCp1251(utf8); }

// Deterministic pseudo-random bytes for garbage inputs.
inline std::string pseudoRandomBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (auto& b : bytes) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<char>(seed >> 24);
  }
  return bytes;
}

}  // namespace marvo::testing
