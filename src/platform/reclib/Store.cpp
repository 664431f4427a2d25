#include "platform/reclib/Store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdint>

#include "platform/reclib/FaultPoints.h"
#include "platform/reclib/FileCopy.h"
#include "platform/reclib/io.h"
#include "platform/reclib/trace.h"

namespace reclib {
namespace {

// Pages of 8 KiB keep a whole row (key and 1536-byte record) on its b-tree page; with the
// default 4 KiB every row of a WITHOUT ROWID table would spill to an overflow page.
//
// The page cache is 16 MiB rather than SQLite's 2 MiB. Once a long transaction's changed pages
// fill the cache, SQLite keeps only a tenth of it for pages read but not changed, and drops
// those first. A scan that rewrites its file reads a batch of rows (Scan::kBatchRows, about
// fifty pages) and then rewrites them one by one: with the default, most of those pages would
// be dropped before their rows are rewritten, and every page read twice. Pages are only taken
// as needed, so a store that is merely read holds no more than the pages it read.
constexpr const char* kMakeWal = "PRAGMA page_size=8192; PRAGMA journal_mode=WAL;";
// What every open sets, since the file does not keep it. Only a store whose header does not say
// WAL yet gets kMakeWal first: the journal mode pragma would cost every open a read of the store.
constexpr const char* kEveryOpen = "PRAGMA synchronous=FULL; PRAGMA cache_size=-16384;";
constexpr int kBusyTimeoutMs = 10000;
// A new store: pages first (they can only be set while the file is empty), the mark, then WAL.
constexpr const char* kCreate = "PRAGMA page_size=8192; PRAGMA application_id=1179405650; PRAGMA journal_mode=WAL;";

// The SQLite header: the magic text at 0, the big-endian application id at 68.
constexpr std::size_t kHeaderSize = 100;
constexpr char kMagic[] = "SQLite format 3";
constexpr std::size_t kApplicationIdOffset = 68;
// The file format's write and read versions: 1 for a rollback journal, 2 for a WAL.
constexpr off_t kFormatVersionOffset = 18;

// Decides from the file's first bytes, read without SQLite, whether `path` is a store of this
// product: SQLite is never given any other file, so nothing can be written to it. Status 0,
// kOpenFailed for a missing or unreadable file, kStorageError for a file that is not a store.
// `wal`, when given, tells whether the store's header says it keeps a WAL; `seen` receives the
// file's status.
short Recognise(const std::string& path, std::string& why, bool* wal = nullptr, struct stat* seen = nullptr) {
  // O_NONBLOCK: a FIFO put in place of a store must not hold the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    why = path + (errno == ENOENT ? ": no record store (the file does not exist)" : ": " + std::string(std::strerror(errno)));
    return kOpenFailed;
  }
  struct stat st {};
  unsigned char header[kHeaderSize] = {};
  ssize_t got = -1;
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (regular) got = ::pread(fd, header, sizeof header, 0);
  const int readError = errno;
  ::close(fd);
  if (!regular) return why = path + ": not a regular file, not a record store", kStorageError;
  if (got < 0) return why = path + ": " + std::strerror(readError), kOpenFailed;
  if (got == 0) return why = path + ": empty file, not a record store", kStorageError;
  if (got < static_cast<ssize_t>(kHeaderSize) || std::memcmp(header, kMagic, sizeof kMagic) != 0) {
    return why = path + ": not a record store", kStorageError;
  }
  const unsigned char* id = header + kApplicationIdOffset;
  const std::uint32_t applicationId = (std::uint32_t{id[0]} << 24) | (std::uint32_t{id[1]} << 16) |
                                      (std::uint32_t{id[2]} << 8) | std::uint32_t{id[3]};
  if (applicationId != kApplicationId) return why = path + ": not a record store of this product", kStorageError;
  if (wal != nullptr) *wal = header[kFormatVersionOffset] == 2 && header[kFormatVersionOffset + 1] == 2;
  if (seen != nullptr) *seen = st;
  return 0;
}

bool BindBlob(sqlite3_stmt* stmt, int index, const void* data, std::size_t size) {
  return sqlite3_bind_blob(stmt, index, data, static_cast<int>(size), SQLITE_STATIC) == SQLITE_OK;
}

void CopyRecord(sqlite3_stmt* stmt, int column, char* record) {
  const int size = std::min(sqlite3_column_bytes(stmt, column), kRecordSize);
  const void* data = sqlite3_column_blob(stmt, column);
  if (size > 0) std::memcpy(record, data, static_cast<std::size_t>(size));
  std::memset(record + size, ' ', static_cast<std::size_t>(kRecordSize - size));
}

// A key as a failure text shows it: trailing blanks and NULs dropped, other bytes outside the
// printable range as "?".
std::string PrintableKey(std::string key) {
  while (!key.empty() && (key.back() == ' ' || key.back() == '\0')) key.pop_back();
  for (char& c : key)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return key;
}

// Runs a statement that returns no rows; resets it whatever the outcome.
int StepOnce(sqlite3_stmt* stmt) {
  const int rc = sqlite3_step(stmt);
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  return rc;
}

}  // namespace

short RecogniseStore(const std::string& path, std::string& why, struct stat* seen) {
  return Recognise(path, why, nullptr, seen);
}

short Store::Open(const std::string& path, std::unique_ptr<Store>& out, std::string& why) {
  bool wal = false;
  struct stat seen {};
  if (const short status = Recognise(path, why, &wal, &seen)) return status;
  const std::optional<Untouched> untouched = Untouched::Before(path, seen);
  bool lockFileMade = false;
  std::unique_ptr<LockFile> locks = LockFile::Open(path + ".lock", lockFileMade);
  if (!locks) return why = path + ".lock: " + std::strerror(errno), kOpenFailed;
  std::unique_ptr<Store> store(new Store(path, std::move(locks)));
  if (!lockFileMade) store->untouched_ = untouched;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &store->db_, flags, nullptr) != SQLITE_OK) return store->Failure(why);
  sqlite3_busy_timeout(store->db_, kBusyTimeoutMs);
  if (!wal)
    if (const short status = store->Exec(kMakeWal, why)) return status;
  if (const short status = store->Exec(kEveryOpen, why)) return status;
  // A process that ended between the commit of a database transaction and the end of its
  // file changes left them in the journal: they belong to the committed state.
  std::string journalWhy;
  if (store->FinishFileChanges(journalWhy) != 0) TraceLibraryFailure("file changes of " + path + ": " + journalWhy);
  out = std::move(store);
  return 0;
}

short Store::Create(const std::string& path, std::string& why) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    why = path + ": " + std::strerror(errno);
    return errno == EEXIST ? kDuplicateKey : kStorageError;
  }
  ::close(fd);
  sqlite3* db = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  const bool made = sqlite3_open_v2(path.c_str(), &db, flags, nullptr) == SQLITE_OK &&
                    sqlite3_exec(db, kCreate, nullptr, nullptr, nullptr) == SQLITE_OK;
  if (!made) why = path + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory");
  const bool closed = sqlite3_close(db) == SQLITE_OK;
  if (made && closed) return 0;
  if (made) why = path + ": the new store could not be closed";
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((path + suffix).c_str());
  return kStorageError;
}

Store::~Store() {
  std::string ignored;
  if (inGroup_) CommitGroup(ignored);
  RollbackDatabase();  // a database transaction that was not committed never takes effect
  tables_.clear();
  sqlite3_close_v2(db_);
  if (untouched_) untouched_->PutBackDirectoryTimes(path_);
}

std::optional<Store::Untouched> Store::Untouched::Before(const std::string& path, const struct stat& store) {
  Untouched before;
  before.store = store;
  for (const char* suffix : {"-wal", "-shm", "-journal"})
    if (Exists(path + suffix)) return std::nullopt;
  if (::stat(DirectoryOf(path).c_str(), &before.directory) != 0) return std::nullopt;
  return before;
}

void Store::Untouched::PutBackDirectoryTimes(const std::string& path) const {
  for (const char* suffix : {"-wal", "-shm", "-journal"})
    if (Exists(path + suffix)) return;
  struct stat now {};
  if (::stat(path.c_str(), &now) != 0 || now.st_size != store.st_size || now.st_mtim.tv_sec != store.st_mtim.tv_sec ||
      now.st_mtim.tv_nsec != store.st_mtim.tv_nsec)
    return;
  const struct timespec times[2] = {directory.st_atim, directory.st_mtim};
  ::utimensat(AT_FDCWD, DirectoryOf(path).c_str(), times, 0);
}

short Store::Failure(std::string& why) {
  why = path_ + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
  if ((inGroup_ || inDatabase_) && db_ != nullptr && sqlite3_get_autocommit(db_) && lostTransaction_.empty())
    lostTransaction_ = why + " (the transaction was rolled back)";
  return kStorageError;
}

short Store::RefuseIfLost(std::string& why) const {
  if (lostTransaction_.empty()) return 0;
  why = lostTransaction_;
  return kStorageError;
}

short Store::Exec(const char* sql, std::string& why) {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK ? 0 : Failure(why);
}

short Store::Prepare(Statement& statement, const std::string& sql, std::string& why) {
  const int rc = sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement.handle(), nullptr);
  return rc == SQLITE_OK ? 0 : Failure(why);
}

short Store::OpenTable(const std::string& name, Table*& table, std::string& why) {
  if (auto it = tables_.find(name); it != tables_.end()) return table = it->second.get(), 0;
  const std::string quoted = "\"" + name + "\"";
  const std::string create =
      "CREATE TABLE IF NOT EXISTS " + quoted + " (key BLOB PRIMARY KEY, record BLOB NOT NULL) WITHOUT ROWID";
  // Creating only when missing keeps opening a file of an existing store free of writes.
  bool exists = false;
  if (HasTable(name.c_str(), exists, why)) return kStorageError;
  if (!exists) {
    if (const short status = RefuseIfLost(why)) return status;
    FaultPoint("write", "create " + name);
    if (Exec(create.c_str(), why)) return kStorageError;
  }

  auto made = std::make_unique<Table>();
  made->name = name;
  table = made.get();
  tables_[name] = std::move(made);
  return 0;
}

short Store::HasTable(const char* name, bool& has, std::string& why) {
  // Asked of the schema SQLite has read, without preparing a statement: every open of a store
  // asks it, so it costs what a listing of a thousand databases costs.
  const int rc = sqlite3_table_column_metadata(db_, "main", name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  has = rc == SQLITE_OK;
  return rc == SQLITE_OK || rc == SQLITE_ERROR ? 0 : Failure(why);
}

void Store::CloseTable(const std::string& name) { tables_.erase(name); }

short Store::Prepared(Table& table, Table::Kind kind, sqlite3_stmt*& stmt, std::string& why) {
  Statement& statement = table.statements[kind];
  if (statement.get() == nullptr) {
    const std::string quoted = "\"" + table.name + "\"";
    const std::string scan = "SELECT key, record FROM " + quoted + " WHERE key ";
    const std::string sql[Table::kKinds] = {
        "SELECT record FROM " + quoted + " WHERE key=?1",
        "INSERT INTO " + quoted + " (key, record) VALUES (?1, ?2)",
        "UPDATE " + quoted + " SET record=?2 WHERE key=?1 AND length(CAST(record AS BLOB))=" + std::to_string(kRecordSize),
        scan + ">= ?1 AND key <= ?2 ORDER BY key LIMIT ?3",
        scan + "> ?1 AND key <= ?2 ORDER BY key LIMIT ?3",
        "SELECT count(*) FROM " + quoted + " WHERE key >= ?1 AND key <= ?2",
        "SELECT 1 FROM " + quoted + " WHERE key >= ?1 AND key < ?2 LIMIT 1"};
    if (const short status = Prepare(statement, sql[kind], why)) return status;
  }
  stmt = statement.get();
  return 0;
}

short Store::Read(Table& table, const std::string& key, char* record, std::string& why) {
  sqlite3_stmt* stmt = nullptr;
  if (const short status = Prepared(table, Table::kRead, stmt, why)) return status;
  BindBlob(stmt, 1, key.data(), key.size());
  const int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) {
    CopyRecord(stmt, 0, record);
    std::memcpy(record, key.data(), std::min<std::size_t>(key.size(), kRecordSize));  // as ReadBatch
  }
  sqlite3_reset(stmt);
  if (rc == SQLITE_ROW) return 0;
  if (rc == SQLITE_DONE) return kNotFound;
  return Failure(why);
}

short Store::Insert(Table& table, const std::string& key, const char* record, std::string& why) {
  if (const short status = RefuseIfLost(why)) return status;
  ForgetCount(table);
  sqlite3_stmt* stmt = nullptr;
  if (const short status = Prepared(table, Table::kInsert, stmt, why)) return status;
  BindBlob(stmt, 1, key.data(), key.size());
  BindBlob(stmt, 2, record, kRecordSize);
  if (FaultPoint("write", table.name)) return 0;
  const int rc = StepOnce(stmt);
  if (rc == SQLITE_CONSTRAINT) return kDuplicateKey;
  if (rc != SQLITE_DONE) return Failure(why);
  if (inGroup_) ++groupWrites_;
  return 0;
}

short Store::Update(Table& table, const std::string& key, const char* record, std::string& why) {
  if (const short status = RefuseIfLost(why)) return status;
  // A rewrite keeps the number of rows, but a count taken after rewrites (a read-back's) reads
  // the table again rather than trusting one taken before them.
  ForgetCount(table);
  sqlite3_stmt* stmt = nullptr;
  if (const short status = Prepared(table, Table::kUpdate, stmt, why)) return status;
  BindBlob(stmt, 1, key.data(), key.size());
  BindBlob(stmt, 2, record, kRecordSize);
  if (FaultPoint("write", table.name)) return 0;
  if (StepOnce(stmt) != SQLITE_DONE) return Failure(why);
  if (sqlite3_changes(db_) != 1) return WhyNotUpdated(table, key, why);
  if (inGroup_) ++groupWrites_;
  return 0;
}

// A record that is stored but was not replaced has a length other than a record's: rewriting
// it from the buffer would cut or pad it, so it is left as it is and named.
short Store::WhyNotUpdated(Table& table, const std::string& key, std::string& why) {
  sqlite3_stmt* stmt = nullptr;
  if (const short status = Prepared(table, Table::kRead, stmt, why)) return status;
  BindBlob(stmt, 1, key.data(), key.size());
  const int rc = sqlite3_step(stmt);
  const int bytes = rc == SQLITE_ROW ? sqlite3_column_bytes(stmt, 0) : 0;
  sqlite3_reset(stmt);
  if (rc == SQLITE_DONE) return kNotFound;
  if (rc != SQLITE_ROW) return Failure(why);
  why = path_ + ": the " + table.name + " record with the key '" + PrintableKey(key) + "' holds " + std::to_string(bytes) +
        " bytes, not " + std::to_string(kRecordSize) + "; it is left as it is";
  return kWrongLength;
}

short Store::ReadBatch(Table& table, const std::string& from, bool inclusive, const std::string& upper, int limit,
                       std::vector<std::string>& keys, std::vector<char>& records, std::string& why) {
  sqlite3_stmt* stmt = nullptr;
  if (const short status = Prepared(table, inclusive ? Table::kBatchFrom : Table::kBatchAfter, stmt, why)) return status;
  BindBlob(stmt, 1, from.data(), from.size());
  BindBlob(stmt, 2, upper.data(), upper.size());
  sqlite3_bind_int(stmt, 3, limit);
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    keys.emplace_back(static_cast<const char*>(sqlite3_column_blob(stmt, 0)),
                      static_cast<std::size_t>(sqlite3_column_bytes(stmt, 0)));
    records.resize(records.size() + kRecordSize);
    char* record = records.data() + records.size() - kRecordSize;
    CopyRecord(stmt, 1, record);
    // A record's first bytes are its key; one stored shorter than its key still carries it, so
    // that a read for update finds it and its rewrite is refused by name.
    std::memcpy(record, keys.back().data(), std::min<std::size_t>(keys.back().size(), kRecordSize));
  }
  sqlite3_reset(stmt);
  return rc == SQLITE_DONE ? 0 : Failure(why);
}

short Store::Count(Table& table, const std::string& from, const std::string& upper, long& count, std::string& why) {
  const std::uint64_t hold = lostTransaction_.empty() ? WriteHold() : 0;
  if (hold != 0) {
    if (auto it = counts_.find(table.name); it != counts_.end()) {
      bool holds = false;
      if (const short status = CountStillHolds(table, it->second, from, upper, holds, why)) return status;
      if (holds) return count = it->second.count, 0;
    }
  }
  sqlite3_stmt* stmt = nullptr;
  if (const short status = Prepared(table, Table::kCount, stmt, why)) return status;
  BindBlob(stmt, 1, from.data(), from.size());
  BindBlob(stmt, 2, upper.data(), upper.size());
  const int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) count = static_cast<long>(sqlite3_column_int64(stmt, 0));
  sqlite3_reset(stmt);
  if (rc != SQLITE_ROW) return Failure(why);
  if (hold != 0) counts_[table.name] = {hold, from, upper, count};
  return 0;
}

void Store::ForgetCount(const Table& table) { counts_.erase(table.name); }

short Store::CountStillHolds(Table& table, const CountTaken& taken, const std::string& from, const std::string& upper,
                             bool& holds, std::string& why) {
  holds = false;
  // Keys compare as SQLite compares BLOBs: byte by byte, then the shorter first.
  if (taken.hold != WriteHold() || taken.upper != upper || taken.from > from) return 0;
  if (taken.from == from) return holds = true, 0;
  sqlite3_stmt* stmt = nullptr;
  if (const short status = Prepared(table, Table::kAnyBetween, stmt, why)) return status;
  BindBlob(stmt, 1, taken.from.data(), taken.from.size());
  BindBlob(stmt, 2, from.data(), from.size());
  const int rc = sqlite3_step(stmt);
  sqlite3_reset(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Failure(why);
  holds = rc == SQLITE_DONE;
  return 0;
}

short Store::BeginGroup(std::string& why) {
  if (inGroup_ || inDatabase_) return 0;
  if (const short status = Exec("BEGIN IMMEDIATE", why)) return status;
  ++writeHold_;
  inGroup_ = true;
  groupWrites_ = 0;
  groupStart_ = std::chrono::steady_clock::now();
  return 0;
}

short Store::CommitGroup(std::string& why) {
  if (!inGroup_) return 0;
  inGroup_ = false;
  return CommitOpen(why);
}

short Store::CommitOpen(std::string& why) {
  if (!lostTransaction_.empty()) {
    why = lostTransaction_;
    lostTransaction_.clear();
    return kStorageError;
  }
  FaultPoint("commit", path_);
  if (Exec("COMMIT", why) == 0) return 0;
  const std::string reason = why;
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  why = reason;
  return kStorageError;
}

short Store::Backup(const std::string& destination, std::string& why) {
  const int fd = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    why = destination + ": " + std::strerror(errno);
    return errno == EEXIST ? kDuplicateKey : kStorageError;
  }
  short status = CopyCheckpointed(fd, destination, why);
  if (status == kNotFound) status = CopyPageByPage(fd, destination, why);
  if (status == 0 && ::fsync(fd) != 0) status = kStorageError, why = destination + ": " + std::strerror(errno);
  ::close(fd);
  if (status == 0) return 0;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((destination + suffix).c_str());
  return kStorageError;
}

short Store::CopyCheckpointed(int destination, const std::string& destinationPath, std::string& why) {
  if (inGroup_ || inDatabase_) return kNotFound;
  // Another connection that reads or writes now makes the copy fall back; it is not waited for.
  sqlite3_busy_timeout(db_, 0);
  int walFrames = -1, checkpointed = -1;
  const int rc = sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_TRUNCATE, &walFrames, &checkpointed);
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  if (rc != SQLITE_OK || walFrames != 0) return kNotFound;
  // The read transaction holds the snapshot of the file alone (the WAL is empty) and keeps
  // every other connection from checkpointing into the file until it ends.
  if (Exec("BEGIN", why)) return kStorageError;
  const long long pages = PragmaValue("PRAGMA page_count"), pageSize = PragmaValue("PRAGMA page_size");
  struct stat wal {};
  const bool walEmpty = ::stat((path_ + "-wal").c_str(), &wal) != 0 || wal.st_size == 0;
  short status = walEmpty && pages > 0 ? 0 : kNotFound;
  if (status == 0) status = CopyFileOf(destination, destinationPath, static_cast<off_t>(pages * pageSize), why);
  sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  return status;
}

short Store::CopyFileOf(int destination, const std::string& destinationPath, off_t size, std::string& why) {
  const int source = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return why = path_ + ": " + std::strerror(errno), kStorageError;
  std::string call;
  const int error = CopyFileBytes(source, destination, size, call);
  ::close(source);
  if (error != 0) return why = destinationPath + ": " + call + ": " + std::strerror(error), kStorageError;
  // The copy is a store of its own: its header says it keeps a rollback journal, not a WAL.
  const unsigned char rollbackJournal[2] = {1, 1};
  if (::pwrite(destination, rollbackJournal, sizeof rollbackJournal, kFormatVersionOffset) != sizeof rollbackJournal) {
    return why = destinationPath + ": " + std::strerror(errno), kStorageError;
  }
  return 0;
}

// Pages the backup copies per step: after each step the kernel is told to start writing the
// copy out, so the final fsync waits for the last step's pages only, not for the whole store.
constexpr int kBackupStepPages = 8192;
// While it reads the store for a backup the connection maps it (up to SQLite's own limit), which
// spares a read call and a copy per page; the setting is put back afterwards.
constexpr const char* kBackupMmap = "PRAGMA mmap_size=1099511627776";

short Store::CopyPageByPage(int destination, const std::string& destinationPath, std::string& why) {
  sqlite3* copy = nullptr;
  bool done = sqlite3_open_v2(destinationPath.c_str(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK;
  // A new file, synced as a whole by the caller and removed on failure: it needs no journal of its own.
  done = done && sqlite3_exec(copy, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (done) {
    const long long mmapBefore = PragmaValue("PRAGMA mmap_size");
    sqlite3_exec(db_, kBackupMmap, nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", db_, "main");
    int rc = backup != nullptr ? SQLITE_OK : SQLITE_ERROR;
    // Between steps the read snapshot is let go: a write by another connection then makes the
    // backup start over (the copy stays consistent); this connection's own writes are carried over.
    while (rc == SQLITE_OK) {
      rc = sqlite3_backup_step(backup, kBackupStepPages);
      if (rc == SQLITE_OK) ::sync_file_range(destination, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    done = rc == SQLITE_DONE;
    done = sqlite3_backup_finish(backup) == SQLITE_OK && done;
    sqlite3_exec(db_, ("PRAGMA mmap_size=" + std::to_string(mmapBefore)).c_str(), nullptr, nullptr, nullptr);
    // The copy is a file of its own: no WAL beside it.
    done = done && sqlite3_exec(copy, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  if (!done) why = destinationPath + ": " + (copy != nullptr ? sqlite3_errmsg(copy) : "out of memory");
  if (sqlite3_close(copy) != SQLITE_OK && done) done = false, why = destinationPath + ": the copy could not be closed";
  return done ? 0 : kStorageError;
}

long long Store::PragmaValue(const char* pragma) {
  sqlite3_stmt* stmt = nullptr;
  long long value = 0;
  if (sqlite3_prepare_v2(db_, pragma, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
    value = sqlite3_column_int64(stmt, 0);
  }
  sqlite3_finalize(stmt);
  return value;
}

short Store::RestoreFrom(const std::string& source, std::string& why) {
  if (const short status = Recognise(source, why)) return status;
  if (inGroup_) return why = path_ + ": a write group is open", kBadArgument;
  if (const short status = RefuseIfLost(why)) return status;
  sqlite3* copy = nullptr;
  std::string check;
  if (sqlite3_open_v2(source.c_str(), &copy, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
    sqlite3_exec(
        copy, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
          *static_cast<std::string*>(out) += values[0] != nullptr ? values[0] : "";
          return 0;
        },
        &check, nullptr);
  }
  short status = 0;
  if (check != "ok") {
    why = source + ": " + (check.empty() ? (copy != nullptr ? sqlite3_errmsg(copy) : "out of memory") : "integrity check: " + check);
    status = kStorageError;
  }
  // Inside a database transaction the content joins it; otherwise it is one of its own.
  const bool own = status == 0 && !inDatabase_;
  if (own) status = Exec("BEGIN IMMEDIATE", why);
  if (status == 0) status = ReplaceContent(copy, source, why);
  if (own) {
    FaultPoint("commit", "restore-" + path_);
    if (status == 0) status = Exec("COMMIT", why);
    if (status != 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  sqlite3_close(copy);
  return status;
}

short Store::ReplaceContent(sqlite3* copy, const std::string& source, std::string& why) {
  counts_.clear();
  const auto tables = [&why](sqlite3* db, std::vector<std::string>& names) {
    sqlite3_stmt* list = nullptr;
    const std::string sql = std::string("SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite_%' AND name != '") +
                            kJournalTable + "'";
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &list, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
      rc = sqlite3_step(list);
      if (rc == SQLITE_ROW) names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    }
    sqlite3_finalize(list);
    if (rc != SQLITE_DONE) why = std::string(sqlite3_db_filename(db, "main")) + ": " + sqlite3_errmsg(db);
    return rc == SQLITE_DONE;
  };
  const auto quoted = [](const std::string& name) {
    std::string text = "\"";
    for (const char c : name) text += c == '"' ? std::string("\"\"") : std::string(1, c);
    return text + "\"";
  };
  std::vector<std::string> mine, theirs;
  if (!tables(db_, mine) || !tables(copy, theirs)) return kStorageError;
  // Emptied rather than dropped: statements of files this process has open stay valid.
  for (const std::string& name : mine) {
    FaultPoint("write", "restore-" + name);
    if (Exec(("DELETE FROM " + quoted(name)).c_str(), why)) return kStorageError;
  }
  for (const std::string& name : theirs) {
    const std::string create = "CREATE TABLE IF NOT EXISTS " + quoted(name) + " (key BLOB PRIMARY KEY, record BLOB NOT NULL) WITHOUT ROWID";
    if (Exec(create.c_str(), why)) return kStorageError;
    Statement read, insert;
    if (sqlite3_prepare_v2(copy, ("SELECT key, record FROM " + quoted(name)).c_str(), -1, &read.handle(), nullptr) != SQLITE_OK)
      return why = source + ": " + sqlite3_errmsg(copy), kStorageError;
    if (Prepare(insert, "INSERT INTO " + quoted(name) + " (key, record) VALUES (?1, ?2)", why)) return kStorageError;
    FaultPoint("write", "restore-" + name);
    int rc;
    while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
      sqlite3_bind_value(insert.get(), 1, sqlite3_column_value(read.get(), 0));
      sqlite3_bind_value(insert.get(), 2, sqlite3_column_value(read.get(), 1));
      if (StepOnce(insert.get()) != SQLITE_DONE) return Failure(why);
    }
    if (rc != SQLITE_DONE) return why = source + ": " + sqlite3_errmsg(copy), kStorageError;
  }
  return 0;
}

short Store::BeginDatabase(std::string& why) {
  if (inDatabase_) return why = path_ + ": a database transaction is already open", kBadArgument;
  if (const short status = CommitGroup(why)) return status;
  if (const short status = Exec("BEGIN IMMEDIATE", why)) return status;
  ++writeHold_;
  inDatabase_ = true;
  return 0;
}

short Store::CommitDatabase(std::string& why) {
  if (!inDatabase_) return why = path_ + ": no database transaction is open", kBadArgument;
  inDatabase_ = false;
  if (const short status = CommitOpen(why)) return status;
  // Committed: file changes the file system refuses now stay journalled for the next open.
  std::string journalWhy;
  if (FinishFileChanges(journalWhy) != 0) TraceLibraryFailure("file changes of " + path_ + ": " + journalWhy);
  return 0;
}

void Store::RollbackDatabase() {
  if (!inDatabase_) return;
  inDatabase_ = false;
  lostTransaction_.clear();
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

short Store::JournalFileChange(const FileChange& change, std::string& why) {
  if (!inDatabase_) return why = path_ + ": no database transaction is open", kBadArgument;
  if (const short status = RefuseIfLost(why)) return status;
  const std::string create = std::string("CREATE TABLE IF NOT EXISTS ") + kJournalTable +
                             " (seq INTEGER PRIMARY KEY, kind INTEGER NOT NULL, source TEXT NOT NULL, target TEXT NOT NULL)";
  if (const short status = Exec(create.c_str(), why)) return status;
  Statement insert;
  const std::string sql = std::string("INSERT INTO ") + kJournalTable + " (kind, source, target) VALUES (?1, ?2, ?3)";
  if (const short status = Prepare(insert, sql, why)) return status;
  sqlite3_bind_int(insert.get(), 1, change.kind == FileChange::Kind::kRename ? 1 : 0);
  sqlite3_bind_text(insert.get(), 2, change.source.c_str(), -1, SQLITE_STATIC);
  sqlite3_bind_text(insert.get(), 3, change.target.c_str(), -1, SQLITE_STATIC);
  FaultPoint("write", kJournalTable);
  return StepOnce(insert.get()) == SQLITE_DONE ? 0 : Failure(why);
}

short Store::FinishFileChanges(std::string& why) {
  bool journalled = false;
  if (const short status = HasTable(kJournalTable, journalled, why)) return status;
  if (!journalled) return 0;

  std::vector<FileChange> changes;
  Statement select;
  const std::string sql = std::string("SELECT kind, source, target FROM ") + kJournalTable + " ORDER BY seq";
  if (const short status = Prepare(select, sql, why)) return status;
  int rc;
  while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
    const auto text = [&](int column) { return std::string(reinterpret_cast<const char*>(sqlite3_column_text(select.get(), column))); };
    changes.push_back({sqlite3_column_int(select.get(), 0) == 1 ? FileChange::Kind::kRename : FileChange::Kind::kRemove,
                       text(1), text(2)});
  }
  if (rc != SQLITE_DONE) return Failure(why);
  for (const FileChange& change : changes) {
    if (const int error = CarryOut(change)) {
      // Kept in the journal: the next open of the store tries again.
      why = change.source + ": " + std::strerror(error);
      return kStorageError;
    }
  }
  FaultPoint("commit", path_);
  return Exec((std::string("DROP TABLE ") + kJournalTable).c_str(), why);
}

}  // namespace reclib
