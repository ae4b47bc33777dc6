// The walkthrough reader: directives, tests, and faulty lines named by number.
#include <gtest/gtest.h>

#include "walkthrough/walk_file.h"
#include "walkthrough_test.h"

namespace marvo::walk {
namespace {

using test::w;

TEST(WalkFile, ReadsEveryDirectiveIntoSteps) {
  const auto f = parseWalkFile(
      "# comment\n"
      "Комната\n"
      "* первый\n"
      "> взять ключ\n"
      "Взято.\n"
      "!это невозможно\n"
      "/Счёт: \\d+/\n"
      "? inventory: ключ\n"
      "? characteristics: здоровье 10\n"
      "? var Золото = -50\n"
      "? location: кухня\n"
      "? message: Не найден Endif\n"
      "+ clock 300\n"
      "+ clock 5\n"
      ">\n"
      "\\> не команда\n",
      "a.walk");
  ASSERT_EQ(f.tests.size(), 2u);
  EXPECT_EQ(f.tests[0].steps.size(), 1u);  // the lines before "*" form a test of their own
  const auto& t = f.tests[1];
  EXPECT_EQ(t.title, "первый");
  EXPECT_TRUE(t.errors.empty());
  ASSERT_EQ(t.steps.size(), 3u);
  EXPECT_TRUE(t.steps[0].isStart);
  EXPECT_EQ(t.steps[1].command, w("взять ключ"));
  EXPECT_EQ(t.steps[1].line, 4);
  using K = Expectation::Kind;
  std::vector<K> kinds;
  for (const auto& e : t.steps[1].expectations) kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<K>{K::Contains, K::Lacks, K::Matches, K::Inventory, K::Characteristic, K::Variable,
                                   K::Location, K::Message}));
  EXPECT_EQ(t.steps[1].expectations[5].text, w("золото"));
  EXPECT_EQ(t.steps[1].expectations[5].value, -50);
  EXPECT_EQ(t.steps[2].command, "");
  EXPECT_EQ(t.steps[2].clockTicks, 305);
  ASSERT_EQ(t.steps[2].expectations.size(), 1u);
  EXPECT_EQ(t.steps[2].expectations[0].text, w("> не команда"));
}

TEST(WalkFile, FaultyLinesAreErrorsOfTheirTestOnly) {
  const std::string huge(1 << 20, 'x');
  const auto f = parseWalkFile(
      "* хороший\n> 1\n"
      "* плохой\n? weather: rain\n/(unclosed/\n" +
          huge +
          "\n\xff\xfe garbage\n"
          "/no end\n+ clock -1\n+ jump 3\n? var = 5\n",
      "b.walk");
  ASSERT_EQ(f.tests.size(), 2u);
  EXPECT_TRUE(f.tests[0].errors.empty());
  std::vector<int> lines;
  for (const auto& e : f.tests[1].errors) lines.push_back(e.line);
  EXPECT_EQ(lines, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_NE(f.tests[1].errors[0].text.find("неизвестная проверка"), std::string::npos);
  EXPECT_NE(f.tests[1].errors[1].text.find("регулярное выражение не компилируется"), std::string::npos);
  EXPECT_NE(f.tests[1].errors[2].text.find("строка длиннее"), std::string::npos);
}

TEST(WalkFile, UnreadableFileIsOneError) {
  const auto f = readWalkFile("/nonexistent/x.walk");
  EXPECT_TRUE(f.tests.empty());
  ASSERT_EQ(f.errors.size(), 1u);
  EXPECT_NE(f.errors[0].text.find("x.walk"), std::string::npos);
}

TEST(WalkFile, ExpectedTextsThatLookLikeDirectivesAreEscaped) {
  EXPECT_EQ(expectedTextLine(w("  >взять  ")), "\\>взять");
  EXPECT_EQ(expectedTextLine(w("Взято.")), "Взято.");
  const auto f = parseWalkFile(expectedTextLine(w("? var x = 1")) + "\n", "c.walk");
  ASSERT_EQ(f.tests.at(0).steps.at(0).expectations.size(), 1u);
  EXPECT_EQ(f.tests[0].steps[0].expectations[0].text, "? var x = 1");
}

}  // namespace
}  // namespace marvo::walk
