// The code editor's spelling check in the background.
#include "spelling_underline.h"

#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cstdlib>

#include "gui/qt_codec.h"
#include "spelling/dictionaries.h"
#include "spelling/word_list.h"

namespace marvo {

namespace {
// An edit touching more lines than this is not re-checked line by line on the user-interface
// thread (a paste of a whole game): the text is checked again in the background instead.
constexpr int kLargestLineByLineEdit = 300;

const std::vector<spelling::Misspelling> kNone;

}  // namespace

SpellingUnderline::SpellingUnderline(QTextDocument* document, std::function<QString()> scenarioPath, QObject* parent)
    : QObject(parent), document_(document), scenarioPath_(std::move(scenarioPath)) {
  pool_.setMaxThreadCount(2);
  connect(document_, &QTextDocument::contentsChange, this, &SpellingUnderline::textChanged);
}

SpellingUnderline::~SpellingUnderline() {
  stopCheck();
  pool_.waitForDone();
}

std::filesystem::path SpellingUnderline::userDictionary() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) return {};
  return spelling::userDictionaryPath(std::filesystem::path(data.toStdString()) / "marvo");
}

void SpellingUnderline::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (!on) {
    stopCheck();
    results_ = {};
    emit changed();
    return;
  }
  if (speller_)
    recheckAll();
  else
    load();
}

void SpellingUnderline::setYoIsYe(bool same) {
  if (same == yoIsYe_) return;
  yoIsYe_ = same;
  if (!speller_) return;
  speller_->setOptions({.yoIsYe = same});
  suggestions_.clear();
  recheckAll();
}

void SpellingUnderline::load() {
  if (loading_) return;
  loading_ = true;
  const std::filesystem::path game = spelling::gameDictionaryPath(scenarioPath_().toStdString());
  const std::filesystem::path user = userDictionary();
  const spelling::Options options{.yoIsYe = yoIsYe_};
  pool_.start([this, game, user, options] {
    auto speller = std::make_shared<spelling::Speller>(spelling::Dictionaries::shared(), options);
    if (speller->available()) {
      // A list that cannot be read is empty; the check goes on without it.
      if (!game.empty()) speller->openGameDictionary(game);
      if (!user.empty()) speller->openUserDictionary(user);
    }
    QMetaObject::invokeMethod(
        this, [this, speller] { loaded(speller); }, Qt::QueuedConnection);
  });
}

void SpellingUnderline::loaded(std::shared_ptr<spelling::Speller> speller) {
  loading_ = false;
  speller_ = std::move(speller);
  if (speller_->options().yoIsYe != yoIsYe_) speller_->setOptions({.yoIsYe = yoIsYe_});
  if (!speller_->available()) {
    note_ = toQt(speller_->note());
    emit noteChanged(note_);
    return;
  }
  // The scenario may have got its file while the dictionaries were loading.
  openGameDictionary();
  if (enabled_) recheckAll();
}

void SpellingUnderline::openGameDictionary() {
  const QString path = scenarioPath_();
  if (path.isEmpty()) return;
  speller_->openGameDictionary(spelling::gameDictionaryPath(path.toStdString()));
}

void SpellingUnderline::scenarioFileChanged() {
  if (!speller_ || !speller_->available()) return;
  openGameDictionary();
  suggestions_.clear();
  if (enabled_) recheckAll();
}

std::string SpellingUnderline::lineText(int line) const { return toCp1251(document_->findBlockByNumber(line).text()); }

void SpellingUnderline::stopCheck() {
  if (stop_) stop_->store(true);
  stop_.reset();
  checking_ = false;
  ++checkId_;  // a result still on its way is dropped
}

void SpellingUnderline::recheckAll() {
  stopCheck();
  blockCount_ = document_->blockCount();
  revision_ = document_->revision();
  if (!active()) return;
  // One copy of the text on this thread (lines parted by U+2029, nothing else replaced, so that
  // every column stays); the worker cuts it into Windows-1251 lines.
  QString text = document_->toRawText();
  editsSinceCopy_.clear();
  linesEditedSinceCopy_.clear();
  checking_ = true;
  stop_ = std::make_shared<std::atomic<bool>>(false);
  const std::uint64_t id = checkId_;
  pool_.start([this, id, speller = speller_, stop = stop_, text = std::move(text)] {
    std::vector<std::string> lines;
    std::string line;
    for (QStringView rest(text);;) {
      const qsizetype end = rest.indexOf(QChar::ParagraphSeparator);
      line.clear();
      appendCp1251(rest.left(end < 0 ? rest.size() : end), line);
      lines.push_back(line);
      if (end < 0) break;
      rest = rest.mid(end + 1);
    }
    spelling::TextSpelling result = spelling::checkText(*speller, lines, stop.get());
    if (!result.complete) return;
    QMetaObject::invokeMethod(
        this, [this, id, result = std::move(result)]() mutable { checked(id, std::move(result)); },
        Qt::QueuedConnection);
  });
}

void SpellingUnderline::scheduleRecheck() {
  // A replaced text reports itself twice (the change of its lines, then textReplaced): one check.
  stopCheck();
  results_ = {};
  if (recheckScheduled_) return;
  recheckScheduled_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        recheckScheduled_ = false;
        recheckAll();
      },
      Qt::QueuedConnection);
}

void SpellingUnderline::textReplaced() {
  if (!active()) return;
  scheduleRecheck();
  emit changed();
}

void SpellingUnderline::checked(std::uint64_t id, spelling::TextSpelling result) {
  if (id != checkId_ || !active()) return;  // superseded
  checking_ = false;
  stop_.reset();
  if (result.generation != speller_->generation()) {
    // A word was added or ignored meanwhile: the verdicts are stale.
    recheckAll();
    return;
  }
  results_.assign(std::move(result));
  // The text went on changing while it was checked: replay its line structure, then check the
  // lines edited meanwhile as they are now.
  for (const Edit& edit : editsSinceCopy_) {
    if (edit.kind == EditKind::Insert)
      results_.insertLine(*speller_, edit.line, {});
    else
      results_.removeLine(edit.line);
  }
  for (int line : linesEditedSinceCopy_)
    if (line < document_->blockCount()) results_.replaceLine(*speller_, line, lineText(line));
  editsSinceCopy_.clear();
  linesEditedSinceCopy_.clear();
  emit changed();
}

void SpellingUnderline::textChanged(int position, int charsRemoved, int charsAdded) {
  const int count = document_->blockCount();
  // The colouring of lines reports a change of the same length without touching the text.
  if (document_->revision() == revision_ && count == blockCount_ && charsRemoved == charsAdded) return;
  revision_ = document_->revision();
  const int delta = count - blockCount_;
  blockCount_ = count;
  if (!active()) return;
  const int first = document_->findBlock(position).blockNumber();
  if (first < 0) return;
  const int last = std::max(first, document_->findBlock(position + charsAdded).blockNumber());
  const bool large = last - first > kLargestLineByLineEdit || std::abs(delta) > kLargestLineByLineEdit;
  if (large) {
    scheduleRecheck();  // what was underlined belonged to the text before
    emit changed();
    return;
  }
  // Lines first+1 .. first+delta were inserted (or that many after `first` removed); lines
  // first .. last hold the new text.
  auto shift = [this](int from, int by) {
    std::set<int> moved;
    for (int line : linesEditedSinceCopy_) {
      if (line < from)
        moved.insert(line);
      else if (by > 0 || line >= from - by)
        moved.insert(line + by);
    }
    linesEditedSinceCopy_ = std::move(moved);
  };
  if (delta > 0) {
    for (int i = 1; i <= delta; ++i) {
      results_.insertLine(*speller_, first + i, {});
      if (checking_) editsSinceCopy_.push_back({EditKind::Insert, first + i});
    }
    if (checking_) shift(first + 1, delta);
  } else if (delta < 0) {
    for (int i = 0; i < -delta; ++i) {
      results_.removeLine(first + 1);
      if (checking_) editsSinceCopy_.push_back({EditKind::Remove, first + 1});
    }
    if (checking_) shift(first + 1, delta);
  }
  for (int line = first; line <= last && line < count; ++line) {
    results_.replaceLine(*speller_, line, lineText(line));
    if (checking_) linesEditedSinceCopy_.insert(line);
  }
  emit changed();
}

const std::vector<spelling::Misspelling>& SpellingUnderline::on(int line) const {
  return active() ? results_.on(line) : kNone;
}

const spelling::Misspelling* SpellingUnderline::at(int line, int column) const {
  return active() ? results_.at(line, column) : nullptr;
}

std::optional<std::vector<std::string>> SpellingUnderline::knownSuggestions(const std::string& word) const {
  const auto it = suggestions_.find(word);
  if (it == suggestions_.end()) return std::nullopt;
  return it->second;
}

void SpellingUnderline::findSuggestions(const std::string& word) {
  if (!active() || suggestions_.count(word) || suggestionsAsked_.count(word)) return;
  suggestionsAsked_.insert(word);
  pool_.start([this, word, speller = speller_] {
    std::vector<std::string> found = speller->suggest(word);
    QMetaObject::invokeMethod(
        this,
        [this, word, found = std::move(found)] {
          suggestionsAsked_.erase(word);
          suggestions_[word] = found;
          emit suggestionsReady(word);
        },
        Qt::QueuedConnection);
  });
}

std::optional<QString> SpellingUnderline::addToGameDictionary(const std::string& word) {
  if (!active()) return std::nullopt;
  if (auto error = speller_->addToGameDictionary(word)) return toQt(*error);
  suggestions_.clear();
  recheckAll();
  return std::nullopt;
}

std::optional<QString> SpellingUnderline::addToUserDictionary(const std::string& word) {
  if (!active()) return std::nullopt;
  if (auto error = speller_->addToUserDictionary(word)) return toQt(*error);
  suggestions_.clear();
  recheckAll();
  return std::nullopt;
}

void SpellingUnderline::ignore(const std::string& word) {
  if (!active()) return;
  speller_->ignore(word);
  suggestions_.clear();
  recheckAll();
}

}  // namespace marvo
