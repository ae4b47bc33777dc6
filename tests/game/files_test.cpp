// Tests of scenario files (RTF writing, RTF and plain-text reading) and saved games on disk.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>

#include "files_test_util.h"
#include "game/rtf_reader.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"

using namespace marvo;
using marvo::testing::cp;
using marvo::testing::TempDir;

namespace {

using Lines = std::vector<std::string>;

Lines roundTrip(const Lines& lines) { return parseScenarioText(scenarioToRtf(lines)); }

// ---- Scenario files: RTF written by us and read back ----

TEST(ScenarioRtf, LineCountsSurviveIncludingEmptyAndTrailingEmptyLines) {
  const std::vector<Lines> cases = {
      {}, {""}, {"", ""}, {"a"}, {"a", ""}, {"a", "", ""}, {"", "a"}, {"", "", "a", "", ""},
  };
  for (const auto& lines : cases) EXPECT_EQ(roundTrip(lines), lines) << lines.size() << " lines";
}

TEST(ScenarioRtf, SpecialCharactersSurvive) {
  const Lines lines = {
      "\t",
      "\tindented\twith\ttabs\t",
      "back\\slash \\par \\'e0 \\u1040 \\",
      "{braces} } { {{}}",
      "1 digits after a line end",
      "  leading and trailing blanks  ",
      "\t1\t-2",  // digits and minus after \tab must not become its parameter
      std::string("control \x01\x07\x0b\x0c\x1f\x7f bytes"),
      std::string("{\\rtf1 looks like RTF}"),
  };
  EXPECT_EQ(roundTrip(lines), lines);
}

TEST(ScenarioRtf, EveryByteFrom0x20To0xFFSurvives) {
  std::string all;
  Lines single;
  for (int c = 0x20; c <= 0xFF; ++c) {
    all += static_cast<char>(c);
    single.emplace_back(1, static_cast<char>(c));
  }
  EXPECT_EQ(roundTrip({all}), Lines{all});
  EXPECT_EQ(roundTrip(single), single);
  const Lines russian = {cp(":комната"), cp("!Ёлка — «ёж» № 5")};
  EXPECT_EQ(roundTrip(russian), russian);
}

TEST(ScenarioRtf, WriterDeclaresWindows1251AndWritesOnlyAscii) {
  const std::string rtf = scenarioToRtf({cp("Привет {x}\\"), "", "\tz"});
  EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1251"));
  EXPECT_NE(rtf.find("\\fcharset204"), std::string::npos);
  EXPECT_NE(rtf.find("\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\{x\\}\\\\\\par"), std::string::npos);
  EXPECT_NE(rtf.find("\\tab z\\par"), std::string::npos);
  for (unsigned char c : rtf) EXPECT_TRUE(c < 0x80 && (c >= 0x20 || c == '\r' || c == '\n')) << int(c);
  // Exactly one paragraph mark per line.
  auto marks = [](const std::string& text) {
    std::size_t count = 0;
    for (auto p = text.find("\\par\r\n"); p != std::string::npos; p = text.find("\\par\r\n", p + 1)) ++count;
    return count;
  };
  EXPECT_EQ(marks(rtf), 3u);
  EXPECT_EQ(marks(scenarioToRtf({})), 0u);
}

TEST(ScenarioRtf, FileRoundTrip) {
  TempDir dir;
  const Lines lines = {cp(":loc1"), cp("!Текст"), "", "\t{x}\\", ""};
  ASSERT_EQ(writeScenarioFile(dir / "game.scn", lines), std::nullopt);
  EXPECT_TRUE(isRtf(marvo::testing::readBytes(dir / "game.scn")));
  ScenarioRead read = readScenarioFile(dir / "game.scn");
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.lines, lines);
  // Saving over an existing file replaces it.
  ASSERT_EQ(writeScenarioFile(dir / "game.scn", {"x"}), std::nullopt);
  EXPECT_EQ(readScenarioFile(dir / "game.scn").lines, Lines{"x"});
  EXPECT_EQ(dir.entryCount(), 1u);  // no temporary file left behind
}

// ---- Scenario files written by others ----

TEST(ScenarioFixtures, WordProcessorDocumentsGiveTheirLines) {
  for (std::string_view name : {"libreoffice", "wordpad", "word", "ours"}) {
    SCOPED_TRACE(name);
    ScenarioRead read = readScenarioFile(marvo::testing::fixture(std::string(name) + ".rtf"));
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.lines, marvo::testing::expectedLines(std::string(name) + ".expected.txt"));
  }
}

TEST(ScenarioFixtures, PlainWindows1251TextWithMixedLineEnds) {
  ScenarioRead read = readScenarioFile(marvo::testing::fixture("plain_cp1251.scn"));
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.lines, marvo::testing::expectedLines("plain_cp1251.expected.txt"));
}

// ---- Plain text ----

TEST(ScenarioPlainText, LinesEndAtCrLfOrCrLf) {
  EXPECT_EQ(parseScenarioText(""), Lines{});
  EXPECT_EQ(parseScenarioText("a"), Lines{"a"});
  EXPECT_EQ(parseScenarioText("a\r\n"), Lines{"a"});
  EXPECT_EQ(parseScenarioText("a\nb\rc\r\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(parseScenarioText("\n"), Lines{""});
  EXPECT_EQ(parseScenarioText("a\n\n"), (Lines{"a", ""}));
  EXPECT_EQ(parseScenarioText("\r\r\n\n"), (Lines{"", "", ""}));
  EXPECT_EQ(parseScenarioText("a\n\r"), (Lines{"a", ""}));      // LF CR is two line ends
  EXPECT_EQ(parseScenarioText(" \t x \t"), Lines{" \t x \t"});  // nothing trimmed
}

TEST(ScenarioPlainText, BytesStayWindows1251AndNulBytesAreDropped) {
  const std::string cyrillic = cp(":комната\r\n!Ёж");
  EXPECT_EQ(parseScenarioText(cyrillic), (Lines{cp(":комната"), cp("!Ёж")}));
  EXPECT_EQ(parseScenarioText(std::string("a\nb\0c\nd", 7)), (Lines{"a", "bc", "d"}));
  EXPECT_EQ(parseScenarioText(std::string("\0a", 2)), Lines{"a"});
}

TEST(ScenarioPlainText, ByteOrderMarksAnnounceUnicodeText) {
  EXPECT_EQ(parseScenarioText("\xEF\xBB\xBF:комната\n!Ёж €😀"), marvo::testing::cp1251Lines({":комната", "!Ёж €?"}));
  // UTF-16 little and big endian, a surrogate pair becoming one "?".
  std::string le = "\xFF\xFE";
  std::string be = "\xFE\xFF";
  for (char16_t unit : std::u16string(u"Да\r\nнет\U0001F600")) {
    le += static_cast<char>(unit & 0xFF);
    le += static_cast<char>(unit >> 8);
    be += static_cast<char>(unit >> 8);
    be += static_cast<char>(unit & 0xFF);
  }
  EXPECT_EQ(parseScenarioText(le), marvo::testing::cp1251Lines({"Да", "нет?"}));
  EXPECT_EQ(parseScenarioText(be), marvo::testing::cp1251Lines({"Да", "нет?"}));
}

TEST(ScenarioPlainText, RtfIsRecognisedOnlyAtTheStart) {
  EXPECT_EQ(parseScenarioText(" \r\n\t{\\rtf1 a\\par b}"), (Lines{"a", "b"}));
  EXPECT_EQ(parseScenarioText("\xEF\xBB\xBF{\\rtf1 a}"), Lines{"a"});
  EXPECT_EQ(parseScenarioText("x{\\rtf1 a}"), Lines{"x{\\rtf1 a}"});
  EXPECT_EQ(parseScenarioText("{\\RTF1 a}"), Lines{"{\\RTF1 a}"});
  EXPECT_EQ(parseScenarioText("{\\rt"), Lines{"{\\rt"});
}

// ---- Saved games ----

TEST(SavedGame, OneCommandPerLineEachFollowedByCrLf) {
  EXPECT_EQ(savedGameText({}), "");
  EXPECT_EQ(savedGameText({""}), "\r\n");
  EXPECT_EQ(savedGameText({"1", "", "Open Door"}), "1\r\n\r\nOpen Door\r\n");
  const std::string raw = cp("  Взять КЛЮЧ\t ");
  EXPECT_EQ(savedGameText({raw}), raw + "\r\n");
}

TEST(SavedGame, ReadingRules) {
  EXPECT_EQ(parseSavedGame(""), Lines{});
  EXPECT_EQ(parseSavedGame("\r\n"), Lines{""});
  EXPECT_EQ(parseSavedGame("1\r\n\r\nOpen Door\r\n"), (Lines{"1", "", "Open Door"}));
  EXPECT_EQ(parseSavedGame("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(parseSavedGame(std::string("a\r\nb\0c\r\nd\r\n", 11)), (Lines{"a", "b"}));
  EXPECT_EQ(parseSavedGame("\r\n\r\n"), (Lines{"", ""}));
  EXPECT_EQ(parseSavedGame(" x \xC0\xFF"), Lines{" x \xC0\xFF"});
}

TEST(SavedGame, FileRoundTrip) {
  TempDir dir;
  const Lines commands = {"1", "", cp("Открыть ДВЕРЬ "), ""};
  ASSERT_EQ(writeSavedGame(dir / "savegame.sav", commands), std::nullopt);
  EXPECT_EQ(marvo::testing::readBytes(dir / "savegame.sav"), "1\r\n\r\n" + cp("Открыть ДВЕРЬ ") + "\r\n\r\n");
  SavedGameRead read = readSavedGame(dir / "savegame.sav");
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.commands, commands);

  ASSERT_EQ(writeSavedGame(dir / "empty.sav", {}), std::nullopt);
  EXPECT_EQ(marvo::testing::readBytes(dir / "empty.sav"), "");
  EXPECT_EQ(readSavedGame(dir / "empty.sav").commands, Lines{});
}

// ---- File errors ----

TEST(FileErrors, MissingFileNamesTheFileAndTheReason) {
  TempDir dir;
  const auto missing = dir / "missing.scn";
  ScenarioRead scenario = readScenarioFile(missing);
  EXPECT_EQ(scenario.error, missing.string() + ": No such file or directory");
  EXPECT_TRUE(scenario.lines.empty());
  SavedGameRead game = readSavedGame(dir / "missing.sav");
  EXPECT_EQ(game.error, (dir / "missing.sav").string() + ": No such file or directory");

  EXPECT_EQ(readScenarioFile(dir.path()).error, dir.path().string() + ": Is a directory");
}

TEST(FileErrors, WriteIntoMissingFolderNamesTheFile) {
  TempDir dir;
  const auto target = dir / "no-such-folder" / "game.scn";
  auto error = writeScenarioFile(target, {"a"});
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(*error, target.string() + ": No such file or directory");
  auto savError = writeSavedGame(dir / "no-such-folder" / "game.sav", {"a"});
  ASSERT_TRUE(savError.has_value());
  EXPECT_TRUE(savError->starts_with((dir / "no-such-folder" / "game.sav").string() + ": "));
}

// A write that fails half-way (the file size limit is exceeded) leaves the old file as it was.
TEST(FileErrors, FailedWriteLeavesTheOldFileIntact) {
  TempDir dir;
  const auto target = dir / "game.scn";
  ASSERT_EQ(writeScenarioFile(target, {"old", "text"}), std::nullopt);
  const std::string before = marvo::testing::readBytes(target);

  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  rlimit limited = previous;
  limited.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  auto scenarioError = writeScenarioFile(target, Lines(10000, "a long enough line of text"));
  auto savedError = writeSavedGame(dir / "old.sav", Lines(10000, "a long enough command"));
  ::setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousHandler);

  ASSERT_TRUE(scenarioError.has_value());
  EXPECT_EQ(*scenarioError, target.string() + ": File too large");
  EXPECT_EQ(marvo::testing::readBytes(target), before);
  EXPECT_EQ(readScenarioFile(target).lines, (Lines{"old", "text"}));
  ASSERT_TRUE(savedError.has_value());
  EXPECT_EQ(*savedError, (dir / "old.sav").string() + ": File too large");
  EXPECT_EQ(dir.entryCount(), 1u);  // the temporary files are gone, no saved game appeared
}

TEST(FileErrors, ReplacingKeepsModeFollowsLinksAndTakesLongestNames) {
  TempDir dir;
  const auto real = dir / "real.scn";
  ASSERT_EQ(writeScenarioFile(real, {"1"}), std::nullopt);
  std::filesystem::permissions(real, std::filesystem::perms(0640));
  std::filesystem::create_symlink(real, dir / "link.scn");
  ASSERT_EQ(writeScenarioFile(dir / "link.scn", {"2"}), std::nullopt);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.scn"));
  EXPECT_EQ(readScenarioFile(real).lines, Lines{"2"});
  EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0640));

  const auto longest = dir / (std::string(251, 'n') + ".scn");  // 255 bytes, the longest name
  ASSERT_EQ(writeScenarioFile(longest, {"x"}), std::nullopt);
  ASSERT_EQ(writeScenarioFile(longest, {"y"}), std::nullopt);
  EXPECT_EQ(readScenarioFile(longest).lines, Lines{"y"});
}

}  // namespace
