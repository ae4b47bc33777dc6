// The code editor's walkthrough results: a worker-thread run of every ".walk" beside the scenario,
// a progress bar, the failures list, a viewer for one failure and the coverage shading.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;

// One failure opened for reading: the walkthrough around the failing command, what was expected
// and what the command printed. Read-only.
class WalkthroughFailureViewer : public QDialog {
  Q_OBJECT

 public:
  WalkthroughFailureViewer(const QString& title, const QString& walkthrough, const QString& expected,
                           const QString& actual, QWidget* parent = nullptr);
  QPlainTextEdit* walkthroughText = nullptr;
  QPlainTextEdit* expectedText = nullptr;
  QPlainTextEdit* actualText = nullptr;
};

class WalkthroughPanel : public QWidget {
  Q_OBJECT

 public:
  // `memo` is the text area that coverage shading marks.
  explicit WalkthroughPanel(QPlainTextEdit& memo, QWidget* parent = nullptr);
  ~WalkthroughPanel() override;

  // Starts a run of every ".walk" file in `folder` against the scenario and library lines
  // (Windows-1251) on a worker thread; does nothing while a run is under way. Emits finished().
  void run(std::vector<std::string> scenario, std::vector<std::string> library, const QString& folder);
  bool running() const { return busy_; }

  // Opens the viewer for the failure in list row `row`.
  void openFailure(int row);
  WalkthroughFailureViewer* viewer() const { return viewer_; }

  QLabel* summary = nullptr;
  QProgressBar* progress = nullptr;
  QListWidget* failures = nullptr;
  QCheckBox* coverageShading = nullptr;  // shade the lines no walkthrough executed

 signals:
  void finished();

 private:
  struct Run;
  void showResults();
  void applyShading();

  QPlainTextEdit& memo_;
  std::shared_ptr<Run> run_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  bool busy_ = false;  // from run() until its results are shown
  WalkthroughFailureViewer* viewer_ = nullptr;
};
