// Checker on hostile text: garbage, huge lines, many lines, unbalanced blocks; it must finish fast.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "check_util.h"

namespace marvo::check::test {
namespace {

double secondsFor(const std::vector<std::string>& scenario, const std::vector<std::string>& lib = library()) {
  const auto start = std::chrono::steady_clock::now();
  (void)run(scenario, lib);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(CheckerBadInput, GarbageAndHugeTexts) {
  std::mt19937 rng(7);
  std::vector<std::string> garbage;
  for (int i = 0; i < 2000; ++i) {
    std::string s(static_cast<std::size_t>(rng() % 120), ' ');
    for (auto& c : s) c = static_cast<char>(rng() % 256);
    garbage.push_back(s);
  }
  EXPECT_LT(secondsFor(garbage), 5.0);

  std::string mega(1 << 20, 'a');
  for (std::size_t i = 0; i < mega.size(); i += 7) mega[i] = "[_]#=/ "[i % 7];
  EXPECT_LT(secondsFor({mega, "!" + mega, "TALK " + mega, "btn [" + mega, "IF " + mega, ":" + mega, "GOTO " + mega}),
            5.0);
}

TEST(CheckerBadInput, ManyLinesAndUnbalancedBlocksStayLinear) {
  // The limits are loose (sanitizer builds are slow); a quadratic pass would take minutes here.
  const char* kinds[] = {"IF x=1", "TALK 1", "ENDIF", "REDO", "GOTO a", ":a", "!#x", "btn [1] a", "x=y",
                         "return", "talk x", "do", "TALK <object>/a/b/c/d", "gift=1"};
  std::vector<std::string> mixed;
  for (int i = 0; i < 200000; ++i) mixed.push_back(kinds[i % 14]);
  EXPECT_LT(secondsFor(mixed), 30.0);
  for (const char* kind : kinds) {
    std::vector<std::string> many(40000, kind);
    EXPECT_LT(secondsFor(many, {}), 20.0) << kind;
  }
  // Every line spliced with the library: bounded as well.
  std::vector<std::string> returns(20000, "RETURN");
  EXPECT_LT(secondsFor(returns), 20.0);
}

}  // namespace
}  // namespace marvo::check::test
