// Checker on hostile text: garbage, huge lines, many lines, unbalanced blocks; it must finish fast.
#include <gtest/gtest.h>

#include <ctime>
#include <random>

#include "check_util.h"

namespace marvo::check::test {
namespace {

// Time limits for an optimised build; sanitizer and debug builds run many times slower. A pass
// that grew with the square of the text would still blow through them by far. Processor time of this
// thread: a machine busy with other work does not make the checker look slow.
#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
constexpr double kSlowdown = 12.0;
#else
constexpr double kSlowdown = 1.0;
#endif

double secondsFor(const std::vector<std::string>& scenario, const std::vector<std::string>& lib = library()) {
  auto cpuSeconds = [] {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
  };
  const double start = cpuSeconds();
  (void)run(scenario, lib);
  return cpuSeconds() - start;
}

TEST(CheckerBadInput, GarbageAndHugeTexts) {
  std::mt19937 rng(7);
  std::vector<std::string> garbage;
  for (int i = 0; i < 2000; ++i) {
    std::string s(static_cast<std::size_t>(rng() % 120), ' ');
    for (auto& c : s) c = static_cast<char>(rng() % 256);
    garbage.push_back(s);
  }
  EXPECT_LT(secondsFor(garbage), 2.0 * kSlowdown);

  std::string mega(1 << 20, 'a');
  for (std::size_t i = 0; i < mega.size(); i += 7) mega[i] = "[_]#=/ "[i % 7];
  EXPECT_LT(secondsFor({mega, "!" + mega, "TALK " + mega, "btn [" + mega, "IF " + mega, ":" + mega, "GOTO " + mega}),
            3.0 * kSlowdown);
}

TEST(CheckerBadInput, ManyLinesAndUnbalancedBlocksStayLinear) {
  const char* kinds[] = {"IF x=1",
                         "TALK 1",
                         "ENDIF",
                         "REDO",
                         "GOTO a",
                         ":a",
                         "!#x",
                         "btn [1] a",
                         "x=y",
                         "return",
                         "talk x",
                         "do",
                         "TALK <object>/a/b/c/d",
                         "gift=1"};
  std::vector<std::string> mixed;
  for (int i = 0; i < 200000; ++i) mixed.push_back(kinds[i % 14]);
  EXPECT_LT(secondsFor(mixed), 8.0 * kSlowdown);
  for (const char* kind : kinds) {
    std::vector<std::string> many(40000, kind);
    EXPECT_LT(secondsFor(many, {}), 3.0 * kSlowdown) << kind;
  }
  // Every line spliced with the library: bounded as well.
  std::vector<std::string> returns(20000, "RETURN");
  EXPECT_LT(secondsFor(returns), 5.0 * kSlowdown);
}

}  // namespace
}  // namespace marvo::check::test
