// Tests of the dialogue generation: label, duplicate check, node table, every generated line form.
#include <gtest/gtest.h>

#include "engine/text.h"
#include "npc/dialogue_script.h"

using namespace marvo::literals;
using namespace marvo::npc;
using Lines = std::vector<std::string>;

namespace {
std::string w(std::string_view cp1251) { return std::string(cp1251); }

Lines header(const std::string& d) {
  return {"",
          w("* НАЧАЛО ДИАЛОГА "_w) + d,
          ":" + d,
          w("* Вызвать диалог можно командой CALL "_w) + d + w(" из любой локации"_w),
          "IF " + d + "_first=0",
          d + "_dialog=399",
          d + "_first=1",
          "ENDIF",
          "IF " + d + "_dialog=399",
          w("TALK общатс/говор/разгов/толков/базари/беседов"_w),
          d + "_dialog=0",
          "REDO",
          "ENDIF"};
}

const Lines kFooter{"", w("*Возврат к вызывающей локации"_w), "RET", "*- - - - - - - -  END of NPC - - - - - -*"};

Lines generated(const DialogueTree& tree, std::string_view label = "dialog1") {
  auto script = generateDialogue(tree, label);
  EXPECT_EQ(script.error, "");
  return script.lines;
}

// The lines between the header and the footer.
Lines blocks(const DialogueTree& tree) {
  const Lines all = generated(tree);
  EXPECT_GE(all.size(), 17u);
  return Lines(all.begin() + 13, all.end() - 4);
}

Lines option(int n, const std::string& phrase, const std::string& answer, int next) {
  return {"!" + std::to_string(n) + ". " + phrase, "TALK " + std::to_string(n), "!" + answer,
          "dialog1_dialog=" + std::to_string(next), "REDO"};
}

Lines join(std::initializer_list<Lines> parts) {
  Lines out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
}  // namespace

TEST(DialogueLabel, TrimmedAndLowered) {
  EXPECT_EQ(dialogueLabel("dialog1"), "dialog1");
  EXPECT_EQ(dialogueLabel(" \t Dialog1\x01\r"), "dialog1");
  EXPECT_EQ(dialogueLabel("  Беседа С Ёжиком "_w), w("беседа с ёжиком"_w));
  EXPECT_EQ(dialogueLabel("   "), "");
}

TEST(DuplicateCheck, ExactLinesOnlyOneMessageEach) {
  const Lines scenario{":dialog1", ":Dialog1", ":dialog1 ", " :dialog1", "* :dialog1", ":dialog1", ":dialog12"};
  const auto messages = duplicateLabelMessages(scenario, "dialog1");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], w("Диалог с меткой dialog1 уже существует"_w));
  EXPECT_TRUE(duplicateLabelMessages(scenario, "dialog2").empty());
  // An empty label finds a line ":" alone.
  EXPECT_EQ(duplicateLabelMessages({":", "x"}, ""), Lines{w("Диалог с меткой  уже существует"_w)});
}

TEST(DialogueScript, WorkedExample) {
  const DialogueTree tree{{0, "a;b"}, {1, "c;d"}, {0, "e;f"}};
  const Lines expected = join({header("dialog1"),
                               {"", "IF dialog1_dialog=0"},
                               option(1, "a", "b", 1),
                               option(2, "e", "f", 399),
                               {"ENDIF", "", "IF dialog1_dialog=1"},
                               option(1, "c", "d", 399),
                               {"ENDIF"},
                               kFooter});
  EXPECT_EQ(generated(tree), expected);
}

TEST(DialogueScript, EmptyTree) {
  EXPECT_EQ(generated({}, "talk"), join({header("talk"), {"", "IF talk_dialog=0", "ENDIF"}, kFooter}));
}

TEST(DialogueScript, EmptyLabelIsNotRefused) {
  const Lines lines = generated({}, "");
  EXPECT_EQ(lines[2], ":");
  EXPECT_EQ(lines[4], "IF _first=0");
  EXPECT_EQ(lines[14], "IF _dialog=0");
}

TEST(DialogueScript, PhraseAndAnswerSplitAtTheFirstSemicolon) {
  const DialogueTree tree{{0, "no answer"}, {0, " hi ; there "}, {0, "a;b;c"}, {0, ";"}};
  EXPECT_EQ(blocks(tree), join({{"", "IF dialog1_dialog=0"},
                                option(1, "no answer", "", 399),
                                option(2, " hi ", " there ", 399),
                                option(3, "a", "b;c", 399),
                                option(4, "", "", 399),
                                {"ENDIF"}}));
}

TEST(DialogueScript, RootsWithChildrenLeadToTheirOwnStates) {
  // Positions: A0 A1(child) A2(child) B3 B4(child) B5(grandchild)
  const DialogueTree tree{{0, "A;a"}, {1, "A1;"}, {1, "A2;"}, {0, "B;b"}, {1, "B1;"}, {2, "B2;"}};
  EXPECT_EQ(blocks(tree), join({{"", "IF dialog1_dialog=0"},
                                option(1, "A", "a", 1),
                                option(2, "B", "b", 4),
                                {"ENDIF", "", "IF dialog1_dialog=1"},
                                option(1, "A1", "", 399),
                                option(2, "A2", "", 399),
                                {"ENDIF", "", "IF dialog1_dialog=2", "ENDIF", "", "IF dialog1_dialog=3", "ENDIF", "",
                                 "IF dialog1_dialog=4"},
                                option(1, "B1", "", 5),
                                {"ENDIF", "", "IF dialog1_dialog=5"},
                                option(1, "B2", "", 399),
                                {"ENDIF"}}));
}

TEST(DialogueScript, EmptyTextsAreSkippedAndTheirSlotTakenOver) {
  // X, its first child E has an empty text and a child G: choosing X leads straight to G's state.
  const DialogueTree tree{{0, "x;1"}, {1, ""}, {2, "g;2"}};
  const auto table = fillNodeTable(tree);
  EXPECT_EQ(table[1].text, "g;2");
  EXPECT_EQ(table[1].state, 2);
  EXPECT_EQ(blocks(tree), join({{"", "IF dialog1_dialog=0"},
                                option(1, "x", "1", 2),
                                {"ENDIF", "", "IF dialog1_dialog=1", "ENDIF", "", "IF dialog1_dialog=2"},
                                option(1, "g", "2", 399),
                                {"ENDIF"}}));

  // An empty only child, last in pre-order: its state stays in the table and counts.
  const DialogueTree last{{0, "x;1"}, {1, ""}};
  EXPECT_EQ(fillNodeTable(last)[1].state, 1);
  EXPECT_EQ(blocks(last),
            join({{"", "IF dialog1_dialog=0"}, option(1, "x", "1", 1), {"ENDIF", "", "IF dialog1_dialog=1", "ENDIF"}}));
}

TEST(DialogueScript, TenOptionsAreNumberedOnwards) {
  DialogueTree tree;
  for (int i = 1; i <= 10; ++i) tree.push_back({0, "p" + std::to_string(i) + ";"});
  const Lines lines = blocks(tree);
  ASSERT_EQ(lines.size(), 2u + 50u + 1u);
  EXPECT_EQ(lines[2 + 45], "!10. p10");
  EXPECT_EQ(lines[2 + 46], "TALK 10");
}

TEST(DialogueScript, FullTableChainReachesTheIdleState) {
  // A chain of 400 nodes: node i is the only child of node i - 1, so its state is i.
  DialogueTree chain;
  for (int i = 0; i < 400; ++i) chain.push_back({i, "n" + std::to_string(i) + ";"});
  const Lines lines = blocks(chain);
  ASSERT_EQ(lines.size(), 400u * (3u + 5u));
  for (int s = 0; s < 400; ++s) {
    const auto at = static_cast<std::size_t>(s) * 8;
    ASSERT_EQ(lines[at + 1], "IF dialog1_dialog=" + std::to_string(s));
    ASSERT_EQ(lines[at + 2], "!1. n" + std::to_string(s));
    // The last slot has no slot after it: its option goes back to idle.
    ASSERT_EQ(lines[at + 5], "dialog1_dialog=" + std::to_string(s < 399 ? s + 1 : 399));
  }
}

TEST(DialogueScript, ChildOfPosition398HasTheIdleState) {
  DialogueTree tree;
  for (int i = 0; i < 399; ++i) tree.push_back({0, "r" + std::to_string(i) + ";"});
  tree.push_back({1, "child;"});
  const Lines lines = blocks(tree);
  // Block 0 holds 399 options, blocks 1..398 are empty, block 399 holds the child.
  ASSERT_EQ(lines.size(), 3u + 399u * 5u + 398u * 3u + 3u + 5u);
  EXPECT_EQ(lines[2 + 398 * 5 + 3], "dialog1_dialog=399");
  const Lines tail(lines.end() - 8, lines.end());
  EXPECT_EQ(tail, join({{"", "IF dialog1_dialog=399"}, option(1, "child", "", 399), {"ENDIF"}}));
}

TEST(DialogueScript, MoreThan400NodesAreRefused) {
  DialogueTree tree(401, DialogueNode{0, "x;"});
  const auto script = generateDialogue(tree, "dialog1");
  EXPECT_TRUE(script.lines.empty());
  EXPECT_EQ(script.error, w("В дереве диалога больше 400 узлов (всего 401); диалог не создан"_w));
  // Empty texts do not make a larger tree acceptable.
  tree.assign(500, DialogueNode{0, ""});
  EXPECT_FALSE(generateDialogue(tree, "d").error.empty());
  tree.resize(400);
  EXPECT_TRUE(generateDialogue(tree, "d").error.empty());
}

TEST(DialogueScript, TextsAndLabelCopiedUnchanged) {
  const DialogueTree tree{{0, w("  Кто ты?;  Я  страж. "_w)}};
  const Lines lines = generated(tree, "беседа с ёжиком"_w);
  EXPECT_EQ(lines[2], w(":беседа с ёжиком"_w));
  EXPECT_EQ(lines[15], w("!1.   Кто ты?"_w));
  EXPECT_EQ(lines[17], w("!  Я  страж. "_w));
  EXPECT_EQ(lines[18], w("беседа с ёжиком_dialog=399"_w));
}
