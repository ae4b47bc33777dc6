// Objects: creation, property assignments with raw-line slicing, SHOWITEM, EXAMINE, visibility.
#include <gtest/gtest.h>

#include "support/play.h"

using marvo::test::Play;
using marvo::test::u;
using Lines = std::vector<std::string>;

TEST(Objects, CreateGivesDefaultsAndCarriesTheObject) {
  Play p;
  p.start({"CREATE Старый.Ключ", "x = 1", ":a", "READ"});
  const auto* key = p.object("старый.ключ");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(u(key->mask), "старый.ключ");
  EXPECT_EQ(u(key->synonym), "старый.ключ");
  EXPECT_EQ(u(key->description), "Ничего особенного");
  EXPECT_EQ(u(key->descriptor), "Так же есть старый.ключ");
  EXPECT_EQ(u(key->location), "inv");
  EXPECT_EQ(u(key->content), "Там же есть:");
  EXPECT_EQ(p.inventory(), Lines{"старый ключ"});
}

TEST(Objects, RedeclarationAndEmptyNameEndTheRun) {
  Play p;
  p.start({":a", "CREATE ключ", "CREATE ключ", "x = 1", "READ"});
  EXPECT_EQ(p.messages(), Lines{"Объект ключ объявлен повторно"});
  EXPECT_FALSE(p.has("x"));
  EXPECT_EQ(p.engine.state().pc, 3);  // stays on the second CREATE
  Play q;
  q.start({":a", "CREATE", "READ"});
  EXPECT_EQ(q.messages(), Lines{"Объект  объявлен повторно"});
}

TEST(Objects, PropertyAssignmentsSliceTheRawLine) {
  Play p;
  p.start({"CREATE ключ", ":hall", "ключ_Описание=Старый медный ключ.", "ключ_Маска=Ключик Ключи",
           "ключ_Синоним = отмычка", "ключ_Содержание = В ключе:", "ключ_Расположение=location", "READ"});
  const auto* key = p.object("ключ");
  EXPECT_EQ(u(key->description), "Старый медный ключ.");
  EXPECT_EQ(u(key->mask), "ключик");
  EXPECT_EQ(u(key->synonym), "отмычка");
  EXPECT_EQ(u(key->content), "= В ключе:");
  EXPECT_EQ(u(key->location), "hall");
  Play q;
  q.start({"CREATE ключ", ":a", "ключ_Описание = Старый ключ", "нет_Описание=x", "READ"});
  EXPECT_EQ(u(q.object("ключ")->description), "= Старый ключ");
  EXPECT_TRUE(q.messages().empty());
}

TEST(Objects, DescriptorUsesTheCurrentObjectAndRelistsTheRoom) {
  Play p;
  p.start({"CREATE ключ", "CREATE камень", "ключ_Расположение=hall", "камень_Расположение=hall", ":hall", "@Холл.%",
           "TALK пнуть <object>", "<object>_Дескриптор=Тут пнутый <object>.", "REDO", "READ", ":common", "RETURN"});
  EXPECT_EQ(p.out().back(), "Холл.  Так же есть ключ Так же есть камень");
  p.say("пнуть камень");
  EXPECT_EQ(u(p.object("камень")->descriptor), "Тут пнутый камень.");
  // All objects were listed again, as a line of their own: the menu line is not shown again.
  EXPECT_EQ(p.out().back(), " Так же есть ключ Тут пнутый камень.");
}

TEST(Objects, ShowItemAndReadUseDifferentVisibilityRules) {
  Play p;
  p.start({"CREATE сундук",
           "сундук_Содержание=В сундуке:",
           "сундук_Расположение=hall",
           "CREATE ключ",
           "ключ_Расположение=сундук",
           "CREATE монета",
           "монета_Расположение=сундук",
           "CREATE тень",
           "тень_Расположение=hall",
           "тень_невидимый=2",
           "CREATE призрак",
           "призрак_Расположение=hall",
           "призрак_невидимый=1",
           "CREATE пусто",
           ":hall",
           "SHOWITEM сундук",
           "SHOWITEM пусто",
           "SHOWITEM hall",
           "EXAMINE ключ",
           "ИЗУЧИТЬ никто",
           "READ"});
  EXPECT_EQ(p.out(),
            (Lines{" Так же есть сундук Так же есть тень", "В сундуке: ключ, монета", " сундук", "Ничего особенного"}));
}

TEST(Objects, ATextLineStartingWithExamineAlsoExamines) {
  Play p;
  p.start({"CREATE ключ", ":a", "!examine ключ", "READ"});
  EXPECT_EQ(p.out(), (Lines{"Ничего особенного", "examine ключ"}));
}

TEST(Objects, TableFullRefusesNewObjectsWithoutOverrun) {
  Lines scenario;
  for (int i = 0; i < 1001; ++i) scenario.push_back("CREATE o" + std::to_string(i));
  scenario.insert(scenario.end(), {":a", "READ"});
  Play p;
  p.start(scenario);
  EXPECT_EQ(p.messages(), Lines{"Массив объектов переполнен"});
  EXPECT_EQ(p.inventory().size(), 1000u);
  EXPECT_EQ(p.engine.monitorView().size(), 10u + 7000u);
}
