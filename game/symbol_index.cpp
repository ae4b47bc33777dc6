// The symbol index: each source line read as game start builds it and the engine decodes it.
#include "symbol_index.h"

#include <algorithm>

#include "engine/text.h"
#include "talk_matcher.h"

namespace marvo {

using namespace literals;

namespace {

// What stands for the current object where the run cycle puts its name for "<object>" (a byte
// that cuts no word); names holding it are no names of their own.
constexpr std::string_view kCurrentObject = "\xA7";

// A place named by a location property or an IF on an object's location: a location (or a
// container object), unless it is the inventory or the current location.
bool namesPlace(std::string_view place) { return !place.empty() && place != "inv" && place != "location"; }

}  // namespace

SymbolIndex::SymbolIndex(const std::vector<std::string>& scenario, const std::vector<std::string>& library) {
  build(scenario, library);
}

void SymbolIndex::build(const std::vector<std::string>& scenario, const std::vector<std::string>& library) {
  lines_[0].clear();
  lines_[1].clear();
  entries_.clear();
  returnLines_.clear();
  for (std::size_t i = 0; i < scenario.size(); ++i)
    if (containsLowered(scenario[i], "return")) returnLines_.push_back(static_cast<int>(i));
  indexText(Source::Scenario, scenario);
  indexText(Source::Library, library);
}

// The whole text is built at once; a broken btn or do line stops game start's build, so the rest
// after it is built in growing pieces (a text of many broken lines stays linear).
void SymbolIndex::indexText(Source source, const std::vector<std::string>& text) {
  auto& ls = lines(source);
  ls.clear();
  ls.resize(text.size());
  std::vector<LineOrigin> origins;
  origins.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) origins.push_back({source, static_cast<int>(i + 1)});
  std::size_t next = text.size();
  std::size_t piece = 64;
  std::vector<std::string> part;
  std::vector<LineOrigin> partOrigins;
  for (std::size_t from = 0; from < text.size(); from = next) {
    BuiltProgram built;
    if (from == 0) {
      built = buildProgram(text, &origins);
      next = text.size();
    } else {
      next = std::min(text.size(), from + piece);
      part.assign(text.begin() + static_cast<std::ptrdiff_t>(from), text.begin() + static_cast<std::ptrdiff_t>(next));
      partOrigins.assign(origins.begin() + static_cast<std::ptrdiff_t>(from),
                         origins.begin() + static_cast<std::ptrdiff_t>(next));
      built = buildProgram(part, &partOrigins);
      piece = std::min<std::size_t>(piece * 2, 8192);
    }
    indexProgram(built);
    if (built.brokenAt) {
      const int broken = built.brokenLine.line - 1;
      ls[static_cast<std::size_t>(broken)].broken = true;
      next = static_cast<std::size_t>(broken) + 1;
      piece = 64;
    }
  }
}

void SymbolIndex::indexProgram(const BuiltProgram& built) {
  for (std::size_t k = 0; k < built.lines.size(); ++k) {
    const LineOrigin& origin = built.origins[k];
    if (origin.source == Source::Game) continue;
    indexProgramLine(origin.source, origin.line - 1, built.lines[k], origin.generated);
  }
}

// One program line as the engine meets it: a label by its first character; then the line as the
// run cycle decodes it, with the rows that execute on it.
void SymbolIndex::indexProgramLine(Source source, int line, std::string_view stored, bool generated) {
  if (!stored.empty() && stored[0] == ':')
    add(source, line, SymbolKind::Location, SymbolRole::Definition, stored.substr(1));

  // Engine::stepLine: the first "<object>" is replaced (unless the line mentions "talk" or "парс",
  // as decodeLine decides), a leading "^" is dropped, and the result is decoded.
  const bool substitute = stored.find("<object>") != std::string_view::npos &&
                          stored.find("talk") == std::string_view::npos &&
                          stored.find("парс"_w) == std::string_view::npos;
  raw_.assign(stored);
  if (substitute) replaceFirst(raw_, "<object>", kCurrentObject);
  if (!raw_.empty() && raw_[0] == '^') {
    raw_[0] = ' ';
    raw_.assign(trimView(raw_));
  }
  decodeLine(raw_, decoded_);
  const DecodedLine& d = decoded_;
  const std::uint32_t rows = executedRows(d.rows);

  const auto use = [&](SymbolKind kind, SymbolRole role, std::string_view name) {
    if (name.empty() || (substitute && contains(name, kCurrentObject))) return;
    add(source, line, kind, role, name);
  };
  const auto read = [&](const Word& w) {
    if (!isNumberLiteral(w.text, /*xIsHex=*/false)) use(SymbolKind::Variable, SymbolRole::Reference, w.text);
  };

  if (rows & kShowItem && d.word(1).text != "inv") use(SymbolKind::Object, SymbolRole::Reference, d.word(1).text);
  if (rows & kCreate) use(SymbolKind::Object, SymbolRole::Definition, d.word(1).text);
  if (rows & kProperty) {
    const std::string_view w0 = d.word(0).text;
    const std::size_t k = kPropertySuffixLength[static_cast<int>(d.property)];
    use(SymbolKind::Object, SymbolRole::Property, w0.substr(0, w0.size() >= k ? w0.size() - k : 0));
    if (d.property == Property::Location && namesPlace(d.word(1).text))
      use(SymbolKind::Location, SymbolRole::Reference, d.word(1).text);
  }
  if (rows & kExamine) use(SymbolKind::Object, SymbolRole::Reference, d.word(1).text);
  if (rows & kVip) use(SymbolKind::Variable, SymbolRole::Definition, d.truthWord(1).text);
  if (rows & kIf) {
    // Engine::ifStatement
    if (d.ifForm == 1) {
      if (namesPlace(d.truthWord(2).text)) use(SymbolKind::Location, SymbolRole::Reference, d.truthWord(2).text);
    } else if (d.ifForm == 2) {
      const std::string_view w1 = d.truthWord(1).text;
      use(SymbolKind::Object, SymbolRole::Reference, w1.substr(0, w1.find('_')));
      const std::string_view place = d.truthWord(2).text;
      if (namesPlace(place) && !place.starts_with("enabl")) use(SymbolKind::Location, SymbolRole::Reference, place);
    } else {
      read(d.truthWord(1));
      read(d.truthWord(2));
    }
  }
  // The talk line of a btn or do line is the button's number: the button stands for it.
  if (rows & kTalk && !generated) {
    // As TalkPatterns cuts it: the pattern of the stored line, alternatives at "/" (up to 20),
    // words at blanks (up to 10).
    const std::string pattern = talkPattern(stored);
    std::string alternative;
    for (std::string_view alt : splitRuns(pattern, '/', 20)) {
      alternative.clear();
      for (std::string_view word : splitRuns(alt, ' ', 10)) {
        if (!alternative.empty()) alternative += ' ';
        alternative += word;
      }
      if (!alternative.empty()) add(source, line, SymbolKind::Talk, SymbolRole::Definition, alternative);
    }
  }
  if (rows & kClear && d.count == 2) use(SymbolKind::Variable, SymbolRole::Reference, d.truthWord(1).text);
  if (rows & (kGoto | kJump)) use(SymbolKind::Location, SymbolRole::Reference, d.truthWord(1).text);
  if (rows & kText) {
    if (d.menu) {
      // The item's text as the stored line has it ("<object>" kept, an empty text too); game
      // start writes the item of a btn or do line as "@N. text".
      std::string_view text = trimView(stored);
      if (text.starts_with("^")) text = trimView(text.substr(1));
      text.remove_prefix(1);
      if (generated) text.remove_prefix(std::min(text.size(), text.find('.') + 1));
      button_.assign(trimView(text));
      lowerInPlace(button_);
      add(source, line, SymbolKind::Button, SymbolRole::Definition, button_);
    }
    // Engine::textLine: a piece "#name" shows a variable (a line without "#" has none).
    if (raw_.find('#') != std::string::npos) {
      decodePieces(raw_, pieces_);
      for (const Piece& piece : pieces_)
        if (piece.isVariable) use(SymbolKind::Variable, SymbolRole::Reference, piece.word.text);
    }
  }
  if (rows & (kAssign | kAddSub | kMulDiv)) {
    use(SymbolKind::Variable, SymbolRole::Definition, d.truthWord(0).text);
    read(d.truthWord(1));
    if (rows & (kAddSub | kMulDiv)) read(d.truthWord(2));
  }
}

void SymbolIndex::add(Source source, int line, SymbolKind kind, SymbolRole role, std::string_view name) {
  key_.assign(1, static_cast<char>(kind));
  key_.append(name);
  auto it = entries_.find(key_);
  if (it == entries_.end()) {
    it = entries_.emplace(key_, Entry{}).first;
    it->second.key = key_;
  }
  Entry* entry = &it->second;
  auto& symbols = lines(source)[static_cast<std::size_t>(line)].symbols;
  for (const Slot& s : symbols)
    if (s.entry == entry && s.role == role) return;
  symbols.push_back({entry, role});
  auto& uses = entry->uses[slot(source)];
  const Use u{line, role};
  if (uses.empty() || uses.back() < u)
    uses.push_back(u);
  else
    uses.insert(std::lower_bound(uses.begin(), uses.end(), u), u);
}

// Takes the line's symbols out of the entries (dropping entries left without a use).
void SymbolIndex::forget(Source source, int line) {
  Line& l = lines(source)[static_cast<std::size_t>(line)];
  for (const Slot& s : l.symbols) {
    auto& uses = s.entry->uses[slot(source)];
    const Use u{line, s.role};
    const auto at = std::lower_bound(uses.begin(), uses.end(), u);
    if (at != uses.end() && *at == u) uses.erase(at);
    if (s.entry->uses[0].empty() && s.entry->uses[1].empty()) {
      key_ = s.entry->key;
      entries_.erase(key_);
    }
  }
  l.symbols.clear();
  l.broken = false;
}

// Renumbers the uses on lines `from` and after by `delta`.
void SymbolIndex::shift(Source source, int from, int delta) {
  const int i = slot(source);
  for (auto& [key, entry] : entries_) {
    auto& uses = entry.uses[i];
    for (auto at = std::lower_bound(uses.begin(), uses.end(), Use{from, SymbolRole::Definition}); at != uses.end();
         ++at)
      at->line += delta;
  }
  if (source == Source::Scenario)
    for (auto at = std::lower_bound(returnLines_.begin(), returnLines_.end(), from); at != returnLines_.end(); ++at)
      *at += delta;
}

void SymbolIndex::noteReturn(int line, bool returns) {
  const auto at = std::lower_bound(returnLines_.begin(), returnLines_.end(), line);
  const bool listed = at != returnLines_.end() && *at == line;
  if (returns && !listed) returnLines_.insert(at, line);
  if (!returns && listed) returnLines_.erase(at);
}

void SymbolIndex::indexLine(Source source, int line, std::string_view text) {
  if (source == Source::Scenario) noteReturn(line, containsLowered(text, "return"));
  const std::vector<std::string> one{std::string(text)};
  const std::vector<LineOrigin> origin{{source, line + 1}};
  const BuiltProgram built = buildProgram(one, &origin);
  lines(source)[static_cast<std::size_t>(line)].broken = built.brokenAt.has_value();
  indexProgram(built);
}

void SymbolIndex::replaceLine(Source source, int line, std::string_view text) {
  forget(source, line);
  indexLine(source, line, text);
}

void SymbolIndex::insertLine(Source source, int line, std::string_view text) {
  shift(source, line, 1);
  auto& ls = lines(source);
  ls.insert(ls.begin() + line, Line{});
  indexLine(source, line, text);
}

void SymbolIndex::removeLine(Source source, int line) {
  forget(source, line);
  if (source == Source::Scenario) noteReturn(line, false);
  auto& ls = lines(source);
  ls.erase(ls.begin() + line);
  shift(source, line + 1, -1);
}

const SymbolIndex::Entry* SymbolIndex::find(SymbolKind kind, std::string_view name) const {
  std::string key(1, static_cast<char>(kind));
  key += lower(name);
  const auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : &it->second;
}

Symbol SymbolIndex::symbol(const Entry& entry, const Use& use, Source source) const {
  return {entry.kind(), use.role, source, use.line, entry.name()};
}

std::optional<int> SymbolIndex::spliceLine() const {
  if (returnLines_.empty()) return std::nullopt;
  return returnLines_.front();
}

std::optional<Symbol> SymbolIndex::definition(SymbolKind kind, std::string_view name) const {
  const Entry* entry = find(kind, name);
  if (!entry) return std::nullopt;
  const auto first = [&](Source source) -> std::optional<Symbol> {
    for (const Use& u : entry->uses[slot(source)])
      if (u.role == SymbolRole::Definition) return symbol(*entry, u, source);
    return std::nullopt;
  };
  const auto scenario = first(Source::Scenario);
  if (!librarySpliced()) return scenario;
  if (scenario && scenario->line < *spliceLine()) return scenario;
  if (auto library = first(Source::Library)) return library;
  return scenario;
}

std::vector<Symbol> SymbolIndex::collect(SymbolKind kind, std::string_view name, int roles) const {
  std::vector<Symbol> out;
  const Entry* entry = find(kind, name);
  if (!entry) return out;
  for (Source source : {Source::Scenario, Source::Library})
    for (const Use& u : entry->uses[slot(source)])
      if (roles & (1 << static_cast<int>(u.role))) out.push_back(symbol(*entry, u, source));
  return out;
}

std::vector<Symbol> SymbolIndex::occurrences(SymbolKind kind, std::string_view name) const {
  return collect(kind, name, 7);
}

std::vector<Symbol> SymbolIndex::definitions(SymbolKind kind, std::string_view name) const {
  return collect(kind, name, 1 << static_cast<int>(SymbolRole::Definition));
}

std::vector<Symbol> SymbolIndex::references(SymbolKind kind, std::string_view name) const {
  return collect(kind, name, 7 & ~(1 << static_cast<int>(SymbolRole::Definition)));
}

std::vector<Symbol> SymbolIndex::allDefinitions(SymbolKind kind, Source source) const {
  std::vector<Symbol> out;
  const auto& ls = lines(source);
  for (std::size_t i = 0; i < ls.size(); ++i)
    for (const Slot& s : ls[i].symbols)
      if (s.role == SymbolRole::Definition && s.entry->kind() == kind)
        out.push_back({kind, s.role, source, static_cast<int>(i), s.entry->name()});
  return out;
}

std::vector<Symbol> SymbolIndex::symbolsOn(Source source, int line) const {
  std::vector<Symbol> out;
  for (const Slot& s : lines(source)[static_cast<std::size_t>(line)].symbols)
    out.push_back({s.entry->kind(), s.role, source, line, s.entry->name()});
  return out;
}

bool SymbolIndex::broken(Source source, int line) const { return lines(source)[static_cast<std::size_t>(line)].broken; }

std::vector<int> SymbolIndex::brokenLines(Source source) const {
  std::vector<int> out;
  const auto& ls = lines(source);
  for (std::size_t i = 0; i < ls.size(); ++i)
    if (ls[i].broken) out.push_back(static_cast<int>(i));
  return out;
}

bool operator==(const SymbolIndex& a, const SymbolIndex& b) {
  if (a.returnLines_ != b.returnLines_ || a.entries_.size() != b.entries_.size()) return false;
  for (int i = 0; i < 2; ++i) {
    const auto& la = a.lines_[i];
    const auto& lb = b.lines_[i];
    if (la.size() != lb.size()) return false;
    for (std::size_t n = 0; n < la.size(); ++n) {
      if (la[n].broken != lb[n].broken || la[n].symbols.size() != lb[n].symbols.size()) return false;
      for (std::size_t k = 0; k < la[n].symbols.size(); ++k)
        if (la[n].symbols[k].role != lb[n].symbols[k].role ||
            la[n].symbols[k].entry->key != lb[n].symbols[k].entry->key)
          return false;
    }
  }
  for (const auto& [key, entry] : a.entries_) {
    const auto it = b.entries_.find(key);
    if (it == b.entries_.end() || it->second.key != key || entry.key != key) return false;
    for (int i = 0; i < 2; ++i)
      if (entry.uses[i] != it->second.uses[i]) return false;
  }
  return true;
}

}  // namespace marvo
