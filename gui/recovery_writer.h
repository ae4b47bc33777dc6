// Keeps a recovery file of the scenario document's text while it has unsaved changes: written by a
// thread of its own after every pause in typing (and at the latest every two seconds while typing
// goes on), and when the program is ended by SIGTERM or SIGHUP. The files belong to this running
// instance (a lock): another instance does not offer them while this one runs.
// It keeps the game in progress too, in a file beside the text's: written by the same thread after
// every turn (the ticks of the clock since the last command go with each write and with the write
// on SIGTERM or SIGHUP; a crash loses at most the ticks since the last turn, so no write of its own
// follows the clock), removed when the game ends for good.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "game/recovery.h"

class QTimer;

namespace marvo {

class ScenarioDocument;

class RecoveryWriter : public QObject {
  Q_OBJECT

 public:
  // A pause in typing this long writes the file; typing that goes on without such a pause is
  // written this long after its first unwritten change.
  static constexpr int kPauseMs = 1000;
  static constexpr int kLongestWaitMs = 2000;

  RecoveryWriter(ScenarioDocument& document, QObject* parent = nullptr);
  ~RecoveryWriter() override;

  // The user's data folder for recovery files (QStandardPaths), created on the first write.
  static std::filesystem::path folder();
  // The text was replaced or saved and now belongs to `scenario` (empty: no file yet); the
  // recovery file of the text before is removed when this run wrote it.
  void setScenario(const QString& scenario);
  // The text was restored from `file`, left by an ended run for `scenario`: that file becomes
  // this run's recovery file of the text.
  void adopt(const std::filesystem::path& file, const QString& scenario);
  // After a successful save or a clean exit: the recovery file this run wrote is removed.
  void discard();
  // Writes the recovery file now (waiting for a write under way) when the text has changes not
  // yet saved nor written. Returns false when the write failed.
  bool writeIfNeeded();
  std::filesystem::path currentFile() const { return file_; }
  // Changes of the text written to the recovery file so far (by either path), and made so far.
  int writtenChange() const { return written_->load(); }
  int change() const { return change_; }

  // The game in progress. A game started on `scenario` (empty: a text never saved): the file of
  // this run's game before goes.
  void startPlay(const std::filesystem::path& scenario);
  // The game of `file`, left by an ended run, goes on here: that file becomes this run's.
  void adoptPlay(const std::filesystem::path& file);
  // Writes the game in progress in the background (once started); the newest write handed over
  // wins.
  void writePlay(PlayRecovery play);
  // The game ended for good (a new one, New, a clean exit, nothing left to undo): its file goes.
  void discardPlay();
  std::filesystem::path playFile() const { return playFile_; }
  // The game as it stands, written on SIGTERM or SIGHUP while `context` lives (std::nullopt: no
  // game worth keeping).
  void setPlaySource(QObject* context, std::function<std::optional<PlayRecovery>()> source);

  // From now on the file is written after pauses in typing. Until then (as in tests of windows
  // that edit the text) only writeIfNeeded() writes, and the user's data folder is left alone.
  void start() { started_ = true; }
  // Production: SIGTERM and SIGHUP write the recovery file, then end the program by that signal.
  void handleTerminationSignals();

 signals:
  // A write from the background thread ended (`ok` false: it failed); for tests and status.
  void written(bool ok);
  // A write of the game in progress from the background thread ended.
  void playWritten(bool ok);

 private:
  class Worker;
  void onTextChanged();
  void writeInBackground();
  void onSignal();
  // The file this run wrote goes (the text is saved, given up or restored over).
  void removeOwnFile();
  // Writes the game in progress now from the play source, waiting for a write under way.
  void writePlayNow();

  ScenarioDocument& document_;
  RecoveryOwner owner_;
  std::unique_ptr<Worker> worker_;
  QTimer* pause_ = nullptr;
  QTimer* longestWait_ = nullptr;
  QString scenario_;
  std::filesystem::path file_;
  int change_ = 0;  // counts the changes of the text
  std::shared_ptr<std::atomic<int>> written_;
  bool owned_ = false;  // file_ was written (or adopted) by this run
  bool started_ = false;
  std::filesystem::path playFile_;
  bool playOwned_ = false;  // playFile_ was written (or adopted) by this run
  QPointer<QObject> playContext_;
  std::function<std::optional<PlayRecovery>()> playSource_;
};

}  // namespace marvo
