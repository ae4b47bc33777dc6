// The code editor's spelling check: the dictionaries loaded once on a worker, the whole text
// checked on a worker, each edited line re-checked as it changes, and the unknown words of every
// line for the view to underline and the context menu to offer corrections for.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "spelling/speller.h"

class QTextDocument;

namespace marvo {

class SpellingUnderline : public QObject {
  Q_OBJECT

 public:
  // Follows `document`; `scenarioPath` says where the scenario's file is (empty for none), so
  // that its game dictionary (NAME.dic beside it) is found. Nothing is loaded until setEnabled(true).
  SpellingUnderline(QTextDocument* document, std::function<QString()> scenarioPath, QObject* parent = nullptr);
  ~SpellingUnderline() override;

  // On: the dictionaries are loaded (once, on a worker) and the text checked in the background.
  // Off: no underline and no work.
  void setEnabled(bool on);
  bool enabled() const { return enabled_; }
  // «ё» and «е» as one letter.
  void setYoIsYe(bool same);
  bool yoIsYe() const { return yoIsYe_; }

  // Why the check is off although it was asked for (no dictionary), Russian; empty otherwise.
  QString note() const { return note_; }
  // The dictionaries are loaded and the check runs.
  bool active() const { return enabled_ && speller_ && speller_->available(); }
  // A check of the whole text or a load is running.
  bool busy() const { return loading_ || checking_ || recheckScheduled_; }

  // The unknown words of a line (0-based), positions in the line's characters; empty when off.
  const std::vector<spelling::Misspelling>& on(int line) const;
  // The unknown word covering character `column` of the line, if any.
  const spelling::Misspelling* at(int line, int column) const;

  // The corrections already found for a word (Windows-1251), or std::nullopt when not yet known.
  std::optional<std::vector<std::string>> knownSuggestions(const std::string& word) const;
  // Looks for corrections on a worker; suggestionsReady(word) says when knownSuggestions has them.
  void findSuggestions(const std::string& word);

  // The word added to the game's dictionary (NAME.dic) or the user's (user.dic), or ignored until
  // the program ends; each re-checks the text. Return "<file>: <reason>" on failure.
  std::optional<QString> addToGameDictionary(const std::string& word);
  std::optional<QString> addToUserDictionary(const std::string& word);
  void ignore(const std::string& word);
  // The scenario's file changed: its game dictionary is read again and the text re-checked.
  void scenarioFileChanged();
  // The whole text again, in the background (after a word was added, an option changed).
  void recheckAll();
  // The text was replaced: its underlines are gone until the new text is checked.
  void textReplaced();

  // The user dictionary: user.dic in the program's folder of the user's data.
  static std::filesystem::path userDictionary();

 signals:
  // The underlines changed (a check finished, a line was re-checked).
  void changed();
  void noteChanged(const QString& note);
  void suggestionsReady(const std::string& word);

 private:
  enum class EditKind { Insert, Remove };
  struct Edit {
    EditKind kind;
    int line;
  };

  void load();
  void loaded(std::shared_ptr<spelling::Speller> speller);
  void textChanged(int position, int charsRemoved, int charsAdded);
  void checked(std::uint64_t id, spelling::TextSpelling result);
  void stopCheck();
  void scheduleRecheck();
  std::string lineText(int line) const;
  void openGameDictionary();

  QTextDocument* document_;
  std::function<QString()> scenarioPath_;
  bool enabled_ = false;
  bool yoIsYe_ = true;
  bool loading_ = false;
  bool checking_ = false;
  bool recheckScheduled_ = false;
  QString note_;
  std::shared_ptr<spelling::Speller> speller_;
  spelling::SpellingResults results_;
  int blockCount_ = 0;
  int revision_ = -1;
  // The check in flight: its number, its stop flag, and the edits made since its text was copied.
  std::uint64_t checkId_ = 0;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::vector<Edit> editsSinceCopy_;
  std::set<int> linesEditedSinceCopy_;
  std::unordered_map<std::string, std::vector<std::string>> suggestions_;
  std::set<std::string> suggestionsAsked_;
  QThreadPool pool_;
};

}  // namespace marvo
