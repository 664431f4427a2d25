#include "platform/copylib/InstallRecordFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include "platform/winapi/FileLookup.h"
#include "platform/winapi/RegularFile.h"

namespace copylib {
namespace fs = std::filesystem;

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Reads exactly `size` bytes; false at an early end of file or a read error.
bool ReadAll(int fd, char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::read(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Makes the directory entry of the rename durable as well; failure here leaves a complete
// record in place, so it is not reported.
void SyncDirectory(const fs::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<InstallRecord> ReadInstallRecord(const fs::path& dir) {
  std::error_code ec;
  const auto file = winapi::ResolveNoCase(dir / kInstallRecordFileName, ec);
  if (!file) return std::nullopt;
  const int fd = winapi::OpenRegularFile(file->string());
  if (fd < 0) return std::nullopt;
  InstallRecord record;
  char extra;
  const bool whole = ReadAll(fd, reinterpret_cast<char*>(&record), sizeof record) && ::read(fd, &extra, 1) == 0;
  ::close(fd);
  if (!whole) return std::nullopt;
  if (std::memcmp(record.magic, kInstallRecordMagic, sizeof record.magic) != 0 ||
      std::memcmp(record.version, kInstallRecordVersion, sizeof record.version) != 0) {
    return std::nullopt;
  }
  return record;
}

InstallInfo Describe(const InstallRecord& record) {
  std::string password(record.password, sizeof record.password);
  password.erase(password.find_last_not_of(' ') + 1);
  return {record.engine[0], password};
}

std::error_code WriteInstallRecord(const fs::path& dir, char engineLetter, const std::string& password) {
  if (password.size() > kPasswordWidth) return std::make_error_code(std::errc::invalid_argument);
  InstallRecord record;
  std::memcpy(record.magic, kInstallRecordMagic, sizeof record.magic);
  std::memcpy(record.version, kInstallRecordVersion, sizeof record.version);
  record.engine[0] = engineLetter;
  std::fill(std::begin(record.password), std::end(record.password), ' ');
  std::copy(password.begin(), password.end(), record.password);

  std::error_code ec;
  const auto existing = winapi::ResolveNoCase(dir / kInstallRecordFileName, ec);
  if (ec) return ec;
  const fs::path target = existing ? *existing : dir / kInstallRecordFileName;

  std::string temp = (dir / ".install.rec.XXXXXX").string();
  const int fd = ::mkstemp(temp.data());  // created with mode 0600
  if (fd < 0) return LastError();
  const bool written = WriteAll(fd, reinterpret_cast<const char*>(&record), sizeof record) && ::fsync(fd) == 0;
  const std::error_code writeError = written ? std::error_code() : LastError();
  if (::close(fd) != 0 && !writeError) {
    const auto closeError = LastError();
    ::unlink(temp.c_str());
    return closeError;
  }
  if (writeError) {
    ::unlink(temp.c_str());
    return writeError;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const auto renameError = LastError();
    ::unlink(temp.c_str());
    return renameError;
  }
  SyncDirectory(dir);
  return {};
}

}  // namespace copylib
