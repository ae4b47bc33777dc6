// The keyword alias table: each Russian alias works as its English keyword.
#include "engine/keyword_aliases.h"

#include <gtest/gtest.h>

#include "engine/decode.h"

using namespace marvo;
using namespace marvo::literals;

TEST(KeywordAliases, EachAliasIsDecodedAndSkippedAsItsKeyword) {
  for (const KeywordAlias& a : alias::kAliased) {
    EXPECT_TRUE(a.keyword.starts_with(a.stem)) << a.keyword;
    EXPECT_TRUE(a.russian.starts_with(a.russianStem)) << a.keyword;
    for (std::string_view rest : {"", " x", " x = 1"}) {
      // "endif" holds "if": with a comparison it is an IF, which "конец" is not.
      if (a.keyword == "endif" && rest == " x = 1") continue;
      DecodedLine english, russian;
      decodeLine(concat(a.keyword, rest), english);
      decodeLine(concat(a.russian, rest), russian);
      EXPECT_EQ(english.rows, russian.rows) << a.keyword << rest;
      EXPECT_EQ(opensIfLevel(english.statement), opensIfLevel(russian.statement)) << a.keyword << rest;
      EXPECT_EQ(closesIfLevel(english.statement), closesIfLevel(russian.statement)) << a.keyword << rest;
      EXPECT_EQ(opensTalkLevel(english.statement), opensTalkLevel(russian.statement)) << a.keyword << rest;
      EXPECT_EQ(closesTalkLevel(english.statement), closesTalkLevel(russian.statement)) << a.keyword << rest;
    }
  }
}

TEST(KeywordAliases, StateTheEnginesSpelling) {
  EXPECT_EQ(alias::kEndif.russianStem, "коне"_w);
  EXPECT_EQ(alias::kTalk.russianStem, "парс"_w);
  EXPECT_EQ(alias::kRedo.russianStem, "ввер"_w);
  EXPECT_EQ(alias::kIf.russianStem, "если"_w);
  EXPECT_TRUE(closesIfLevel("конец=0"_w));
  EXPECT_TRUE(closesIfLevel("!endive"));
  EXPECT_FALSE(closesIfLevel("!конец"_w));
  EXPECT_TRUE(mentionsTalk("парс взять <object>"_w));
  EXPECT_FALSE(mentionsTalk("TALK взять <object>"_w));  // letter case counts
}
