// The mistake generator: for each kind, where it can be made in a line and how.
#include "mutants.h"

#include <algorithm>
#include <array>
#include <optional>

#include "engine/codec.h"
#include "engine/text.h"

namespace marvo::mutation {

namespace {

// splitmix64: a small generator whose sequence is the same on every platform.
struct Rng {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t below(std::size_t n) { return n ? static_cast<std::size_t>(next() % n) : 0; }
};

// The engine's word delimiters.
bool isDelimiter(char c) { return std::string_view(" +-=<>*/,;()").find(c) != std::string_view::npos; }

struct Span {
  std::size_t pos = 0, len = 0;
};

// Maximal runs of non-delimiters (and non-blanks) of `s`, from `from` on.
std::vector<Span> tokens(std::string_view s, std::size_t from = 0) {
  std::vector<Span> out;
  std::size_t i = from;
  while (i < s.size()) {
    while (i < s.size() && (isDelimiter(s[i]) || static_cast<unsigned char>(s[i]) <= 32)) ++i;
    const std::size_t start = i;
    while (i < s.size() && !isDelimiter(s[i]) && static_cast<unsigned char>(s[i]) > 32) ++i;
    if (i > start) out.push_back({start, i - start});
  }
  return out;
}

// The line's first word, lower-cased, and where the line's text starts (after leading blanks).
struct Head {
  std::string word;  // lower-cased
  std::size_t start = 0;
  Span span;  // of the first word in the raw line
};

Head headOf(const std::string& line) {
  Head h;
  while (h.start < line.size() && static_cast<unsigned char>(line[h.start]) <= 32) ++h.start;
  const auto t = tokens(line, h.start);
  if (!t.empty() && t[0].pos == h.start) {
    h.span = t[0];
    h.word = lower(std::string_view(line).substr(t[0].pos, t[0].len));
  }
  return h;
}

bool isAnyOf(std::string_view word, std::initializer_list<std::string_view> list) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

bool isIf(const Head& h) { return isAnyOf(h.word, {"if", "если"_w}); }

// The property a first word assigns (its suffix), or empty.
std::string_view propertySuffix(std::string_view lowered) {
  static constexpr std::array suffixes = {"_расположение"_w, "_дескриптор"_w, "_маска"_w,
                                          "_синоним"_w,      "_содержание"_w, "_описание"_w};
  for (auto s : suffixes)
    if (contains(lowered, s)) return s;
  return {};
}

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0; }

// A typo inside `word`: two neighbouring inner letters swapped, or an inner letter dropped. The
// first letter stays, as in most typos. Empty when the word is too short or the typo changes nothing.
std::optional<std::string> typo(std::string_view word, Rng& rng) {
  if (word.size() < 3) return std::nullopt;
  std::string out(word);
  for (int attempt = 0; attempt < 4; ++attempt) {
    out = std::string(word);
    if (rng.below(2) == 0 && word.size() >= 4) {
      const std::size_t p = 1 + rng.below(word.size() - 2);  // swap p and p+1
      if (!isLetter(out[p]) || !isLetter(out[p + 1])) continue;
      std::swap(out[p], out[p + 1]);
    } else {
      const std::size_t p = 1 + rng.below(word.size() - 1);
      if (!isLetter(out[p])) continue;
      out.erase(p, 1);
    }
    if (lower(out) != lower(word)) return out;
  }
  return std::nullopt;
}

std::string replaced(const std::string& line, Span span, std::string_view with) {
  std::string out = line;
  out.replace(span.pos, span.len, with);
  return out;
}

// A typo in one of the words at `spans` (drawn), or nothing.
std::optional<std::string> typoIn(const std::string& line, std::vector<Span> spans, Rng& rng) {
  while (!spans.empty()) {
    const std::size_t k = rng.below(spans.size());
    const Span s = spans[k];
    if (auto t = typo(std::string_view(line).substr(s.pos, s.len), rng)) return replaced(line, s, *t);
    spans.erase(spans.begin() + static_cast<std::ptrdiff_t>(k));
  }
  return std::nullopt;
}

// Names a condition or a property value refers to: words of at least four characters that are
// not numbers, keywords or the "<object>" placeholder; of "obj_Свойство" the object's part.
std::vector<Span> nameSpans(const std::string& line, std::size_t from) {
  std::vector<Span> out;
  for (Span t : tokens(line, from)) {
    std::string word = lower(std::string_view(line).substr(t.pos, t.len));
    if (contains(word, "<") || contains(word, ">")) continue;
    if (const auto cut = word.find('_'); cut != std::string::npos) {
      word.resize(cut);
      t.len = cut;
    }
    if (word.size() < 4 || std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
    if (isAnyOf(word, {"location", "локация"_w, "step", "time", "шаги"_w})) continue;
    out.push_back(t);
  }
  return out;
}

std::optional<std::string> talkPattern(const std::string& line, const Head& h, Rng& rng) {
  if (!(h.word.starts_with("talk") || h.word.starts_with("парс"_w))) return std::nullopt;
  const std::size_t patternStart = h.start + 4;
  const auto words = tokens(line, patternStart);
  if (words.empty()) return std::nullopt;
  const std::size_t slash = line.find('/', patternStart);
  std::string out = line;
  switch (rng.below(5)) {
    case 0:  // alternatives glued: "север/north" -> "северnorth"
      if (slash != std::string::npos) return out.erase(slash, 1);
      [[fallthrough]];
    case 1:  // a bracket left open inside a word: "з(апад"
      return out.insert(words[0].pos + std::min<std::size_t>(1, words[0].len - 1), "(");
    case 2:  // a lone quote
      return out + (rng.below(2) ? "\"" : "'");
    case 3:  // an empty alternative
      if (slash != std::string::npos) return out.insert(slash, "/");
      return out + "/";
    default:  // a word in guillemets
      return replaced(line, words.back(),
                      concat("«"_w, std::string_view(line).substr(words.back().pos, words.back().len), "»"_w));
  }
}

std::optional<std::string> misspeltName(const std::string& line, const Head& h, Rng& rng) {
  if (isIf(h)) return typoIn(line, nameSpans(line, h.span.pos + h.span.len), rng);
  if (propertySuffix(h.word).empty() || h.word.find('<') != std::string::npos) return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  // The value (a location or a container) or the object the property belongs to.
  auto spans = nameSpans(line, eq + 1);
  if (!lower(h.word).ends_with("_расположение"_w) && !lower(h.word).ends_with("_содержание"_w)) spans.clear();
  for (const Span& s : nameSpans(line.substr(0, eq), h.start)) spans.push_back(s);
  return typoIn(line, spans, rng);
}

std::optional<std::string> misspeltTarget(const std::string& line, const Head& h, Rng& rng) {
  if (isAnyOf(h.word, {"goto", "gotos", "jump", "jumps", "идти"_w, "call"})) {
    const auto t = tokens(line, h.span.pos + h.span.len);
    if (t.empty()) return std::nullopt;
    return typoIn(line, {t[0]}, rng);
  }
  if (!contains(lower(line), "btn")) return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string::npos) return std::nullopt;
  const auto t = tokens(line, close + 1);
  if (t.size() != 1) return std::nullopt;
  return typoIn(line, t, rng);
}

std::optional<std::string> misspeltKeyword(const std::string& line, const Head& h, Rng& rng) {
  if (!isAnyOf(h.word, {"endif", "goto", "read", "redo", "return", "talk", "create", "jump", "ждать"_w, "идти"_w}))
    return std::nullopt;
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::string word = line.substr(h.span.pos, h.span.len);
    const std::size_t p = 1 + rng.below(word.size() - 2);
    std::swap(word[p], word[p + 1]);
    if (lower(word) != h.word) return replaced(line, h.span, word);
  }
  return std::nullopt;
}

std::optional<std::string> ifAsFi(const std::string& line, const Head& h) {
  if (!isIf(h)) return std::nullopt;
  std::string word = line.substr(h.span.pos, h.span.len);
  if (word.size() == 2)
    std::swap(word[0], word[1]);  // IF -> FI
  else
    std::swap(word[2], word[3]);  // ЕСЛИ -> ЕСИЛ
  return replaced(line, h.span, word);
}

std::optional<std::string> negativeLiteral(const std::string& line, const Head& h) {
  if (h.word.empty() || isIf(h) || !propertySuffix(h.word).empty()) return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos || eq < h.span.pos + h.span.len) return std::nullopt;
  if (!trimView(std::string_view(line).substr(h.span.pos + h.span.len, eq - h.span.pos - h.span.len)).empty())
    return std::nullopt;
  const std::string_view value = trimView(std::string_view(line).substr(eq + 1));
  if (value.empty() || value == "0" ||
      !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  std::string out = line;
  return out.insert(line.find(value, eq + 1), "-");
}

std::optional<std::string> notEqualLocation(const std::string& line, const Head& h) {
  if (!isIf(h)) return std::nullopt;
  const std::string k = lower(line);
  if (!contains(k, "location") && !contains(k, "_расположение"_w)) return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos || (eq > 0 && (line[eq - 1] == '<' || line[eq - 1] == '>')) ||
      (eq + 1 < line.size() && (line[eq + 1] == '<' || line[eq + 1] == '>')))
    return std::nullopt;
  return replaced(line, {eq, 1}, "<>");
}

std::optional<std::string> spacedProperty(const std::string& line, const Head& h) {
  // Only a text property keeps the blanks: a place, a mask or a synonym is read as one word.
  if (!isAnyOf(propertySuffix(h.word), {"_дескриптор"_w, "_содержание"_w, "_описание"_w})) return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos || eq == 0 || line[eq - 1] == ' ' || eq + 1 >= line.size() || line[eq + 1] == ' ')
    return std::nullopt;
  return replaced(line, {eq, 1}, " = ");
}

std::optional<std::string> mutateLine(Kind kind, const std::string& line, Rng& rng) {
  const Head h = headOf(line);
  const std::string_view text = std::string_view(line).substr(h.start);
  switch (kind) {
    case Kind::TalkPattern:
      return talkPattern(line, h, rng);
    case Kind::MisspeltName:
      return misspeltName(line, h, rng);
    case Kind::MisspeltTarget:
      return misspeltTarget(line, h, rng);
    case Kind::MisspeltKeyword:
      return misspeltKeyword(line, h, rng);
    case Kind::Utf8Bytes:
      if (std::none_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return std::nullopt;
      return cp1251ToUtf8(line);
    case Kind::DeletedIf:
      if (isIf(h)) return std::string();
      return std::nullopt;
    case Kind::DeletedRead:
      if (isAnyOf(h.word, {"read", "ждать"_w})) return std::string();
      return std::nullopt;
    case Kind::DeletedGoto:
      if (isAnyOf(h.word, {"goto", "gotos", "идти"_w})) return std::string();
      return std::nullopt;
    case Kind::DeletedRedo:
      if (h.word.starts_with("redo") || h.word.starts_with("ввер"_w)) return std::string();
      return std::nullopt;
    case Kind::AtAsQuote:
      if (text.starts_with("@") && text.size() > 1) return replaced(line, {h.start, 1}, "\"");
      return std::nullopt;
    case Kind::DroppedBang:
      if (text.starts_with("!") && trimView(text.substr(1)).size() > 0) return replaced(line, {h.start, 1}, "");
      return std::nullopt;
    case Kind::IfAsFi:
      return ifAsFi(line, h);
    case Kind::RenamedCommon: {
      if (lower(trimView(line)) != ":common") return std::nullopt;
      std::string out = line;
      return out.erase(h.start + 2 + rng.below(5), 1);  // one of "ommon" dropped
    }
    case Kind::ReturnInText:
      if ((text.starts_with("!") || text.starts_with("@")) && !contains(lower(line), "return") && text.size() > 1)
        return line + " return";
      return std::nullopt;
    case Kind::NegativeLiteral:
      return negativeLiteral(line, h);
    case Kind::NotEqualLocation:
      return notEqualLocation(line, h);
    case Kind::SpacedProperty:
      return spacedProperty(line, h);
    case Kind::SwapLines:
      break;
  }
  return std::nullopt;
}

bool isComment(const std::string& line) { return trimView(line).starts_with("*"); }

// A statement that only shows a text or stores a value (and the name it writes, lower-cased), or
// nothing for statements that steer the flow or open and close blocks.
struct Simple {
  bool text = false;
  bool button = false;
  std::string writes;
};

std::optional<Simple> simpleOf(const std::string& line) {
  const Head h = headOf(line);
  const std::string_view text = std::string_view(line).substr(h.start);
  if (text.starts_with("!") || text.starts_with("@")) return Simple{true, false, {}};
  if (h.word == "btn") return Simple{false, true, {}};
  if (h.word == "create" || h.word == "vip") {
    const auto t = tokens(line, h.span.pos + h.span.len);
    if (t.empty()) return std::nullopt;
    return Simple{false, false, h.word == "create" ? lower(std::string_view(line).substr(t[0].pos, t[0].len)) : ""};
  }
  if (!h.word.empty() && !isIf(h) && line.find('=') != std::string::npos &&
      !isAnyOf(h.word, {"talk", "goto", "gotos", "read", "redo", "return", "jump", "jumps", "call", "do"}) &&
      !h.word.starts_with("парс"_w) && !h.word.starts_with("^") && !h.word.starts_with("коне"_w) &&
      !contains(h.word, "endi"))
    return Simple{false, false, h.word};
  return std::nullopt;
}

// Two neighbouring lines whose order is no order mistake: two texts or two buttons (an author
// reorders them at will), or two statements that neither steer the flow nor read what the other
// writes; swapped, they give the same game.
bool swapIsNoMistake(const std::string& a, const std::string& b) {
  const auto x = simpleOf(a), y = simpleOf(b);
  if (!x || !y) return false;
  if ((x->text && y->text) || (x->button && y->button)) return true;
  if (x->button || y->button) return false;
  const std::string la = lower(a), lb = lower(b);
  return (x->writes.empty() || !contains(lb, x->writes)) && (y->writes.empty() || !contains(la, y->writes));
}

}  // namespace

std::string_view kindName(Kind kind) {
  static constexpr std::array<std::string_view, kKindCount> names = {
      "talk-pattern", "swap-lines",     "misspelt-name",  "misspelt-target",  "misspelt-keyword",   "utf8-bytes",
      "deleted-if",   "deleted-read",   "deleted-goto",   "deleted-redo",     "at-as-quote",        "dropped-bang",
      "if-as-fi",     "renamed-common", "return-in-text", "negative-literal", "not-equal-location", "spaced-property"};
  return names[static_cast<std::size_t>(kind)];
}

std::vector<Mutant> mutantsOf(Kind kind, const std::vector<std::string>& text, std::uint64_t seed) {
  std::vector<Mutant> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isComment(text[i])) continue;
    Rng rng{seed ^ (static_cast<std::uint64_t>(kind) << 56) ^ (i * 0x100000001B3ull)};
    Mutant m;
    m.kind = kind;
    const int n = static_cast<int>(i) + 1;
    if (kind == Kind::SwapLines) {
      if (i + 1 >= text.size() || isComment(text[i + 1]) || trim(text[i]).empty() || trim(text[i + 1]).empty() ||
          trim(text[i]) == trim(text[i + 1]))
        continue;
      if (swapIsNoMistake(text[i], text[i + 1])) continue;
      m.edits = {{i, text[i + 1]}, {i + 1, text[i]}};
      m.lines = {n, n + 1};
    } else {
      auto changed = mutateLine(kind, text[i], rng);
      if (!changed || *changed == text[i]) continue;
      m.edits = {{i, std::move(*changed)}};
      m.lines = {n};
      // A deleted line's mistake shows at the lines around the gap.
      if (m.edits[0].text.empty()) m.lines = {n - 1, n, n + 1};
    }
    out.push_back(std::move(m));
  }
  return out;
}

std::vector<std::string> apply(const std::vector<std::string>& text, const Mutant& mutant) {
  std::vector<std::string> out = text;
  for (const auto& e : mutant.edits) out.at(e.line) = e.text;
  return out;
}

std::vector<std::size_t> samplePositions(std::size_t size, std::size_t count, std::uint64_t seed) {
  std::vector<std::size_t> order(size);
  for (std::size_t i = 0; i < size; ++i) order[i] = i;
  if (size <= count) return order;
  Rng rng{seed};
  for (std::size_t i = size - 1; i > 0; --i) std::swap(order[i], order[rng.below(i + 1)]);
  order.resize(count);
  std::sort(order.begin(), order.end());
  return order;
}

}  // namespace marvo::mutation
