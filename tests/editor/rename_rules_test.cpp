// The symbol under the caret, renaming across the scenario, and the outline's filter.
#include "game/rename_rules.h"

#include <gtest/gtest.h>

#include "editor/navigation.h"
#include "engine/text.h"

using namespace marvo;
using namespace marvo::literals;

namespace {
std::string s(std::string_view v) { return std::string(v); }

const std::vector<std::string> kScenario = {
    ":Start",                                     // 0
    s("CREATE Лампа"_w),                          // 1
    s("Лампа_Расположение=start"_w),              // 2
    s("ключи=0"_w),                               // 3
    s("@Ключей: [#ключи] штук. Лампа горит."_w),  // 4
    s("IF ключи>0"_w),                            // 5
    "GOTO Start",                                 // 6
    "READ",                                       // 7
    ":hall",                                      // 8
    s("btn [Назад] start"_w),                     // 9
    "READ",                                       // 10
};
}  // namespace

TEST(SymbolAt, FindsTheNameHoldingOrEndingAtTheCaret) {
  const SymbolIndex index(kScenario, {});
  auto at = [&](int line, int column) {
    const std::string text = line < static_cast<int>(kScenario.size()) ? kScenario[line] : std::string();
    return names::symbolAt(index, line, text, column);
  };
  const auto label = at(6, 7);  // inside "Start" after GOTO
  ASSERT_TRUE(label);
  EXPECT_EQ(label->symbol.kind, SymbolKind::Location);
  EXPECT_EQ(label->symbol.name, "start");
  EXPECT_EQ(label->span.start, 5);
  const auto variable = at(5, 5);  // inside "ключи"
  ASSERT_TRUE(variable);
  EXPECT_EQ(variable->symbol.kind, SymbolKind::Variable);
  const auto object = at(2, 2);
  ASSERT_TRUE(object);
  EXPECT_EQ(object->symbol.kind, SymbolKind::Object);
  EXPECT_FALSE(at(7, 2));   // READ names nothing
  EXPECT_FALSE(at(4, 26));  // prose: "Лампа" in a menu line is no object
  EXPECT_FALSE(at(99, 0));  // a line outside the text
}

TEST(Rename, ReplacesEveryWholeNameInEveryLineAndOnlyThere) {
  const SymbolIndex index(kScenario, {});
  auto r = names::rename(index, kScenario, SymbolKind::Location, "start", "Вход"_w);
  ASSERT_EQ(r.problem, "");
  EXPECT_EQ(r.changed, (std::vector<int>{0, 2, 6, 9}));
  EXPECT_EQ(r.lines[0], s(":Вход"_w));
  EXPECT_EQ(r.lines[2], s("Лампа_Расположение=Вход"_w));
  EXPECT_EQ(r.lines[6], s("GOTO Вход"_w));
  EXPECT_EQ(r.lines[9], s("btn [Назад] Вход"_w));

  r = names::rename(index, kScenario, SymbolKind::Variable, "ключи"_w, "монеты"_w);
  ASSERT_EQ(r.problem, "");
  EXPECT_EQ(r.lines[4], s("@Ключей: [#монеты] штук. Лампа горит."_w));  // the prose word "Ключей" stays
  EXPECT_EQ(r.lines[3], s("монеты=0"_w));

  r = names::rename(index, kScenario, SymbolKind::Object, "лампа"_w, "Фонарь"_w);
  ASSERT_EQ(r.problem, "");
  EXPECT_EQ(r.lines[2], s("Фонарь_Расположение=start"_w));
  EXPECT_EQ(r.lines[4], kScenario[4]);
}

TEST(Rename, RefusesTakenAndForbiddenNamesAndLibrarySymbols) {
  const SymbolIndex index(kScenario, {});
  EXPECT_NE(names::rename(index, kScenario, SymbolKind::Location, "start", "HALL").problem.find("строке 9"_w),
            std::string::npos);
  EXPECT_NE(names::rename(index, kScenario, SymbolKind::Location, "start", "hall").problem, "");
  EXPECT_NE(names::rename(index, kScenario, SymbolKind::Location, "start", "readme").problem, "");
  EXPECT_NE(names::rename(index, kScenario, SymbolKind::Location, "start", "a b").problem, "");
  EXPECT_NE(names::rename(index, kScenario, SymbolKind::Object, "лампа"_w, "a_b").problem, "");
  EXPECT_NE(names::rename(index, kScenario, SymbolKind::Variable, "ключи"_w, "rnd").problem, "");
  // Renaming to the same name in another letter case is allowed.
  EXPECT_EQ(names::rename(index, kScenario, SymbolKind::Location, "hall", "Hall").problem, "");

  std::vector<std::string> scenario = kScenario;
  scenario.push_back("RETURN");
  const SymbolIndex withLibrary(scenario, {"GOTO hall"});
  const auto r = names::rename(withLibrary, scenario, SymbolKind::Location, "hall", "зал"_w);
  EXPECT_NE(r.problem.find("библиотек"_w), std::string::npos);
  EXPECT_TRUE(r.lines.empty());
}

TEST(Outline, ListsLocationsInLineOrderFilteredIgnoringCase) {
  const std::vector<std::string> lines = {s(":Причал"_w), "READ", s(":зал"_w), s(":ПРИЧАЛ2"_w), "READ"};
  const SymbolIndex index(lines, {});
  auto names = [&](std::string_view filter) {
    std::vector<std::string> out;
    for (const auto& e : editor::outlineEntries(index, filter)) out.push_back(std::to_string(e.line) + e.name);
    return out;
  };
  EXPECT_EQ(names(""), (std::vector<std::string>{s("0причал"_w), s("2зал"_w), s("3причал2"_w)}));
  EXPECT_EQ(names(" прИЧ "_w), (std::vector<std::string>{s("0причал"_w), s("3причал2"_w)}));
  EXPECT_TRUE(names("нет"_w).empty());
}
