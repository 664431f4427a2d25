#include "platform/reclib/FileCopy.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace reclib {
namespace {

// Errors that only say this way of copying is not offered between these two files.
bool NotOffered(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTTY ||
         error == EBADF || error == EPERM;
}

// copy_file_range from `done` on; 0, the errno, or -1 when the kernel does not offer it here.
int CopyInKernel(int source, int destination, off_t size, off_t& done) {
  while (done < size) {
    off_t in = done, out = done;
    const ssize_t copied = ::copy_file_range(source, &in, destination, &out, static_cast<size_t>(size - done), 0);
    if (copied < 0 && errno == EINTR) continue;
    if (copied < 0) return done == 0 && NotOffered(errno) ? -1 : errno;
    if (copied == 0) return EIO;  // the source is shorter than it was said to be
    done += copied;
  }
  return 0;
}

int CopyThroughBuffer(int source, int destination, off_t size, off_t done) {
  std::vector<char> buffer(1 << 20);
  while (done < size) {
    const size_t want = static_cast<size_t>(std::min<off_t>(size - done, static_cast<off_t>(buffer.size())));
    const ssize_t got = ::pread(source, buffer.data(), want, done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got < 0 ? errno : EIO;
    for (ssize_t written = 0; written < got;) {
      const ssize_t n = ::pwrite(destination, buffer.data() + written, static_cast<size_t>(got - written), done + written);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return errno;
      written += n;
    }
    done += got;
  }
  return 0;
}

}  // namespace

int CopyFileBytes(int source, int destination, off_t size, std::string& call) {
  // A reflink shares the whole file: only for a source that is exactly `size` long.
  if (::lseek(source, 0, SEEK_END) == size && ::ioctl(destination, FICLONE, source) == 0) return 0;
  // As cp does: the kernel reads ahead twice as far, which a store read from the disk needs.
  ::posix_fadvise(source, 0, 0, POSIX_FADV_SEQUENTIAL);
  off_t done = 0;
  call = "copy_file_range";
  const int inKernel = CopyInKernel(source, destination, size, done);
  if (inKernel >= 0) return inKernel;
  call = "read and write";
  return CopyThroughBuffer(source, destination, size, done);
}

}  // namespace reclib
