#include "platform/copylib/SyncFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace copylib {

bool SyncFile(const std::string& path, std::string& why) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (!synced) why = path + ": " + std::strerror(errno);
  if (fd >= 0) ::close(fd);
  return synced;
}

}  // namespace copylib
