// The code editor's walkthrough runs: every ".walk" beside the scenario on a worker thread, a
// progress bar, the failures for the problems list, a viewer for one failure, the coverage shading.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QWidget>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace marvo {

struct Problem;

// One failure opened for reading: the walkthrough around the failing command, what was expected
// and what the command printed. Read-only.
class WalkthroughFailureViewer : public QDialog {
  Q_OBJECT

 public:
  WalkthroughFailureViewer(const QString& title, const QString& walkthrough, const QString& expected,
                           const QString& actual, QWidget* parent = nullptr);

  QPlainTextEdit* walkthroughText() const { return walkthroughText_; }
  QPlainTextEdit* expectedText() const { return expectedText_; }
  QPlainTextEdit* actualText() const { return actualText_; }

 private:
  QPlainTextEdit* walkthroughText_ = nullptr;
  QPlainTextEdit* expectedText_ = nullptr;
  QPlainTextEdit* actualText_ = nullptr;
};

class WalkthroughPanel : public QWidget {
  Q_OBJECT

 public:
  // `textView` is the scenario's text area, which the coverage shading marks.
  explicit WalkthroughPanel(QPlainTextEdit& textView, QWidget* parent = nullptr);
  ~WalkthroughPanel() override;

  // Starts a run of the walkthrough files `walks` against the scenario and library lines
  // (Windows-1251) on a worker thread; does nothing while a run is under way. Emits finished().
  // With no files the summary shows `noneNote`.
  void run(std::vector<std::string> scenario, std::vector<std::string> library,
           std::vector<std::filesystem::path> walks, const QString& noneNote);
  bool running() const { return busy_; }

  // Opens the viewer for a failure of the last run (the `data` of its problem).
  void openFailure(int index);
  // The rule name of the problems this panel reports.
  static QString problemRule();
  WalkthroughFailureViewer* viewer() const { return viewer_; }

  QLabel* summaryLabel() const { return summaryLabel_; }
  QProgressBar* progressBar() const { return progressBar_; }
  QCheckBox* coverageShadingBox() const { return coverageShadingBox_; }
  // The 1-based scenario lines no walkthrough of the last finished run executed; null while none
  // has finished or when it ran no walkthrough.
  const std::vector<int>* unexecutedLines() const;

 signals:
  // After every run, with one problem per failure (empty when all passed).
  void finished(const QList<Problem>& failures);

 private:
  struct Run;
  void showResults();
  void applyShading();

  QPlainTextEdit& textView_;
  QLabel* summaryLabel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QCheckBox* coverageShadingBox_ = nullptr;  // shade the lines no walkthrough executed
  std::shared_ptr<Run> run_;
  QString noneNote_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  bool busy_ = false;  // from run() until its results are shown
  WalkthroughFailureViewer* viewer_ = nullptr;
};

}  // namespace marvo
