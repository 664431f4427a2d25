#include "platform/ipc/ipc.h"
#include "platform/ipc/RunClaim.h"

#include <sys/file.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string StoreDirectory() {
  if (const char* dir = std::getenv("FILOMAR_IPC_DIR"); dir && *dir) return dir;
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) return std::string(run) + "/filomar-ipc";
  return "/tmp/filomar-ipc-" + std::to_string(getuid());
}

// Creates the store directory when missing; refuses one that another user could read.
bool EnsureStore(const std::string& dir) {
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

// Keys become hex file names, so no key can name a path outside the store.
std::string KeyPath(const std::string& dir, const char* key) {
  static const char* hex = "0123456789abcdef";
  std::string name;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(key); *p; ++p) {
    name += hex[*p >> 4];
    name += hex[*p & 15];
  }
  return dir + "/k" + name;
}

bool ReadAll(int fd, std::vector<char>& out) {
  char chunk[4096];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0) return false;
    if (n == 0) return true;
    out.insert(out.end(), chunk, chunk + n);
  }
}

bool WriteAll(int fd, const char* data, std::size_t len) {
  while (len > 0) {
    const ssize_t n = write(fd, data, len);
    if (n <= 0) return false;
    data += n;
    len -= static_cast<std::size_t>(n);
  }
  return true;
}

// The key files this process wrote, with the identity of the file it wrote, so ipc_withdraw can
// remove them from a signal handler: fixed storage, no allocation, and an entry becomes visible
// to the handler only once it is complete (signals are blocked while the table changes).
struct WrittenKey {
  char path[PATH_MAX];
  dev_t device;
  ino_t inode;
};
constexpr int kMaxWrittenKeys = 64;
WrittenKey writtenKeys[kMaxWrittenKeys];
volatile sig_atomic_t writtenCount = 0;
volatile sig_atomic_t writerPid = 0;

class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous_);
  }
  ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsBlocked(const SignalsBlocked&) = delete;
  SignalsBlocked& operator=(const SignalsBlocked&) = delete;

 private:
  sigset_t previous_;
};

// The run's claim on the store (RunClaim.h), kept for ipc_withdraw like the written keys.
char claimPath[PATH_MAX];
volatile sig_atomic_t claimPid = 0;

// Removes the claim file at the end of the run; the lock itself ends with the process.
void WithdrawClaim() {
  if (claimPid != getpid()) return;
  unlink(claimPath);
  claimPid = 0;
}

// Records `file` (the identity of the file written) as this process's value at `path`.
// False when the table is full. Called with signals blocked.
bool RememberWritten(const std::string& path, const struct stat& file) {
  if (path.size() >= PATH_MAX) return false;
  if (writerPid != getpid()) {  // a forked child starts a table of its own
    writtenCount = 0;
    writerPid = getpid();
  }
  int slot = 0;
  while (slot < writtenCount && path != writtenKeys[slot].path) ++slot;
  if (slot == kMaxWrittenKeys) return false;
  std::memcpy(writtenKeys[slot].path, path.c_str(), path.size() + 1);
  writtenKeys[slot].device = file.st_dev;
  writtenKeys[slot].inode = file.st_ino;
  if (slot == writtenCount) writtenCount = slot + 1;
  return true;
}

}  // namespace

extern "C" int ipc_write(const char* key, const char* value, int length) {
  if (key == nullptr || *key == '\0' || length < 0 || (value == nullptr && length > 0)) return 1;
  const std::string dir = StoreDirectory();
  if (!EnsureStore(dir)) return 2;
  const std::string path = KeyPath(dir, key);
  const std::string tmp = path + ".tmp" + std::to_string(getpid());
  const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return 3;
  struct stat file {};
  const bool written = WriteAll(fd, value, static_cast<std::size_t>(length)) && fstat(fd, &file) == 0;
  if (close(fd) != 0 || !written) {
    unlink(tmp.c_str());
    return 3;
  }
  // A value that could not be withdrawn at the end would outlive the run, so it is remembered
  // before it becomes visible; no signal sees the table and the store disagree.
  SignalsBlocked blocked;
  if (!RememberWritten(path, file)) {
    unlink(tmp.c_str());
    return 5;
  }
  if (rename(tmp.c_str(), path.c_str()) != 0) {
    unlink(tmp.c_str());
    return 3;
  }
  return 0;
}

extern "C" void ipc_withdraw(void) {
  WithdrawClaim();
  if (writerPid != getpid()) return;
  const int count = writtenCount;
  for (int i = 0; i < count; ++i) {
    const WrittenKey& key = writtenKeys[i];
    struct stat st {};
    if (lstat(key.path, &st) == 0 && st.st_dev == key.device && st.st_ino == key.inode) unlink(key.path);
  }
  writtenCount = 0;
}

extern "C" int ipc_read(const char* key, char* buffer, int* length) {
  if (key == nullptr || *key == '\0' || length == nullptr || *length < 0) return 1;
  const std::string dir = StoreDirectory();
  if (!EnsureStore(dir)) return 2;
  // Non-blocking open and a regular-file check: a FIFO put in a value's place must not block.
  const int fd = open(KeyPath(dir, key).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return 4;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return 3;
  }
  std::vector<char> value;
  const bool ok = ReadAll(fd, value);
  close(fd);
  if (!ok) return 3;
  if (buffer != nullptr) std::memcpy(buffer, value.data(), std::min<std::size_t>(value.size(), static_cast<std::size_t>(*length)));
  *length = static_cast<int>(value.size());
  return 0;
}

namespace ipc {
namespace {

// Takes the claim on `path`; -1 when another process holds it (its text then in `holder`),
// -2 when the file cannot be used. The lock must be on the file the path names once it is
// held: a run that ended may have removed the file between our open and our lock.
int LockClaimFile(const std::string& path, std::string& holder) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return -2;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      std::vector<char> text;
      ReadAll(fd, text);
      holder.assign(text.begin(), text.end());
      close(fd);
      return -1;
    }
    struct stat held {}, named {};
    if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
      return fd;
    close(fd);
  }
  return -2;
}

}  // namespace

bool ClaimStoreForRun(const std::string& description, std::string& holder) {
  if (claimPid == getpid()) return true;
  const std::string dir = StoreDirectory();
  if (!EnsureStore(dir)) return true;
  const std::string path = dir + "/run-claim";
  if (path.size() >= PATH_MAX) return true;
  const int fd = LockClaimFile(path, holder);
  if (fd == -1) return false;
  if (fd < 0) return true;
  // The descriptor stays open for the life of the process: closing it would end the claim.
  const std::string text = description + " (process " + std::to_string(getpid()) + ")";
  if (ftruncate(fd, 0) == 0) WriteAll(fd, text.data(), text.size());
  SignalsBlocked blocked;
  std::memcpy(claimPath, path.c_str(), path.size() + 1);
  claimPid = getpid();
  return true;
}

}  // namespace ipc
