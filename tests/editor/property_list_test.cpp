// The property list: its items, when "_" calls it up, and what "=" adds.
#include "editor/property_list.h"

#include <gtest/gtest.h>

#include "engine/text.h"

using namespace marvo::literals;
using namespace marvo::editor;

namespace {
bool opens(std::string_view caret, const std::vector<std::string>& lines) {
  return opensPropertyList(caret, static_cast<int>(lines.size()),
                           [&lines](int i) { return lines.at(static_cast<std::size_t>(i)); });
}
}  // namespace

TEST(PropertyList, StartsWithTheFifteenBuiltInItems) {
  PropertyList list;
  ASSERT_EQ(list.size(), 15);
  EXPECT_EQ(list.items()[0], "Расположение"_w);
  EXPECT_EQ(list.items()[5], "Непереносимый"_w);
  EXPECT_EQ(list.items()[14], "Размер"_w);
  for (int i = -1; i <= 15; ++i) EXPECT_FALSE(list.canDelete(i)) << i;
  EXPECT_EQ(list.remove(3), -1);
  EXPECT_EQ(list.size(), 15);
}

TEST(PropertyList, AddedItemsFollowAndCanBeDeleted) {
  PropertyList list;
  EXPECT_TRUE(list.add("Цвет"_w));
  EXPECT_TRUE(list.add("Запах"_w));
  EXPECT_FALSE(list.add("Цвет"_w));
  EXPECT_FALSE(list.add("Вес"_w));
  EXPECT_FALSE(list.add(""));
  ASSERT_EQ(list.size(), 17);
  EXPECT_EQ(list.items()[15], "Цвет"_w);
  EXPECT_TRUE(list.canDelete(16));
  EXPECT_EQ(list.remove(15), 14);
  ASSERT_EQ(list.size(), 16);
  EXPECT_EQ(list.items()[15], "Запах"_w);
  EXPECT_EQ(list.items()[14], "Размер"_w);
}

TEST(OpensPropertyList, MatchesObjectsDeclaredInTheHead) {
  const std::vector<std::string> lines = {"CREATE Lamp", "  create  Old Key ", ":loc1", "CREATE Box"};
  EXPECT_TRUE(opens("IF LAMP", lines));
  EXPECT_TRUE(opens("if old key", lines));
  EXPECT_FALSE(opens("IF BOX", lines));  // declared after the first label line
  EXPECT_FALSE(opens("IF key", lines));
}

TEST(OpensPropertyList, ExaminesTheFirstLineWithAColonAndStopsThere) {
  EXPECT_TRUE(opens("bell:", {"", "CREATE bell:", "CREATE Box"}));
  EXPECT_FALSE(opens("box", {"", "CREATE bell:", "CREATE Box"}));
  // No line with ":" at all: the whole text is the head.
  EXPECT_TRUE(opens("box", {"x", "CREATE Box"}));
}

TEST(OpensPropertyList, TakesTheNameAfterTheFirstSixCharacters) {
  // "create" need not start the line: the first six characters are dropped wherever it stands.
  EXPECT_TRUE(opens("ate lamp", {"x create lamp"}));
  // A bare CREATE declares nothing, so it matches no line.
  EXPECT_FALSE(opens("anything", {"CREATE", "CREATE   "}));
}

TEST(OpensPropertyList, OpensOnObjectPlaceholder) {
  EXPECT_TRUE(opens("IF <object>", {}));
  EXPECT_TRUE(opens("if <OBJECT>", {":loc1"}));
  EXPECT_FALSE(opens("if object", {}));
}

TEST(CollectedPropertyName, IsOneWordWithoutSurroundingBlanks) {
  EXPECT_EQ(collectedPropertyName(" Цвет "_w), std::string("Цвет"_w));
  EXPECT_EQ(collectedPropertyName("Colour"), "Colour");
  EXPECT_EQ(collectedPropertyName("  "), std::nullopt);
  EXPECT_EQ(collectedPropertyName("two words"), std::nullopt);
  EXPECT_EQ(collectedPropertyName("a+b"), std::nullopt);
  EXPECT_EQ(collectedPropertyName("lamp_x"), std::nullopt);
}
