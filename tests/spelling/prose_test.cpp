// Which words of a scenario line are prose: every kind of line, decided as game start and the
// engine take it, with the positions of the words in the line as written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/codec.h"
#include "engine/text.h"
#include "spelling/prose.h"

namespace {

using marvo::cp1251ToUtf8;
using marvo::utf8ToCp1251;
using marvo::spelling::proseWords;

// The prose words of a line written in UTF-8, cut out of the Windows-1251 line by their positions.
std::vector<std::string> words(const std::string& utf8) {
  const std::string line = utf8ToCp1251(utf8);
  std::vector<std::string> out;
  for (const auto& span : proseWords(line)) {
    EXPECT_GE(span.offset, 0);
    EXPECT_LE(static_cast<std::size_t>(span.offset + span.length), line.size());
    out.push_back(
        cp1251ToUtf8(line.substr(static_cast<std::size_t>(span.offset), static_cast<std::size_t>(span.length))));
  }
  return out;
}

using Words = std::vector<std::string>;

TEST(Prose, TextAndMenuLinesWithoutVariablesAndObjectPlaceholder) {
  EXPECT_EQ(words("!Старый сундук стоит."), (Words{"Старый", "сундук", "стоит"}));
  EXPECT_EQ(words("@Пойти на север"), (Words{"Пойти", "на", "север"}));
  EXPECT_EQ(words("   !Отступ перед строкой"), (Words{"Отступ", "перед", "строкой"}));
  EXPECT_EQ(words("^!Однажды ночью"), (Words{"Однажды", "ночью"}));
  // "#name" pieces and "[#name]" are variables; "_" "[" "]" only cut pieces.
  EXPECT_EQ(words("!У вас [#деньги] монет, сила _#сила_ очков"), (Words{"вас", "монет", "сила", "очков"}));
  EXPECT_EQ(words("!Вы взяли <object> со стола"), (Words{"Вы", "взяли", "со", "стола"}));
  // The dialogue maker's option and answer lines are text lines too.
  EXPECT_EQ(words("!1. Здравствуй, старик"), (Words{"Здравствуй", "старик"}));
}

TEST(Prose, ButtonCaptionsAndChoiceTextsOnly) {
  EXPECT_EQ(words("btn [Идти домой] дом"), (Words{"Идти", "домой"}));
  EXPECT_EQ(words("  BTN [Назад] сарай"), (Words{"Назад"}));
  EXPECT_EQ(words("do Осмотреться вокруг"), (Words{"Осмотреться", "вокруг"}));
  // Game start expands any line holding "btn": its caption is all that is shown.
  EXPECT_EQ(words("!Нажмите btn [Далее] дом"), (Words{"Далее"}));
  // Lines game start cannot expand show nothing.
  EXPECT_EQ(words("btn Идти домой"), Words{});
  EXPECT_EQ(words("do"), Words{});
}

TEST(Prose, ObjectDescriptionsDescriptorsAndContentsButNotNamesMasksOrPlaces) {
  EXPECT_EQ(words("сундук_Описание=Окованный железом сундук"), (Words{"Окованный", "железом", "сундук"}));
  EXPECT_EQ(words("сундук_Дескриптор=В углу стоит <object>"), (Words{"углу", "стоит"}));
  EXPECT_EQ(words("сундук_Содержание=В сундуке лежит:"), (Words{"сундуке", "лежит"}));
  EXPECT_EQ(words("ключ.от.двери_Описание=Ржавый ключ"), (Words{"Ржавый", "ключ"}));
  EXPECT_EQ(words("<object>_Описание=Пустая банка"), (Words{"Пустая", "банка"}));
  EXPECT_EQ(words("сундук_Маска=сундк"), Words{});
  EXPECT_EQ(words("сундук_Синоним=ларь"), Words{});
  EXPECT_EQ(words("сундук_Расположение=сарйа"), Words{});
  EXPECT_EQ(words("сундук_непереносимый=1"), Words{});
}

TEST(Prose, CodeIsNeverProse) {
  for (const char* line : {":Сарай",
                           ":common",
                           "* Комментарий с ошибкой в словах",
                           "TALK осмтр сундук/открыть",
                           "ПАРС (взять/забрать) <object>",
                           "GOTO сарай",
                           "ИДТИ сарай",
                           "IF деньги>5",
                           "ЕСЛИ сила=1",
                           "деньги=деньги+1",
                           "CREATE сундук",
                           "call магазин",
                           "ret",
                           "READ",
                           "REDO",
                           "ENDIF",
                           "VIP сила",
                           "EXAMINE сундук",
                           "SHOWITEM сундук",
                           "CLS",
                           "RETURN",
                           "empo Так нельзя",
                           ""})
    EXPECT_EQ(words(line), Words{}) << line;
  // A "!" line the engine runs as a condition is no text.
  EXPECT_EQ(words("!Если денег=0, уходи"), Words{});
}

TEST(Prose, WordsSkipCodesAddressesAndSingleLetters) {
  EXPECT_EQ(words("!Кто-то сказал: \"don't\" - и ушёл"), (Words{"Кто-то", "сказал", "don't", "ушёл"}));
  EXPECT_EQ(words("!Комната loc1, 2-й этаж, x_y"), (Words{"Комната", "этаж"}));
  EXPECT_EQ(words("!Сайт https://example.org/путь и www.example.com, почта autor@example.org"),
            (Words{"Сайт", "почта"}));
  EXPECT_EQ(words("!Ёжик в тумане"), (Words{"Ёжик", "тумане"}));
}

}  // namespace
