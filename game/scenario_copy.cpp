#include "scenario_copy.h"

#include <exception>
#include <system_error>

#include "scenario_file.h"

namespace marvo {

ScenarioCopy::ScenarioCopy(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  if (path.empty()) {
    passed_ = lines.size();
    return;
  }
  try {
    thread_ = std::thread([this, path, &lines] { write(path, lines); });
  } catch (const std::system_error&) {
    write(path, lines);  // no thread to be had: written before the build instead
  }
}

ScenarioCopy::~ScenarioCopy() {
  if (thread_.joinable()) thread_.join();
}

std::optional<std::string> ScenarioCopy::finish() {
  if (thread_.joinable()) thread_.join();
  return error_;
}

void ScenarioCopy::write(const std::filesystem::path& path, const std::vector<std::string>& lines) noexcept {
  try {
    error_ = writeScenarioFile(path, lines, Flush::No, [this](std::size_t converted) { pass(converted); });
  } catch (const std::exception& e) {
    error_ = path.string() + ": " + e.what();
  }
  pass(lines.size());
}

void ScenarioCopy::pass(std::size_t lines) {
  passed_.store(lines, std::memory_order_release);
  passed_.notify_all();
}

}  // namespace marvo
