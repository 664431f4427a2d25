#include "backup/OpenFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/copylib/Sha256.h"
#include "platform/copylib/SyncFile.h"

namespace filomar::backup {

OpenFile::~OpenFile() {
  if (fd_ >= 0) ::close(fd_);
}

Status OpenFile::Open(const std::string& path, long long limit) {
  path_ = path;
  fd_ = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0 && errno == ENOENT) return Status::NotFound(path, "no such file");
  if (fd_ < 0 && errno == ELOOP) return Status::Invalid(path, "a symbolic link, not a file");
  if (fd_ < 0) return Status::IoError(path, std::strerror(errno));
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return Status::IoError(path, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return Status::Invalid(path, "not a regular file");
  size_ = st.st_size;
  if (limit >= 0 && size_ > limit) return Status::Invalid(path, "longer than " + std::to_string(limit) + " bytes");
  return Status::Ok();
}

Status OpenFile::Sync() {
  return ::fsync(fd_) == 0 ? Status::Ok() : Status::IoError(path_, std::strerror(errno));
}

Status OpenFile::ReadAll(std::string& text) {
  text.assign(static_cast<std::size_t>(size_), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t got = ::pread(fd_, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Status::IoError(path_, std::strerror(errno));
    if (got == 0) break;  // shortened meanwhile: what is there is parsed
    done += static_cast<std::size_t>(got);
  }
  text.resize(done);
  return Status::Ok();
}

Status OpenFile::Sha256(std::string& digest, int copyTo, const std::string& copyPath,
                        const std::function<void(long long bytes)>& read) {
  if (::lseek(fd_, 0, SEEK_SET) != 0) return Status::IoError(path_, std::strerror(errno));
  std::string why;
  const auto sum = copylib::StreamSha256(fd_, path_, why, copyTo, copyPath, read);
  if (!sum) return Status::IoError(why);
  digest = *sum;
  return Status::Ok();
}

Status WriteNewFile(const std::string& path, const std::string& text, int mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return Status::IoError(path, std::strerror(errno));
  std::size_t done = 0;
  int error = 0;
  while (done < text.size() && error == 0) {
    const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno != EINTR) error = errno;
    if (put > 0) done += static_cast<std::size_t>(put);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? Status::Ok() : Status::IoError(path, std::strerror(error));
}

Status SyncPath(const std::string& path) {
  std::string why;
  return copylib::SyncFile(path, why) ? Status::Ok() : Status::IoError(why);
}

}  // namespace filomar::backup
