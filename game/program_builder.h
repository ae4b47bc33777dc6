// Program preparation: the library spliced into the scenario, then the authoring forms expanded.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

// Where a merged or program line came from. Lines are counted from 1.
struct LineOrigin {
  enum Source : std::uint8_t {
    Scenario,
    Library,
    Game,  // the start marker, the final "read" and the end marker: made by game start alone
  };
  Source source = Game;
  int line = 0;            // line of the scenario or the library; 0 for Game
  bool generated = false;  // made by game start from that line (btn, do, call, ret expansions)

  friend bool operator==(const LineOrigin&, const LineOrigin&) = default;
};

// The scenario with every library line inserted before each scenario line containing "return"
// (compared lower-cased).
std::vector<std::string> mergeLibrary(const std::vector<std::string>& scenario,
                                      const std::vector<std::string>& library);

// The merged text with the origin of each of its lines (parallel vectors).
struct MergedText {
  std::vector<std::string> lines;
  std::vector<LineOrigin> origins;
};
MergedText mergeLibraryMapped(const std::vector<std::string>& scenario, const std::vector<std::string>& library);

struct BuiltProgram {
  std::vector<std::string> lines;
  std::vector<LineOrigin> origins;  // one per program line
  // Set when a btn or do line ran past its end: the program holds the lines built before it,
  // and brokenLine says where the broken line came from.
  std::optional<long long> brokenAt;
  LineOrigin brokenLine;
};

// Builds the program from merged lines: comments dropped, labels lower-cased, call/ret/btn/do
// expanded, talk brackets removed, framed by the start marker, "read" and the end marker.
// `origins` gives the origin of each merged line; without it merged line i is scenario line i + 1.
BuiltProgram buildProgram(const std::vector<std::string>& merged, const std::vector<LineOrigin>* origins = nullptr);
inline BuiltProgram buildProgram(const MergedText& merged) { return buildProgram(merged.lines, &merged.origins); }

// A line origin in four bytes: the line in the low 29 bits (larger numbers are clamped), the
// source in the next two, generated in the top bit.
inline constexpr int kMaxPackedLine = (1 << 29) - 1;
std::uint32_t packOrigin(const LineOrigin& origin);
LineOrigin unpackOrigin(std::uint32_t packed);

// Texts of source lines, kept for quoting where the program does not hold them as written.
class SourceTexts {
 public:
  void add(const LineOrigin& origin, std::string_view text);  // by source and line
  std::optional<std::string_view> text(const LineOrigin& origin) const;

 private:
  struct Entry {  // sixteen bytes: a large scenario keeps one for every button line
    std::uint32_t key;
    std::uint32_t length;
    std::size_t offset;
  };
  const Entry* find(const LineOrigin& origin) const;
  std::string text_;
  std::vector<Entry> entries_;
};

// Game start's build: the library merged in on the fly (as mergeLibraryMapped does), the origins
// packed, and the texts of the source lines that the program does not hold word for word (changed
// by game start, expanded, one-shot, or broken). With `owned` (the scenario itself) lines that
// need no change are taken over instead of copied; when `passed` is given, each only once `passed`
// is beyond it (until then it is read elsewhere). The strings of `reuse` (the previous program) are
// written over, so a game started again allocates little.
struct PreparedProgram {
  std::vector<std::string> lines;
  std::vector<std::uint32_t> origins;  // packed, one per program line
  SourceTexts texts;
  std::optional<long long> brokenAt;
  LineOrigin brokenLine;
};
PreparedProgram prepareProgram(const std::vector<std::string>& scenario, std::vector<std::string>* owned,
                               const std::vector<std::string>& library, std::vector<std::string>&& reuse = {},
                               const std::atomic<std::size_t>* passed = nullptr);

// What game start made a program line as.
enum class Made : std::uint8_t {
  Copy,    // the source line itself (trimmed, a label lower-cased, talk brackets blanked)
  Button,  // "@N. text", "talk N", "goto label", "redo" of a btn line
  Choice,  // "@N. text", "talk N" of a do line
  Call,    // "PUSHINDEX", "JUMP label" of a call line
  Return,  // "POPINDEX", "REDO" before a ret line
};

// One merged line as the build took it: the program lines it made. A ret line is taken twice
// (its Return lines, then its Copy); a comment is not taken at all.
struct Taking {
  LineOrigin origin;  // the merged line (generated is false)
  Made made = Made::Copy;
  int button = 0;         // the choice number of a btn or do line
  std::size_t first = 0;  // its program lines are [first, first + count)
  std::size_t count = 0;  // 0 for a broken btn or do line
};

// Game start's build with how every program line was made, for a tool that looks at every line:
// the program prepareProgram makes, except that a broken btn or do line is left out (a Taking with
// no lines; the choice numbering goes on as if it were not there) instead of stopping the build,
// and that at most `maxLibraryLines` library lines are spliced in all (later copies left out).
struct ProgramMap {
  std::vector<std::string> lines;   // framed by the start marker, "read" and the end marker
  std::vector<LineOrigin> origins;  // one per program line
  std::vector<Taking> takings;      // in build order, covering every line but the frame
  int splicesStoppedAt = 0;         // the scenario line before which a copy was first left out, or 0
};
ProgramMap mapProgram(const std::vector<std::string>& scenario, const std::vector<std::string>& library,
                      std::size_t maxLibraryLines = SIZE_MAX);

// A source line as the build reads it: trimmed, a label lower-cased.
std::string readSourceLine(std::string_view source);

}  // namespace marvo
