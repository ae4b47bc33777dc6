// Keyword case normalisation and the "@" continuation.
#include "editor/keywords.h"

#include <gtest/gtest.h>

#include "engine/text.h"

using namespace marvo::literals;
using marvo::editor::AtContinuation;
using marvo::editor::atContinuationAfter;
using marvo::editor::normaliseKeywords;

TEST(KeywordTable, HoldsTheKeywordsInTheirOrder) {
  const auto& table = marvo::editor::keywordTable();
  ASSERT_EQ(table.size(), 43u);
  EXPECT_EQ(table[0], "ПАРС"_w);
  EXPECT_EQ(table[8], "ИДТИ"_w);
  EXPECT_EQ(table[9], "IF");
  EXPECT_EQ(table[31], ":common");
  EXPECT_EQ(table[41], "ИЗУЧИТЬ"_w);
  EXPECT_EQ(table[42], "LOCATION");
}

TEST(Normalise, RewritesTheFirstOccurrenceOfEachKeyword) {
  EXPECT_EQ(normaliseKeywords("goto loc2"), "GOTO loc2");
  EXPECT_EQ(normaliseKeywords("goto a, goto b"), "GOTO a, goto b");
  EXPECT_EQ(normaliseKeywords("ReTuRn"), "RETURN");
  EXPECT_EQ(normaliseKeywords(":COMMON"), ":common");
  EXPECT_EQ(normaliseKeywords("если x=1"_w), "ЕСЛИ x=1"_w);
}

TEST(Normalise, FindsKeywordsInsideWords) {
  EXPECT_EQ(normaliseKeywords("window"), "winDOw");
  EXPECT_EQ(normaliseKeywords("gift"), "gIFt");
  EXPECT_EQ(normaliseKeywords("инвентарь"_w), "ИНВентарь"_w);
  EXPECT_EQ(normaliseKeywords("already"), "alREADy");
}

TEST(Normalise, LongerKeywordsOverwriteShorterOnes) {
  // GOTO is tried before GOTOS and IF before ENDIF: the later, longer keyword completes the word.
  EXPECT_EQ(normaliseKeywords("gotos x"), "GOTOS x");
  EXPECT_EQ(normaliseKeywords("endif"), "ENDIF");
  EXPECT_EQ(normaliseKeywords("pushindex"), "PUSHINDEX");
}

TEST(Normalise, ChangesOnlyLetterCase) {
  const std::string line(std::string_view("\t if rnd>50 ; goto Ёлка  ! я"_w));
  const std::string result = normaliseKeywords(line);
  ASSERT_EQ(result.size(), line.size());
  EXPECT_EQ(marvo::lower(result), marvo::lower(line));
  EXPECT_EQ(result, "\t IF RND>50 ; GOTO Ёлка  ! я"_w);
  EXPECT_EQ(normaliseKeywords(""), "");
  EXPECT_EQ(normaliseKeywords("nothing here"), "nothing here");
}

TEST(AtContinuation, OffersAtAfterMenuLinesAndEndsTheRunOnALoneAt) {
  EXPECT_EQ(atContinuationAfter("@На север"_w), AtContinuation::OfferAt);
  EXPECT_EQ(atContinuationAfter("  @x \t"), AtContinuation::OfferAt);
  EXPECT_EQ(atContinuationAfter("@"), AtContinuation::EndRun);
  EXPECT_EQ(atContinuationAfter(" @ "), AtContinuation::EndRun);
  EXPECT_EQ(atContinuationAfter("x@"), AtContinuation::None);
  EXPECT_EQ(atContinuationAfter("!text"), AtContinuation::None);
  EXPECT_EQ(atContinuationAfter(""), AtContinuation::None);
}
