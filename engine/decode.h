// A program line decoded once: its statement, words, and which statement rows can apply to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

// A word of a statement with its value as a number literal and a cached variable lookup.
struct Word {
  std::string text;
  std::int32_t number = 0;               // the word read as a decimal or hexadecimal literal, else 0
  mutable int slot = 0;                  // cached variable slot (valid while generation matches)
  mutable std::uint64_t generation = 0;  // 0 = never looked up
};

// Reads a word as a whole decimal number, or hexadecimal after "$", "x" or "0x"; 0 when invalid.
std::int32_t parseNumber(std::string_view word);
// Is the word a number literal that parseNumber reads (decimal within 32 signed bits, at most eight
// hexadecimal digits after "$", "0x", or "x" unless `xIsHex` is false)? An empty word counts as one.
// The engine reads "x" + digits as a number only where no variable has that name.
bool isNumberLiteral(std::string_view word, bool xIsHex = true);

// The delimiters that cut a statement into words.
inline constexpr std::string_view kDelimiters = " +-=<>*/,;()";

enum Row : std::uint32_t {
  kComment = 1u << 1,
  kLabel = 1u << 2,
  kReturn = 1u << 3,
  kShowItem = 1u << 4,
  kCreate = 1u << 5,
  kProperty = 1u << 6,
  kExamine = 1u << 7,
  kRedo = 1u << 8,
  kEmpo = 1u << 9,
  kPushLoc = 1u << 10,
  kPopLoc = 1u << 11,
  kPushIndex = 1u << 12,
  kPopIndex = 1u << 13,
  kVip = 1u << 14,
  kIf = 1u << 15,
  kTalk = 1u << 16,
  kRead = 1u << 17,
  kClear = 1u << 18,
  kGoto = 1u << 19,
  kJump = 1u << 20,
  kCls = 1u << 21,
  kText = 1u << 22,
  kAssign = 1u << 23,
  kAddSub = 1u << 24,
  kMulDiv = 1u << 25,
};

// The rows that execute on a line whose conditions hold for `rows`, in the engine's order: a row
// that ends the line (comment, RETURN, property, IF, TALK, GOTO, JUMP, text) keeps the later ones
// from running.
std::uint32_t executedRows(std::uint32_t rows);

enum class Property : std::uint8_t { None, Location, Descriptor, Mask, Synonym, Content, Description };
// The length of each property's suffix ("_Расположение" …), by which an assignment cuts the
// object's name, indexed by Property.
inline constexpr std::size_t kPropertySuffixLength[] = {0, 13, 11, 6, 8, 11, 9};

// A piece of a text or menu line: literal text, or a reference to a variable.
struct Piece {
  bool isVariable = false;
  Word word;  // literal text, or the variable's name
};

struct DecodedLine {
  std::string statement;         // lower-cased, trimmed
  std::vector<Word> words;       // as cut from the statement (rows 1 to 9 see these)
  std::vector<Word> truthWords;  // words 1 to 3 with truth words replaced (rows 10 to 23)
  int count = 0;
  std::uint32_t rows = 0;  // rows whose condition holds for this statement
  Property property = Property::None;
  int ifForm = 0;           // 1..8, or 0 when no IF form applies
  bool clearing = false;    // GOTOS / JUMPS
  bool plus = false;        // row 22: "+" present (else "-")
  bool times = false;       // row 23: "*" present (else "/")
  bool menu = false;        // row 20: a menu line ("@")
  bool substitute = false;  // the stored line takes the current object for "<object>"
  bool oneShot = false;     // the stored line starts with "^"
  int gotoTarget = -2;      // cached label line for GOTO/JUMP (-2 = not looked up, -1 = none)
  bool piecesReady = false;
  std::vector<Piece> pieces;  // row 20, built on first use

  const Word& word(int i) const;
  const Word& truthWord(int i) const;
};

// Decodes a raw line (after object substitution and one-shot handling).
void decodeLine(std::string_view raw, DecodedLine& out);
// Cuts a text or menu line into pieces (after its first character).
void decodePieces(std::string_view raw, std::vector<Piece>& out);

}  // namespace marvo
