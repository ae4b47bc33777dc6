// Reading the text lines of an RTF document with an iterative parser (explicit group stack).
#include "rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "engine/cp1251.h"

namespace marvo {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

enum class WordKind : std::uint8_t {
  NewLine,      // \par, \line, \sect, \row
  Byte,         // a character of its own: \tab, \emdash, \bullet, \cell ...
  Nothing,      // counts as a character (for \uc fallback skipping) but shows none
  Unicode,      // \uN
  UnicodeSkip,  // \ucN
  Binary,       // \binN
  Hidden,       // \v, \v0
  Plain,        // \plain: resets character formatting
  Destination,  // a destination that holds no text of the document
};

struct WordAction {
  WordKind kind;
  char byte = 0;
};

// The control words the reader acts on, in an open-addressing hash table: looking words up is
// most of the work on documents that word processors write.
class WordTable {
 public:
  WordTable() {
    for (std::string_view w : {"par", "line", "sect", "row", "nestrow"}) add(w, {WordKind::NewLine});
    const std::pair<std::string_view, unsigned char> bytes[] = {
        {"tab", '\t'},    {"cell", '\t'},   {"nestcell", '\t'},  {"emdash", 0x97},    {"endash", 0x96},
        {"lquote", 0x91}, {"rquote", 0x92}, {"ldblquote", 0x93}, {"rdblquote", 0x94}, {"bullet", 0x95},
        {"emspace", ' '}, {"enspace", ' '}, {"qmspace", ' '},
    };
    for (auto [w, b] : bytes) add(w, {WordKind::Byte, static_cast<char>(b)});
    for (std::string_view w : {"zwj", "zwnj", "ltrmark", "rtlmark", "zwbo", "zwnbo", "chftn", "chdate", "chtime",
                               "chpgn", "page", "column", "softline"})
      add(w, {WordKind::Nothing});
    add("u", {WordKind::Unicode});
    add("uc", {WordKind::UnicodeSkip});
    add("bin", {WordKind::Binary});
    add("v", {WordKind::Hidden});
    add("plain", {WordKind::Plain});
    // Destinations whose content is not document text. {\*\...} groups are skipped as well.
    for (std::string_view w : {"fonttbl",      "colortbl",  "stylesheet",
                               "info",         "pict",      "header",
                               "headerl",      "headerr",   "headerf",
                               "footer",       "footerl",   "footerr",
                               "footerf",      "listtable", "listoverridetable",
                               "revtbl",       "rsidtbl",   "generator",
                               "xmlnstbl",     "themedata", "colorschememapping",
                               "latentstyles", "datastore", "footnote",
                               "annotation",   "atnid",     "atnauthor",
                               "atndate",      "atnref",    "fldinst",
                               "objdata",      "objclass",  "objname",
                               "objtime",      "bkmkstart", "bkmkend",
                               "listtext",     "pntext",    "template",
                               "filetbl",      "private",   "userprops",
                               "docvar",       "pgdsctbl",  "ftnsep",
                               "ftnsepc",      "ftncn",     "aftnsep",
                               "aftnsepc",     "aftncn",    "xe",
                               "tc",           "tcn",       "nonshppict",
                               "shp",          "sp",        "do",
                               "rxe",          "txe",       "pgdsc",
                               "title",        "subject",   "author",
                               "operator",     "keywords",  "comment",
                               "doccomm",      "company",   "category",
                               "manager",      "hlinkbase", "creatim",
                               "revtim",       "printim",   "buptim",
                               "password",     "nextfile",  "datafield",
                               "mmathPr",      "panose",    "falt"})
      add(w, {WordKind::Destination});
  }

  // The action of control word `name`, or nullptr when the reader ignores the word.
  const WordAction* find(std::string_view name) const {
    if (name.empty() || name.size() > kLongestWord) return nullptr;
    for (std::size_t i = hash(name) & kMask;; i = (i + 1) & kMask) {
      const Slot& slot = slots_[i];
      if (slot.name.empty()) return nullptr;
      if (slot.name == name) return &slot.action;
    }
  }

 private:
  struct Slot {
    std::string_view name;
    WordAction action{WordKind::Nothing};
  };
  static constexpr std::size_t kSize = 512;  // a power of two, well above the number of words
  static constexpr std::size_t kMask = kSize - 1;
  static constexpr std::size_t kLongestWord = 32;

  static std::size_t hash(std::string_view name) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
  }
  void add(std::string_view name, WordAction action) {
    std::size_t i = hash(name) & kMask;
    while (!slots_[i].name.empty()) i = (i + 1) & kMask;
    slots_[i] = {name, action};
  }

  std::array<Slot, kSize> slots_{};
};

const WordTable& wordTable() {
  static const WordTable table;
  return table;
}

// Bytes that end a run of plain text: the three RTF specials and every control character.
constexpr std::array<bool, 256> kRunStops = [] {
  std::array<bool, 256> stops{};
  for (int c = 0; c < 0x20; ++c) stops[c] = true;
  stops['\\'] = stops['{'] = stops['}'] = true;
  return stops;
}();

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The formatting state that a group inherits from its parent and restores on "}".
struct GroupState {
  std::uint16_t unicodeSkip = 1;  // \ucN: fallback characters that follow each \uN
  bool skip = false;              // inside a destination that holds no document text
  bool hidden = false;            // \v hidden text
};

class RtfParser {
 public:
  explicit RtfParser(std::string_view in) : in_(in) {}

  std::vector<std::string> run(bool* closed) {
    while (pos_ < in_.size() && !finished_) step();
    if (closed) *closed = finished_;
    if (!line_.empty()) lines_.push_back(std::move(line_));
    return std::move(lines_);
  }

 private:
  void step() {
    const char c = in_[pos_];
    switch (c) {
      case '{':
        ++pos_;
        fallbackLeft_ = 0;
        stack_.push_back(state_);
        break;
      case '}':
        ++pos_;
        fallbackLeft_ = 0;
        if (stack_.empty()) {  // a stray brace before the document's own group
          finished_ = true;
          break;
        }
        state_ = stack_.back();
        stack_.pop_back();
        // The document's outermost group has closed: whatever follows is not part of it.
        if (stack_.empty()) finished_ = true;
        break;
      case '\\':
        controlSequence();
        break;
      default:
        text();
        break;
    }
  }

  void text() {
    const auto first = static_cast<unsigned char>(in_[pos_]);
    if (kRunStops[first]) {
      ++pos_;
      // Line ends of the RTF source are not text; a literal TAB is a tab; other control bytes
      // are not RTF text and are dropped.
      if (first == '\t') character('\t');
      return;
    }
    std::size_t end = pos_ + 1;
    while (end < in_.size() && !kRunStops[static_cast<unsigned char>(in_[end])]) ++end;
    while (fallbackLeft_ > 0 && pos_ < end) {
      --fallbackLeft_;
      ++pos_;
    }
    if (pos_ < end && visible()) line_.append(in_.data() + pos_, end - pos_);
    if (pos_ < end) afterHighSurrogate_ = false;
    pos_ = end;
  }

  void controlSequence() {
    ++pos_;  // the backslash
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (isLetter(c)) {
      controlWord();
      return;
    }
    ++pos_;
    if (c == '\'') {
      // Two hex digits; a broken escape swallows the digits it has and shows nothing.
      int digits = 0, value = 0;
      while (digits < 2 && pos_ < in_.size() && hexValue(in_[pos_]) >= 0) {
        value = value * 16 + hexValue(in_[pos_]);
        ++pos_;
        ++digits;
      }
      if (digits == 2) {
        character(static_cast<char>(value));
        hexRun();
      }
      return;
    }
    if (c == '*') {  // ignorable destination: nothing in it is document text
      state_.skip = true;
      return;
    }
    if (fallbackLeft_ > 0) {
      --fallbackLeft_;
      return;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}':
        character(c);
        break;
      case '~':
        character(static_cast<char>(0xA0));
        break;  // non-breaking space
      case '_':
        character('-');
        break;  // non-breaking hyphen
      case '\r':
      case '\n':
        newLine();
        break;  // same as \par
      default:
        break;  // \- optional hyphen, \: and others
    }
  }

  // Fast path for text written as a run of \'hh escapes (Cyrillic in Windows-1251 documents):
  // takes the escapes that follow directly, as long as each simply adds its byte to the line.
  void hexRun() {
    if (fallbackLeft_ > 0 || !visible()) return;
    while (pos_ + 3 < in_.size() && in_[pos_] == '\\' && in_[pos_ + 1] == '\'') {
      const int hi = hexValue(in_[pos_ + 2]), lo = hexValue(in_[pos_ + 3]);
      if (hi < 0 || lo < 0) return;
      const char c = static_cast<char>(hi * 16 + lo);
      if (c == '\r' || c == '\n' || c == '\0') return;  // left to character()
      line_ += c;
      pos_ += 4;
    }
  }

  void controlWord() {
    const std::size_t start = pos_;
    while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
    const std::string_view name = in_.substr(start, pos_ - start);
    bool hasParam = false;
    std::int64_t param = 0;
    bool negative = false;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && isDigit(in_[pos_])) {
      hasParam = true;
      if (param < 100'000'000'000) param = param * 10 + (in_[pos_] - '0');
      ++pos_;
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word

    const WordAction* action = wordTable().find(name);
    if (action && action->kind == WordKind::Binary) {
      // Binary data is skipped whatever state the reader is in; it may contain any byte.
      if (hasParam && param > 0) pos_ += static_cast<std::size_t>(std::min<std::int64_t>(param, in_.size() - pos_));
      if (fallbackLeft_ > 0) --fallbackLeft_;
      return;
    }
    if (fallbackLeft_ > 0) {
      --fallbackLeft_;
      return;
    }
    if (!action) return;
    switch (action->kind) {
      case WordKind::NewLine:
        newLine();
        break;
      case WordKind::Byte:
        character(action->byte);
        break;
      case WordKind::Nothing:
        break;
      case WordKind::Unicode:
        if (hasParam) unicode(param);
        break;
      case WordKind::UnicodeSkip:
        state_.unicodeSkip = static_cast<std::uint16_t>(hasParam ? std::clamp<std::int64_t>(param, 0, 255) : 1);
        break;
      case WordKind::Hidden:
        state_.hidden = !hasParam || param != 0;
        break;
      case WordKind::Plain:
        state_.hidden = false;
        break;
      case WordKind::Destination:
        state_.skip = true;
        break;
      case WordKind::Binary:
        break;
    }
  }

  // \uN: N is a signed 16-bit value for code points above 32767 and may also be written unsigned.
  void unicode(std::int64_t n) {
    if (n < 0) n += 65536;
    const bool highSurrogate = n >= 0xD800 && n <= 0xDBFF;
    const bool lowSurrogate = n >= 0xDC00 && n <= 0xDFFF;
    if (lowSurrogate && afterHighSurrogate_) {
      // Second half of a pair: its character was already given as one "?".
      afterHighSurrogate_ = false;
    } else {
      int byte =
          (n < 0 || n > 0x10FFFF || highSurrogate || lowSurrogate) ? -1 : cp1251::byteFor(static_cast<char32_t>(n));
      if (byte != 0) character(byte < 0 ? '?' : static_cast<char>(byte));  // \u0 shows nothing
      afterHighSurrogate_ = highSurrogate;
    }
    fallbackLeft_ = state_.unicodeSkip;
  }

  bool visible() const { return !state_.skip && !state_.hidden; }

  // One character of text (a byte, \'hh or a character control word).
  void character(char c) {
    if (fallbackLeft_ > 0) {
      --fallbackLeft_;
      return;
    }
    afterHighSurrogate_ = false;
    // CR, LF and NUL given as characters (\'0d, \u13 ...) cannot be part of a line: some
    // converters write them before a paragraph mark, which alone ends the line.
    if (c == '\r' || c == '\n' || c == '\0') return;
    if (visible()) line_ += c;
  }

  void newLine() {
    afterHighSurrogate_ = false;
    if (state_.skip) return;
    lines_.push_back(std::move(line_));
    line_.clear();
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  bool finished_ = false;
  GroupState state_;
  std::vector<GroupState> stack_;
  std::size_t fallbackLeft_ = 0;
  bool afterHighSurrogate_ = false;
  std::vector<std::string> lines_;
  std::string line_;
};

std::size_t rtfStart(std::string_view content) {
  std::size_t pos = content.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
  while (pos < content.size() &&
         (content[pos] == ' ' || content[pos] == '\t' || content[pos] == '\r' || content[pos] == '\n'))
    ++pos;
  return pos;
}

}  // namespace

bool isRtf(std::string_view content) { return content.substr(rtfStart(content)).starts_with("{\\rtf"); }

std::vector<std::string> rtfToLines(std::string_view rtf, bool* closed) {
  return RtfParser(rtf.substr(rtfStart(rtf))).run(closed);
}

}  // namespace marvo
