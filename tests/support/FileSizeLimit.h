// A file size limit for the life of an object: the writes a full disk would refuse, for tests
// (it holds for root too).
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace testing_support {

// Lets the process write files up to `bytes` long (and no further: writes fail with EFBIG
// instead of raising SIGXFSZ) until the object goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t previous_;
};

}  // namespace testing_support
