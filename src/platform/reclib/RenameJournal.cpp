#include "platform/reclib/RenameJournal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/reclib/FaultPoints.h"

namespace reclib {

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

int CheckFileChange(const FileChange& change) {
  if (!Exists(change.source)) return errno;
  if (::access(DirectoryOf(change.source).c_str(), W_OK) != 0) return errno;
  if (change.kind == FileChange::Kind::kRename && ::access(DirectoryOf(change.target).c_str(), W_OK) != 0) return errno;
  return 0;
}

int CarryOut(const FileChange& change) {
  if (!Exists(change.source)) return 0;  // carried out before
  FaultPoint("rename", change.source);
  const int rc = change.kind == FileChange::Kind::kRename ? std::rename(change.source.c_str(), change.target.c_str())
                                                          : ::unlink(change.source.c_str());
  return rc == 0 ? 0 : errno;
}

}  // namespace reclib
