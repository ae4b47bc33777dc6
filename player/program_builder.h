// Program preparation: the library spliced into the scenario, then the authoring forms expanded.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace marvo {

// The scenario with every library line inserted before each scenario line containing "return"
// (compared lower-cased).
std::vector<std::string> mergeLibrary(const std::vector<std::string>& scenario,
                                      const std::vector<std::string>& library);

struct BuiltProgram {
  std::vector<std::string> lines;
  // Set when a btn or do line ran past its end: the program holds the lines built before it.
  std::optional<long long> brokenAt;
};

// Builds the program from merged lines: comments dropped, labels lower-cased, call/ret/btn/do
// expanded, talk brackets removed, framed by the start marker, "read" and the end marker.
BuiltProgram buildProgram(const std::vector<std::string>& merged);
// The same for the scenario with the library merged in as mergeLibrary does, without building
// the merged copy.
BuiltProgram buildProgram(const std::vector<std::string>& scenario, const std::vector<std::string>& library);
// The same, taking over the scenario lines that need no change instead of copying them.
BuiltProgram buildProgram(std::vector<std::string>&& scenario, const std::vector<std::string>& library);

}  // namespace marvo
