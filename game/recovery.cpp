// Recovery files: a header naming the scenario, then the text as Windows-1251 lines with CR LF.
#include "recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <set>
#include <system_error>

#include "engine/file_io.h"

namespace marvo {

namespace {

constexpr std::string_view kMagic = "MARVO-RECOVERY 1";
constexpr std::string_view kExtension = ".recovery";
constexpr std::string_view kLockExtension = ".lock";
constexpr std::string_view kPlayExtension = ".play";

// FNV-1a: a stable short name for a scenario path.
std::string hashName(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(hash >> shift) & 0xF];
  return out;
}

// The owner named in a recovery file's name ("<name>-<owner>.recovery"); empty for none.
std::string ownerOf(const std::filesystem::path& file) {
  const std::string stem = file.stem().string();
  const auto dash = stem.rfind('-');
  return dash == std::string::npos ? std::string() : stem.substr(dash + 1);
}

std::filesystem::path lockFile(const std::filesystem::path& folder, const std::string& owner) {
  return folder / (owner + std::string(kLockExtension));
}

// Whether the lock file of `owner` is free: its instance has ended. With `remove`, a free lock
// file is deleted while it is held, so that no instance starting meanwhile can take it.
bool lockFree(const std::filesystem::path& lock, bool remove) {
  const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (free && remove) ::unlink(lock.c_str());
  ::close(fd);
  return free;
}

std::string recoveryName(const std::filesystem::path& scenario, std::string_view owner) {
  std::string name;
  if (scenario.empty()) {
    name = "untitled";
  } else {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(scenario, ec);
    name = hashName((ec ? scenario : absolute).string());
  }
  if (!owner.empty()) name.append("-").append(owner);
  return name;
}

}  // namespace

std::filesystem::path recoveryFileFor(const std::filesystem::path& folder, const std::filesystem::path& scenario,
                                      std::string_view owner) {
  return folder / (recoveryName(scenario, owner) + std::string(kExtension));
}

std::filesystem::path playRecoveryFileFor(const std::filesystem::path& folder, const std::filesystem::path& scenario,
                                          std::string_view owner) {
  return folder / (recoveryName(scenario, owner) + std::string(kPlayExtension));
}

RecoveryOwner::RecoveryOwner(std::filesystem::path folder, std::string id)
    : folder_(std::move(folder)), id_(std::move(id)) {
  if (id_.empty()) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    id_ = std::to_string(::getpid()) + "x" +
          std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
  }
}

RecoveryOwner::~RecoveryOwner() {
  if (lock_ < 0) return;
  ::unlink(lockFile(folder_, id_).c_str());
  ::close(lock_);
}

bool RecoveryOwner::claim() {
  if (lock_ >= 0) return true;
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  const auto lock = lockFile(folder_, id_);
  // Another instance cleaning up may remove a lock file between its creation and its locking:
  // the lock counts only when the file locked is still the one of that name.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat held {
    }, named{};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && ::stat(lock.c_str(), &named) == 0 &&
        held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
      lock_ = fd;
      return true;
    }
    ::close(fd);
  }
  return false;
}

bool recoveryOwnerGone(const std::filesystem::path& file) {
  const std::string owner = ownerOf(file);
  return owner.empty() || lockFree(lockFile(file.parent_path(), owner), false);
}

bool adoptRecovery(const std::filesystem::path& file, const std::filesystem::path& to) {
  if (file == to) return true;
  std::error_code ec;
  std::filesystem::rename(file, to, ec);
  return !ec;
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
  std::set<std::string> owners, owning;  // lock files seen; owners of recovery files left
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() == kLockExtension) owners.insert(entry.path().stem().string());
    // A game in progress keeps its owner's lock file until it is taken up or removed.
    if (entry.path().extension() == kPlayExtension) owning.insert(ownerOf(entry.path()));
    if (entry.path().extension() != kExtension) continue;
    // A running instance's file is its own: neither offered nor removed.
    if (!recoveryOwnerGone(entry.path())) continue;
    auto recovery = readRecovery(entry.path());
    if (!recovery) {
      owning.insert(ownerOf(entry.path()));
      continue;
    }
    if (!recovery->scenario.empty()) {
      std::error_code timeError;
      const auto saved = std::filesystem::last_write_time(recovery->scenario, timeError);
      if (!timeError && saved >= recovery->written) {
        removeRecovery(recovery->file);  // a later save holds this text or a newer one
        continue;
      }
    }
    owning.insert(ownerOf(recovery->file));
    pending.push_back(std::move(*recovery));
  }
  // Lock files of ended runs with nothing left to offer.
  for (const auto& owner : owners)
    if (!owning.contains(owner)) lockFree(lockFile(folder, owner), true);
  std::sort(pending.begin(), pending.end(), [](const Recovery& a, const Recovery& b) { return a.written < b.written; });
  return pending;
}

void removeRecovery(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

namespace {

constexpr std::string_view kPlayMagic = "MARVO-PLAY 1";
constexpr std::string_view kHexDigits = "0123456789abcdef";

std::optional<std::uint32_t> parseTicks(std::string_view text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  std::uint32_t n = 0;
  for (char c : text) n = n * 10 + static_cast<std::uint32_t>(c - '0');
  return n;
}

std::optional<PlayFingerprint> parseFingerprint(std::string_view text) {
  if (text.size() < 18 || text[16] != ' ') return std::nullopt;
  PlayFingerprint fingerprint;
  for (char c : text.substr(0, 16)) {
    const auto digit = kHexDigits.find(c);
    if (digit == std::string_view::npos) return std::nullopt;
    fingerprint.hash = fingerprint.hash << 4 | digit;
  }
  const auto lines = parseTicks(text.substr(17));
  if (!lines) return std::nullopt;
  fingerprint.lines = *lines;
  return fingerprint;
}

}  // namespace

PlayFingerprint playFingerprint(const std::vector<std::string>& scenario, const std::vector<std::string>& library) {
  PlayFingerprint fingerprint;
  std::uint64_t hash = 14695981039346656037ull;
  auto add = [&hash](unsigned char c) { hash = (hash ^ c) * 1099511628211ull; };
  for (const auto* text : {&scenario, &library}) {
    for (const auto& line : *text) {
      for (unsigned char c : line) add(c);
      add('\n');
    }
    add('\0');  // a line moved from the scenario to the library changes the fingerprint
    fingerprint.lines += static_cast<std::uint32_t>(text->size());
  }
  fingerprint.hash = hash;
  return fingerprint;
}

std::string playRecoveryText(const PlayRecovery& play) {
  std::string out(kPlayMagic);
  out += "\r\n";
  std::error_code ec;
  if (!play.scenario.empty()) {
    const auto absolute = std::filesystem::absolute(play.scenario, ec);
    for (char c : (ec ? play.scenario : absolute).string())
      if (c != '\r' && c != '\n') out += c;
  }
  out += "\r\n";
  for (int shift = 60; shift >= 0; shift -= 4) out += kHexDigits[(play.fingerprint.hash >> shift) & 0xF];
  out += ' ';
  out += std::to_string(play.fingerprint.lines);
  out += "\r\n";
  for (const auto& step : play.steps) {
    out += std::to_string(step.ticksBefore);
    out += '\t';
    for (char c : step.command)
      if (c != '\r' && c != '\n') out += c;
    out += "\r\n";
  }
  out += std::to_string(play.pendingTicks);
  out += "\r\n";
  return out;
}

std::optional<PlayRecovery> parsePlayRecovery(std::string_view bytes) {
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const auto end = bytes.find("\r\n");
    if (end == std::string_view::npos) return std::nullopt;  // cut short
    const auto line = bytes.substr(0, end);
    if (line.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;  // never written so
    lines.push_back(line);
    bytes.remove_prefix(end + 2);
  }
  if (lines.size() < 4 || lines.front() != kPlayMagic) return std::nullopt;
  PlayRecovery play;
  play.scenario = std::string(lines[1]);
  const auto fingerprint = parseFingerprint(lines[2]);
  if (!fingerprint) return std::nullopt;
  play.fingerprint = *fingerprint;
  for (std::size_t i = 3; i + 1 < lines.size(); ++i) {
    const auto tab = lines[i].find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    const auto ticks = parseTicks(lines[i].substr(0, tab));
    if (!ticks) return std::nullopt;
    play.steps.push_back({*ticks, std::string(lines[i].substr(tab + 1))});
  }
  const auto pending = parseTicks(lines.back());
  if (!pending) return std::nullopt;
  play.pendingTicks = *pending;
  return play;
}

std::optional<std::string> writePlayRecovery(const std::filesystem::path& file, const PlayRecovery& play) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) return file.string() + ": " + ec.message();
  return replaceFile(file, playRecoveryText(play));
}

std::optional<PlayRecovery> readPlayRecovery(const std::filesystem::path& file) {
  FileRead read = readWholeFile(file);
  if (!read.error.empty()) return std::nullopt;
  return parsePlayRecovery(read.bytes);
}

std::vector<PendingPlay> pendingPlayRecoveries(const std::filesystem::path& folder) {
  std::vector<PendingPlay> pending;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() != kPlayExtension || !recoveryOwnerGone(entry.path())) continue;
    auto play = readPlayRecovery(entry.path());
    if (!play) continue;
    std::error_code timeError;
    const auto written = std::filesystem::last_write_time(entry.path(), timeError);
    pending.push_back({entry.path(), written, std::move(*play)});
  }
  std::sort(pending.begin(), pending.end(),
            [](const PendingPlay& a, const PendingPlay& b) { return a.written < b.written; });
  return pending;
}

}  // namespace marvo
