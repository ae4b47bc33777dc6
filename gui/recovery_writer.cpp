// The recovery file of the scenario document's text, written by a timer and on termination signals.
#include "recovery_writer.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTimer>
#include <csignal>

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

RecoveryWriter::RecoveryWriter(ScenarioDocument& document, QObject* parent) : QObject(parent), document_(document) {
  file_ = marvo::recoveryFileFor(folder(), {});
  timer_ = new QTimer(this);
  timer_->setInterval(kIntervalMs);
  connect(timer_, &QTimer::timeout, this, &RecoveryWriter::writeIfNeeded);
  timer_->start();
}

std::filesystem::path RecoveryWriter::folder() {
  return toPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)) / "recovery";
}

void RecoveryWriter::setScenario(const QString& scenario, bool restored) {
  scenario_ = scenario;
  const auto next = marvo::recoveryFileFor(folder(), toPath(scenario));
  // The text before was saved or given up: its recovery file goes (only one this run wrote or
  // restored; another may still wait to be offered at the next start).
  if (owned_ && !(restored && next == file_)) marvo::removeRecovery(file_);
  file_ = next;
  owned_ = restored;
  writtenRevision_ = -1;
}

void RecoveryWriter::discard() {
  if (owned_) marvo::removeRecovery(file_);
  owned_ = false;
  writtenRevision_ = -1;
}

bool RecoveryWriter::writeIfNeeded() {
  const QTextDocument* doc = document_.textDocument();
  if (!doc->isModified() || doc->revision() == writtenRevision_) return true;
  if (marvo::writeRecovery(file_, toPath(scenario_), document_.lines())) return false;
  writtenRevision_ = doc->revision();
  owned_ = true;
  return true;
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
  // End as the signal would have: the parent sees the program killed by it.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace marvo
