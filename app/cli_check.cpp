// marvo-cli check: the scenario checker in the format compilers use (or JSON), with a summary.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "checker/checker.h"
#include "cli_commands.h"
#include "engine/codec.h"
#include "engine/file_io.h"
#include "game/json_events.h"
#include "game/scenario_file.h"
#include "spelling/spelling_check.h"
#include "spelling/word_list.h"

namespace marvo::cli {

namespace {

int usageError(const std::string& what) {
  std::fprintf(stderr,
               "marvo-cli check: %s\n"
               "usage: marvo-cli check [--library FILE] [--format text|json] [--spelling] SCENARIO...\n"
               "       marvo-cli check --library FILE [--format text|json]\n",
               what.c_str());
  return 2;
}

void print(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int check(const Args& args) {
  std::string libraryPath;
  bool asJson = false;
  bool spelling = false;
  std::vector<std::string> scenarios;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--library" || a == "--format") {
      if (i + 1 >= args.size()) return usageError(a + " needs a value");
      const std::string& v = args[++i];
      if (a == "--library")
        libraryPath = v;
      else if (v == "json")
        asJson = true;
      else if (v != "text")
        return usageError("unknown format " + v);
    } else if (a == "--spelling") {
      spelling = true;
    } else if (a.starts_with("--")) {
      return usageError("unknown option " + a);
    } else {
      scenarios.push_back(a);
    }
  }
  // Without a scenario the library given is checked alone.
  const bool libraryAlone = scenarios.empty() && !libraryPath.empty();
  if (scenarios.empty() && !libraryAlone) return usageError("no scenario");

  check::CheckInput input;
  std::vector<check::Diagnostic> libraryBytes;  // NUL bytes of the library, told with every check
  if (libraryPath.empty() && std::filesystem::exists("marvo.lib")) libraryPath = "marvo.lib";
  if (!libraryPath.empty()) {
    const auto file = readWholeFile(libraryPath);
    if (!file.error.empty()) {
      std::fprintf(stderr, "marvo-cli check: %s\n", file.error.c_str());
      return 1;
    }
    input.library = parseScenarioText(file.bytes);
    libraryBytes = check::checkFileBytes(file.bytes, check::Source::Library);
    input.libraryName = utf8ToCp1251(std::filesystem::path(libraryPath).filename().string());
  } else {
    std::fputs("marvo-cli check: no marvo.lib here; checking without a library\n", stderr);
  }
  if (libraryAlone) scenarios.push_back(libraryPath);

  // Unknown words of the prose, when asked for and a dictionary is installed (else one note).
  std::shared_ptr<const spelling::Dictionaries> dictionaries;
  if (spelling) {
    dictionaries = spelling::Dictionaries::load();
    if (!dictionaries->available())
      std::fprintf(stderr, "marvo-cli check: %s\n", cp1251ToUtf8(dictionaries->note()).c_str());
  }

  check::Counts total;
  bool unreadable = false;
  std::string jsonItems;
  for (const auto& path : scenarios) {
    std::vector<check::Diagnostic> list;
    if (&path == &scenarios.front()) list = libraryBytes;  // told once
    if (libraryAlone) {
      auto found = check::checkLibrary(input);
      list.insert(list.end(), found.begin(), found.end());
    } else {
      const auto file = readWholeFile(path);
      if (!file.error.empty()) {
        std::fprintf(stderr, "marvo-cli check: %s\n", file.error.c_str());
        unreadable = true;
        continue;
      }
      input.scenario = parseScenarioText(file.bytes);
      auto bytes = check::checkFileBytes(file.bytes);
      auto rest = check::checkScenario(input);
      list.insert(list.end(), bytes.begin(), bytes.end());
      list.insert(list.end(), rest.begin(), rest.end());
    }
    if (dictionaries && dictionaries->available()) {
      auto words = spelling::checkScenarioSpelling(dictionaries, path, input.scenario,
                                                   spelling::userDictionaryPath(spelling::defaultUserDataFolder()));
      for (const auto& error : words.errors) std::fprintf(stderr, "marvo-cli check: %s\n", error.c_str());
      list.insert(list.end(), words.warnings.begin(), words.warnings.end());
    }
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
      return std::tie(a.source, a.line) < std::tie(b.source, b.line);
    });
    const auto counts = check::countDiagnostics(list);
    total.errors += counts.errors;
    total.warnings += counts.warnings;
    for (const auto& d : list) {
      const std::string& file = d.source == check::Source::Library ? libraryPath : path;
      if (asJson) {
        if (!jsonItems.empty()) jsonItems += ",\n";
        jsonItems += "  {\"file\": " + events::jsonStringUtf8(file) + ", \"line\": " + std::to_string(d.line) +
                     ", \"severity\": \"" + (d.severity == check::Severity::Error ? "error" : "warning") +
                     "\", \"message\": " + events::jsonStringUtf8(cp1251ToUtf8(d.text)) +
                     ", \"rule\": " + events::jsonStringUtf8(d.rule) + "}";
      } else {
        print(file + cp1251ToUtf8(check::formatDiagnostic(d, "")));
      }
    }
  }
  if (asJson) {
    print("{\"problems\": [\n" + jsonItems + (jsonItems.empty() ? "" : "\n") +
          "], \"errors\": " + std::to_string(total.errors) + ", \"warnings\": " + std::to_string(total.warnings) + "}");
  } else {
    print(cp1251ToUtf8(check::summaryLine(total)));
  }
  if (unreadable) return 1;
  return total.errors > 0 ? 1 : 0;
}

}  // namespace marvo::cli
