// The copy of the started scenario ("tmp.scn"), written on a thread of its own while game start
// builds the program, so that the two take the time of the longer one rather than of both.
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace marvo {

class ScenarioCopy {
 public:
  // Starts writing `lines` to `path` (nothing when the path is empty). The lines must stay as
  // they are until the copy has passed them: see linesPassed().
  ScenarioCopy(const std::filesystem::path& path, const std::vector<std::string>& lines);
  ~ScenarioCopy();  // waits for the copy
  ScenarioCopy(const ScenarioCopy&) = delete;
  ScenarioCopy& operator=(const ScenarioCopy&) = delete;

  // How many of the first lines the copy no longer reads: those may be changed or taken over.
  // Waiters (std::atomic::wait) are woken at every change.
  const std::atomic<std::size_t>& linesPassed() const { return passed_; }
  // Waits for the copy; the reason when it could not be written.
  std::optional<std::string> finish();

 private:
  void write(const std::filesystem::path& path, const std::vector<std::string>& lines) noexcept;
  void pass(std::size_t lines);  // publishes progress and wakes a waiting build

  std::atomic<std::size_t> passed_{0};
  std::optional<std::string> error_;
  std::thread thread_;
};

}  // namespace marvo
