// Tests of the dialogue tree and its ".dlg" file.
#include <gtest/gtest.h>

#include "engine/codec.h"
#include "engine/text.h"
#include "npc/dialogue_tree.h"

using namespace marvo::literals;
using namespace marvo::npc;

namespace {
DialogueTree read(std::string_view content) {
  auto result = readDialogueFile(content, "t.dlg");
  EXPECT_EQ(result.error, "");
  return result.tree;
}

// Roots X and Z, X with a child Y that has a child W, and a second child V.
const DialogueTree kSample{{0, "x"}, {1, "y"}, {2, "w"}, {1, "v"}, {0, "z"}};
}  // namespace

TEST(DialogueTree, PositionsAndStates) {
  EXPECT_EQ(parentPositions(kSample), (std::vector<int>{-1, 0, 1, 0, -1}));
  EXPECT_EQ(nodeStates(kSample), (std::vector<int>{0, 1, 2, 1, 0}));
  EXPECT_TRUE(isWellFormed(kSample));
  EXPECT_TRUE(isWellFormed({}));
  EXPECT_FALSE(isWellFormed({{1, "a"}}));
  EXPECT_FALSE(isWellFormed({{0, "a"}, {2, "b"}}));
  EXPECT_FALSE(isWellFormed({{0, "a"}, {-1, "b"}}));
}

TEST(DialogueFile, WritesTabsAndCrLf) {
  EXPECT_EQ(writeDialogueFile(kSample), "x\r\n\ty\r\n\t\tw\r\n\tv\r\nz\r\n");
  EXPECT_EQ(writeDialogueFile({}), "");
  EXPECT_EQ(writeDialogueFile({{0, ""}}), "\r\n");
}

TEST(DialogueFile, RoundTripKeepsTheTree) {
  const DialogueTree tree{{0, std::string("Привет;Здравствуй, путник."_w)},
                          {1, "a;b;c"},
                          {1, "no answer"},
                          {2, "; "},
                          {0, ""},
                          {0, "end ;"}};
  EXPECT_EQ(read(writeDialogueFile(tree)), tree);
}

TEST(DialogueFile, LineEndsAndDepthCharacters) {
  // CR, LF and CR LF end lines; a last line needs no end; blanks count as depth like TABs.
  EXPECT_EQ(read("a\rb\n\tc\r\n \td\r\n\te"), (DialogueTree{{0, "a"}, {0, "b"}, {1, "c"}, {2, "d"}, {1, "e"}}));
  EXPECT_EQ(read(""), DialogueTree{});
  // An empty line is a root with an empty text; a line of blanks is all depth.
  EXPECT_EQ(read("a\r\n\r\n\tb\r\n \r\n"), (DialogueTree{{0, "a"}, {0, ""}, {1, "b"}, {1, ""}}));
  // A leading blank of a text is read as depth.
  EXPECT_EQ(read(writeDialogueFile({{0, "a"}, {0, " b"}})), (DialogueTree{{0, "a"}, {1, "b"}}));
}

TEST(DialogueFile, FirstLineIsARootAndShallowerLinesClimb) {
  EXPECT_EQ(read("\t\tfirst\r\n\tsecond\r\n"), (DialogueTree{{0, "first"}, {1, "second"}}));
  EXPECT_EQ(read("a\n\tb\n\t\tc\n\t\t\td\n\te\nf"),
            (DialogueTree{{0, "a"}, {1, "b"}, {2, "c"}, {3, "d"}, {1, "e"}, {0, "f"}}));
}

TEST(DialogueFile, DepthJumpIsRefusedAsAWhole) {
  const auto result = readDialogueFile("a\r\n\tb\r\n\t\t\tdeep; text\r\nc\r\n", "dlg/x.dlg");
  EXPECT_TRUE(result.tree.empty());
  EXPECT_EQ(marvo::cp1251ToUtf8(result.error),
            "dlg/x.dlg: строка 3: неверный уровень (3) у пункта «deep; text»; диалог не загружен");

  // Measured against the node above, not against the raw indent of an indented first line.
  const auto second = readDialogueFile("\tfirst\n\t\tsecond", "f");
  EXPECT_EQ(marvo::cp1251ToUtf8(second.error),
            "f: строка 2: неверный уровень (2) у пункта «second»; диалог не загружен");
  EXPECT_TRUE(second.tree.empty());
}
