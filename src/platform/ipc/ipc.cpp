#include "platform/ipc/ipc.h"

#include <fcntl.h>
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

}  // namespace

extern "C" int ipc_write(const char* key, const char* value, int length) {
  if (key == nullptr || *key == '\0' || length < 0 || (value == nullptr && length > 0)) return 1;
  const std::string dir = StoreDirectory();
  if (!EnsureStore(dir)) return 2;
  const std::string path = KeyPath(dir, key);
  const std::string tmp = path + ".tmp" + std::to_string(getpid());
  const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return 3;
  const bool written = WriteAll(fd, value, static_cast<std::size_t>(length));
  if (close(fd) != 0 || !written || rename(tmp.c_str(), path.c_str()) != 0) {
    unlink(tmp.c_str());
    return 3;
  }
  return 0;
}

extern "C" int ipc_read(const char* key, char* buffer, int* length) {
  if (key == nullptr || *key == '\0' || length == nullptr || *length < 0) return 1;
  const std::string dir = StoreDirectory();
  if (!EnsureStore(dir)) return 2;
  const int fd = open(KeyPath(dir, key).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 4;
  std::vector<char> value;
  const bool ok = ReadAll(fd, value);
  close(fd);
  if (!ok) return 3;
  if (buffer != nullptr) std::memcpy(buffer, value.data(), std::min<std::size_t>(value.size(), static_cast<std::size_t>(*length)));
  *length = static_cast<int>(value.size());
  return 0;
}
