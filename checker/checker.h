// The scenario checker: finds the author's mistakes in a scenario (and the library spliced into it)
// without running the game, and reports them by file and line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marvo::check {

enum class Severity { Warning, Error };

// Where a problem lies: the scenario or the library, and a 1-based line of that text.
enum class Source { Scenario, Library };

struct Diagnostic {
  Source source = Source::Scenario;
  int line = 0;  // 1-based, as the code editor numbers lines
  Severity severity = Severity::Error;
  std::string text;  // Windows-1251, names the thing and says what to do
  std::string rule;  // English kebab-case rule name
};

struct CheckInput {
  std::vector<std::string> scenario;  // Windows-1251 lines, as the code editor holds them
  std::vector<std::string> library;   // the library text spliced in before lines with "return"
  std::string libraryName = "marvo.lib";
};

// Every problem found, sorted by source (scenario first), then line, then rule. Never throws on
// any text; the work grows linearly with the text (n log n at worst).
std::vector<Diagnostic> checkScenario(const CheckInput& input);

// The library alone, as game start splices it into a game's ":common": its own rules apply, and
// those that need a game (unreachable locations, variables and objects the game may give) are left
// out. Only library findings are returned.
std::vector<Diagnostic> checkLibrary(const CheckInput& input);

// Problems of the file's bytes themselves, for a plain-text scenario or library file: NUL bytes
// (the reader drops them and keeps every line). Lines are counted as the reader counts them.
std::vector<Diagnostic> checkFileBytes(std::string_view bytes, Source source = Source::Scenario);

// The 0-based index of the first scenario line that declares the object `name` with CREATE (as
// the engine reads it: the first word starts with "crea", the second is the name, lower-cased),
// or -1.
int findCreate(const std::vector<std::string>& scenario, std::string_view name);

// "FILE:LINE: error: TEXT [rule]" (TEXT stays Windows-1251; FILE is used as given).
std::string formatDiagnostic(const Diagnostic& d, std::string_view file);

// Number of errors and of warnings.
struct Counts {
  int errors = 0;
  int warnings = 0;
};
Counts countDiagnostics(const std::vector<Diagnostic>& list);
// "Ошибок: 1, предупреждений: 2." (Windows-1251).
std::string summaryLine(Counts counts);

}  // namespace marvo::check
