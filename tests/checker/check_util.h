// Helpers for checker tests: scenarios written in UTF-8, findings as "LINE rule" strings.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "checker/checker.h"
#include "engine/codec.h"

namespace marvo::check::test {

inline std::vector<std::string> lines(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* l : utf8) out.push_back(utf8ToCp1251(l));
  return out;
}

// The standard library's shape: talk blocks spliced before RETURN of ":common".
inline std::vector<std::string> library() { return lines({"TALK осмотреть <object>", "ИЗУЧИТЬ <object>", "REDO"}); }

inline std::vector<Diagnostic> run(const std::vector<std::string>& scenario,
                                   const std::vector<std::string>& lib = library()) {
  CheckInput in;
  in.scenario = scenario;
  in.library = lib;
  return checkScenario(in);
}

// "LINE rule" for every finding ("L" before the line for library lines).
inline std::vector<std::string> findings(const std::vector<std::string>& scenario,
                                         const std::vector<std::string>& lib = library()) {
  std::vector<std::string> out;
  for (const auto& d : run(scenario, lib))
    out.push_back((d.source == Source::Library ? "L" : "") + std::to_string(d.line) + " " + d.rule);
  return out;
}

// A clean frame: a location with READ, and the common location with RETURN.
inline std::vector<std::string> game(std::initializer_list<const char*> body) {
  auto out = lines({":start"});
  auto b = lines(body);
  out.insert(out.end(), b.begin(), b.end());
  auto tail = lines({"READ", ":common", "RETURN"});
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

}  // namespace marvo::check::test
