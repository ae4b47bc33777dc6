// The language server's loop over file descriptors.
#include "stdio_loop.h"

#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "spelling_diagnostics.h"

namespace marvo::lsp {

namespace {

// What the reading thread hands over: frames, and whether the input has ended.
struct Inbox {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<Frame> frames;
  bool ended = false;
};

void readInput(int in, std::shared_ptr<Inbox> shared) {
  Inbox& inbox = *shared;
  MessageReader reader;
  std::string chunk(1 << 16, '\0');
  for (;;) {
    const ssize_t n = ::read(in, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    reader.feed(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
    std::vector<Frame> got;
    while (auto frame = reader.next()) got.push_back(std::move(*frame));
    if (got.empty()) continue;
    std::lock_guard lock(inbox.mutex);
    for (auto& f : got) inbox.frames.push_back(std::move(f));
    inbox.ready.notify_one();
  }
  std::lock_guard lock(inbox.mutex);
  inbox.ended = true;
  inbox.ready.notify_one();
}

bool writeAll(int out, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(out, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

int serve(int in, int out, ServerOptions options) {
  options.loadDictionariesInBackground = true;  // the first diagnostics do not wait for them
  // A client that goes away makes writes fail instead of killing the process.
  std::signal(SIGPIPE, SIG_IGN);
  bool clientGone = false;
  Server server(std::move(options), [&](const std::string& body) {
    if (!clientGone) clientGone = !writeAll(out, frameMessage(body));
  });
  // The reader blocks in read() until the input ends; when the server stops first it is left to the
  // process's end, and the inbox it shares lives as long as it does.
  auto shared = std::make_shared<Inbox>();
  Inbox& inbox = *shared;
  std::thread(readInput, in, shared).detach();
  const int status = [&] {
    for (;;) {
      std::vector<Frame> batch;
      bool ended = false;
      {
        std::unique_lock lock(inbox.mutex);
        const auto due = server.nextDue();
        auto ready = [&] { return !inbox.frames.empty() || inbox.ended; };
        if (due)
          inbox.ready.wait_until(lock, *due, ready);
        else
          inbox.ready.wait(lock, ready);
        batch.assign(std::make_move_iterator(inbox.frames.begin()), std::make_move_iterator(inbox.frames.end()));
        inbox.frames.clear();
        ended = inbox.ended;
      }
      server.handleFrames(batch);
      if (server.exited()) return server.exitCode();
      server.publishDue(Clock::now());
      if (clientGone || (ended && batch.empty())) return 1;
    }
  }();
  finishLoadingDictionaries();
  return status;
}

}  // namespace marvo::lsp
