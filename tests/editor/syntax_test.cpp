// Classification of scenario lines for colouring.
#include "editor/syntax.h"

#include <gtest/gtest.h>

#include "engine/text.h"

using namespace marvo::literals;
using namespace marvo::editor;

namespace {
LineStyle style(std::string_view line) {
  LineStyle s;
  styleLine(line, s);
  return s;
}
std::vector<std::pair<int, int>> spans(std::string_view line) {
  std::vector<std::pair<int, int>> out;
  for (const auto& k : style(line).keywords) out.emplace_back(k.start, k.length);
  return out;
}
}  // namespace

TEST(StyleLine, ClassifiesLinesAsTheEngineReadsThem) {
  EXPECT_EQ(style(":loc1").kind, LineKind::Label);
  EXPECT_EQ(style("  :common").kind, LineKind::Label);
  EXPECT_EQ(style("* a comment with GOTO").kind, LineKind::Comment);
  EXPECT_EQ(style("!Вы в лесу."_w).kind, LineKind::Text);
  EXPECT_EQ(style("^!once only").kind, LineKind::Text);
  EXPECT_EQ(style("@На север"_w).kind, LineKind::Menu);
  EXPECT_EQ(style("TALK north|север"_w).kind, LineKind::Talk);
  EXPECT_EQ(style("парс взять <object>"_w).kind, LineKind::Talk);
  EXPECT_EQ(style("talker").kind, LineKind::Plain);
  EXPECT_EQ(style("GOTO loc2").kind, LineKind::Plain);
  EXPECT_EQ(style("").kind, LineKind::Plain);
  EXPECT_EQ(style(" \t ").kind, LineKind::Plain);
}

TEST(StyleLine, MarksWholeKeywordWordsInPlainAndTalkLines) {
  EXPECT_EQ(spans("GOTO loc2"), (std::vector<std::pair<int, int>>{{0, 4}}));
  EXPECT_EQ(spans("  if x>1 goto a"), (std::vector<std::pair<int, int>>{{2, 2}, {9, 4}}));
  EXPECT_EQ(spans("talk go"), (std::vector<std::pair<int, int>>{{0, 4}}));
  EXPECT_EQ(spans("ЕСЛИ time=5"_w), (std::vector<std::pair<int, int>>{{0, 4}, {5, 4}}));
  EXPECT_TRUE(spans("window gift").empty());
  EXPECT_TRUE(spans("!GOTO in a text line").empty());
  EXPECT_TRUE(spans(":common").empty());
}

TEST(StyleLine, ReusesTheStyleStorage) {
  LineStyle s;
  styleLine("GOTO a", s);
  styleLine("!text", s);
  EXPECT_EQ(s.kind, LineKind::Text);
  EXPECT_TRUE(s.keywords.empty());
}
