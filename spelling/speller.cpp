// The verdict on a word (own lists, then the dictionary, «ё» folded to «е») and the line checks.
#include "speller.h"

#include <algorithm>

#include "engine/text.h"
#include "prose.h"

namespace marvo::spelling {

namespace {

constexpr char kYo = '\xB8', kYoCapital = '\xA8', kYe = '\xE5', kYeCapital = '\xC5';

std::string foldYo(std::string_view word) {
  std::string out(word);
  for (char& c : out) {
    if (c == kYo) c = kYe;
    if (c == kYoCapital) c = kYeCapital;
  }
  return out;
}

bool allCapitals(std::string_view word) {
  bool letters = false;
  for (char c : word) {
    const auto b = static_cast<unsigned char>(c);
    if (lowerByte(b) != b) letters = true;
    if (isLetter(b) && lowerByte(b) == b) return false;  // a small letter (or one without case)
  }
  return letters;
}

// Edit distance with transpositions of neighbours (the typos of a hand on a keyboard), stopped
// early once it exceeds `limit`.
int distance(std::string_view a, std::string_view b, int limit) {
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  if (std::abs(n - m) > limit) return limit + 1;
  std::vector<std::vector<int>> d(static_cast<std::size_t>(n + 1), std::vector<int>(static_cast<std::size_t>(m + 1)));
  for (int i = 0; i <= n; ++i) d[i][0] = i;
  for (int j = 0; j <= m; ++j) d[0][j] = j;
  for (int i = 1; i <= n; ++i) {
    int best = limit + 1;
    for (int j = 1; j <= m; ++j) {
      const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      best = std::min(best, d[i][j]);
    }
    if (best > limit) return limit + 1;
  }
  return d[n][m];
}

}  // namespace

Speller::Speller(std::shared_ptr<const Dictionaries> dictionaries, Options options)
    : dictionaries_(std::move(dictionaries)), options_(options) {}

std::string Speller::note() const {
  if (available()) return {};
  return dictionaries_ ? dictionaries_->note() : Dictionaries::missingNote(dictionaryFolder());
}

std::optional<std::string> Speller::openGameDictionary(const std::filesystem::path& path) {
  WordList list(path);
  auto error = list.load();
  std::lock_guard lock(mutex_);
  game_ = std::move(list);
  rebuildOwnWords();
  return error;
}

std::optional<std::string> Speller::openUserDictionary(const std::filesystem::path& path) {
  WordList list(path);
  auto error = list.load();
  std::lock_guard lock(mutex_);
  user_ = std::move(list);
  rebuildOwnWords();
  return error;
}

std::optional<std::string> Speller::addTo(WordList& list, std::string_view word) {
  std::lock_guard lock(mutex_);
  if (list.path().empty()) return std::string("no dictionary file is open");
  if (auto error = list.add(word)) return error;
  rebuildOwnWords();
  return std::nullopt;
}

std::optional<std::string> Speller::addToGameDictionary(std::string_view word) { return addTo(game_, word); }
std::optional<std::string> Speller::addToUserDictionary(std::string_view word) { return addTo(user_, word); }

void Speller::ignore(std::string_view word) {
  std::lock_guard lock(mutex_);
  ignored_.insert(fold(word));
  changed();
}

Options Speller::options() const {
  std::lock_guard lock(mutex_);
  return options_;
}

void Speller::setOptions(Options options) {
  std::lock_guard lock(mutex_);
  options_ = options;
  rebuildOwnWords();
}

std::string Speller::fold(std::string_view word) const { return options_.yoIsYe ? foldYo(word) : std::string(word); }

void Speller::rebuildOwnWords() {
  exact_.clear();
  anyCase_.clear();
  inCapitals_.clear();
  for (const WordList* list : {&game_, &user_})
    for (const std::string& word : list->words()) {
      const std::string folded = fold(word);
      const std::string lowered = lower(folded);
      exact_.insert(folded);
      if (lowered == folded) anyCase_.insert(lowered);
      inCapitals_.insert(lowered);
    }
  // The ignored words were folded under the old options; they stay as they are.
  changed();
}

void Speller::changed() {
  verdicts_.clear();
  suggestions_.clear();
  generation_.fetch_add(1, std::memory_order_acq_rel);
}

bool Speller::inOwnLists(std::string_view word) const {
  const std::string folded = fold(word);
  if (ignored_.contains(folded) || exact_.contains(folded)) return true;
  const std::string lowered = lower(folded);
  return anyCase_.contains(lowered) || (allCapitals(word) && inCapitals_.contains(lowered));
}

bool Speller::inDictionary(std::string_view word, bool yoIsYe) const {
  if (dictionaries_->spell(word)) return true;
  if (!yoIsYe) return false;
  // The dictionary holds some words with «ё» and some without: try the word the other way round.
  const std::string plain = foldYo(word);
  if (plain != word) return dictionaries_->spell(plain);
  std::string withYo(word);
  for (char& c : withYo) {
    if (c != kYe && c != kYeCapital) continue;
    const char was = c;
    c = was == kYe ? kYo : kYoCapital;
    if (dictionaries_->spell(withYo)) return true;
    c = was;
  }
  return false;
}

bool Speller::known(std::string_view word) const {
  if (!available()) return true;
  std::string key(word);
  bool yoIsYe;
  std::uint64_t seen;
  {
    std::lock_guard lock(mutex_);
    if (const auto it = verdicts_.find(key); it != verdicts_.end()) return it->second;
    if (inOwnLists(word)) return true;
    yoIsYe = options_.yoIsYe;
    seen = generation();
  }
  const bool verdict = inDictionary(word, yoIsYe);
  std::lock_guard lock(mutex_);
  if (generation() == seen) verdicts_.emplace(std::move(key), verdict);
  return verdict;
}

std::vector<std::string> Speller::suggest(std::string_view word, std::size_t max) const {
  if (!available() || max == 0) return {};
  std::string key(word);
  std::vector<std::string> own;
  std::uint64_t seen;
  {
    std::lock_guard lock(mutex_);
    if (const auto it = suggestions_.find(key); it != suggestions_.end()) {
      auto found = it->second;
      if (found.size() > max) found.resize(max);
      return found;
    }
    // The game's names and made-up words first: the dictionary cannot know them.
    const std::string lowered = lower(fold(word));
    const int limit = word.size() >= 6 ? 2 : 1;
    std::vector<std::pair<int, std::string>> close;
    for (const WordList* list : {&game_, &user_})
      for (const std::string& candidate : list->words()) {
        const int d = distance(lowered, lower(fold(candidate)), limit);
        if (d <= limit) close.emplace_back(d, candidate);
      }
    std::stable_sort(close.begin(), close.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [d, candidate] : close) own.push_back(std::move(candidate));
    seen = generation();
  }
  std::vector<std::string> found = std::move(own);
  for (std::string& s : dictionaries_->suggest(word, 3)) found.push_back(std::move(s));
  std::vector<std::string> unique;
  for (std::string& s : found)
    if (s != word && std::find(unique.begin(), unique.end(), s) == unique.end()) unique.push_back(std::move(s));
  if (unique.size() > 3) unique.resize(3);
  {
    std::lock_guard lock(mutex_);
    if (generation() == seen) suggestions_.emplace(std::move(key), unique);
  }
  if (unique.size() > max) unique.resize(max);
  return unique;
}

std::vector<Misspelling> Speller::checkLine(std::string_view text, int lineNumber, bool withSuggestions) const {
  std::vector<Misspelling> out;
  if (!available()) return out;
  for (const Span& span : proseWords(text)) {
    const std::string_view word =
        text.substr(static_cast<std::size_t>(span.offset), static_cast<std::size_t>(span.length));
    if (known(word)) continue;
    Misspelling m{lineNumber, span.offset, span.length, std::string(word), {}};
    if (withSuggestions) m.suggestions = suggest(word);
    out.push_back(std::move(m));
  }
  return out;
}

TextSpelling checkText(const Speller& speller, const std::vector<std::string>& lines, const std::atomic<bool>* stop) {
  TextSpelling result;
  result.generation = speller.generation();
  result.lines.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (stop && stop->load(std::memory_order_relaxed)) {
      result.complete = false;
      break;
    }
    result.lines.push_back(speller.checkLine(lines[i], static_cast<int>(i)));
  }
  return result;
}

void SpellingResults::replaceLine(const Speller& speller, int line, std::string_view text) {
  if (line < 0) return;
  if (line >= lineCount()) lines_.resize(static_cast<std::size_t>(line) + 1);
  lines_[static_cast<std::size_t>(line)] = speller.checkLine(text, line);
}

void SpellingResults::renumber(int from) {
  for (std::size_t i = static_cast<std::size_t>(std::max(from, 0)); i < lines_.size(); ++i)
    for (Misspelling& m : lines_[i]) m.line = static_cast<int>(i);
}

void SpellingResults::insertLine(const Speller& speller, int line, std::string_view text) {
  line = std::clamp(line, 0, lineCount());
  lines_.insert(lines_.begin() + line, speller.checkLine(text, line));
  renumber(line + 1);
}

void SpellingResults::removeLine(int line) {
  if (line < 0 || line >= lineCount()) return;
  lines_.erase(lines_.begin() + line);
  renumber(line);
}

const std::vector<Misspelling>& SpellingResults::on(int line) const {
  static const std::vector<Misspelling> kNone;
  return line >= 0 && line < lineCount() ? lines_[static_cast<std::size_t>(line)] : kNone;
}

const Misspelling* SpellingResults::at(int line, int column) const {
  for (const Misspelling& m : on(line))
    if (column >= m.column && column < m.column + m.length) return &m;
  return nullptr;
}

}  // namespace marvo::spelling
