// The symbol index: what each kind of line defines and uses, the definition the game uses, and
// one-line updates that leave the index as a fresh build would.
#include "game/symbol_index.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "engine/text.h"
#include "game/scenario_file.h"

namespace marvo {
namespace {

using namespace literals;
using Source = SymbolIndex::Source;
using Kind = SymbolKind;
using Role = SymbolRole;

std::string s(std::string_view text) { return std::string(text); }

// A symbol as text: kind, role and name, e.g. "location def сад".
std::string sym(Kind kind, Role role, std::string_view name) {
  static const char* kinds[] = {"location", "object", "variable", "talk", "button"};
  static const char* roles[] = {"def", "property", "ref"};
  return concat(kinds[static_cast<int>(kind)], " ", roles[static_cast<int>(role)], " ", name);
}
std::string sym(const Symbol& symbol) { return sym(symbol.kind, symbol.role, symbol.name); }

std::vector<std::string> on(const SymbolIndex& index, Source source, int line) {
  std::vector<std::string> out;
  for (const Symbol& symbol : index.symbolsOn(source, line)) out.push_back(sym(symbol));
  return out;
}

// "s12" or "l3": where a symbol is.
std::string at(const Symbol& symbol) {
  return (symbol.source == Source::Library ? "l" : "s") + std::to_string(symbol.line);
}
std::vector<std::string> places(const std::vector<Symbol>& symbols) {
  std::vector<std::string> out;
  for (const Symbol& symbol : symbols) out.push_back(at(symbol));
  return out;
}
std::string place(const std::optional<Symbol>& symbol) { return symbol ? at(*symbol) : "none"; }

// Everything the index answers, through its public interface: each line's symbols, and for each
// name its occurrences and the definition the game uses.
std::string dump(const SymbolIndex& index) {
  std::string out;
  std::set<std::pair<Kind, std::string>> names;
  for (Source source : {Source::Scenario, Source::Library}) {
    for (int i = 0; i < index.lineCount(source); ++i) {
      out += concat(source == Source::Library ? "l" : "s", std::to_string(i), index.broken(source, i) ? " broken" : "");
      for (const Symbol& symbol : index.symbolsOn(source, i)) {
        out += concat(" [", sym(symbol), "]");
        names.emplace(symbol.kind, std::string(symbol.name));
      }
      out += "\n";
    }
  }
  for (const auto& [kind, name] : names) {
    out += concat(sym(kind, Role::Definition, name), " -> ", place(index.definition(kind, name)), ":");
    for (const Symbol& symbol : index.occurrences(kind, name)) out += concat(" ", at(symbol), "/", sym(symbol));
    out += "\n";
  }
  return out;
}

const std::vector<std::string> kScenario = {
    s("* GOTO нигде"_w),                       // 0: a comment, dropped by game start
    s("CREATE Лампа"_w),                       // 1
    s("лампа_Расположение=Комната"_w),         // 2
    s("счёт=0"_w),                             // 3
    s("VIP сила"_w),                           // 4
    s(":Комната"_w),                           // 5
    s("@Комната. Счёт: [#счёт]"_w),            // 6
    s("btn [В сад] сад"_w),                    // 7
    s("do Осмотреться"_w),                     // 8
    s("!Вокруг тихо."_w),                      // 9
    "REDO",                                    // 10
    s("TALK взять лампу/взять  <object>"_w),   // 11
    s("IF лампа_Расположение=inv"_w),          // 12
    s("счёт=счёт+10"_w),                       // 13
    "ENDIF",                                   // 14
    s("IF счёт>5"_w),                          // 15
    s("call подсказка"_w),                     // 16
    "ENDIF",                                   // 17
    "REDO",                                    // 18
    "READ",                                    // 19
    s(":сад"_w),                               // 20
    s("IF LOCATION=сад"_w),                    // 21
    s("GOTOS комната"_w),                      // 22
    "ENDIF",                                   // 23
    s("EXAMINE лампа"_w),                      // 24
    s("SHOWITEM лампа"_w),                     // 25
    s("CLEAR счёт"_w),                         // 26
    s("IF <object>_Расположение=location"_w),  // 27: the current object has no name of its own
    "ENDIF",                                   // 28
    "READ",                                    // 29
    ":common",                                 // 30
    "RETURN",                                  // 31
};
const std::vector<std::string> kLibrary = {
    s(":подсказка"_w),          // 0
    s("!Подсказка: [#ход]"_w),  // 1
    "ret",                      // 2
};

TEST(SymbolIndex, ReadsEachKindOfLineAsTheEngineDoes) {
  const SymbolIndex index(kScenario, kLibrary);
  const auto S = Source::Scenario;
  using V = std::vector<std::string>;
  EXPECT_EQ(on(index, S, 0), V{});
  EXPECT_EQ(on(index, S, 1), V{sym(Kind::Object, Role::Definition, "лампа"_w)});
  EXPECT_EQ(on(index, S, 2),
            (V{sym(Kind::Object, Role::Property, "лампа"_w), sym(Kind::Location, Role::Reference, "комната"_w)}));
  EXPECT_EQ(on(index, S, 3), V{sym(Kind::Variable, Role::Definition, "счёт"_w)});
  EXPECT_EQ(on(index, S, 4), V{sym(Kind::Variable, Role::Definition, "сила"_w)});
  EXPECT_EQ(on(index, S, 5), V{sym(Kind::Location, Role::Definition, "комната"_w)});
  EXPECT_EQ(on(index, S, 6), (V{sym(Kind::Button, Role::Definition, "комната. счёт: [#счёт]"_w),
                                sym(Kind::Variable, Role::Reference, "счёт"_w)}));
  // btn: the menu item, its talk line (the button's number, not indexed) and the jump.
  EXPECT_EQ(on(index, S, 7),
            (V{sym(Kind::Button, Role::Definition, "в сад"_w), sym(Kind::Location, Role::Reference, "сад"_w)}));
  EXPECT_EQ(on(index, S, 8), V{sym(Kind::Button, Role::Definition, "осмотреться"_w)});
  EXPECT_EQ(on(index, S, 9), V{});
  EXPECT_EQ(on(index, S, 11), (V{sym(Kind::Talk, Role::Definition, "взять лампу"_w),
                                 sym(Kind::Talk, Role::Definition, "взять <object>"_w)}));
  EXPECT_EQ(on(index, S, 12), V{sym(Kind::Object, Role::Reference, "лампа"_w)});
  EXPECT_EQ(on(index, S, 13),
            (V{sym(Kind::Variable, Role::Definition, "счёт"_w), sym(Kind::Variable, Role::Reference, "счёт"_w)}));
  EXPECT_EQ(on(index, S, 15), V{sym(Kind::Variable, Role::Reference, "счёт"_w)});
  EXPECT_EQ(on(index, S, 16), V{sym(Kind::Location, Role::Reference, "подсказка"_w)});
  EXPECT_EQ(on(index, S, 20), V{sym(Kind::Location, Role::Definition, "сад"_w)});
  EXPECT_EQ(on(index, S, 21), V{sym(Kind::Location, Role::Reference, "сад"_w)});
  EXPECT_EQ(on(index, S, 22), V{sym(Kind::Location, Role::Reference, "комната"_w)});
  EXPECT_EQ(on(index, S, 24), V{sym(Kind::Object, Role::Reference, "лампа"_w)});
  EXPECT_EQ(on(index, S, 25), V{sym(Kind::Object, Role::Reference, "лампа"_w)});
  EXPECT_EQ(on(index, S, 26), V{sym(Kind::Variable, Role::Reference, "счёт"_w)});
  EXPECT_EQ(on(index, S, 27), V{});
  EXPECT_EQ(on(index, S, 30), V{sym(Kind::Location, Role::Definition, "common")});
  EXPECT_EQ(on(index, Source::Library, 0), V{sym(Kind::Location, Role::Definition, "подсказка"_w)});
  EXPECT_EQ(on(index, Source::Library, 1), V{sym(Kind::Variable, Role::Reference, "ход"_w)});

  // Lookups by name, in any letter case.
  EXPECT_EQ(place(index.definition(Kind::Location, "ПОДСКАЗКА"_w)), "l0");
  EXPECT_EQ(places(index.references(Kind::Location, "Комната"_w)), (std::vector<std::string>{"s2", "s22"}));
  EXPECT_EQ(places(index.occurrences(Kind::Object, "лампа"_w)),
            (std::vector<std::string>{"s1", "s2", "s12", "s24", "s25"}));
  EXPECT_EQ(places(index.definitions(Kind::Variable, "счёт"_w)), (std::vector<std::string>{"s3", "s13"}));
  EXPECT_EQ(places(index.references(Kind::Variable, "счёт"_w)), (std::vector<std::string>{"s6", "s13", "s15", "s26"}));
  EXPECT_EQ(places(index.allDefinitions(Kind::Location)), (std::vector<std::string>{"s5", "s20", "s30"}));
  EXPECT_EQ(places(index.allDefinitions(Kind::Location, Source::Library)), std::vector<std::string>{"l0"});
  EXPECT_EQ(places(index.allDefinitions(Kind::Button)), (std::vector<std::string>{"s6", "s7", "s8"}));
  EXPECT_TRUE(index.occurrences(Kind::Location, "нигде"_w).empty());
  EXPECT_EQ(index.spliceLine(), 31);
}

TEST(SymbolIndex, TakesNamesAsTheEngineComparesThem) {
  const std::vector<std::string> scenario = {
      s(":ЁЛКА"_w),           // 0
      s("GOTO Ёлка"_w),       // 1
      s("JUMP ёлкА"_w),       // 2
      s("IF данные=1"_w),     // 3: a truth word, read as 1
      s("GOTO два слова"_w),  // 4: not a jump (three words)
      s("x1=$FF+0x10"_w),     // 5: number literals
      s("^CREATE ключ"_w),    // 6: a one-shot line
      s("  :Отступ  "_w),     // 7: trimmed by game start
      "x=y+y",                // 8: a name once per line and role
  };
  const SymbolIndex index(scenario, {});
  EXPECT_EQ(places(index.occurrences(Kind::Location, "ёлка"_w)), (std::vector<std::string>{"s0", "s1", "s2"}));
  EXPECT_EQ(index.symbolsOn(Source::Scenario, 0).at(0).name, "ёлка"_w);
  EXPECT_TRUE(index.symbolsOn(Source::Scenario, 3).empty());
  EXPECT_TRUE(index.symbolsOn(Source::Scenario, 4).empty());
  EXPECT_EQ(on(index, Source::Scenario, 5), std::vector<std::string>{sym(Kind::Variable, Role::Definition, "x1")});
  EXPECT_EQ(place(index.definition(Kind::Object, "КЛЮЧ"_w)), "s6");
  EXPECT_EQ(place(index.definition(Kind::Location, "отступ"_w)), "s7");
  EXPECT_EQ(on(index, Source::Scenario, 8), (std::vector<std::string>{sym(Kind::Variable, Role::Definition, "x"),
                                                                      sym(Kind::Variable, Role::Reference, "y")}));
}

TEST(SymbolIndex, TheFirstDefinitionInTheProgramWins) {
  // The library comes in before the first "return" line: scenario lines above it come first.
  std::vector<std::string> scenario = {":a", ":B",      "CREATE x", ":b", "* return", "READ",
                                       ":c", ":common", "RETURN",   ":c", "CREATE y"};
  const std::vector<std::string> library = {":c", ":b", ":only", "CREATE y", "CREATE x"};
  SymbolIndex index(scenario, library);
  EXPECT_EQ(index.spliceLine(), 4);  // a comment too: game start looks for "return" anywhere
  EXPECT_EQ(place(index.definition(Kind::Location, "b")), "s1");
  EXPECT_EQ(place(index.definition(Kind::Location, "c")), "l0");
  EXPECT_EQ(place(index.definition(Kind::Location, "only")), "l2");
  EXPECT_EQ(place(index.definition(Kind::Object, "x")), "s2");
  EXPECT_EQ(place(index.definition(Kind::Object, "y")), "l3");
  EXPECT_EQ(places(index.definitions(Kind::Location, "b")), (std::vector<std::string>{"s1", "s3", "l1"}));

  // Without a "return" line the library is not spliced in at all.
  index.replaceLine(Source::Scenario, 4, "* no splice");
  index.replaceLine(Source::Scenario, 8, "READ");
  EXPECT_FALSE(index.librarySpliced());
  EXPECT_EQ(place(index.definition(Kind::Location, "c")), "s6");
  EXPECT_EQ(place(index.definition(Kind::Location, "only")), "none");
  EXPECT_EQ(place(index.definition(Kind::Object, "y")), "s10");
  // A "return" line further down lets the scenario's earlier ones win.
  index.replaceLine(Source::Scenario, 7, ":Common RETURN");
  EXPECT_EQ(place(index.definition(Kind::Location, "c")), "s6");
  EXPECT_EQ(place(index.definition(Kind::Location, "only")), "l2");
  EXPECT_EQ(place(index.definition(Kind::Location, "common return")), "s7");
}

TEST(SymbolIndex, BrokenButtonLinesHaveNoSymbolsAndTheRestIsIndexed) {
  const std::vector<std::string> scenario = {":a", "btn no brackets", ":b", "do", "btn [Дальше] c", ":c"};
  const SymbolIndex index(scenario, {});
  EXPECT_EQ(index.brokenLines(Source::Scenario), (std::vector<int>{1, 3}));
  EXPECT_EQ(places(index.allDefinitions(Kind::Location)), (std::vector<std::string>{"s0", "s2", "s5"}));
  EXPECT_EQ(places(index.references(Kind::Location, "c")), std::vector<std::string>{"s4"});
}

// The locations of the program game start builds from the texts (library spliced in): each name
// is where the index says the game finds it. Returns false when game start stops at a broken line.
bool expectLocationsOfTheProgram(const SymbolIndex& index, const std::vector<std::string>& scenario,
                                 const std::vector<std::string>& library) {
  const BuiltProgram program = buildProgram(mergeLibraryMapped(scenario, library));
  if (program.brokenAt) return false;
  std::map<std::string, LineOrigin> first;  // the engine's label index
  for (std::size_t i = 0; i < program.lines.size(); ++i)
    if (program.lines[i].starts_with(":")) first.emplace(program.lines[i].substr(1), program.origins[i]);
  for (const auto& [name, origin] : first) {
    const auto found = index.definition(Kind::Location, name);
    EXPECT_TRUE(found && found->source == origin.source && found->line + 1 == origin.line)
        << name << ": " << place(found) << ", game start: " << origin.line;
  }
  for (Source source : {Source::Scenario, Source::Library})
    for (const Symbol& definition : index.allDefinitions(Kind::Location, source))
      EXPECT_TRUE(first.count(std::string(definition.name)) || (source == Source::Library && !index.librarySpliced()))
          << definition.name;
  return true;
}

// Random one-line edits of the shipped games and their library, each compared with a fresh build.
class IncrementalUpdate : public ::testing::TestWithParam<const char*> {};

std::vector<std::string> readGameFile(const std::string& name) {
  auto read = readScenarioFile(std::string(MARVO_SOURCE_DIR) + "/games/" + name);
  EXPECT_TRUE(read.error.empty()) << read.error;
  EXPECT_FALSE(read.lines.empty()) << name;
  return read.lines;
}

TEST_P(IncrementalUpdate, EqualsAFreshBuildAfterEveryEdit) {
  std::vector<std::string> texts[2] = {readGameFile(GetParam()), readGameFile("marvo.lib")};
  // Lines to put in: any line of the game or library, and lines that change more than their own
  // symbols would suggest (the splice point, broken buttons, duplicates, case, one-shot lines).
  std::vector<std::string> pool = {
      "RETURN",     "* return",       "",          "btn no brackets",     "do",      s("btn [Кнопка] маяк"_w),
      s(":МАЯК"_w), s(":маяк"_w),     "^CREATE x", s("call подсказки"_w), ":common", s("TALK а/б/<object> в"_w),
      s("x=y*z"_w), s("@Меню [#x]"_w)};
  for (const auto& text : texts) pool.insert(pool.end(), text.begin(), text.end());

  SymbolIndex index(texts[0], texts[1]);
  int checked = expectLocationsOfTheProgram(index, texts[0], texts[1]);
  std::mt19937 random(20240611);
  const auto pick = [&](std::size_t n) {
    return static_cast<int>(std::uniform_int_distribution<std::size_t>(0, n - 1)(random));
  };
  for (int step = 0; step < 600; ++step) {
    const int which = pick(5) == 0 ? 1 : 0;
    const Source source = which ? Source::Library : Source::Scenario;
    auto& text = texts[which];
    const std::string line = pool[static_cast<std::size_t>(pick(pool.size()))];
    const int op = text.empty() ? 2 : pick(4);  // replace, replace, insert, remove
    std::string edit;
    if (op <= 1) {
      const int i = pick(text.size());
      text[static_cast<std::size_t>(i)] = line;
      index.replaceLine(source, i, line);
      edit = "replace " + std::to_string(i);
    } else if (op == 2) {
      const int i = pick(text.size() + 1);
      text.insert(text.begin() + i, line);
      index.insertLine(source, i, line);
      edit = "insert " + std::to_string(i);
    } else {
      const int i = pick(text.size());
      text.erase(text.begin() + i);
      index.removeLine(source, i);
      edit = "remove " + std::to_string(i);
    }
    const SymbolIndex fresh(texts[0], texts[1]);
    ASSERT_TRUE(index == fresh) << "step " << step << ": " << edit << (which ? " (library)" : "");
    if (step % 50 == 0) {
      ASSERT_EQ(dump(index), dump(fresh)) << "step " << step << ": " << edit;
    }
    if (step % 10 == 0) checked += expectLocationsOfTheProgram(index, texts[0], texts[1]);
  }
  EXPECT_GT(checked, 20);
  EXPECT_EQ(dump(index), dump(SymbolIndex(texts[0], texts[1])));
}

INSTANTIATE_TEST_SUITE_P(ShippedGames, IncrementalUpdate, ::testing::Values("mayak.scn", "yarmarka.scn"));

}  // namespace
}  // namespace marvo
