// Walkthrough files (".walk", UTF-8): tests made of commands and what their output must show.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::walk {

// Longest line a walkthrough may hold, and the longest regular expression.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;
inline constexpr std::size_t kMaxRegexBytes = 2000;

// One check on the output or the state after a command. Texts are Windows-1251.
struct Expectation {
  enum class Kind { Contains, Lacks, Matches, Inventory, Characteristic, Variable, Location, Message };
  Kind kind = Kind::Contains;
  int line = 0;                             // 1-based line in the walkthrough
  std::string text;                         // the text, item, variable name, location or message
  std::int32_t value = 0;                   // Variable: the expected value
  std::shared_ptr<const std::regex> regex;  // Matches
  std::string source;                       // the directive as written (UTF-8), for reports
};

// The game start (command == nullopt) or one command with the checks that follow it.
struct Step {
  bool isStart = false;
  std::string command;       // Windows-1251, as typed (an empty text is Enter on an empty input)
  int line = 0;              // line of the ">" (for the start: of the "*" title, or of the test's first line)
  long long clockTicks = 0;  // "+ clock" ticks before the command
  int insertAfter = 0;       // where recorded output goes when the step has no plain text yet (0 = top)
  std::vector<Expectation> expectations;
};

struct WalkError {
  int line = 0;      // 0: the file as a whole
  std::string text;  // UTF-8, Russian
};

struct WalkTest {
  std::string title;        // UTF-8; empty when the test has no "*" line
  int line = 1;             // where the test starts
  std::vector<Step> steps;  // steps[0] is the game start
  std::vector<WalkError> errors;
};

struct WalkFile {
  std::string path;                // as given, for reports
  std::vector<std::string> lines;  // UTF-8 lines as read (for rewriting)
  std::vector<WalkTest> tests;
  std::vector<WalkError> errors;  // a file that cannot be read at all
};

// Parses walkthrough text. Never throws: every faulty line becomes an error of the test it
// belongs to, naming the line and the reason; the other tests are unaffected.
WalkFile parseWalkFile(std::string_view utf8, std::string path);
// Reads and parses a file; an unreadable file gives a WalkFile with one error and no tests.
WalkFile readWalkFile(const std::filesystem::path& path);

// A plain expected text as a walkthrough line (UTF-8), escaped with "\" when it would otherwise
// read as a directive.
std::string expectedTextLine(std::string_view cp1251);

// "FILE:LINE" as reports print it.
std::string where(const WalkFile& file, int line);

}  // namespace marvo::walk
