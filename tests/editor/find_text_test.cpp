// Find and Replace on Windows-1251 lines: letter case, whole words, replacements.
#include "editor/find_text.h"

#include <gtest/gtest.h>

#include "engine/text.h"

using namespace marvo::literals;
using namespace marvo::editor;

namespace {
const FindOptions kAny{};
const FindOptions kCase{.matchCase = true};
const FindOptions kWord{.wholeWord = true};
const std::string_view kWords = "ЁЁЖ goto ё2 Ґїў"_w;
}  // namespace

TEST(FindText, LetterCaseFollowsTheCodePage) {
  EXPECT_EQ(findInLine("GOTO loc, goto LOC", "goto", kAny), (std::vector<int>{0, 10}));
  EXPECT_EQ(findInLine("GOTO loc, goto LOC", "goto", kCase), (std::vector<int>{10}));
  EXPECT_EQ(findInLine("ЕСЛИ Ёлка и ёлка, ЕЛКА"_w, "ёлка"_w, kAny), (std::vector<int>{5, 12}));
  EXPECT_EQ(findInLine("ЕСЛИ Ёлка и ёлка"_w, "ёлка"_w, kCase), (std::vector<int>{12}));
  EXPECT_EQ(findInLine("Ґанок ґанок"_w, "ҐАНОК"_w, kAny), (std::vector<int>{0, 6}));
  // Non-overlapping, left to right; nothing for an empty needle or a needle longer than the line.
  EXPECT_EQ(findInLine("aaaa", "aa", kAny), (std::vector<int>{0, 2}));
  EXPECT_TRUE(findInLine("abc", "", kAny).empty());
  EXPECT_TRUE(findInLine("ab", "abc", kAny).empty());
}

TEST(FindText, WholeWordsEndAtNonWordCharacters) {
  EXPECT_EQ(findInLine("loc1 loc12 xloc1 loc1, (loc1)", "loc1", kWord), (std::vector<int>{0, 17, 24}));
  // "_" joins an object and its property: the object's name is a whole word before it.
  EXPECT_EQ(findInLine("лампа лампа_Описание Лампа."_w, "лампа"_w, kWord), (std::vector<int>{0, 6, 21}));
  // Cyrillic letters, "ё" and digits are word characters; blanks and punctuation are not.
  EXPECT_TRUE(findInLine("ёлка"_w, "лка"_w, kWord).empty());
  EXPECT_TRUE(findInLine("дом2"_w, "дом"_w, kWord).empty());
  // An edge of the needle that is no word character needs no boundary.
  EXPECT_EQ(findInLine("IF x<object>_Надет"_w, "<object>", kWord), (std::vector<int>{4}));
  EXPECT_TRUE(matchesAt("GOTO loc", 5, "LOC", kWord));
  EXPECT_FALSE(matchesAt("GOTO loc", 5, "LOC", {.matchCase = true, .wholeWord = true}));
  EXPECT_FALSE(matchesAt("GOTO loc", 6, "oc", kWord));
  EXPECT_FALSE(matchesAt("GOTO", -1, "G", kAny));
  for (unsigned char c : kWords)
    if (c != 0x20) {
      EXPECT_TRUE(isWordByte(c)) << int(c);
    }
  for (unsigned char c : std::string_view(" _.,;:!?()<>=+-*/@\"'\t\x85\x96\xAB\xBB"))
    EXPECT_FALSE(isWordByte(c)) << int(c);
}

TEST(FindText, ReplacesEveryMatchOnceAndCountsThem) {
  int count = -1;
  EXPECT_EQ(replaceInLine("goto a, GOTO b", "goto", "JUMP", kAny, count), "JUMP a, JUMP b");
  EXPECT_EQ(count, 2);
  // The replacement holds the needle: it is not searched again.
  EXPECT_EQ(replaceInLine("ab ab", "ab", "abab", kAny, count), "abab abab");
  EXPECT_EQ(count, 2);
  EXPECT_EQ(replaceInLine("лес лесник"_w, "лес"_w, "бор"_w, kWord, count), "бор лесник"_w);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(replaceInLine("x", "y", "z", kAny, count), "x");
  EXPECT_EQ(count, 0);
  EXPECT_EQ(replaceInLine("aXa", "x", "", kAny, count), "aa");
}
