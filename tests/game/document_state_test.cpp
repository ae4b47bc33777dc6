// The scenario document's decisions: the format a file is in, where "Save" writes, the modified flag.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/document_state.h"

namespace fs = std::filesystem;
using marvo::DocumentState;
using marvo::ScenarioFormat;

namespace {

fs::path writeFile(const std::string& name, const std::string& content) {
  const fs::path path = fs::temp_directory_path() / ("marvo_document_state_" + name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

}  // namespace

TEST(DocumentState, FormatOfAFileIsReadFromItsStart) {
  EXPECT_EQ(marvo::scenarioFormatOf(writeFile("a.scn", "\xEF\xBB\xBF  {\\rtf1\\ansi x}")), ScenarioFormat::Rtf);
  EXPECT_EQ(marvo::scenarioFormatOf(writeFile("b.scn", ":loc1\r\nREAD\r\n")), ScenarioFormat::PlainText);
  EXPECT_EQ(marvo::scenarioFormatOf(writeFile("c.scn", "")), ScenarioFormat::PlainText);
  EXPECT_EQ(marvo::scenarioFormatOf(fs::temp_directory_path() / "marvo_document_state_missing.scn"), std::nullopt);
}

TEST(DocumentState, SaveGoesBackToTheFileInItsFormatOrAsksForAName) {
  DocumentState state;
  EXPECT_FALSE(state.saveTarget());  // a new text has no file yet
  state.loaded("game.scn", ScenarioFormat::PlainText);
  ASSERT_TRUE(state.saveTarget());
  EXPECT_EQ(state.saveTarget()->path, "game.scn");
  EXPECT_EQ(state.saveTarget()->format, ScenarioFormat::PlainText);
  state.saved("other.scn", ScenarioFormat::Rtf);
  EXPECT_EQ(state.saveTarget()->path, "other.scn");
  EXPECT_EQ(state.saveTarget()->format, ScenarioFormat::Rtf);
  state.loaded({}, ScenarioFormat::Rtf);  // "New"
  EXPECT_FALSE(state.saveTarget());
}

TEST(DocumentState, OnlyASaveClearsTheModifiedFlag) {
  DocumentState state;
  state.changed();
  state.loaded("game.scn", ScenarioFormat::Rtf);
  EXPECT_TRUE(state.modified());
  state.saved("game.scn", ScenarioFormat::Rtf);
  EXPECT_FALSE(state.modified());
}

TEST(DocumentState, ARestoredTextIsUnsavedAndKeepsTheFormatOfItsFile) {
  const fs::path plain = writeFile("restored.scn", "plain text");
  DocumentState state;
  state.restored(plain);
  EXPECT_TRUE(state.modified());
  EXPECT_EQ(state.saveTarget()->path, plain);
  EXPECT_EQ(state.saveTarget()->format, ScenarioFormat::PlainText);
  state.restored(fs::temp_directory_path() / "marvo_document_state_gone.scn");  // its file is gone: RTF
  EXPECT_EQ(state.format(), ScenarioFormat::Rtf);
  state.restored({});
  EXPECT_FALSE(state.saveTarget());
}
