// marvo-cli export-map: prints the scenario text that the map editor's "Export map" produces.
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli_commands.h"
#include "engine/codec.h"
#include "engine/text.h"
#include "mapedit/map_export.h"
#include "mapedit/map_file.h"

namespace marvo::cli {

namespace {

using namespace marvo::literals;

int fail(const std::string& text, int status) {
  std::fprintf(stderr, "marvo-cli export-map: %s\n", text.c_str());
  return status;
}

int usageError(const std::string& text) {
  fail(text, 2);
  std::fputs(
      "usage: marvo-cli export-map FILE.map [--cursor ROW,COL] [--no-jump] [--names-in-description]\n"
      "       [--names-as-directions] [--text-navigation] [--north TEXT] [--south TEXT]\n"
      "       [--west TEXT] [--east TEXT]\n",
      stderr);
  return 2;
}

std::optional<int> parseCoordinate(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 1 || value > mapedit::kMapSize) return std::nullopt;
  return value;
}

// "ROW,COL" with both in 1..99; false when the text is anything else.
bool parseCursor(std::string_view text, mapedit::ExportOptions& options) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  auto row = parseCoordinate(text.substr(0, comma));
  auto column = parseCoordinate(text.substr(comma + 1));
  if (!row || !column) return false;
  options.cursorRow = *row;
  options.cursorColumn = *column;
  return true;
}

}  // namespace

int exportMap(const Args& args) {
  mapedit::ExportOptions options;
  std::optional<std::string> mapPath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    auto phrase = [&](int direction) {
      const std::string* text = value();
      if (!text) return false;
      options.directionPhrases[static_cast<std::size_t>(direction)] = utf8ToCp1251(*text);
      return true;
    };
    if (arg == "--cursor") {
      const std::string* text = value();
      if (!text || !parseCursor(*text, options)) return usageError("--cursor needs ROW,COL within 1..99");
    } else if (arg == "--no-jump") {
      options.jumpToCursor = false;
    } else if (arg == "--names-in-description") {
      options.namesInDescription = true;
    } else if (arg == "--names-as-directions") {
      options.namesAsDirections = true;
    } else if (arg == "--text-navigation") {
      options.textNavigation = true;
    } else if (arg == "--north" || arg == "--south" || arg == "--west" || arg == "--east") {
      const int direction = arg == "--north" ? 0 : arg == "--south" ? 1 : arg == "--west" ? 2 : 3;
      if (!phrase(direction)) return usageError(arg + " needs a text");
    } else if (arg.starts_with("--")) {
      return usageError("unknown option " + arg);
    } else if (mapPath) {
      return usageError("only one map file can be exported");
    } else {
      mapPath = arg;
    }
  }
  if (!mapPath) return usageError("no map file given");

  auto loaded = mapedit::loadMapFile(*mapPath);
  if (!loaded.map) return fail(loaded.error, 1);

  auto result = mapedit::exportMap(*loaded.map, options);
  if (result.cursorOnEmptyCell) {
    std::fprintf(stderr, "%s\n", cp1251ToUtf8("Курсор стоит на пустой ячейке"_w).c_str());
  }
  std::string out;
  for (const auto& line : result.lines) {
    out += cp1251ToUtf8(line);
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0) return fail("cannot write the output", 1);
  return 0;
}

}  // namespace marvo::cli
