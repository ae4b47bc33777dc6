// Which walkthroughs belong to a scenario: by the scenario's name, beside it or in a folder of that name.
#include "walk_selection.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace marvo::walk {

namespace {

constexpr std::string_view kWalkExtension = ".walk";
constexpr std::string_view kScenarioExtension = ".scn";

// Does the walkthrough's name (without ".walk") name this scenario, or a part of it ("STEM-ANY")?
bool namesScenario(std::string_view walkStem, std::string_view stem) {
  if (!walkStem.starts_with(stem)) return false;
  return walkStem.size() == stem.size() || (walkStem[stem.size()] == '-' && walkStem.size() > stem.size() + 1);
}

// The regular files of `folder` with the extension `extension`, in the order of their names, each
// as `folder` / name (a name alone for the empty folder, the current one).
std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder, std::string_view extension) {
  std::vector<std::filesystem::path> out;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kindError;
    if (!it->is_regular_file(kindError)) continue;
    if (it->path().extension() == extension) out.push_back(folder / it->path().filename());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

bool belongsTo(std::string_view walkName, std::string_view stem, const std::vector<std::string_view>& otherStems) {
  if (stem.empty() || !walkName.ends_with(kWalkExtension)) return false;
  const std::string_view walkStem = walkName.substr(0, walkName.size() - kWalkExtension.size());
  if (!namesScenario(walkStem, stem)) return false;
  // A longer scenario name beside it that the walkthrough names as well takes it.
  return std::none_of(otherStems.begin(), otherStems.end(), [&](std::string_view other) {
    return other.size() > stem.size() && namesScenario(other, stem) && namesScenario(walkStem, other);
  });
}

std::vector<std::filesystem::path> walkthroughsFor(const std::filesystem::path& scenario) {
  const std::string stem = scenario.stem().string();
  if (stem.empty()) return {};
  const std::filesystem::path folder = scenario.parent_path();

  std::vector<std::string> otherNames;
  for (const auto& path : filesIn(folder, kScenarioExtension)) otherNames.push_back(path.stem().string());
  const std::vector<std::string_view> others(otherNames.begin(), otherNames.end());

  std::vector<std::filesystem::path> out;
  for (auto& path : filesIn(folder, kWalkExtension))
    if (belongsTo(path.filename().string(), stem, others)) out.push_back(std::move(path));
  for (auto& path : filesIn(folder / stem, kWalkExtension)) out.push_back(std::move(path));
  return out;
}

}  // namespace marvo::walk
