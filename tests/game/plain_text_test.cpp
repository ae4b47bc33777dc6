// Tests of plain-text scenario reading: NUL bytes, UTF-8 with and without a mark, broken input.
#include <gtest/gtest.h>

#include "files_test_util.h"
#include "game/plain_text.h"
#include "game/scenario_file.h"

using namespace marvo;
using marvo::testing::cp;
using marvo::testing::cp1251Lines;

namespace {

using Lines = std::vector<std::string>;

std::vector<std::size_t> noteLines(const PlainText& text) {
  std::vector<std::size_t> lines;
  for (const auto& note : text.notes) lines.push_back(note.line);
  return lines;
}

TEST(PlainTextNul, ANulByteAnywhereLosesNoLineAndIsReportedOnceWithItsLine) {
  const std::string text = "one\r\ntwo\r\nthree\r\n";
  const Lines expected{"one", "two", "three"};
  for (std::size_t at = 0; at <= text.size(); ++at) {
    std::string withNul = text;
    withNul.insert(at, 1, '\0');
    const PlainText read = decodePlainText(withNul);
    EXPECT_EQ(read.lines, expected) << "NUL at " << at;
    ASSERT_EQ(read.notes.size(), 1u) << "NUL at " << at;
    // The line the NUL stands on: CR LF is one line end, a NUL between CR and LF is on the next.
    std::size_t line = 1;
    for (std::size_t i = 0; i < at; ++i) line += text[i] == '\r' ? 1 : 0;
    EXPECT_EQ(read.notes[0].line, std::min<std::size_t>(line, 4)) << "NUL at " << at;
    EXPECT_NE(read.notes[0].text.find("NUL"), std::string::npos);
  }
}

TEST(PlainTextNul, ManyNulBytesGiveOneNoteAtTheFirstAndKeepEveryLine) {
  std::string text;
  for (int i = 1; i <= 347; ++i)
    text += "line " + std::to_string(i) + (i == 109 || i == 200 ? std::string(3, '\0') : "") + "\r\n";
  const PlainText read = decodePlainText(text);
  ASSERT_EQ(read.lines.size(), 347u);
  EXPECT_EQ(read.lines[108], "line 109");
  EXPECT_EQ(read.lines[346], "line 347");
  ASSERT_EQ(read.notes.size(), 1u);
  EXPECT_EQ(read.notes[0].line, 109u);
  EXPECT_NE(read.notes[0].text.find("6"), std::string::npos);  // how many were dropped
  // The same in UTF-8 and UTF-16 text.
  EXPECT_EQ(decodePlainText(std::string("\xEF\xBB\xBF"
                                        "a\nб\0в\nг",
                                        13))
                .lines,
            cp1251Lines({"a", "бв", "г"}));
  EXPECT_EQ(decodePlainText(std::string("\xFF\xFE"
                                        "a\0\n\0\0\0b\0",
                                        10))
                .lines,
            (Lines{"a", "b"}));
}

TEST(PlainTextUtf8, WithoutAMarkUtf8IsRecognisedAndConverted) {
  const PlainText read = decodePlainText(":комната\r\n!Привет, «мир» — ёж\r\n");
  EXPECT_EQ(read.lines, cp1251Lines({":комната", "!Привет, «мир» — ёж"}));
  EXPECT_TRUE(read.notes.empty());
  // With a mark: the same lines.
  EXPECT_EQ(decodePlainText("\xEF\xBB\xBF:комната\r\n!Привет, «мир» — ёж\r\n").lines, read.lines);
}

TEST(PlainTextUtf8, Windows1251TextStaysWindows1251) {
  // Russian text in Windows-1251 is not valid UTF-8, also when a few pairs of its bytes would be.
  const std::string cyrillic = cp("Рё съешь ещё этих мягких французских булок\r\nПРИВЕТ");
  EXPECT_FALSE(looksLikeUtf8(cyrillic));
  EXPECT_EQ(decodePlainText(cyrillic).lines, (Lines{cp("Рё съешь ещё этих мягких французских булок"), cp("ПРИВЕТ")}));
  // Pure ASCII is the same either way; it is not taken for UTF-8.
  EXPECT_FALSE(looksLikeUtf8("plain ascii"));
  EXPECT_TRUE(looksLikeUtf8("ё"));
  // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
  EXPECT_FALSE(looksLikeUtf8("\xC0\xAF"));
  EXPECT_FALSE(looksLikeUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(looksLikeUtf8("\xF4\x90\x80\x80"));
  EXPECT_FALSE(looksLikeUtf8("ok \xD0"));  // cut short at the end
}

TEST(PlainTextUtf8, CharactersWindows1251CannotHoldAreReportedWithTheirLines) {
  const PlainText read = decodePlainText("a\n€ ok\n日本\nb😀c😀\n");
  EXPECT_EQ(read.lines, cp1251Lines({"a", "€ ok", "??", "b?c?"}));
  EXPECT_EQ(noteLines(read), (std::vector<std::size_t>{3, 4}));  // one note per line
  EXPECT_NE(read.notes[0].text.find("U+65E5"), std::string::npos);
  EXPECT_NE(read.notes[1].text.find("U+1F600"), std::string::npos);
}

TEST(PlainTextUtf8, ManyReportedLinesEndInOneSummary) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "日\n";
  const PlainText read = decodePlainText(text);
  ASSERT_EQ(read.notes.size(), kMaxLineNotes + 1);
  EXPECT_EQ(read.notes.back().line, 30u);
  EXPECT_NE(read.notes.back().text.find("10"), std::string::npos);
}

TEST(PlainTextUtf8, BrokenUtf8AfterAMarkIsReportedAndMixedTextWithoutOneStaysBytes) {
  const PlainText marked = decodePlainText("\xEF\xBB\xBFok\nя\xFFя\n");
  EXPECT_EQ(marked.lines, cp1251Lines({"ok", "я?я"}));
  EXPECT_EQ(noteLines(marked), std::vector<std::size_t>{2});
  // Mixed: UTF-8 letters beside a Windows-1251 letter are not valid UTF-8, so all stays bytes.
  const std::string mixed = "я " + cp("я");
  const PlainText read = decodePlainText(mixed);
  EXPECT_EQ(read.lines, Lines{mixed});
  EXPECT_TRUE(read.notes.empty());
}

TEST(PlainTextUtf16, SurrogatesAndOddBytesBecomeQuestionMarksWithNotes) {
  // "a", a lone low surrogate, line end, "b", an odd last byte.
  const std::string le(
      "\xFF\xFE"
      "a\0\x00\xDC\n\0b\0x",
      11);
  const PlainText read = decodePlainText(le);
  EXPECT_EQ(read.lines, (Lines{"a?", "b?"}));
  EXPECT_EQ(noteLines(read), (std::vector<std::size_t>{1, 2}));
}

TEST(PlainTextGarbage, EveryReaderSurvivesRandomBytes) {
  for (std::uint32_t seed = 1; seed <= 50; ++seed) {
    for (std::string prefix : {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
      const PlainText read = decodePlainText(prefix + marvo::testing::pseudoRandomBytes(2000, seed));
      EXPECT_LE(read.notes.size(), kMaxLineNotes + 2);
    }
  }
}

TEST(ScenarioFileNotes, ReadingAFileReportsNotesAndWhetherItWasPlainText) {
  marvo::testing::TempDir dir;
  marvo::testing::writeBytes(dir / "nul.scn", std::string("a\nb\0\nc", 6));
  const ScenarioRead read = readScenarioFile(dir / "nul.scn");
  EXPECT_EQ(read.lines, (Lines{"a", "b", "c"}));
  ASSERT_EQ(read.notes.size(), 1u);
  EXPECT_EQ(read.notes[0].line, 2u);
  EXPECT_TRUE(read.plainText);
  marvo::testing::writeBytes(dir / "doc.scn", scenarioToRtf({"x"}));
  EXPECT_FALSE(readScenarioFile(dir / "doc.scn").plainText);
}

TEST(ScenarioSave, PlainTextIsWindows1251WithCrLfAndASaveKeepsOneBackup) {
  marvo::testing::TempDir dir;
  const auto path = dir / "game.scn";
  const Lines first{cp(":комната"), "", "READ"};
  ASSERT_EQ(saveScenarioFile(path, first, ScenarioFormat::PlainText), std::nullopt);
  EXPECT_EQ(marvo::testing::readBytes(path), cp(":комната\r\n\r\nREAD\r\n"));
  EXPECT_FALSE(std::filesystem::exists(backupPath(path)));  // nothing was replaced
  EXPECT_EQ(readScenarioFile(path).lines, first);

  ASSERT_EQ(saveScenarioFile(path, {"second"}, ScenarioFormat::Rtf), std::nullopt);
  EXPECT_EQ(readScenarioFile(path).lines, Lines{"second"});
  EXPECT_EQ(marvo::testing::readBytes(backupPath(path)), cp(":комната\r\n\r\nREAD\r\n"));
  ASSERT_EQ(saveScenarioFile(path, {"third"}, ScenarioFormat::PlainText), std::nullopt);
  EXPECT_EQ(readScenarioFile(backupPath(path)).lines, Lines{"second"});  // one generation
  EXPECT_EQ(dir.entryCount(), 2u);                                       // no temporary file left behind
}

TEST(ScenarioSave, AFailedSaveKeepsTheOldFile) {
  marvo::testing::TempDir dir;
  const auto path = dir / "game.scn";
  marvo::testing::writeBytes(path, "old\r\n");
  std::filesystem::create_directory(backupPath(path));  // the backup cannot be written
  EXPECT_NE(saveScenarioFile(path, {"new"}, ScenarioFormat::PlainText), std::nullopt);
  EXPECT_EQ(marvo::testing::readBytes(path), "old\r\n");
}

}  // namespace
