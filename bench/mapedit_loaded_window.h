// Benchmark set-up shared by the map editor window benchmarks: the full map loaded into a MapEditorWindow.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/mapedit_full_map.h"
#include "gui/dialogs.h"
#include "mapedit/map_editor_window.h"
#include "mapedit/map_file.h"

namespace marvo::bench {

// Saves the full map to a scratch file and loads it through the window's "Load map"; false (with
// the reason on standard error) when the scratch file cannot be written.
inline bool loadFullMap(MapEditorWindow& window, ScriptedDialogs& dialogs, const std::string& scratchName) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / scratchName;
  fs::create_directories(dir);
  const fs::path file = dir / "full.map";
  if (auto error = mapedit::saveMapFile(file, fullMap())) {
    std::fprintf(stderr, "%s\n", error->c_str());
    return false;
  }
  dialogs.fileAnswers.push_back(QString::fromStdString(file.string()));
  window.loadMapAction()->trigger();
  fs::remove_all(dir);
  return true;
}

}  // namespace marvo::bench
