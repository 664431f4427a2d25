#include "platform/reclib/LockFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace reclib {
namespace {

// File locks sit below 2^48 (4 code bytes and the instance); record locks above it, at a
// 60-bit hash of table and key, so the two kinds never share a byte.
constexpr std::uint64_t kRecordBase = std::uint64_t{1} << 48;
constexpr std::uint64_t kRecordSpan = (std::uint64_t{1} << 60) - 1;

struct flock Region(short type, off_t offset) {
  struct flock region {};
  region.l_type = type;
  region.l_whence = SEEK_SET;
  region.l_start = offset;
  region.l_len = 1;
  return region;
}

std::uint64_t Fnv1a(std::uint64_t hash, const std::string& bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

}  // namespace

std::unique_ptr<LockFile> LockFile::Open(const std::string& path, bool& created) {
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  created = fd < 0 && errno == ENOENT;
  if (created) fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  return std::unique_ptr<LockFile>(new LockFile(fd));
}

LockFile::~LockFile() { ::close(fd_); }

LockFile::Outcome LockFile::Lock(off_t offset, bool exclusive) {
  struct flock region = Region(exclusive ? F_WRLCK : F_RDLCK, offset);
  if (::fcntl(fd_, F_SETLK, &region) == 0) return Outcome::kGranted;
  return (errno == EACCES || errno == EAGAIN) ? Outcome::kRefused : Outcome::kFailed;
}

void LockFile::Unlock(off_t offset) {
  struct flock region = Region(F_UNLCK, offset);
  ::fcntl(fd_, F_SETLK, &region);
}

bool LockFile::HeldByOther(off_t offset) {
  // F_GETLK ignores this process's own locks: a conflicting lock is always another's.
  struct flock region = Region(F_WRLCK, offset);
  if (::fcntl(fd_, F_GETLK, &region) != 0) return false;
  return region.l_type != F_UNLCK;
}

off_t LockFile::FileOffset(const char code[4], short instance) {
  std::uint64_t value = 0;
  for (int i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(code[i]);
  return static_cast<off_t>((value << 16) | static_cast<std::uint16_t>(instance));
}

off_t LockFile::RecordOffset(const std::string& table, const std::string& key) {
  const std::uint64_t hash = Fnv1a(Fnv1a(0xcbf29ce484222325ULL, table), key);
  return static_cast<off_t>(kRecordBase + (hash & kRecordSpan));
}

}  // namespace reclib
