// One database's record store: the SQLite file <data directory>/<prefix>.records (WAL mode)
// and the lock file beside it. Each record file is a table of the store, one row per record:
// (key BLOB PRIMARY KEY, record BLOB of kRecordSize bytes) WITHOUT ROWID. A process keeps one
// Store per file, so it holds one descriptor of the lock file.
//
// Calls return a status of io.h (0, kNotFound, kDuplicateKey, kOpenFailed, kStorageError) and
// fill `why` with the reason of a failure.
#pragma once

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/reclib/LockFile.h"
#include "platform/reclib/RenameJournal.h"

namespace reclib {

// The SQLite application id of a record store ("FLMR"): the mark that tells a store of this
// product from any other SQLite file.
constexpr std::uint32_t kApplicationId = 0x464C4D52;

// A prepared statement, reset after every use.
class Statement {
 public:
  Statement() = default;
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt*& handle() { return stmt_; }
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// A record file of the store with its statements, each prepared at its first use and kept
// prepared while the file is open.
struct Table {
  enum Kind { kRead, kInsert, kUpdate, kBatchFrom, kBatchAfter, kCount, kAnyBetween, kKinds };
  std::string name;
  Statement statements[kKinds];
};

// 0 when `path` is a store of this product, read from its first bytes without SQLite: kOpenFailed
// for a missing or unreadable file, kStorageError for any other file (`why` says which).
// `seen`, when given, receives the status of the file recognised.
short RecogniseStore(const std::string& path, std::string& why, struct stat* seen = nullptr);

class Store {
 public:
  // Opens the existing store at `path`: kOpenFailed when the file is missing or unreadable;
  // a file that is not a store of this product (kApplicationId) is refused (kStorageError)
  // before SQLite sees it, so it stays byte for byte as it was.
  static short Open(const std::string& path, std::unique_ptr<Store>& out, std::string& why);
  // Makes a new, empty store at `path`, marked with kApplicationId; kDuplicateKey when a file
  // of that name exists (left as it was). A failed creation leaves no file behind.
  static short Create(const std::string& path, std::string& why);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  const std::string& path() const { return path_; }
  LockFile& locks() { return *locks_; }

  // Creates the table when the store does not hold it yet and prepares its statements.
  short OpenTable(const std::string& name, Table*& table, std::string& why);
  void CloseTable(const std::string& name);

  // Reads into `record` (kRecordSize bytes).
  short Read(Table& table, const std::string& key, char* record, std::string& why);
  short Insert(Table& table, const std::string& key, const char* record, std::string& why);
  // kNotFound without such a key; kWrongLength, leaving it as it is, for a stored record whose
  // length is not kRecordSize.
  short Update(Table& table, const std::string& key, const char* record, std::string& why);
  // Appends up to `limit` rows in key order with `from` <= key (`from` < key unless
  // `inclusive`) and key <= `upper`: each key to `keys`, each record to `records`.
  short ReadBatch(Table& table, const std::string& from, bool inclusive, const std::string& upper, int limit,
                  std::vector<std::string>& keys, std::vector<char>& records, std::string& why);
  // The number of rows with `from` <= key <= `upper`. Under a write hold (WriteHold) a count of
  // the same table and `upper` taken earlier in that hold, from a key no higher, with no write
  // to the table since, answers without reading the table again once an index seek has shown
  // that no row lies between the two start keys: a conversion counts each file before its
  // first write and again for the progress of the file's scan, and a second pass over a table
  // costs most while the transaction's WAL is large.
  short Count(Table& table, const std::string& from, const std::string& upper, long& count, std::string& why);

  // Copies the store's committed state into the new file `destination`, then syncs and closes
  // it. The file itself is copied (a reflink or a copy in the kernel) once a checkpoint has
  // emptied the WAL, under a read transaction that keeps others from checkpointing meanwhile;
  // when the WAL cannot be emptied at once (other connections use the store, or this one has
  // a transaction open) SQLite's online backup copies it page by page. Either way the copy is
  // consistent and a store without a WAL. kDuplicateKey when `destination` exists (left as it
  // was); kStorageError, with nothing left behind, when it cannot be written.
  short Backup(const std::string& destination, std::string& why);

  // Replaces the whole content of this store by that of the store at `source` (a copy made
  // by Backup), after SQLite's integrity check of the source passes: inside the open database
  // transaction, which the change then joins, else in one transaction of its own.
  // kOpenFailed/kStorageError (nothing changed) for a missing, foreign or damaged source;
  // kBadArgument while a write group is open.
  short RestoreFrom(const std::string& source, std::string& why);

  // A write group: the writes between BeginGroup and CommitGroup commit as one transaction.
  bool InGroup() const { return inGroup_; }
  // While this connection holds the store's write lock (a write group or a database
  // transaction), a number that names that hold and no other; 0 without one. No other
  // connection can change the store while it stays the same, so rows read under it stay
  // what the store holds, as long as this connection's own writes are followed.
  std::uint64_t WriteHold() const { return inGroup_ || inDatabase_ ? writeHold_ : 0; }
  // True when the group has `maxWrites` writes or is older than `maxAge`.
  bool GroupDue(int maxWrites, std::chrono::steady_clock::duration maxAge) const {
    return groupWrites_ >= maxWrites || std::chrono::steady_clock::now() - groupStart_ >= maxAge;
  }
  short BeginGroup(std::string& why);
  short CommitGroup(std::string& why);

  // A database transaction: every write to the store between BeginDatabase and
  // CommitDatabase, write groups included, commits as one transaction, together with the
  // file changes journalled meanwhile (JournalFileChange), which are carried out once it has
  // committed (those the file system refuses then stay journalled for the next open and are
  // traced). Rolled back by RollbackDatabase and by the store's close.
  bool InDatabase() const { return inDatabase_; }
  short BeginDatabase(std::string& why);
  short CommitDatabase(std::string& why);
  void RollbackDatabase();
  // Records a file change (RenameJournal.h) in the open database transaction.
  short JournalFileChange(const FileChange& change, std::string& why);
  // Carries out the file changes of a committed transaction still in the journal (those of a
  // process that ended before it had finished them), then empties the journal. Writes
  // nothing to a store without a journal.
  short FinishFileChanges(std::string& why);

 private:
  Store(std::string path, std::unique_ptr<LockFile> locks) : path_(std::move(path)), locks_(std::move(locks)) {}
  short Exec(const char* sql, std::string& why);
  // Fills `why` with SQLite's reason and gives kStorageError. When SQLite has ended the open
  // write group or database transaction by itself (it rolls back after an I/O error), the
  // reason is kept in lostTransaction_.
  short Failure(std::string& why);
  // kStorageError with the kept reason while the open transaction is lost: a write made now
  // would commit on its own, outside the transaction it belongs to.
  short RefuseIfLost(std::string& why) const;
  // Commits the write group or database transaction the caller has just marked closed, or
  // rolls it back when the COMMIT fails. kStorageError with the kept reason, and the reason
  // forgotten, when SQLite had already ended it.
  short CommitOpen(std::string& why);
  short WhyNotUpdated(Table& table, const std::string& key, std::string& why);
  // Whether the store holds the table `name`; kStorageError when its schema cannot be read.
  short HasTable(const char* name, bool& has, std::string& why);
  short Prepare(Statement& statement, const std::string& sql, std::string& why);
  // Empties every record table of this store and copies in those of `copy` (named `source`).
  short ReplaceContent(sqlite3* copy, const std::string& source, std::string& why);
  // The table's statement of that kind, prepared now when it has not been used yet.
  short Prepared(Table& table, Table::Kind kind, sqlite3_stmt*& stmt, std::string& why);
  // Backup's two ways into the open, empty `destination`: kNotFound from CopyCheckpointed when
  // it cannot be used now.
  short CopyCheckpointed(int destination, const std::string& destinationPath, std::string& why);
  short CopyFileOf(int destination, const std::string& destinationPath, off_t size, std::string& why);
  short CopyPageByPage(int destination, const std::string& destinationPath, std::string& why);
  // The integer a PRAGMA query answers (0 when it answers none).
  long long PragmaValue(const char* pragma);

  // A store only read leaves its directory as it found it: SQLite's -wal and -shm files come
  // and go with the connection, and would otherwise change the directory's times, which
  // backup tools and administrators read as "something changed here".
  struct Untouched {
    struct stat directory {};
    struct stat store {};
    // The times to keep, when the store (whose status is `store`) opens with no file of
    // SQLite's own beside it; the caller drops them when it has to make the lock file.
    static std::optional<Untouched> Before(const std::string& path, const struct stat& store);
    // Once closed: puts the directory's times back when the store file is as it was and
    // SQLite's files are gone again, so nothing but their coming and going touched it.
    void PutBackDirectoryTimes(const std::string& path) const;
  };

  std::string path_;
  std::unique_ptr<LockFile> locks_;
  std::optional<Untouched> untouched_;
  sqlite3* db_ = nullptr;
  std::map<std::string, std::unique_ptr<Table>> tables_;
  bool inGroup_ = false;
  bool inDatabase_ = false;
  std::string lostTransaction_;  // why SQLite ended the open group or transaction by itself
  // A count taken under a write hold; any write to its table forgets it (ForgetCount), and a
  // restore forgets them all.
  struct CountTaken {
    std::uint64_t hold = 0;
    std::string from, upper;
    long count = 0;
  };
  // Whether `taken` still counts the rows of [from, upper] of `table`; kStorageError when the
  // seek fails.
  short CountStillHolds(Table& table, const CountTaken& taken, const std::string& from, const std::string& upper,
                        bool& holds, std::string& why);
  void ForgetCount(const Table& table);
  std::map<std::string, CountTaken> counts_;  // by table name
  int groupWrites_ = 0;
  std::uint64_t writeHold_ = 0;  // counts the write locks taken
  std::chrono::steady_clock::time_point groupStart_;
};

}  // namespace reclib
