// Keeps a recovery file of the scenario document's text while it has unsaved changes: written by a
// thread of its own after every pause in typing (and at the latest every two seconds while typing
// goes on), and when the program is ended by SIGTERM or SIGHUP. The files belong to this running
// instance (a lock): another instance does not offer them while this one runs.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <filesystem>
#include <memory>

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

  // From now on the file is written after pauses in typing. Until then (as in tests of windows
  // that edit the text) only writeIfNeeded() writes, and the user's data folder is left alone.
  void start() { started_ = true; }
  // Production: SIGTERM and SIGHUP write the recovery file, then end the program by that signal.
  void handleTerminationSignals();

 signals:
  // A write from the background thread ended (`ok` false: it failed); for tests and status.
  void written(bool ok);

 private:
  class Worker;
  void onTextChanged();
  void writeInBackground();
  void onSignal();
  // The file this run wrote goes (the text is saved, given up or restored over).
  void removeOwnFile();

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
};

}  // namespace marvo
