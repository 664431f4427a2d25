// SHA-256 of a file's bytes, for the manifests of database backups.
#pragma once

#include <optional>
#include <string>

namespace copylib {

// The digest as 64 lower-case hex digits; nullopt with `why` (naming the file) when the file
// cannot be read to its end.
std::optional<std::string> FileSha256(const std::string& path, std::string& why);

}  // namespace copylib
