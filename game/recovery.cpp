// Recovery files: a header naming the scenario, then the text as Windows-1251 lines with CR LF.
#include "recovery.h"

#include <algorithm>
#include <system_error>

#include "engine/file_io.h"

namespace marvo {

namespace {

constexpr std::string_view kMagic = "MARVO-RECOVERY 1";
constexpr std::string_view kExtension = ".recovery";

// FNV-1a: a stable short name for a scenario path.
std::string hashName(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(hash >> shift) & 0xF];
  return out;
}

}  // namespace

std::filesystem::path recoveryFileFor(const std::filesystem::path& folder, const std::filesystem::path& scenario) {
  if (scenario.empty()) return folder / ("untitled" + std::string(kExtension));
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(scenario, ec);
  return folder / (hashName((ec ? scenario : absolute).string()) + std::string(kExtension));
}

std::string recoveryText(const std::filesystem::path& scenario, const std::vector<std::string>& lines) {
  std::string scenarioName;
  std::error_code ec;
  if (!scenario.empty()) scenarioName = std::filesystem::absolute(scenario, ec).string();
  std::size_t size = kMagic.size() + scenarioName.size() + 4;
  for (const auto& line : lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  bytes.append(kMagic).append("\r\n").append(scenarioName).append("\r\n");
  for (const auto& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

std::optional<Recovery> parseRecovery(std::string_view bytes) {
  std::vector<std::string> lines = splitLines(bytes, false);
  if (lines.size() < 2 || lines[0] != kMagic) return std::nullopt;
  Recovery recovery;
  recovery.scenario = lines[1];
  recovery.lines.assign(std::make_move_iterator(lines.begin() + 2), std::make_move_iterator(lines.end()));
  recovery.size = bytes.size();
  return recovery;
}

std::optional<std::string> writeRecovery(const std::filesystem::path& file, const std::filesystem::path& scenario,
                                         const std::vector<std::string>& lines) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) return file.string() + ": " + ec.message();
  return replaceFile(file, recoveryText(scenario, lines));
}

std::optional<Recovery> readRecovery(const std::filesystem::path& file) {
  FileRead read = readWholeFile(file);
  if (!read.error.empty()) return std::nullopt;
  auto recovery = parseRecovery(read.bytes);
  if (!recovery) return std::nullopt;
  recovery->file = file;
  std::error_code ec;
  recovery->written = std::filesystem::last_write_time(file, ec);
  return recovery;
}

std::vector<Recovery> pendingRecoveries(const std::filesystem::path& folder) {
  std::vector<Recovery> pending;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() != kExtension) continue;
    auto recovery = readRecovery(entry.path());
    if (!recovery) continue;
    if (!recovery->scenario.empty()) {
      std::error_code timeError;
      const auto saved = std::filesystem::last_write_time(recovery->scenario, timeError);
      if (!timeError && saved >= recovery->written) {
        removeRecovery(recovery->file);  // a later save holds this text or a newer one
        continue;
      }
    }
    pending.push_back(std::move(*recovery));
  }
  std::sort(pending.begin(), pending.end(), [](const Recovery& a, const Recovery& b) { return a.written < b.written; });
  return pending;
}

void removeRecovery(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

}  // namespace marvo
