// Reading and writing the story map's sidecar file.
#include "sidecar.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "engine/codec.h"
#include "engine/file_io.h"
#include "engine/text.h"

namespace marvo::storymap {

using namespace literals;

namespace {

constexpr std::string_view kHeader = "# Marvo IF story map: X Y LOCATION";

bool readNumber(std::string_view& rest, double& out) {
  rest = trimView(rest);
  long long v = 0;
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v);
  if (ec != std::errc() || end == rest.data()) return false;
  rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
  if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t') return false;
  out = static_cast<double>(v);
  return std::abs(v) <= 100'000'000;
}

// Moves the file aside to the first free "<path>.bak", "<path>.bak.2" ...; the new name or an error.
std::string renameAside(const std::filesystem::path& path, std::string& error) {
  for (int i = 1; i < 1000; ++i) {
    std::filesystem::path bak = path;
    bak += i == 1 ? ".bak" : ".bak." + std::to_string(i);
    std::error_code ec;
    if (std::filesystem::exists(bak, ec)) continue;
    std::filesystem::rename(path, bak, ec);
    if (ec) error = ec.message();
    return bak.filename().string();
  }
  error = "no free name";
  return {};
}

}  // namespace

std::filesystem::path sidecarPath(const std::filesystem::path& scenario) {
  std::filesystem::path p = scenario;
  p.replace_extension(".layout");
  return p;
}

SidecarRead readSidecar(const std::filesystem::path& path, bool moveAside) {
  SidecarRead result;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return result;
  const FileRead file = readWholeFile(path);
  const std::string name = utf8ToCp1251(path.filename().string());
  if (!file.error.empty()) {
    result.note = concat("Раскладка карты не прочитана ("_w, utf8ToCp1251(file.error),
                         "): карта разложена заново, файл не тронут."_w);
    return result;
  }
  const std::vector<std::string> lines = splitLines(file.bytes, /*stopAtNul=*/false);
  int bad = 0;
  if (lines.empty() || lines.front() != kHeader) bad = 1;
  for (std::size_t i = 1; !bad && i < lines.size(); ++i) {
    std::string_view rest = lines[i];
    if (trimView(rest).empty()) continue;
    Point p;
    if (!readNumber(rest, p.x) || !readNumber(rest, p.y) || trimView(rest).empty()) {
      bad = static_cast<int>(i) + 1;
      break;
    }
    result.placement[lower(utf8ToCp1251(trimView(rest)))] = p;
  }
  if (!bad) return result;
  result.placement.clear();
  if (!moveAside) {
    result.note =
        concat("Файл раскладки карты "_w, name, " испорчен (строка "_w, std::to_string(bad), ") и не учтён."_w);
    return result;
  }
  std::string error;
  const std::string bak = renameAside(path, error);
  result.note = error.empty() ? concat("Файл раскладки карты "_w, name, " испорчен (строка "_w, std::to_string(bad),
                                       ") и не учтён: он сохранён как "_w, utf8ToCp1251(bak),
                                       ", карта разложена заново. Перетащите блоки, чтобы сохранить новую раскладку."_w)
                              : concat("Файл раскладки карты "_w, name, " испорчен (строка "_w, std::to_string(bad),
                                       ") и не учтён; переименовать его не удалось ("_w, utf8ToCp1251(error),
                                       "). Сохраните его копию, прежде чем двигать блоки."_w);
  return result;
}

std::string formatSidecar(const Placement& placement) {
  std::string out(kHeader);
  out += '\n';
  for (const auto& [key, p] : placement) {
    out += std::to_string(std::llround(p.x));
    out += ' ';
    out += std::to_string(std::llround(p.y));
    out += ' ';
    out += cp1251ToUtf8(key);
    out += '\n';
  }
  return out;
}

std::optional<std::string> writeSidecar(const std::filesystem::path& path, const Placement& placement) {
  return replaceFile(path, formatSidecar(placement));
}

}  // namespace marvo::storymap
