// Keeps a recovery file of the scenario document's text while it has unsaved changes: every 30 seconds,
// and when the program is ended by SIGTERM or SIGHUP.
#pragma once

#include <QObject>
#include <QString>
#include <filesystem>

class QTimer;

namespace marvo {

class ScenarioDocument;

class RecoveryWriter : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 30'000;

  RecoveryWriter(ScenarioDocument& document, QObject* parent = nullptr);

  // The user's data folder for recovery files (QStandardPaths), created on the first write.
  static std::filesystem::path folder();
  // The text was replaced or saved and now belongs to `scenario` (empty: no file yet); the
  // recovery file of the text before is removed when this run wrote it. `restored`: the text came from the recovery
  // file of `scenario`, which now belongs to this run.
  void setScenario(const QString& scenario, bool restored = false);
  // After a successful save or a clean exit: the recovery file this run wrote is removed.
  void discard();
  // Writes the recovery file when the text has changes not yet saved nor written. Returns false
  // when the write failed.
  bool writeIfNeeded();
  std::filesystem::path currentFile() const { return file_; }

  // Production: SIGTERM and SIGHUP write the recovery file, then end the program by that signal.
  void handleTerminationSignals();

 private:
  void onSignal();

  ScenarioDocument& document_;
  QTimer* timer_ = nullptr;
  QString scenario_;
  std::filesystem::path file_;
  int writtenRevision_ = -1;  // the document revision last written
  bool owned_ = false;        // file_ was written (or restored) by this run
};

}  // namespace marvo
