// Files of a backup folder read as outside input, and files the backup module writes.
//
// A backup folder may lie on a shared disk that others can write: its files are opened
// without following a symbolic link (O_NOFOLLOW) and must be regular files, so that a link
// planted in the folder cannot make a restore read another file of the machine.
#pragma once

#include <functional>
#include <string>

#include "common/Status.h"

namespace filomar::backup {

class OpenFile {
 public:
  OpenFile() = default;
  ~OpenFile();
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  // Opens `path` read-only. NotFound when it does not exist; Invalid when it is a symbolic
  // link, not a regular file, or longer than `limit` bytes (limit < 0: any length); IoError
  // when the system refuses it.
  Status Open(const std::string& path, long long limit = -1);
  // The size when it was opened.
  long long size() const { return size_; }
  const std::string& path() const { return path_; }
  // A path that names this open file itself, not whatever `path` names by now: a file put in
  // its place after it was opened and checked is not the one read through it.
  std::string DescriptorPath() const { return "/proc/self/fd/" + std::to_string(fd_); }
  // The whole content, from the start.
  Status ReadAll(std::string& text);
  // fsync of the open file: what was written to it before is on the disk.
  Status Sync();
  // The SHA-256 of the whole content (64 lower-case hex digits), written to the open file
  // `copyTo` (named `copyPath`) as it is read when copyTo is not -1; `read`, when set, is told
  // the bytes of each read.
  Status Sha256(std::string& digest, int copyTo = -1, const std::string& copyPath = "",
                const std::function<void(long long bytes)>& read = nullptr);

 private:
  int fd_ = -1;
  long long size_ = 0;
  std::string path_;
};

// Writes `text` to `path` (created, or truncated when it exists and is not a link), synced
// and closed, every step checked. IoError naming the file otherwise.
Status WriteNewFile(const std::string& path, const std::string& text, int mode = 0644);

// fsync of `path` (a file or a folder). IoError naming it otherwise.
Status SyncPath(const std::string& path);

}  // namespace filomar::backup
