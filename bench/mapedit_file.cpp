// Benchmark: saving and loading a full map file (every cell named, every description 200 characters).
#include <cstdio>
#include <filesystem>

#include "bench/bench_util.h"
#include "bench/mapedit_full_map.h"
#include "mapedit/map_file.h"

int main() {
  namespace fs = std::filesystem;
  const auto map = marvo::bench::fullMap();
  const fs::path dir = fs::temp_directory_path() / "marvo_bench_mapedit_file";
  fs::create_directories(dir);
  const fs::path file = dir / "full.map";

  bool ok = true;
  const double save = marvo::bench::medianMs(15, [&] {
    if (marvo::mapedit::saveMapFile(file, map)) ok = false;
  });
  const double load = marvo::bench::medianMs(15, [&] {
    auto loaded = marvo::mapedit::loadMapFile(file);
    if (!loaded.map || !(*loaded.map == map)) ok = false;
  });
  std::printf("map file: %ju bytes\n", static_cast<std::uintmax_t>(fs::file_size(file)));
  fs::remove_all(dir);
  if (!ok) {
    std::fputs("bench_mapedit_file: save or load failed\n", stderr);
    return 1;
  }
  bool within = marvo::bench::report("save a full map", save, 100, "ms");
  within = marvo::bench::report("load a full map", load, 100, "ms") && within;
  return within ? 0 : 1;
}
