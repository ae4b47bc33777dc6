// Tests of the object definition generator: generated lines, insertion points, location list.
#include <gtest/gtest.h>

#include "engine/text.h"
#include "object_placer/object_definition.h"

using namespace marvo::literals;
using namespace marvo::objects;
using Lines = std::vector<std::string>;

namespace {
std::string w(std::string_view cp1251) { return std::string(cp1251); }

// The code editor's text at start-up.
Lines startTemplate() {
  return {"",        "", "", w("*- - - - - - Первая локация - - - - - - - - "_w),
          ":loc1",   "", "", "",
          "READ",    "", "", w("* - - - - - Локация общего назначения - - - - - - - - - -"_w),
          ":common", "", "", "RETURN",
          "",        ""};
}

// The form after typing a name: the dependent fields follow it.
ObjectForm formNamed(std::string_view name) {
  ObjectForm form = initialForm();
  form.name = name;
  const auto fields = followName(name);
  form.mask = fields.mask;
  form.maskSynonym = fields.maskSynonym;
  form.placedDescription = fields.placedDescription;
  form.putInMessage = fields.putInMessage;
  return form;
}

Lines placed(Lines scenario, const ObjectForm& form) {
  applyInsertions(scenario, placementInsertions(scenario, form));
  return scenario;
}
}  // namespace

TEST(ObjectDefinition, ChestWithContainerTask) {
  ObjectForm form = formNamed("сундук"_w);
  form.location = "loc1";
  form.addTask = true;
  const Lines scenario = placed(startTemplate(), form);

  const Lines block{
      w("CREATE сундук"_w),
      w("сундук_Расположение=loc1"_w),
      w("сундук_Маска=сундук"_w),
      w("сундук_Синоним=сундук"_w),
      w("сундук_Дескриптор=Так же есть сундук"_w),
      w("сундук_Содержание=Там же есть:"_w),
      w("сундук_Описание=Ничего особенного..."_w),
      "",
  };
  const Lines task{
      w("IF сундук_Расположение=Enable"_w),
      w("TALK положи в <object> сундук/сунуть в <object> сундук/помести в  <object> сундук/"
        "добав в <object> сундук"_w),
      w("IF <object>_Непереносимый=Нет"_w),
      w("IF <object>_Недоступен=Нет"_w),
      w("<object>_Расположение=сундук"_w),
      w("!<object> помещен в сундук"_w),
      "ENDIF",
      "ENDIF",
      "REDO",
      "ENDIF",
      w("* завершение процедуры для объекта сундук"_w),
      "",
  };
  Lines expected = block;
  const Lines original = startTemplate();
  expected.insert(expected.end(), original.begin(), original.begin() + 13);  // up to ":common"
  expected.insert(expected.end(), task.begin(), task.end());
  expected.insert(expected.end(), original.begin() + 13, original.end());
  EXPECT_EQ(scenario, expected);
}

TEST(ObjectDefinition, BlockVariants) {
  ObjectForm form = formNamed("ключ"_w);
  form.immovable = true;
  form.description = {w("Старый сундук."_w), w("Крышка закрыта."_w)};
  const Lines block = definitionBlock(form);
  ASSERT_EQ(block.size(), 9u);
  EXPECT_EQ(block[1], w("ключ_Расположение=inv"_w));
  EXPECT_EQ(block[6], w("ключ_Описание=Старый сундук.Крышка закрыта."_w));
  EXPECT_EQ(block[7], w("ключ_Непереносимый=Да"_w));
  EXPECT_EQ(block[8], "");

  form.immovable = false;
  form.description = {};
  EXPECT_EQ(definitionBlock(form).size(), 8u);
  EXPECT_EQ(definitionBlock(form)[6], w("ключ_Описание="_w));

  // No field is validated: an empty name still gives a block.
  ObjectForm empty = initialForm();
  empty.name.clear();
  EXPECT_EQ(definitionBlock(empty)[0], "CREATE ");
  EXPECT_EQ(definitionBlock(empty)[2], w("_Маска=объект"_w));
}

TEST(ObjectDefinition, LocationValue) {
  EXPECT_EQ(locationValue(""), "inv");
  EXPECT_EQ(locationValue(inventoryChoice()), "inv");
  EXPECT_EQ(locationValue("Инвентарь"_w), w("Инвентарь"_w));
  EXPECT_EQ(locationValue("loc1"), "loc1");
}

TEST(ObjectDefinition, OnlyNameAndMaskAreTrimmed) {
  ObjectForm form = initialForm();
  form.name = " \tрюкзак  "_w;
  form.mask = "  рюк "_w;
  form.maskSynonym = " сумка "_w;
  trimNameAndMask(form);
  EXPECT_EQ(form.name, w("рюкзак"_w));
  EXPECT_EQ(form.mask, w("рюк"_w));
  EXPECT_EQ(definitionBlock(form)[3], w("рюкзак_Синоним= сумка "_w));
}

TEST(ObjectDefinition, FollowName) {
  const auto fields = followName("ржавый.ключ"_w);
  EXPECT_EQ(fields.mask, w("ржавый.ключ"_w));
  EXPECT_EQ(fields.maskSynonym, w("ржавый.ключ"_w));
  EXPECT_EQ(fields.placedDescription, w("Так же есть ржавый.ключ"_w));
  EXPECT_EQ(fields.putInMessage, w("<object> помещен в ржавый.ключ"_w));
}

TEST(ObjectPlacement, TaskGoesAfterTheFirstExactCommonLabel) {
  ObjectForm form = formNamed("ящик"_w);
  form.addTask = true;

  // ":common " (trailing blank) and " :common" are not the label; the first exact one is.
  const Lines scenario{":common ", " :common", "* :common", ":common", "RETURN", ":common"};
  const auto insertions = placementInsertions(scenario, form);
  ASSERT_EQ(insertions.size(), 2u);
  EXPECT_EQ(insertions[1].before, 8u + 4u);
  const Lines result = placed(scenario, form);
  EXPECT_EQ(result[11], ":common");
  EXPECT_EQ(result[12], w("IF ящик_Расположение=Enable"_w));
  EXPECT_EQ(result[24], "RETURN");
  EXPECT_EQ(result.back(), ":common");
}

TEST(ObjectPlacement, WithoutCommonOnlyTheBlockIsInserted) {
  ObjectForm form = formNamed("ящик"_w);
  form.addTask = true;
  for (const Lines& scenario : {Lines{}, Lines{":common ", ":Common", "READ"}}) {
    const Lines result = placed(scenario, form);
    ASSERT_EQ(result.size(), scenario.size() + 8);
    EXPECT_EQ(result[0], w("CREATE ящик"_w));
    EXPECT_TRUE(std::equal(scenario.begin(), scenario.end(), result.begin() + 8));
  }
  // Without the task ticked nothing goes after ":common".
  form.addTask = false;
  EXPECT_EQ(placementInsertions(startTemplate(), form).size(), 1u);
}

TEST(ObjectPlacement, SecondObjectGoesOnTop) {
  Lines scenario = startTemplate();
  scenario = placed(scenario, formNamed("a"));
  scenario = placed(scenario, formNamed("b"));
  EXPECT_EQ(scenario[0], "CREATE b");
  EXPECT_EQ(scenario[8], "CREATE a");
}

TEST(LocationChoices, LabelsWithoutColonSortedWithInventory) {
  const Lines scenario{":loc1", ":common  ", " :indented", "text :x",   w(":Б"_w),   w(":а"_w),
                       ":loc1", ":",         w(":ёлка"_w), w(":ель"_w), w(":жук"_w), ":Zebra"};
  const Lines expected{"",       "common",   "loc1",      "loc1",     "Zebra",         w("а"_w),
                       w("Б"_w), w("ель"_w), w("ёлка"_w), w("жук"_w), w("инвентарь"_w)};
  EXPECT_EQ(locationChoices(scenario), expected);
  EXPECT_EQ(locationChoices({}), Lines{w("инвентарь"_w)});
}
