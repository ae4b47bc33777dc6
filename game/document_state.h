// The scenario document's decisions without Qt: where "Save" writes and in which format, when a
// text must be offered for saving, and when the recovery file is out of date.
#pragma once

#include <filesystem>
#include <optional>

#include "game/scenario_file.h"

namespace marvo {

// The format of the scenario file at `path`: RTF when it starts as RTF, plain text otherwise;
// std::nullopt when it cannot be read.
std::optional<ScenarioFormat> scenarioFormatOf(const std::filesystem::path& path);

class DocumentState {
 public:
  // Where "Save" writes without asking: the file the text came from or was last saved to.
  struct SaveTarget {
    std::filesystem::path path;
    ScenarioFormat format;
  };

  // A text read from `path` (empty for a new text) in `format`. The modified flag stays as it
  // was: only a save clears it.
  void loaded(std::filesystem::path path, ScenarioFormat format);
  // Unsaved text of `path` brought back from a recovery file, kept in the format of that file
  // (RTF when it cannot be read): it counts as changed until saved.
  void restored(std::filesystem::path path);
  // The text is safely on disk at `path` in `format`.
  void saved(std::filesystem::path path, ScenarioFormat format);
  // The author changed the text (or looked at it in the code editor, which counts as a change).
  void changed() { modified_ = true; }

  const std::filesystem::path& path() const { return path_; }
  ScenarioFormat format() const { return format_; }
  // Changed since the last save, or looked at in the code editor. (The questions before the text
  // is replaced or the program ends go by whether the text itself differs from the file.)
  bool modified() const { return modified_; }
  // "Save": the file and format it goes to, or std::nullopt when a name must be asked for.
  std::optional<SaveTarget> saveTarget() const;

 private:
  std::filesystem::path path_;
  ScenarioFormat format_ = ScenarioFormat::Rtf;
  bool modified_ = false;
};

}  // namespace marvo
