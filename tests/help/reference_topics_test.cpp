// Which reference page explains a word of a scenario line; every page named exists in docs/.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "engine/codec.h"
#include "help/reference_topics.h"

namespace {

std::string page(const char* utf8Line, int column) {
  return marvo::referencePageFor(marvo::utf8ToCp1251(utf8Line), column);
}

TEST(ReferenceTopics, StatementsInTheirEnglishAndRussianFormsAndAnyCase) {
  EXPECT_EQ(page("GOTO сад", 1), "goto.md");
  EXPECT_EQ(page("gotos сад", 0), "goto.md");
  EXPECT_EQ(page("ИДТИ сад", 2), "goto.md");
  EXPECT_EQ(page("JUMPS сад", 0), "goto.md");
  EXPECT_EQ(page("PUSHINDEX", 3), "goto.md");
  EXPECT_EQ(page("ЕСЛИ x > 1", 1), "if.md");
  EXPECT_EQ(page("ENDIF", 5), "if.md");  // the caret right after the word still names it
  EXPECT_EQ(page("КОНЕЦ", 0), "if.md");
  EXPECT_EQ(page("TALK взять <object>", 0), "talk.md");
  EXPECT_EQ(page("ПАРС взять", 0), "talk.md");
  EXPECT_EQ(page("ВВЕРХ", 0), "talk.md");
  EXPECT_EQ(page("ЖДАТЬ", 0), "read.md");
  EXPECT_EQ(page("CLS", 0), "cls.md");
  EXPECT_EQ(page("CREATE ключ", 0), "objects.md");
  EXPECT_EQ(page("ключ_Дескриптор=Ключ.", 2), "objects.md");
  EXPECT_EQ(page("ИЗУЧИТЬ <object>", 0), "examine.md");
  EXPECT_EQ(page("SHOWITEM сундук", 0), "examine.md");
  EXPECT_EQ(page("VIP сила", 0), "vip.md");
  EXPECT_EQ(page("CLEAR", 0), "variables.md");
  EXPECT_EQ(page("x = rnd", 5), "rnd_time_step.md");
  EXPECT_EQ(page("RETURN", 0), "common.md");
  EXPECT_EQ(page(":common", 3), "common.md");
  EXPECT_EQ(page("btn [Выход] улица", 1), "buttons.md");
  EXPECT_EQ(page("do Погладить кота", 0), "buttons.md");
  EXPECT_EQ(page("call кошелек", 0), "buttons.md");
  EXPECT_EQ(page("ret", 0), "buttons.md");
}

TEST(ReferenceTopics, LineKindsWhenTheWordIsNoKeyword) {
  EXPECT_EQ(page("!Вы в саду.", 4), "output.md");
  EXPECT_EQ(page("@Сад.%", 0), "output.md");
  EXPECT_EQ(page("!Изучив карту, вы уходите", 2), "output.md");  // text, though its word reads EXAMINE
  EXPECT_EQ(page("^!Впервые здесь.", 3), "oneshot.md");
  EXPECT_EQ(page(":сад", 2), "locations.md");
  EXPECT_EQ(page("золото = 12", 1), "variables.md");
  EXPECT_EQ(page("* комментарий", 3), "README.md");
  EXPECT_EQ(page("", 0), "README.md");
  EXPECT_EQ(page("GOTO сад", 99), "README.md");  // past the end, after a word that is no keyword
  EXPECT_EQ(page("GOTO сад", -5), "goto.md");
}

TEST(ReferenceTopics, ALineQuotingAMessageLeadsToTheMessages) {
  EXPECT_EQ(page("* Нет метки для перехода! - исправить", 10), "messages.md");
  EXPECT_EQ(page("Объект ключ объявлен повторно", 0), "messages.md");
  EXPECT_EQ(page("Не найден Endif", 0), "messages.md");
}

TEST(ReferenceTopics, TheWindowCaptionsTheExamplesAndKeepsTheRest) {
  const std::string page = "# Т\n```scn\n:сад\nREAD\n```\n\n```walk\n> 1\n```\n```\nmarvo-cli\n```\r\n";
  EXPECT_EQ(marvo::readablePage(page),
            "# Т\n*Сценарий:*\n\n```\n:сад\nREAD\n```\n\n*Что выведет игра* (`> ` - ввод игрока, `!` - такого текста "
            "нет, `?` - проверка):\n\n```\n> 1\n```\n```\nmarvo-cli\n```\r\n");
  EXPECT_EQ(marvo::readablePage(""), "");
  EXPECT_EQ(marvo::readablePage("no line end"), "no line end\n");
}

TEST(ReferenceTopics, EveryBuiltInPropertyHasAOneLineHint) {
  for (const char* name :
       {"Расположение", "Описание", "Маска", "Синоним", "Дескриптор", "Непереносимый", "Недоступен", "Надет",
        "Открываемый", "Открыт", "Невидимый", "Содержание", "Количество", "Вес", "Размер"}) {
    const std::string_view hint = marvo::propertyHint(marvo::utf8ToCp1251(name));
    EXPECT_FALSE(hint.empty()) << name;
    EXPECT_EQ(hint.find('\n'), std::string_view::npos) << name;
  }
  EXPECT_NE(marvo::propertyHint(marvo::utf8ToCp1251("МАСКА")), "");  // any case
  EXPECT_EQ(marvo::propertyHint(marvo::utf8ToCp1251("цвет")), "");   // added by the author: no hint
}

TEST(ReferenceTopics, EveryPageExistsAndEveryDocsPageIsListed) {
  const std::filesystem::path docs = std::filesystem::path(MARVO_SOURCE_DIR) / "docs";
  std::set<std::string> listed;
  for (const auto& p : marvo::referencePages()) {
    EXPECT_TRUE(std::filesystem::exists(docs / std::string(p.file))) << p.file;
    listed.insert(std::string(p.file));
  }
  for (const auto& entry : std::filesystem::directory_iterator(docs)) {
    if (entry.path().extension() == ".md") {
      EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path();
    }
  }
  for (const char* line : {"GOTO a", "IF a", "TALK a", "READ", "CLS", "CREATE a", "EXAMINE a", "VIP a", "CLEAR", "step",
                           "RETURN", "call a", "!a", "^a", ":a", "a = 1"}) {
    EXPECT_TRUE(listed.count(page(line, 0))) << line;
  }
}

}  // namespace
