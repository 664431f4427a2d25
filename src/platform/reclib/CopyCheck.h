// SQLite's integrity check of a store copy (a backup's), read as outside input: the copy is
// opened read-only as an immutable file, so that the check writes nothing and makes no file
// beside it (no lock, journal or WAL file), and SQLite reads it through a VFS that counts the
// bytes read, so that a check of a large store can show its progress.
#pragma once

#include <functional>
#include <string>

namespace reclib {

// `done` of an estimated `total` bytes read; done stays below total until the check ends.
using CheckProgress = std::function<void(long long done, long long total)>;

// 0 when the file at `path` is a store of this product and passes the check. Otherwise
// kOpenFailed (missing or unreadable) or kStorageError (not a store, damaged, or its check
// fails: "<path>: integrity check: <SQLite's first findings>"), with the reason in `why`.
short CheckStoreCopy(const std::string& path, const CheckProgress& progress, std::string& why);

}  // namespace reclib
