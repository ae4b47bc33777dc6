// Location list, line search and the common location.
#include "editor/navigation.h"

#include <gtest/gtest.h>

#include "engine/text.h"

using namespace marvo::literals;
using namespace marvo::editor;

TEST(LocationItems, ListsLabelLinesUnchangedAndSorted) {
  const std::vector<std::string> lines = {":zeta", " :indented", ":Beta  ", "text :x", ":alpha", ":beta", ":alpha", ""};
  const std::vector<std::string> expected = {":alpha", ":alpha", ":beta", ":Beta  ", ":zeta"};
  EXPECT_EQ(locationItems(lines), expected);
}

TEST(LocationItems, SortsCyrillicAlphabetically) {
  auto s = [](std::string_view v) { return std::string(v); };
  const std::vector<std::string> lines = {s(":ж"_w), s(":Ё"_w), s(":е"_w), s(":я"_w), s(":а"_w), ":z"};
  const std::vector<std::string> expected = {":z", s(":а"_w), s(":е"_w), s(":Ё"_w), s(":ж"_w), s(":я"_w)};
  EXPECT_EQ(locationItems(lines), expected);
}

TEST(FindEqualLine, FindsTheFirstExactLineOrTheEnd) {
  const std::vector<std::string> lines = {"x", ":loc ", ":loc", ":loc "};
  EXPECT_EQ(findEqualLine(lines, ":loc "), 1);
  EXPECT_EQ(findEqualLine(lines, ":loc"), 2);
  EXPECT_EQ(findEqualLine(lines, ":LOC"), 4);
}

TEST(FindLineContaining, SearchesFromTheGivenLineInclusively) {
  const std::vector<std::string> lines = {"READ", "a", "xREADx", "read"};
  EXPECT_EQ(findLineContaining(lines, 0, "READ"), 0);
  EXPECT_EQ(findLineContaining(lines, 1, "READ"), 2);
  EXPECT_EQ(findLineContaining(lines, 2, "READ"), 2);
  EXPECT_EQ(findLineContaining(lines, 3, "READ"), 4);
  EXPECT_EQ(findLineContaining(lines, 0, "rea"), 3);
  EXPECT_EQ(findLineContaining(lines, 0, ""), 4);
}

TEST(SearchNeedle, DropsSurroundingBlanksOnly) {
  EXPECT_EQ(searchNeedle("  go north\t"), "go north");
  EXPECT_EQ(searchNeedle("   "), "");
}

TEST(CommonLine, IsTheFirstLineMentioningIt) {
  EXPECT_EQ(findCommonLine({"* see :common below", ":common"}), 0);
  EXPECT_EQ(findCommonLine({":loc1", ":COMMON"}), 2);
  const auto& repair = commonRepairLines();
  EXPECT_EQ(std::vector<std::string>(repair.begin(), repair.end()),
            (std::vector<std::string>{" ", ":common", " ", " ", "RETURN"}));
}

TEST(LocationItems, AreTheLabelLinesAlsoWhereGameStartSeesNoLocation) {
  // Lines starting with ":" that game start takes for buttons (whole or broken), renames or
  // trims, and lines it takes for labels that do not start with ":".
  std::vector<std::string> lines = {":b",     ":btn [Go] b", ":xbtn", ":a btn [ ] b", ":",          ":common",
                                    "call a", " :c",         "^:d",   ":Talk(1)",     ":e <object>"};
  const std::vector<std::string> expected = {":",       ":a btn [ ] b", ":b",       ":btn [Go] b",
                                             ":common", ":e <object>",  ":Talk(1)", ":xbtn"};
  EXPECT_EQ(locationItems(lines), expected);
  marvo::SymbolIndex index(lines, {});
  EXPECT_EQ(locationItems(lines, index), expected);

  // An index kept up to date with the edits.
  const auto edit = [&](int i, std::string text) {
    index.replaceLine(marvo::SymbolIndex::Source::Scenario, i, text);
    lines[static_cast<std::size_t>(i)] = std::move(text);
  };
  edit(0, " :b");
  edit(7, ":c");
  index.insertLine(marvo::SymbolIndex::Source::Scenario, 0, ":Z");
  lines.insert(lines.begin(), ":Z");
  index.removeLine(marvo::SymbolIndex::Source::Scenario, 3);
  lines.erase(lines.begin() + 3);
  const std::vector<std::string> edited = {":",       ":a btn [ ] b", ":btn [Go] b", ":c",
                                           ":common", ":e <object>",  ":Talk(1)",    ":Z"};
  EXPECT_EQ(locationItems(lines, index), edited);
  EXPECT_EQ(locationItems(lines), edited);
}
