// The play tree: merging plays, the sidecar file and its bad input, bless / re-check / accept,
// export to a walkthrough the runner passes, and import.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/codec.h"
#include "playtree/play_tree.h"
#include "playtree/tree_check.h"
#include "walkthrough/prepared_game.h"
#include "walkthrough/runner.h"

using namespace marvo;
using namespace marvo::tree;
using Lines = std::vector<std::string>;

namespace {

Lines w(const Lines& utf8) {
  Lines out;
  for (const auto& line : utf8) out.push_back(utf8ToCp1251(line));
  return out;
}

const Lines kHouse{
    ":hall",    "!Холл.",  "TALK север", "GOTO kitchen", "REDO", "TALK осмотреться",  "!Пыльно.", "REDO", "READ",
    ":kitchen", "!Кухня.", "TALK юг",    "GOTO hall",    "REDO", "TALK открыть шкаф", "!Пусто.",  "REDO", "READ"};

PreparedProgram program(const Lines& scenario) { return prepareProgram(w(scenario), nullptr, {}); }

std::filesystem::path scratch(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() / ("marvo-playtree-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir / name;
}

}  // namespace

TEST(PlayTree, TwoPlaysShareTheirCommonPathAndTheFileRoundTrips) {
  PlayTree t;
  const auto prog = program(kHouse);
  const auto a = recordPlay(t, prog, w({"север", "открыть шкаф"}));
  const auto b = recordPlay(t, prog, w({"север", "юг", "осмотреться"}));
  const auto c = recordPlay(t, prog, w({"север", "открыть шкаф"}));
  EXPECT_EQ(a, c) << "same command after the same path is the same node";
  EXPECT_EQ(t.leaves(), (std::vector<std::size_t>{a, b}));
  EXPECT_EQ(t.node(a).reply, w({"Пусто.", "Кухня."}));  // REDO shows the location again
  EXPECT_EQ(t.path(b), w({"север", "юг", "осмотреться"}));
  t.node(a).name = utf8ToCp1251("шкаф пуст");
  t.bless(a);
  t.node(a).reply = w({"Другое."});  // a reply that differs from the blessed one is kept as well

  const std::string text = treeText(t);
  auto parsed = parseTree(text);
  ASSERT_TRUE(parsed.tree) << parsed.errorLine << ": " << parsed.error;
  EXPECT_EQ(treeText(*parsed.tree), text);
  EXPECT_EQ(parsed.tree->node(a).blessed, w({"Пусто.", "Кухня."}));
  EXPECT_EQ(parsed.tree->node(a).reply, w({"Другое."}));
  // Stable order: a new branch adds its own lines and moves no other line.
  PlayTree more = *parsed.tree;
  more.addPlay(w({"осмотреться"}));
  const std::string grown = treeText(more);
  EXPECT_EQ(grown.substr(0, text.size()), text);
  EXPECT_EQ(grown.substr(text.size()), "> осмотреться\n");

  // CR LF line ends, doubled too, are line ends: the tree reads and is written back unchanged.
  std::string crlf;
  for (char ch : text) crlf += ch == '\n' ? std::string("\r\r\n") : std::string(1, ch);
  auto fromCrlf = parseTree(crlf);
  ASSERT_TRUE(fromCrlf.tree) << fromCrlf.errorLine << ": " << fromCrlf.error;
  EXPECT_EQ(treeText(*fromCrlf.tree), text);

  // A blessed reply of no lines stays blessed, and a reply that became empty stays empty.
  PlayTree empty = *parsed.tree;
  empty.node(b).reply.clear();
  empty.bless(b);
  empty.node(a).reply.clear();
  auto emptyBack = parseTree(treeText(empty));
  ASSERT_TRUE(emptyBack.tree) << emptyBack.errorLine << ": " << emptyBack.error;
  EXPECT_EQ(emptyBack.tree->node(b).blessed, std::vector<std::string>{});
  EXPECT_TRUE(emptyBack.tree->node(a).reply.empty());
  EXPECT_EQ(emptyBack.tree->node(a).blessed, w({"Пусто.", "Кухня."}));

  t.remove(t.node(a).parent);  // "север" and everything under it
  EXPECT_EQ(t.leaves(), (std::vector<std::size_t>{0}));
  EXPECT_EQ(treeText(t), "# marvo play tree 1\n~ Холл.\n");
}

TEST(PlayTree, ABrokenOrForeignSidecarIsKeptAsBakAndANewTreeStarts) {
  const auto file = scratch("broken.tree");
  const std::pair<std::string, std::string> cases[] = {
      {"{\"not\": \"a tree\"}\n", "строка 1"},
      {"# marvo play tree 1\n> а\n      > слишком глубоко\n", "строка 3"},
      {"# marvo play tree 1\n> а\n> а\n", "строка 3"},
      {"# marvo play tree 1\n> а\n  % что это\n", "строка 3"},
      // The unknown mark is quoted whole (a Cyrillic letter is two bytes of UTF-8).
      {"# marvo play tree 1\n> а\n  ж что это\n", "строка 3: неизвестный знак строки «ж»"},
  };
  for (const auto& [content, where] : cases) {
    std::ofstream(file, std::ios::binary) << content;
    const TreeLoad load = loadTree(file);
    EXPECT_EQ(load.tree.nodes().size(), 1u);
    EXPECT_NE(load.message.find(where), std::string::npos) << load.message;
    EXPECT_NE(load.message.find("broken.tree.bak"), std::string::npos) << load.message;
    EXPECT_FALSE(std::filesystem::exists(file));
    std::ifstream kept(file.string() + ".bak", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), content);
  }
  EXPECT_TRUE(loadTree(scratch("missing.tree")).message.empty());
  PlayTree t;
  t.addPlay(w({"север"}));
  ASSERT_FALSE(saveTree(file, t));
  const TreeLoad again = loadTree(file);
  EXPECT_TRUE(again.message.empty());
  EXPECT_EQ(treeText(again.tree), treeText(t));
  EXPECT_EQ(treeFileFor("/x/игра.scn"), std::filesystem::path("/x/игра.tree"));
}

TEST(PlayTree, ACheckMarksChangedAndUnfitNodesWithoutDroppingThem) {
  PlayTree t;
  const auto open = recordPlay(t, program(kHouse), w({"север", "открыть шкаф"}));
  const auto look = recordPlay(t, program(kHouse), w({"осмотреться"}));
  const auto south = recordPlay(t, program(kHouse), w({"север", "юг"}));
  for (std::size_t id : t.order()) t.bless(id);

  Lines edited = kHouse;
  edited[15] = "!Пусто, только паутина.";  // the cupboard's reply
  edited[11] = "TALK назад";               // "юг" no longer fits
  std::atomic<bool> cancel{false};
  std::size_t lastDone = 0, total = 0;
  const CheckResult r = checkTree(
      t, program(edited), 2,
      [&](std::size_t d, std::size_t n) {
        lastDone = std::max(lastDone, d);
        total = n;
      },
      &cancel);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(lastDone, 3u);
  EXPECT_EQ(total, 3u);
  EXPECT_TRUE(t.node(open).changed);
  EXPECT_EQ(t.node(open).reply, w({"Пусто, только паутина.", "Кухня."}));
  EXPECT_FALSE(t.node(look).changed);
  EXPECT_TRUE(t.node(south).unfit);
  EXPECT_TRUE(t.node(south).changed);  // "это невозможно" now
  EXPECT_EQ(r.unfit, 1u);
  EXPECT_EQ(t.leaves().size(), 3u) << "no node is dropped";
  t.bless(open);  // accept the new reply
  EXPECT_FALSE(t.node(open).changed);
  EXPECT_EQ(t.node(open).blessed, w({"Пусто, только паутина.", "Кухня."}));

  // Cancelled before it began: the tree stays as it was.
  const std::string before = treeText(t);
  cancel = true;
  EXPECT_TRUE(checkTree(t, program(kHouse), 2, {}, &cancel).cancelled);
  EXPECT_EQ(treeText(t), before);
}

TEST(PlayTree, BlessedLeavesExportAsAWalkthroughThatPassesAndImportBack) {
  PlayTree t;
  const auto prog = program(kHouse);
  for (const auto& play : {Lines{"север", "открыть шкаф"}, Lines{"север", "юг", "осмотреться"}, Lines{"осмотреться"}})
    recordPlay(t, prog, w(play));
  for (std::size_t leaf : t.leaves())
    if (t.path(leaf).size() > 1) t.bless(leaf);
  const std::string text = exportBlessedLeaves(t);
  EXPECT_NE(text.find("> открыть шкаф\nПусто.\n"), std::string::npos) << text;

  const auto game = walk::prepareGame(w(kHouse), {});
  const auto file = walk::parseWalkFile(text, "tree.walk");
  ASSERT_EQ(file.tests.size(), 2u);  // the leaf not blessed is left out
  const auto run = walk::runWalkthroughs(game, {file});
  EXPECT_EQ(run.failed, 0);
  EXPECT_EQ(run.passed, 2);
  // The same walkthrough fails on an edited game.
  Lines edited = kHouse;
  edited[15] = "!Полно.";
  EXPECT_EQ(walk::runWalkthroughs(walk::prepareGame(w(edited), {}), {file}).failed, 1);

  PlayTree imported;
  EXPECT_EQ(importWalk(imported, text), 2);
  EXPECT_EQ(imported.leaves().size(), 2u);
  EXPECT_EQ(imported.path(imported.leaves()[0]), w({"север", "открыть шкаф"}));
  std::string error;
  EXPECT_EQ(importWalk(imported, "> север\n? нечто: странное\n", &error), -1);
  EXPECT_FALSE(error.empty());
}
