// The recovery file of the scenario document's text, written by a thread of its own after pauses in
// typing, and on termination signals; the file of the game in progress, written after every turn.
#include "recovery_writer.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTimer>
#include <array>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "game/recovery.h"
#include "gui/scenario_document.h"

namespace {

std::filesystem::path toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

// The signal handler only writes the signal number into this socket; the event loop does the rest.
int signalSocket[2] = {-1, -1};

void onTerminationSignal(int signal) {
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] auto written = ::write(signalSocket[0], &byte, 1);
}

}  // namespace

namespace marvo {

// The thread that writes recovery files: for the text and for the game in progress, it takes the
// newest write handed over (an older one of the same kind not yet begun is dropped), so the typing
// and playing paths only copy what is written.
class RecoveryWriter::Worker {
 public:
  enum Kind { kText, kPlay };
  struct Job {
    std::function<bool()> write;     // true: written
    std::function<void(bool)> done;  // on the thread, after the write
  };

  Worker() : thread_([this] { run(); }) {}
  ~Worker() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      for (auto& job : pending_) job.reset();
    }
    wake_.notify_all();
    thread_.join();
  }

  void post(Kind kind, Job job) {
    {
      std::lock_guard lock(mutex_);
      pending_[kind] = std::move(job);
    }
    wake_.notify_all();
  }

  // Runs `action` on the calling thread once no write is under way, with the queued one of `kind`
  // dropped: nothing the thread does of that kind can come after it.
  template <class Action>
  auto exclusive(Kind kind, Action&& action) {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_; });
    pending_[kind].reset();
    return action();
  }

 private:
  void run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || pending_[kText] || pending_[kPlay]; });
      if (stopping_) return;
      auto& next = pending_[kText] ? pending_[kText] : pending_[kPlay];
      Job job = std::move(*next);
      next.reset();
      busy_ = true;
      lock.unlock();
      job.done(job.write());
      lock.lock();
      busy_ = false;
      idle_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::array<std::optional<Job>, 2> pending_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;  // last: started once everything above exists
};

RecoveryWriter::RecoveryWriter(ScenarioDocument& document, QObject* parent)
    : QObject(parent), document_(document), owner_(folder()), written_(std::make_shared<std::atomic<int>>(0)) {
  file_ = owner_.fileFor({});
  playFile_ = owner_.playFileFor({});
  worker_ = std::make_unique<Worker>();
  pause_ = new QTimer(this);
  pause_->setSingleShot(true);
  pause_->setInterval(kPauseMs);
  longestWait_ = new QTimer(this);
  longestWait_->setSingleShot(true);
  longestWait_->setInterval(kLongestWaitMs);
  connect(pause_, &QTimer::timeout, this, &RecoveryWriter::writeInBackground);
  connect(longestWait_, &QTimer::timeout, this, &RecoveryWriter::writeInBackground);
  connect(document_.textDocument(), &QTextDocument::contentsChange, this, &RecoveryWriter::onTextChanged);
  // A failed write (a full disk, say) is tried again a little later, also when typing has stopped.
  connect(this, &RecoveryWriter::written, this, [this](bool ok) {
    if (!ok && started_ && !longestWait_->isActive()) longestWait_->start();
  });
}

RecoveryWriter::~RecoveryWriter() = default;

std::filesystem::path RecoveryWriter::folder() {
  return toPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)) / "recovery";
}

void RecoveryWriter::onTextChanged() {
  ++change_;
  if (!started_) return;
  pause_->start();
  if (!longestWait_->isActive()) longestWait_->start();
}

void RecoveryWriter::writeInBackground() {
  pause_->stop();
  longestWait_->stop();
  const QTextDocument* doc = document_.textDocument();
  if (!doc->isModified()) {
    // Back to the saved text (undone): the recovery file no longer holds anything unsaved.
    removeOwnFile();
    return;
  }
  if (written_->load() == change_) return;
  owner_.claim();
  owned_ = true;
  const int change = change_;
  worker_->post(Worker::kText, {[file = file_, scenario = toPath(scenario_), lines = document_.lines()] {
                                  return !writeRecovery(file, scenario, lines);
                                },
                                [this, written = written_, change](bool ok) {
                                  if (ok) written->store(change);
                                  QMetaObject::invokeMethod(
                                      this, [this, ok] { emit this->written(ok); }, Qt::QueuedConnection);
                                }});
}

bool RecoveryWriter::writeIfNeeded() {
  pause_->stop();
  longestWait_->stop();
  const QTextDocument* doc = document_.textDocument();
  if (!doc->isModified() || written_->load() == change_) return true;
  owner_.claim();
  owned_ = true;
  const bool ok =
      worker_->exclusive(Worker::kText, [&] { return !writeRecovery(file_, toPath(scenario_), document_.lines()); });
  if (ok) written_->store(change_);
  return ok;
}

void RecoveryWriter::removeOwnFile() {
  worker_->exclusive(Worker::kText, [&] {
    if (owned_) marvo::removeRecovery(file_);
  });
  owned_ = false;
  written_->store(change_);
}

void RecoveryWriter::setScenario(const QString& scenario) {
  // The text before was saved or given up: its recovery file goes (only one this run wrote or
  // adopted; those of other runs wait to be offered).
  removeOwnFile();
  scenario_ = scenario;
  file_ = owner_.fileFor(toPath(scenario));
}

void RecoveryWriter::adopt(const std::filesystem::path& file, const QString& scenario) {
  removeOwnFile();
  scenario_ = scenario;
  file_ = owner_.fileFor(toPath(scenario));
  // Claimed first, so that the file is never without an owner once renamed.
  if (!owner_.claim() || !adoptRecovery(file, file_)) file_ = file;
  owned_ = true;
  written_->store(change_);  // the file holds the restored text
}

void RecoveryWriter::discard() { removeOwnFile(); }

void RecoveryWriter::startPlay(const std::filesystem::path& scenario) {
  discardPlay();
  playFile_ = owner_.playFileFor(scenario);
}

void RecoveryWriter::adoptPlay(const std::filesystem::path& file) {
  worker_->exclusive(Worker::kPlay, [&] {
    if (playOwned_ && file != playFile_) marvo::removeRecovery(playFile_);
    // Claimed first, so that the file is never without an owner once renamed.
    if (!owner_.claim() || !adoptRecovery(file, playFile_)) playFile_ = file;
  });
  playOwned_ = true;
}

void RecoveryWriter::writePlay(PlayRecovery play) {
  if (!started_) return;
  owner_.claim();
  playOwned_ = true;
  worker_->post(Worker::kPlay, {[file = playFile_, play = std::move(play)] { return !writePlayRecovery(file, play); },
                                [this](bool ok) {
                                  QMetaObject::invokeMethod(
                                      this, [this, ok] { emit playWritten(ok); }, Qt::QueuedConnection);
                                }});
}

void RecoveryWriter::discardPlay() {
  worker_->exclusive(Worker::kPlay, [&] {
    if (playOwned_) marvo::removeRecovery(playFile_);
  });
  playOwned_ = false;
}

void RecoveryWriter::setPlaySource(QObject* context, std::function<std::optional<PlayRecovery>()> source) {
  playContext_ = context;
  playSource_ = std::move(source);
}

void RecoveryWriter::writePlayNow() {
  if (!playOwned_ || !playContext_ || !playSource_) return;
  const auto play = playSource_();
  if (!play) return;
  worker_->exclusive(Worker::kPlay, [&] { return !writePlayRecovery(playFile_, *play); });
}

void RecoveryWriter::handleTerminationSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket) != 0) return;
  auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, &RecoveryWriter::onSignal);
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

void RecoveryWriter::onSignal() {
  char signal = 0;
  if (::read(signalSocket[1], &signal, 1) != 1) return;
  writeIfNeeded();
  writePlayNow();  // with the clock ticks since the last command
  // End as the signal would have: the parent sees the program killed by it.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace marvo
