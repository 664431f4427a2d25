// The report file: replaced whole or not at all.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "report/JsonReport.h"

namespace filomar::report {
namespace {

namespace fs = std::filesystem;

std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

bool WriteAll(int fd, const std::string& content) {
  for (std::size_t done = 0; done < content.size();) {
    const ssize_t wrote = ::write(fd, content.data() + done, content.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

// Writes, syncs and closes the temporary file `fd`; the reason of the first failure, else "".
std::string Fill(int fd, const std::string& content) {
  std::string failure;
  if (::fchmod(fd, 0644) != 0) failure = Reason("its mode could not be set");
  if (failure.empty() && !WriteAll(fd, content)) failure = Reason("it could not be written");
  if (failure.empty() && ::fsync(fd) != 0) failure = Reason("it could not be synced");
  if (::close(fd) != 0 && failure.empty()) failure = Reason("it could not be closed");
  return failure;
}

// `path` holds nothing, or a regular file that may be replaced: "" then, else why not.
std::string ReplaceableTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? "" : Reason("it cannot be looked at");
  return S_ISREG(st.st_mode) ? "" : "it is not a regular file; it is left as it is";
}

Status ReplaceFile(const std::string& path, const std::string& content) {
  if (path.empty()) return Status::Invalid("(no file name)", "a report file needs a name");
  if (const std::string refused = ReplaceableTarget(path); !refused.empty()) return Status::Invalid(path, refused);
  const fs::path target(path);
  const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
  std::string temporary = folder + "/." + target.filename().string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Status::IoError(path, Reason("no temporary file could be made beside it"));
  std::string failure = Fill(fd, content);
  if (failure.empty() && ::rename(temporary.c_str(), path.c_str()) != 0) failure = Reason("it could not be put in place");
  if (!failure.empty()) {
    ::unlink(temporary.c_str());
    return Status::IoError(path, failure);
  }
  // The rename is durable only once the folder's entries are.
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return Status::IoError(path, Reason("its folder could not be opened to sync it"));
  if (::fsync(folderFd) != 0) failure = Reason("its folder could not be synced");
  ::close(folderFd);
  return failure.empty() ? Status::Ok() : Status::IoError(path, failure);
}

}  // namespace

Status WriteJsonReport(const RunReport& report, const std::string& path) { return ReplaceFile(path, JsonText(report)); }

std::string ReportPathBesideLog(const std::string& logPath) {
  const fs::path log(logPath);
  return (log.has_parent_path() ? log.parent_path() / "convert5.json" : fs::path("convert5.json")).string();
}

}  // namespace filomar::report
