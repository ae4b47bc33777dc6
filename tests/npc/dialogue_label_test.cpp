// Dialogue labels that game start or the engine would misread are refused with a suggestion, and
// the checker agrees: a refused label gives errors in the generated text, an accepted one none.
#include <gtest/gtest.h>

#include "checker/checker.h"
#include "engine/codec.h"
#include "engine/text.h"
#include "npc/dialogue_script.h"

using namespace marvo::literals;
using namespace marvo::npc;

namespace {

// A game that calls the dialogue, followed by the generated dialogue location.
std::vector<std::string> gameWith(const std::string& label) {
  std::vector<std::string> lines{":start", "btn [x] start", "do talk", "call " + label,
                                 "REDO",   "READ",          ":common", "RETURN"};
  const DialogueTree tree{{0, "a;b"}, {1, "c;d"}, {0, "e;f"}};
  for (auto& line : generateDialogue(tree, label).lines) lines.push_back(line);
  return lines;
}

int errorsIn(const std::vector<std::string>& lines) {
  marvo::check::CheckInput input;
  input.scenario = lines;
  input.library = {"TALK look <object>", "EXAMINE <object>", "REDO"};
  return marvo::check::countDiagnostics(marvo::check::checkScenario(input)).errors;
}

}  // namespace

TEST(DialogueLabel, BrokenLabelsAreRefusedWithAReasonAndASafeSuggestion) {
  for (std::string label : {"doorman", "callie", "sheriff", "reader", "talker", "redone", "gift", "subtnet", "returnee",
                            "legendia", "", "my label", "ждать"}) {
    label = marvo::utf8ToCp1251(label);
    const std::string problem = labelProblem(label);
    ASSERT_FALSE(problem.empty()) << label;
    EXPECT_NE(problem.find("не годится"_w), std::string::npos);
    if (!label.empty() && label.find(' ') == std::string::npos) {
      EXPECT_GT(errorsIn(gameWith(label)), 0) << label;
    }
    // The suggestion, between the last « and », is itself accepted.
    const auto open = problem.rfind("«"_w), close = problem.rfind("»"_w);
    const std::string suggestion = problem.substr(open + 1, close - open - 1);
    EXPECT_TRUE(labelProblem(suggestion).empty()) << suggestion;
    EXPECT_EQ(errorsIn(gameWith(suggestion)), 0) << suggestion;
  }
  EXPECT_NE(labelProblem("doorman").find(std::string("«npcdoorman»"_w)), std::string::npos);
}

TEST(DialogueLabel, OrdinaryLabelsPassAndCheckClean) {
  for (std::string label : {"dialog1", "guard", "стражник", "npc2", "barman"}) {
    label = marvo::utf8ToCp1251(label);
    EXPECT_TRUE(labelProblem(label).empty()) << label;
    EXPECT_EQ(errorsIn(gameWith(label)), 0) << label;
  }
}
