// Fuzz target: walkthrough files from arbitrary bytes, read and run against a small game.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/codec.h"
#include "walkthrough/runner.h"

namespace {
const marvo::walk::PreparedGame& game() {
  static const auto prepared = [] {
    std::vector<std::string> lines;
    for (const char* l : {":start", "@Комната.%", "btn [Сад] сад", "TALK ждать", "!Вы ждёте.", "x=x+1", "REDO", "READ",
                          ":сад", "@Сад.%", "btn [Назад] start", "READ", ":common", "RETURN"})
      lines.push_back(marvo::utf8ToCp1251(l));
    return marvo::walk::prepareGame(lines, {});
  }();
  return prepared;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<marvo::walk::WalkFile> files{marvo::walk::parseWalkFile(input, "fuzz.walk")};
  // Every line lands in a test, as an expectation, a command or an error.
  for (const auto& test : files[0].tests)
    for (const auto& e : test.errors)
      if (e.line < 1 || static_cast<std::size_t>(e.line) > files[0].lines.size()) __builtin_trap();
  marvo::walk::RunOptions options;
  options.threads = 1;
  options.lineBudget = 20000;
  marvo::walk::runWalkthroughs(game(), files, options);
  return 0;
}
