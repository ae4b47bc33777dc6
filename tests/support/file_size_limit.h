// A write failure that does what a full disk does, for tests: while one lives, every write past
// `bytes` into a regular file fails (EFBIG), partway through like a disk that fills up.
#pragma once

#include <sys/resource.h>
#include <csignal>

namespace marvo::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the test
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousSignal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousSignal_)(int) = nullptr;
};

}  // namespace marvo::testing
