// The language server's reading of its input: framing that arrives in pieces or broken, and the
// mapping of UTF-16 positions onto Windows-1251 lines through edits.
#include <gtest/gtest.h>

#include <random>

#include "engine/codec.h"
#include "game/symbol_index.h"
#include "lsp/document.h"
#include "lsp/message_reader.h"

namespace marvo::lsp {
namespace {

std::vector<Frame> readAll(MessageReader& reader) {
  std::vector<Frame> out;
  while (auto f = reader.next()) out.push_back(std::move(*f));
  return out;
}

TEST(MessageReader, FramesArriveWholeWhateverThePiecesTheBytesComeIn) {
  const std::string stream = frameMessage(R"({"a":1})") + "Content-Type: x\r\ncontent-length:  8\r\n\r\n" +
                             R"({"b":22})" + frameMessage("{\"с\":\"кириллица\"}");
  for (std::size_t piece : {1u, 3u, 7u, 1000u}) {
    MessageReader reader;
    std::vector<Frame> frames;
    for (std::size_t i = 0; i < stream.size(); i += piece) {
      reader.feed(std::string_view(stream).substr(i, piece));
      for (auto& f : readAll(reader)) frames.push_back(std::move(f));
    }
    ASSERT_EQ(frames.size(), 3u) << piece;
    EXPECT_EQ(frames[0].body, R"({"a":1})");
    EXPECT_EQ(frames[1].body, R"({"b":22})");
    EXPECT_EQ(frames[2].body, "{\"с\":\"кириллица\"}");  // Content-Length counts bytes
    EXPECT_EQ(reader.pending(), 0u);
  }
}

TEST(MessageReader, BrokenHeadersAreReportedAndTheNextMessageIsFound) {
  MessageReader reader;
  // A length that is no number, a header without a length, a body shorter than its header says.
  reader.feed("Content-Length: abc\r\n\r\n{}" + frameMessage("[1]") + "X-Other: 1\r\n\r\n" + frameMessage("[2]") +
              "Content-Length: 3\r\n\r\n{\"long\":1}" + frameMessage("[3]"));
  auto frames = readAll(reader);
  std::vector<std::string> bodies;
  int bad = 0;
  for (const auto& f : frames) {
    if (f.kind == Frame::BadHeader)
      ++bad;
    else
      bodies.push_back(f.body);
  }
  EXPECT_EQ(bad, 3);
  // The short body is read as far as its header says; the bytes after it are skipped to [3].
  EXPECT_EQ(bodies, (std::vector<std::string>{"[1]", "[2]", "{\"l", "[3]"}));

  // A body larger than the limit is refused and skipped, whatever it holds.
  MessageReader big;
  big.feed("Content-Length: 99999999999\r\n\r\n");
  ASSERT_EQ(readAll(big).size(), 1u);
  // Text that never becomes a header does not pile up.
  MessageReader noise;
  for (int i = 0; i < 100; ++i) noise.feed(std::string(1000, 'x'));
  const auto noiseFrames = readAll(noise);
  EXPECT_LE(noise.pending(), 16u);
  EXPECT_FALSE(noiseFrames.empty());
}

TEST(TextDocument, Utf16PositionsMapExactlyOntoWindows1251Columns) {
  // "я" is one byte here and one UTF-16 unit; "😀" stands as one "?" byte but takes two units.
  TextDocument doc("GOTO комната\r\nя😀б😀\nend");
  ASSERT_EQ(doc.lineCount(), 3);
  EXPECT_EQ(doc.lines()[0], utf8ToCp1251("GOTO комната"));
  EXPECT_EQ(doc.lines()[1], utf8ToCp1251("я?б?"));
  EXPECT_EQ(doc.place(0, 7), (Place{0, 7}));
  EXPECT_EQ(doc.place(1, 1), (Place{1, 1}));  // before the first wide character
  EXPECT_EQ(doc.place(1, 2), (Place{1, 1}));  // inside its pair: its start
  EXPECT_EQ(doc.place(1, 3), (Place{1, 2}));
  EXPECT_EQ(doc.place(1, 4), (Place{1, 3}));
  EXPECT_EQ(doc.place(1, 6), (Place{1, 4}));
  EXPECT_EQ(doc.utf16Column(1, 4), 6);
  EXPECT_EQ(doc.utf16Column(1, 3), 4);
  // Outside the document: clamped, never past a line or the text.
  EXPECT_EQ(doc.place(1, 1000), (Place{1, 4}));
  EXPECT_EQ(doc.place(-5, -5), (Place{0, 0}));
  EXPECT_EQ(doc.place(99, 0), (Place{2, 3}));
  EXPECT_EQ(doc.place(1LL << 40, 1LL << 40), (Place{2, 3}));
}

// Random edits given in UTF-16 positions keep the document equal to the text edited as Unicode.
TEST(TextDocument, IncrementalEditsAgreeWithTheWholeTextAndTheIndexFollows) {
  const std::vector<std::u32string> alphabet = {U"а", U"Я", U"x", U" ", U"\n", U"😀", U":", U"goto ", U"CREATE ", U"=1"};
  std::mt19937 random(7);
  std::u32string model = U":начало\nGOTO конец\n:конец\n";
  auto utf8 = [](const std::u32string& s) {
    std::string out;
    for (char32_t c : s) {
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  };
  // The (line, UTF-16 column) of an offset into the model.
  auto position = [&](std::size_t offset) {
    int line = 0, units = 0;
    for (std::size_t i = 0; i < offset; ++i) {
      if (model[i] == U'\n') {
        ++line;
        units = 0;
      } else {
        units += model[i] >= 0x10000 ? 2 : 1;
      }
    }
    return std::pair{line, units};
  };
  TextDocument doc(utf8(model));
  SymbolIndex index(doc.lines(), {});
  for (int step = 0; step < 400; ++step) {
    std::size_t a = random() % (model.size() + 1), b = random() % (model.size() + 1);
    if (a > b) std::swap(a, b);
    if (b - a > 12) b = a + 12;
    std::u32string inserted;
    for (int k = static_cast<int>(random() % 3); k > 0; --k) inserted += alphabet[random() % alphabet.size()];
    const auto [la, ca] = position(a);
    const auto [lb, cb] = position(b);
    const LineEdit edit = doc.replace(doc.place(la, ca), doc.place(lb, cb), utf8(inserted));
    model.replace(a, b - a, inserted);
    const int common = std::min(edit.removed, edit.inserted);
    for (int i = 0; i < common; ++i)
      index.replaceLine(SymbolIndex::Source::Scenario, edit.first + i, doc.lines()[edit.first + i]);
    for (int i = common; i < edit.removed; ++i) index.removeLine(SymbolIndex::Source::Scenario, edit.first + common);
    for (int i = common; i < edit.inserted; ++i)
      index.insertLine(SymbolIndex::Source::Scenario, edit.first + i, doc.lines()[edit.first + i]);
    const TextDocument fresh(utf8(model));
    ASSERT_EQ(doc.lines(), fresh.lines()) << step;
    for (int l = 0; l < fresh.lineCount(); ++l)
      for (int c = 0; c <= static_cast<int>(fresh.lines()[l].size()); ++c)
        ASSERT_EQ(doc.utf16Column(l, c), fresh.utf16Column(l, c)) << step;
    ASSERT_TRUE(index == SymbolIndex(doc.lines(), {})) << step;
  }
}

}  // namespace
}  // namespace marvo::lsp
