// Tests of the description word wrap and of joining the description area's lines.
#include "mapedit/description_lines.h"

#include <gtest/gtest.h>

#include <random>

using marvo::mapedit::breakDescription;
using marvo::mapedit::joinDescriptionLines;
using Lines = std::vector<std::string>;

TEST(DescriptionLines, ShortTextsStayOnOneLine) {
  EXPECT_EQ(breakDescription(""), Lines{});
  EXPECT_EQ(breakDescription("a"), Lines{"a"});
  const std::string exact(marvo::mapedit::kDescriptionWidth, 'w');
  EXPECT_EQ(breakDescription(exact), Lines{exact});
}

TEST(DescriptionLines, BreaksAfterTheLastBlankThatFits) {
  EXPECT_EQ(breakDescription("one two three", 8), (Lines{"one two ", "three"}));
  // A word that would end exactly at the margin goes to the next line: no line exceeds the width.
  EXPECT_EQ(breakDescription("abc defgh ij", 9), (Lines{"abc ", "defgh ij"}));
  EXPECT_EQ(breakDescription("abc defgh", 9), (Lines{"abc defgh"}));
  // Runs of blanks stay where they fall.
  EXPECT_EQ(breakDescription("ab     cd", 4), (Lines{"ab  ", "   ", "cd"}));
  EXPECT_EQ(breakDescription("ab\tcd", 3), (Lines{"ab\t", "cd"}));
}

TEST(DescriptionLines, LongWordsAreCutAtTheWidth) {
  EXPECT_EQ(breakDescription("abcdefghij", 4), (Lines{"abcd", "efgh", "ij"}));
  EXPECT_EQ(breakDescription("x abcdefghij", 4), (Lines{"x ", "abcd", "efgh", "ij"}));
}

TEST(DescriptionLines, JoiningTheLinesGivesTheTextBack) {
  std::mt19937 random(7);
  const std::string alphabet = "ab  c.\t\xE0\xFF";
  for (int round = 0; round < 500; ++round) {
    std::string text(random() % 300, ' ');
    for (auto& ch : text) ch = alphabet[random() % alphabet.size()];
    const std::size_t width = 1 + random() % 90;
    auto lines = breakDescription(text, width);
    for (const auto& line : lines) {
      ASSERT_FALSE(line.empty());
      ASSERT_LE(line.size(), width);
    }
    ASSERT_EQ(joinDescriptionLines(lines), text) << "width " << width;
  }
}

TEST(DescriptionLines, TypedLinesAreJoinedWithoutBlank) {
  EXPECT_EQ(joinDescriptionLines({"first line", "", "second"}), "first linesecond");
  EXPECT_EQ(joinDescriptionLines({}), "");
}
