// The author's placement of the story map in a file beside the scenario ("mayak.scn" ->
// "mayak.layout"): UTF-8 text, a header line, then "X Y NAME" per placed location, sorted by name,
// so that moving one box changes one line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "layout.h"

namespace marvo::storymap {

std::filesystem::path sidecarPath(const std::filesystem::path& scenario);

struct SidecarRead {
  Placement placement;
  // Windows-1251, for the author: set when the file could not be read or understood. A file that
  // is not understood is then moved aside to "NAME.layout.bak" (or ".bak.2" ... when that exists),
  // never lost; the note names both files.
  std::string note;
};
// No file is no placement and no note. Without `moveAside` a broken file is only ignored.
SidecarRead readSidecar(const std::filesystem::path& path, bool moveAside = true);

std::string formatSidecar(const Placement& placement);
// Writes the placement atomically; "<file>: <reason>" on failure.
std::optional<std::string> writeSidecar(const std::filesystem::path& path, const Placement& placement);

}  // namespace marvo::storymap
