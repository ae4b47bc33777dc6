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
  EXPECT_EQ(breakDescription("abc defgh ij", 8), (Lines{"abc ", "defgh ij"}));
  EXPECT_EQ(breakDescription("abc defgh", 9), (Lines{"abc defgh"}));
  EXPECT_EQ(breakDescription("ab\tcd", 3), (Lines{"ab\t", "cd"}));
}

TEST(DescriptionLines, BlanksAtTheBreakHangAtTheEndOfTheLine) {
  // A word that ends right at the margin keeps its line; the blank after it does not start the next.
  EXPECT_EQ(breakDescription("abc defgh ij", 9), (Lines{"abc defgh ", "ij"}));
  EXPECT_EQ(breakDescription("ab     cd", 4), (Lines{"ab     ", "cd"}));
  EXPECT_EQ(breakDescription("abcd \t ", 4), (Lines{"abcd \t "}));
  // The piece of a word cut at the width lets the blank after it hang as well.
  EXPECT_EQ(breakDescription("abcdef gh", 3), (Lines{"abc", "def ", "gh"}));
  // Leading blanks of the paragraph stay where they are.
  EXPECT_EQ(breakDescription("  ab cd", 3), (Lines{"  ", "ab ", "cd"}));
  EXPECT_EQ(breakDescription("     abc", 3), (Lines{"     ", "abc"}));
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
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      ASSERT_FALSE(line.empty());
      // Only blanks may stand past the width, and only the first line may begin with one.
      const std::size_t visible = line.find_last_not_of(" \t") + 1;  // 0 for a line of blanks
      ASSERT_LE(visible, width) << "line " << i << " width " << width;
      if (i > 0) {
        ASSERT_FALSE(line[0] == ' ' || line[0] == '\t') << "line " << i;
      }
    }
    ASSERT_EQ(joinDescriptionLines(lines), text) << "width " << width;
  }
}

TEST(DescriptionLines, TypedLinesAreJoinedWithoutBlank) {
  EXPECT_EQ(joinDescriptionLines({"first line", "", "second"}), "first linesecond");
  EXPECT_EQ(joinDescriptionLines({}), "");
}
