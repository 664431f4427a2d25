// Advisory locks shared between processes, on one lock file beside a record store.
//
// Each lockable thing is one byte of the lock file at its own offset (the file need not be
// that long): a record file at FileOffset(code, instance), a record at RecordOffset(table,
// key). Locks are POSIX fcntl locks, so they belong to the process, vanish when it dies and
// never conflict within one process. POSIX drops every lock a process holds on a file when
// any descriptor of that file is closed: a process must open each lock file once only.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace reclib {

class LockFile {
 public:
  enum class Outcome { kGranted, kRefused, kFailed };

  // Opens (creating when missing) the lock file; null with errno set on failure. `created`
  // tells whether this call made the file.
  static std::unique_ptr<LockFile> Open(const std::string& path, bool& created);
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // Takes or converts this process's lock at `offset` without waiting.
  Outcome Lock(off_t offset, bool exclusive);
  void Unlock(off_t offset);
  // True when another process holds any lock at `offset`.
  bool HeldByOther(off_t offset);

  static off_t FileOffset(const char code[4], short instance);
  static off_t RecordOffset(const std::string& table, const std::string& key);

 private:
  explicit LockFile(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace reclib
