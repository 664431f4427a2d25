#include "platform/reclib/CopyCheck.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <string>

#include "platform/reclib/Store.h"
#include "platform/reclib/io.h"

namespace reclib {
namespace {

// The check reads every page once for the b-tree walk and, when the copy does not fit in
// the connection's page cache, once more for the scan of each table's rows.
constexpr long long kCheckCacheBytes = 16LL << 20;
// The progress is told at most once per this many bytes read.
constexpr long long kProgressStep = 4LL << 20;
// At most this many findings are kept for the reason of a failed check.
constexpr const char* kCheck = "PRAGMA integrity_check(5)";
constexpr const char* kVfsName = "filomar-counting";

// The bytes read by the check running on this thread, and whom to tell.
struct ReadCount {
  long long done = 0;
  long long total = 0;
  long long told = 0;
  const CheckProgress* progress = nullptr;
};
thread_local ReadCount* currentCount = nullptr;

sqlite3_vfs* baseVfs = nullptr;

// A file of the counting VFS: the base VFS's file follows it in the same allocation.
struct CountingFile {
  sqlite3_file base;
  ReadCount* count;
  sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

CountingFile* Of(sqlite3_file* file) { return reinterpret_cast<CountingFile*>(file); }

int Close(sqlite3_file* f) { return Of(f)->Real()->pMethods->xClose(Of(f)->Real()); }
int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
  const int rc = Of(f)->Real()->pMethods->xRead(Of(f)->Real(), buffer, amount, offset);
  if (ReadCount* count = Of(f)->count) {
    count->done += amount;
    if (count->progress != nullptr && *count->progress && count->done - count->told >= kProgressStep) {
      count->told = count->done;
      (*count->progress)(std::min(count->done, count->total - 1), count->total);
    }
  }
  return rc;
}
// The copy is opened read-only: SQLite never writes through these, and they refuse if it did.
int Write(sqlite3_file*, const void*, int, sqlite3_int64) { return SQLITE_READONLY; }
int Truncate(sqlite3_file*, sqlite3_int64) { return SQLITE_READONLY; }
int Sync(sqlite3_file*, int) { return SQLITE_OK; }
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Of(f)->Real()->pMethods->xFileSize(Of(f)->Real(), size); }
int Lock(sqlite3_file* f, int level) { return Of(f)->Real()->pMethods->xLock(Of(f)->Real(), level); }
int Unlock(sqlite3_file* f, int level) { return Of(f)->Real()->pMethods->xUnlock(Of(f)->Real(), level); }
int CheckReservedLock(sqlite3_file* f, int* out) {
  return Of(f)->Real()->pMethods->xCheckReservedLock(Of(f)->Real(), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) { return Of(f)->Real()->pMethods->xFileControl(Of(f)->Real(), op, arg); }
int SectorSize(sqlite3_file* f) { return Of(f)->Real()->pMethods->xSectorSize(Of(f)->Real()); }
int DeviceCharacteristics(sqlite3_file* f) {
  return Of(f)->Real()->pMethods->xDeviceCharacteristics(Of(f)->Real());
}

// Version 1: no shared memory and no memory map, so every page the check reads goes
// through Read and is counted.
const sqlite3_io_methods kCountingMethods = {
    1,    Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock, FileControl, SectorSize,
    DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  CountingFile* counting = Of(file);
  counting->base.pMethods = nullptr;
  counting->count = (flags & SQLITE_OPEN_MAIN_DB) != 0 ? currentCount : nullptr;
  const int rc = baseVfs->xOpen(baseVfs, name, counting->Real(), flags, outFlags);
  if (rc == SQLITE_OK) counting->base.pMethods = &kCountingMethods;
  return rc;
}

sqlite3_vfs* CountingVfs() {
  static sqlite3_vfs vfs;
  static std::once_flag registered;
  std::call_once(registered, [] {
    baseVfs = sqlite3_vfs_find(nullptr);
    vfs = *baseVfs;
    vfs.szOsFile = static_cast<int>(sizeof(CountingFile)) + baseVfs->szOsFile;
    vfs.zName = kVfsName;
    vfs.pNext = nullptr;
    vfs.xOpen = Open;
    sqlite3_vfs_register(&vfs, 0);
  });
  return &vfs;
}

// `path` as a URI file name: "%", "?" and "#" would be read as the URI's own.
std::string UriOf(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string uri = "file:";
  for (const unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#') uri += std::string("%") + hex[c >> 4] + hex[c & 15];
    else uri += static_cast<char>(c);
  }
  return uri + "?mode=ro&immutable=1";
}

}  // namespace

short CheckStoreCopy(const std::string& path, const CheckProgress& progress, std::string& why) {
  struct stat st {};
  if (const short status = RecogniseStore(path, why, &st)) return status;
  ReadCount count;
  count.total = std::max<long long>(1, st.st_size > kCheckCacheBytes ? 2 * st.st_size : st.st_size);
  count.progress = &progress;
  currentCount = &count;
  if (progress) progress(0, count.total);
  sqlite3* db = nullptr;
  std::string findings;
  const bool opened = sqlite3_open_v2(UriOf(path).c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                                      CountingVfs()->zName) == SQLITE_OK;
  const std::string cacheSetup = "PRAGMA cache_size=-" + std::to_string(kCheckCacheBytes >> 10);  // in KiB
  const bool set = opened && sqlite3_exec(db, cacheSetup.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  const bool ran = set && sqlite3_exec(
                       db, kCheck,
                       [](void* out, int, char** values, char**) {
                         auto& text = *static_cast<std::string*>(out);
                         text += (text.empty() ? "" : "; ") + std::string(values[0] != nullptr ? values[0] : "");
                         return 0;
                       },
                       &findings, nullptr) == SQLITE_OK;
  // A page too damaged for the check to go on fails it as a finding would.
  if (!ran) why = path + ": " + (set ? "integrity check: " : "") + (db != nullptr ? sqlite3_errmsg(db) : "out of memory");
  sqlite3_close(db);
  currentCount = nullptr;
  if (!ran) return kStorageError;
  if (findings != "ok") return why = path + ": integrity check: " + findings, kStorageError;
  if (progress) progress(count.total, count.total);
  return 0;
}

}  // namespace reclib
