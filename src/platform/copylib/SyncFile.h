// Making a written file (or a folder's entries) durable before anything builds on it.
#pragma once

#include <string>

namespace copylib {

// fsync of `path`; false with `why` naming the path and the reason when it cannot be opened or
// synced.
bool SyncFile(const std::string& path, std::string& why);

}  // namespace copylib
