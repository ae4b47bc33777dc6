// The 90,000-line scenario the editor benchmarks work on, written as a plain Windows-1251 file.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "engine/file_io.h"
#include "engine/text.h"

namespace marvo::bench {

inline constexpr int kEditorScenarioLines = 90000;
inline constexpr int kDeclaredObjects = 20;

// Writes the scenario into `dir` and returns its path. The head declares kDeclaredObjects objects
// ("CREATE item0" ...); then come locations of 15 lines each (texts, a menu, two talk blocks, a
// condition) and, at the very end, the common location. Game start runs it up to the first READ.
inline std::filesystem::path writeEditorScenario(const std::filesystem::path& dir) {
  using namespace marvo::literals;
  std::string text;
  int lines = 0;
  auto add = [&](std::string_view line) {
    text += line;
    text += "\r\n";
    ++lines;
  };
  for (int i = 0; i < kDeclaredObjects; ++i) add("CREATE item" + std::to_string(i));
  const int commonLines = 4;
  for (int loc = 0; lines + 15 <= kEditorScenarioLines - commonLines; ++loc) {
    const std::string n = std::to_string(loc);
    add(std::string("* - - - - - Локация "_w) + n + " - - - - -");
    add(":loc" + n);
    add(std::string("!Вы стоите в комнате номер "_w) + n + std::string(". Вокруг тихо."_w));
    add(std::string("@На север"_w));
    add(std::string("@На юг"_w));
    add("TALK north|" + std::string("север"_w));
    add("GOTO loc" + std::to_string(loc + 1));
    add("REDO");
    add("TALK south|" + std::string("юг"_w));
    add("GOTO loc" + std::to_string(loc > 0 ? loc - 1 : 0));
    add("REDO");
    add("IF rnd>50");
    add(std::string("!Где-то вдали шумит ветер."_w));
    add("ENDIF");
    add("READ");
  }
  while (lines < kEditorScenarioLines - commonLines) add("");
  add(":common");
  add("");
  add("RETURN");
  add("");
  const auto path = dir / "bench.scn";
  if (auto error = replaceFile(path, text)) throw std::runtime_error(*error);
  return path;
}

}  // namespace marvo::bench
