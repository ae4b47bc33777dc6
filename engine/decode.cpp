// Decoding of program lines into statements, words and applicable statement rows.
#include "decode.h"

#include <array>
#include <limits>

#include "keyword_aliases.h"
#include "state.h"
#include "text.h"

namespace marvo {

using namespace literals;

namespace {
const Word kEmptyWord{};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void setWord(Word& w, std::string_view text) {
  w.text.assign(text);
  w.number = parseNumber(text);
  w.slot = 0;
  w.generation = 0;
}

Word makeWord(std::string_view text) {
  Word w;
  setWord(w, text);
  return w;
}

constexpr auto kIsDelimiter = [] {
  std::array<bool, 256> table{};
  for (char c : kDelimiters) table[static_cast<unsigned char>(c)] = true;
  return table;
}();
bool isDelimiter(char c) { return kIsDelimiter[static_cast<unsigned char>(c)]; }

// Truth words: "true"/"fals" first, then "да"/"нет", each on words 1 to 3.
void applyTruthWords(std::vector<Word>& words) {
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 1; i <= 3 && i < words.size(); ++i) {
      std::string_view t = words[i].text;
      const char* replacement = nullptr;
      if (pass == 0) {
        if (t.starts_with("true"))
          replacement = "1";
        else if (t.starts_with("fals"))
          replacement = "0";
      } else {
        if (t.starts_with("да"_w))
          replacement = "1";
        else if (t.starts_with("нет"_w))
          replacement = "0";
      }
      if (replacement) words[i] = makeWord(replacement);
    }
  }
}

int ifFormOf(const DecodedLine& d) {
  std::string_view w0 = d.word(0).text;
  if (!alias::kIf.occurs(w0)) return 0;
  std::string_view w1 = d.truthWord(1).text;
  std::string_view s = d.statement;
  if (contains(w1, "location")) return 1;
  if (contains(w1, "_расположение"_w)) return 2;
  if (contains(s, "<=") || contains(s, "=<")) return 3;
  if (contains(s, "=>") || contains(s, ">=")) return 4;
  if (contains(s, "<>")) return 5;
  if (contains(s, "<")) return 6;
  if (contains(s, ">")) return 7;
  if (contains(s, "=")) return 8;
  return 0;
}
}  // namespace

std::int32_t parseNumber(std::string_view w) {
  if (w.empty()) return 0;
  std::string_view digits;
  bool hex = false;
  if (w.starts_with("0x")) {
    digits = w.substr(2);
    hex = true;
  } else if (w[0] == '$' || w[0] == 'x') {
    digits = w.substr(1);
    hex = true;
  } else
    digits = w;
  if (digits.empty()) return 0;
  std::uint64_t value = 0;
  for (char c : digits) {
    int d = hex ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (d < 0) return 0;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
    if (value > 0xFFFFFFFFull) return 0;
  }
  // Decimal literals must fit a signed 32-bit value; hexadecimal ones may use all 32 bits.
  if (!hex && value > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

bool isNumberLiteral(std::string_view w, bool xIsHex) {
  if (w.empty()) return true;
  bool hex = false;
  if (w.starts_with("0x")) {
    w.remove_prefix(2);
    hex = true;
  } else if (w[0] == '$' || (xIsHex && w[0] == 'x')) {
    w.remove_prefix(1);
    hex = true;
  }
  if (w.empty()) return false;
  for (char c : w)
    if (hex ? hexDigit(c) < 0 : !(c >= '0' && c <= '9')) return false;
  return hex ? w.size() <= 8 : (w.size() < 10 || (w.size() == 10 && w <= "2147483647"));
}

const Word& DecodedLine::word(int i) const {
  return i >= 0 && i < static_cast<int>(words.size()) ? words[static_cast<std::size_t>(i)] : kEmptyWord;
}

const Word& DecodedLine::truthWord(int i) const {
  return i >= 0 && i < static_cast<int>(truthWords.size()) ? truthWords[static_cast<std::size_t>(i)] : kEmptyWord;
}

void decodeLine(std::string_view raw, DecodedLine& d) {
  // Lower-casing leaves the blanks trimmed (codes 32 and below) as they are, so the two commute.
  // A decoded line used again keeps the storage of its statement and words.
  d.statement.assign(trimView(raw));
  lowerInPlace(d.statement);
  std::string_view s = d.statement;
  std::size_t i = 0, count = 0;
  while (i < s.size() && count < static_cast<std::size_t>(kMaxWords)) {
    while (i < s.size() && isDelimiter(s[i])) ++i;
    if (i >= s.size()) break;
    std::size_t j = i;
    while (j < s.size() && !isDelimiter(s[j])) ++j;
    if (count == d.words.size()) d.words.emplace_back();
    setWord(d.words[count++], s.substr(i, j - i));
    i = j;
  }
  d.words.resize(count);
  d.count = static_cast<int>(d.words.size());
  d.truthWords = d.words;
  applyTruthWords(d.truthWords);
  d.gotoTarget = -2;
  d.piecesReady = false;
  d.pieces.clear();

  std::uint32_t rows = 0;
  std::string_view w0 = d.word(0).text;
  const int n = d.count;
  if (s.starts_with("*")) rows |= kComment;
  if (s.starts_with(":") && w0 != ":common") rows |= kLabel;
  if (w0.starts_with("retu")) rows |= kReturn;
  if (w0.starts_with("showitem")) rows |= kShowItem;
  if (w0.starts_with("crea")) rows |= kCreate;
  d.property = Property::None;
  if (contains(w0, "_расположение"_w))
    d.property = Property::Location;
  else if (contains(w0, "_дескриптор"_w))
    d.property = Property::Descriptor;
  else if (contains(w0, "_маска"_w))
    d.property = Property::Mask;
  else if (contains(w0, "_синоним"_w))
    d.property = Property::Synonym;
  else if (contains(w0, "_содержание"_w))
    d.property = Property::Content;
  else if (contains(w0, "_описание"_w))
    d.property = Property::Description;
  if (d.property != Property::None) rows |= kProperty;
  if (alias::kExamine.occurs(w0)) rows |= kExamine;
  if (alias::kRedo.starts(w0)) rows |= kRedo;
  if (w0.starts_with("empo")) rows |= kEmpo;
  if (w0.starts_with("push")) rows |= kPushLoc;
  if (w0.starts_with("popl")) rows |= kPopLoc;
  if (w0.starts_with("pushi")) rows |= kPushIndex;
  if (w0.starts_with("popi")) rows |= kPopIndex;
  if (w0 == "vip" && n == 2) rows |= kVip;
  d.ifForm = ifFormOf(d);
  if (d.ifForm) rows |= kIf;
  if (alias::kTalk.matches(w0)) rows |= kTalk;
  if (alias::kRead.starts(s)) rows |= kRead;
  if (s.starts_with("clea") && (n == 1 || n == 2)) rows |= kClear;
  if (alias::kGoto.starts(s) && n == 2) rows |= kGoto;
  if (s.starts_with("jump") && n == 2) rows |= kJump;
  d.clearing = s.starts_with("gotos") || s.starts_with("jumps");
  if (w0 == "cls" && n == 1) rows |= kCls;
  if (w0.starts_with("!") || w0.starts_with("@")) rows |= kText;
  d.menu = trimView(raw).starts_with("@");
  d.substitute = raw.find("<object>") != std::string_view::npos && !mentionsTalk(raw);
  d.oneShot = raw.starts_with("^");
  const bool equals = contains(s, "=");
  if (equals && n == 2) rows |= kAssign;
  if (equals && n == 3 && (contains(s, "-") || contains(s, "+"))) rows |= kAddSub;
  if (equals && n == 3 && (contains(s, "*") || contains(s, "/"))) rows |= kMulDiv;
  d.plus = contains(s, "+");
  d.times = contains(s, "*");
  d.rows = rows;
}

void decodePieces(std::string_view raw, std::vector<Piece>& out) {
  out.clear();
  std::string_view t = trimView(raw);
  if (!t.empty()) t.remove_prefix(1);  // the "!" or "@" becomes a cut
  auto isCut = [](char c) { return c == '_' || c == '[' || c == ']'; };
  std::size_t i = 0;
  while (i < t.size() && out.size() < static_cast<std::size_t>(kMaxPieces)) {
    while (i < t.size() && isCut(t[i])) ++i;
    if (i >= t.size()) break;
    std::size_t j = i;
    while (j < t.size() && !isCut(t[j])) ++j;
    std::string_view piece = t.substr(i, j - i);
    Piece p;
    if (piece.starts_with("#")) {
      std::size_t k = 0;
      while (k < piece.size() && piece[k] == '#') ++k;
      std::string_view rest = piece.substr(k);
      rest = rest.substr(0, rest.find('#'));
      p.isVariable = true;
      p.word.text = lower(rest);
    } else {
      p.word.text = std::string(piece);
    }
    out.push_back(std::move(p));
    i = j;
  }
}

std::uint32_t executedRows(std::uint32_t r) {
  if (r & kComment) return kComment;
  if (r & kReturn) return r & (kLabel | kReturn);
  std::uint32_t kept = r & (kLabel | kShowItem | kCreate);
  if (r & kProperty) return kept | kProperty;
  kept |= r & (kExamine | kRedo | kEmpo | kPushLoc | kPopLoc | kPushIndex | kPopIndex | kVip);
  if (r & kIf) return kept | kIf;
  if (r & kTalk) return kept | kTalk;
  kept |= r & (kRead | kClear);
  if (r & kGoto) return kept | kGoto;
  if (r & kJump) return kept | kJump;
  kept |= r & kCls;
  if (r & kText) return kept | kText;
  return kept | (r & (kAssign | kAddSub | kMulDiv));
}

}  // namespace marvo
