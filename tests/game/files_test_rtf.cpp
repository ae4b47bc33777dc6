// Tests of the RTF reader on its own: control words, destinations, Unicode, broken and hostile input.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "files_test_util.h"
#include "game/rtf_reader.h"
#include "game/saved_game.h"
#include "game/scenario_file.h"

using namespace marvo;
using marvo::testing::cp;

namespace {

using Lines = std::vector<std::string>;

Lines rtf(std::string_view body) { return rtfToLines("{\\rtf1\\ansi " + std::string(body) + "}"); }

TEST(RtfReader, ParagraphAndLineBreaks) {
  EXPECT_EQ(rtf(""), Lines{});
  EXPECT_EQ(rtf("\\par"), Lines{""});
  EXPECT_EQ(rtf("a\\par b"), (Lines{"a", "b"}));  // a last paragraph without a mark still counts
  EXPECT_EQ(rtf("a\\line b\\par"), (Lines{"a", "b"}));
  EXPECT_EQ(rtf("a\\\nb\\\r\n"), (Lines{"a", "b"}));  // backslash before a line end is \par
  EXPECT_EQ(rtf("a\r\nb\nc\\par"), Lines{"abc"});     // line ends of the source are not text
  EXPECT_EQ(rtf("a\\sect b\\page c"), (Lines{"a", "bc"}));
  EXPECT_EQ(rtf("x\\cell y\\cell\\row"), Lines{"x\ty\t"});
}

TEST(RtfReader, ControlWordDelimiters) {
  EXPECT_EQ(rtf("\\b bold\\b0  plain"), Lines{"bold plain"});
  EXPECT_EQ(rtf("\\fs20\\tab x"), Lines{"\tx"});
  EXPECT_EQ(rtf("\\fs-20x"), Lines{"x"});
  EXPECT_EQ(rtf("\\foo-x"), Lines{"-x"});  // a minus without digits is text
  EXPECT_EQ(rtf("\\fs99999999999999999999999 x"), Lines{"x"});
  EXPECT_EQ(rtf("a\\~b\\-c\\_d\\:e\\|f"), Lines{"a\xA0"
                                                "bc-def"});
  EXPECT_EQ(rtf("\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet"),
            Lines{"\x97\x96\x91\x92\x93\x94\x95"});
  EXPECT_EQ(rtf("a\tb"), Lines{"a\tb"});  // a literal TAB is a tab
  EXPECT_EQ(rtf(std::string("a\x01\x00"
                            "b",
                            4)),
            Lines{"ab"});
}

TEST(RtfReader, HexEscapesGiveBytes) {
  EXPECT_EQ(rtf("\\'cf\\'F0\\'e8\\'e2\\'e5\\'f2"), Lines{cp("Привет")});
  // Whatever the code page or font charset says, a byte stays that byte.
  EXPECT_EQ(rtfToLines("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 \\'e9}"), Lines{"\xE9"});
  EXPECT_EQ(rtf("\\'4x\\'"), Lines{"x"});  // a broken escape shows nothing
  EXPECT_EQ(rtf("\\'09\\'01"), Lines{"\t\x01"});
}

TEST(RtfReader, UnicodeWithFallback) {
  EXPECT_EQ(rtf("\\u1055?\\u1088\\'3f\\u1080 x"), Lines{cp("При")});
  EXPECT_EQ(rtf("\\u-3913?"), Lines{"?"});                     // U+F0B7, not in the code page
  EXPECT_EQ(rtf("\\u8364\\'88\\u8470 ?"), Lines{"\x88\xB9"});  // euro sign and numero sign
  EXPECT_EQ(rtf("\\uc2\\u1040??b"), Lines{cp("Аb")});
  EXPECT_EQ(rtf("\\uc0\\u1040\\u1041 b"), Lines{cp("АБb")});
  // \uc belongs to its group.
  EXPECT_EQ(rtf("{\\uc0\\u1040}\\u1041 bc"), Lines{cp("АБc")});
  // The fallback ends at a group boundary; control words count as one character.
  EXPECT_EQ(rtf("\\uc3\\u1040 a{b}\\u1041\\tab\\'e0 c"), Lines{cp("АbБc")});
  // A surrogate pair is one character that Windows-1251 cannot hold.
  EXPECT_EQ(rtf("\\u-10179?\\u-8704?!"), Lines{"?!"});
  EXPECT_EQ(rtf("\\u56832?\\u55357?"), Lines{"??"});  // halves in the wrong order
  EXPECT_EQ(rtf("\\u99999999999?\\u-99999999?\\u0 ?"), Lines{"??"});
  // CR and LF given as characters (as some converters write them) do not break or join lines.
  EXPECT_EQ(rtf("one\\u13\\'0d\\par two\\'0d\\'0a\\par"), (Lines{"one", "two"}));
}

TEST(RtfReader, NonTextDestinationsAreSkipped) {
  EXPECT_EQ(rtfToLines("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1;}{\\stylesheet{\\s0 Normal;}}"
                       "{\\info{\\title T}{\\author A}}{\\*\\generator G;}{\\header H\\par}{\\footer F}"
                       "{\\*\\unknown{nested}text}{\\pict 0102}{\\*\\listtable{\\list x}}text}"),
            Lines{"text"});
  EXPECT_EQ(rtf("{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}"), Lines{"shown"});
  EXPECT_EQ(rtf("a{\\v hidden\\par}b\\v c\\v0 d{\\v e\\plain f}"), (Lines{"a", "bdf"}));
  EXPECT_EQ(rtf("x{\\upr{ansi}{\\*\\ud{\\u1040?}}}"), Lines{"xansi"});
}

TEST(RtfReader, BinaryDataIsSkipped) {
  EXPECT_EQ(rtf("a{\\pict\\bin5 }{\\\\\xFF}b"), Lines{"ab"});
  EXPECT_EQ(rtf("a\\bin0 b"), Lines{"ab"});
  EXPECT_EQ(rtf("a\\bin-5 b"), Lines{"ab"});
  EXPECT_EQ(rtfToLines("{\\rtf1 a\\bin999999999999 xyz"), Lines{"a"});  // past the end
  EXPECT_EQ(rtfToLines("{\\rtf1 a\\bin"), Lines{"a"});
}

TEST(RtfReader, BrokenDocumentsGiveWhatTheyHold) {
  EXPECT_EQ(rtfToLines("{\\rtf1 a\\par b{\\b c"), (Lines{"a", "bc"}));  // never closed
  EXPECT_EQ(rtfToLines("{\\rtf1 a\\par}garbage\\par{\\rtf1 more}"), Lines{"a"});
  EXPECT_EQ(rtfToLines("{\\rtf1 a\\"), Lines{"a"});
  EXPECT_EQ(rtfToLines("{\\rtf1 a}}}}"), Lines{"a"});
  EXPECT_EQ(rtfToLines(""), Lines{});
}

TEST(RtfReader, DeepNestingNeedsNoRecursion) {
  constexpr int kDepth = 100000;
  std::string balanced = "{\\rtf1 ";
  balanced += std::string(kDepth, '{') + "deep\\par" + std::string(kDepth, '}') + "after}";
  EXPECT_EQ(rtfToLines(balanced), (Lines{"deep", "after"}));
  std::string open = "{\\rtf1 ";
  for (int i = 0; i < kDepth; ++i) open += "{\\b x";
  EXPECT_EQ(rtfToLines(open), Lines{std::string(kDepth, 'x')});
  std::string skipped = "{\\rtf1 {\\*\\x" + std::string(kDepth, '{') + "hidden" + std::string(kDepth, '}') + "}y}";
  EXPECT_EQ(rtfToLines(skipped), Lines{"y"});
}

TEST(RtfReader, GarbageNeverCrashes) {
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    std::string bytes = marvo::testing::pseudoRandomBytes(2000 + seed * 13, seed);
    // Lean the bytes towards RTF syntax so that the parser's paths are taken.
    for (std::size_t i = 0; i < bytes.size(); i += 7) bytes[i] = "{}\\'u*\\b"[bytes[i] & 7];
    for (std::string_view prefix : {"", "{\\rtf1 ", "{\\rtf1 \\uc3\\u1040"}) {
      auto lines = parseScenarioText(std::string(prefix) + bytes);
      std::size_t total = 0;
      for (const auto& line : lines) total += line.size();
      EXPECT_LE(total, bytes.size() + prefix.size());
    }
    parseSavedGame(bytes);
  }
}

TEST(LargeFiles, OneMegabyteLineAndTwoHundredThousandLines) {
  const std::string longLine(1 << 20, 'x');
  EXPECT_EQ(parseScenarioText(longLine), Lines{longLine});
  EXPECT_EQ(parseScenarioText(scenarioToRtf({longLine})), Lines{longLine});
  EXPECT_EQ(parseSavedGame(longLine + "\r\n"), Lines{longLine});

  Lines many(200000);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = i % 3 == 0 ? "" : "line " + std::to_string(i);
  EXPECT_EQ(parseScenarioText(scenarioToRtf(many)), many);
  EXPECT_EQ(parseSavedGame(savedGameText(many)), many);
}

// The time limit holds for optimised code without sanitizers (the readers may be instrumented even
// when this file is not, so ask the linked program rather than the compiler).
extern "C" void __asan_init() __attribute__((weak));
bool timingIsMeaningful() {
#ifdef NDEBUG
  return &__asan_init == nullptr;
#else
  return false;
#endif
}

// Reading a 90,000-line scenario (the largest program) must not make the player wait.
TEST(LargeFiles, NinetyThousandLinesReadQuickly) {
  Lines lines(90000);
  for (std::size_t i = 0; i < lines.size(); ++i)
    lines[i] = cp("!Вы стоите в комнате номер ") + std::to_string(i) + " {\\}\t.";
  const std::string rtfText = scenarioToRtf(lines);
  std::string plainText;
  for (const auto& line : lines) plainText += line + "\r\n";

  auto bestMs = [](auto&& work) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
      auto start = std::chrono::steady_clock::now();
      work();
      best =
          std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
  };
  Lines fromRtf, fromPlain;
  double rtfMs = bestMs([&] { fromRtf = parseScenarioText(rtfText); });
  double plainMs = bestMs([&] { fromPlain = parseScenarioText(plainText); });
  EXPECT_EQ(fromRtf, lines);
  EXPECT_EQ(fromPlain, lines);
  RecordProperty("rtf_ms", std::to_string(rtfMs));
  RecordProperty("plain_ms", std::to_string(plainMs));
  std::printf("90000 lines: RTF %.1f ms, plain %.1f ms (limit 100 ms)\n", rtfMs, plainMs);
  if (timingIsMeaningful()) {
    EXPECT_LT(rtfMs, 100.0);
    EXPECT_LT(plainMs, 100.0);
  }
}

}  // namespace
