// Which walkthroughs belong to a scenario: the ones "Run walkthroughs" and `marvo-cli test SCENARIO`
// run, so that the walkthroughs of another game in the same folder never run against this one.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace marvo::walk {

// Does the walkthrough file name `walkName` (no folder) belong to the scenario named `stem` (its
// file name without the extension)? It does when it is "STEM.walk" or "STEM-ANY.walk", unless
// `otherStems` (the names of the other scenarios beside it) holds a longer name "STEM-X" that the
// walkthrough belongs to in the same way: "mayak-2-end.walk" belongs to "mayak-2.scn" when that file
// is there, else to "mayak.scn". Letter case counts, as it does for file names.
bool belongsTo(std::string_view walkName, std::string_view stem, const std::vector<std::string_view>& otherStems = {});

// The walkthroughs of the scenario file `scenario`: "NAME.walk" and "NAME-*.walk" beside it, then
// every "*.walk" in the folder "NAME" beside it; each group in the order of their names. Empty when
// there are none or the folder cannot be read.
std::vector<std::filesystem::path> walkthroughsFor(const std::filesystem::path& scenario);

}  // namespace marvo::walk
