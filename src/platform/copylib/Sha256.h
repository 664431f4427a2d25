// SHA-256 of a file's bytes, for the manifests of database backups.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace copylib {

// The digest as 64 lower-case hex digits; nullopt with `why` (naming the file) when the file
// cannot be read to its end.
std::optional<std::string> FileSha256(const std::string& path, std::string& why);

// The digest of what is read from the open file `fd` up to its end (from its current offset),
// writing every byte read to `copyTo` as well when it is not -1. `path` and `copyPath` name
// the files in `why` when a read or write fails. `read`, when set, is told the bytes of each
// read as it is summed.
std::optional<std::string> StreamSha256(int fd, const std::string& path, std::string& why, int copyTo = -1,
                                        const std::string& copyPath = "",
                                        const std::function<void(long long bytes)>& read = nullptr);

}  // namespace copylib
