// The record I/O library: the product's record files, addressed through packed file blocks.
//
// Storage: one SQLite file per database, <data directory>/<prefix>.records, one table per file
// code and instance, rows of (key BLOB primary key, record BLOB of 1536 bytes). A relative data
// directory is resolved like the product's other data paths: under [DATABASE] StandardDataDir of
// FLMWIN.INI in the client directory when that is set, else under the client directory (the
// program directory, absolute).
//
// Every call returns a status: 0 success, else one of the codes below. Failures that are not
// suppressed (io_suppress) are written to the trace's library channel; the library never shows
// anything on screen. The end of a scan (9) is never traced.
//
// Stores. Only io_createStore makes a store; an open of a database without one fails (88) and
// creates nothing. A store is recognised by its SQLite application id before SQLite opens it:
// any other file (a foreign SQLite database, an empty or damaged file, a directory) is refused
// (99) and left byte for byte as it was, with no lock, journal or WAL file made beside it.
//
// Record files. A block's file is its code and instance: every block with the same code and
// instance addresses the same open file. Opening a file the store does not hold yet creates it
// empty in the store.
// The path argument of the opens is accepted and left as it is: every file of a database lives
// in its store. Keys are the first KeyLength(code) bytes of the record (keys.h) and order by
// byte comparison. Only key number 0 exists; other key numbers give kBadArgument.
//
// Sharing between processes. io_open holds the file shared, io_open_exclusive exclusively;
// refused opens give kHeldExclusively (shared open) or kFileInUse (exclusive open). Opening a
// file this process already has open on the same database nests, counted, and never weakens
// the lock (an exclusive open may strengthen it); the last io_close releases it. Opening it
// while it is open on another database closes it there first. A record read with lock 1 stays
// locked against other processes until io_rewrite, io_unlock, another lock-1 read of the block
// or the close; their lock-1 reads and their rewrites of it give kRecordLocked. A file held
// exclusively is open in no other process, so its file lock alone keeps its records locked
// (no call on the lock file per record). Locks held by a process end with it.
//
// Durability. A call that writes has committed when it returns, except writes made while the
// block has a scan running: those commit in groups, bounded in size and age, and at the latest
// at io_endstart or io_close. A crash loses at most the group in progress, never part of a
// record.
#pragma once

#include <cstdint>

namespace reclib {

// Status codes.
constexpr short kNotFound = 4;          // io_read, io_find: no record with that key
constexpr short kEndOfScan = 9;         // io_next: the scan has no further record
constexpr short kDuplicateKey = 22;     // io_write, io_add: a record with that key exists
constexpr short kNotOpen = 46;          // the block is not open (or not connected / no directory)
constexpr short kRecordLocked = 59;     // the record is locked by another process
constexpr short kHeldExclusively = 84;  // another process holds the file exclusively
constexpr short kOpenFailed = 88;       // the data directory or store cannot be opened
constexpr short kFileInUse = 94;        // exclusive open refused: another process has the file open
constexpr short kStorageError = 99;     // the store failed (corrupt file, disk full, read-only)
constexpr short kWrongLength = 97;     // io_rewrite: the stored record is not kRecordSize bytes
                                        // long; it is left as it is (rewriting it from the
                                        // buffer would cut or pad it)
constexpr short kBadArgument = 98;      // a null block or argument, an unknown file code or key
                                        // number, an unusable prefix, io_next without a scan

constexpr int kRecordSize = 1536;
constexpr int kBlockSize = 1752;

}  // namespace reclib

#pragma pack(push, 1)
// The packed file block exchanged with every per-file call. The code and instance name the
// record file; the record buffer carries keys in and records out; the fields marked "library"
// belong to the library, and callers only carry them from call to call.
struct FileBlock {
  char code[4];                       // file code, blank padded ("PL  ")
  char record[reclib::kRecordSize];   // the current record
  std::int32_t libraryWord;           // library
  std::int16_t libraryShort1;         // library
  char libraryText[200];              // library
  std::int16_t connectionHandle;      // written by the caller after io_connect
  std::int16_t libraryShort2;         // library
  std::int16_t instance;              // 0, or 1 and 2 for the second and third "PL" files
};
#pragma pack(pop)
static_assert(sizeof(FileBlock) == reclib::kBlockSize, "the file block is exchanged packed");

extern "C" {

// Library-wide calls.
short io_connect(short mode, short* handle);
short io_setup(short handle);
// Selects the database the per-file calls address. Both texts are NUL-terminated; trailing
// blanks are ignored. The prefix (1 to 3 characters, no path separator) names the store
// <data directory>/<prefix>.records. The texts are only read. A refused selection leaves no
// database selected, so that the per-file opens that follow fail (46) rather than reach the
// previously selected database.
short io_setDirectory(short handle, char* directory, char* prefix);
// Copies the selected directory into `directory` (150 bytes; *length set to its length) and
// the prefix into `prefix` (4 bytes, NUL terminated).
short io_getDirectory(short handle, char* directory, short* length, char* prefix);
// Creates an empty store <directory>/<prefix>.records (the directory resolved as for
// io_setDirectory) and marks it as a store of this product. 0 on success; kOpenFailed when the
// directory does not exist, kBadArgument for an unusable prefix, kDuplicateKey when a file of
// that name (store or not) already exists, which is left as it was; kStorageError when the
// store cannot be written (nothing is left behind). Needs no connection.
short io_createStore(const char* directory, const char* prefix);
// Copies the reason of the last failure the library returned (suppressed or not; it names the
// store file where one is involved) into `text`, NUL terminated and cut to `size` - 1 bytes.
// "" when no call has failed yet.
short io_lastFailure(char* text, short size);
// The installation's database type (1: client/server installation).
short io_db_type(void);
// Kept for the session; the store does not record who wrote what.
short io_set_userid(char* userId);
// on 1: stop reporting failure `code`; on 0: report it again.
short io_suppress(short code, short on);
// The busy indicator belongs to the front end: both only return 0.
short io_startClock(void);
short io_stopClock(void);
// Closes every open file, committing their write groups.
short io_appTerminate(void);
// Closes every open file and forgets the connection, the database and the suppressed codes.
short io_disconnect(short mode, short handle);

// Database transactions. io_beginDatabase opens one on the selected database's store: until
// io_commitDatabase, every write to that store (by any block, scans included) and every file
// change made through io_renameFile/io_removeFile joins it instead of committing, and the
// file changes wait. io_commitDatabase commits the writes and the journal of the file changes
// as one transaction, then carries the changes out; a process that ends before it has
// finished leaves them journalled in the store, and the next open of the store, in any
// process, finishes them. io_rollbackDatabase, io_disconnect and the end of the process
// without a commit leave the store and the files as they were before io_beginDatabase.
// One transaction at a time: a second io_beginDatabase gives kBadArgument; commit and
// rollback without one give kNotOpen (rollback: 0). A store failure after which SQLite has
// rolled the transaction (or a scan's write group) back by itself, as it does after an I/O
// error, ends it: every later write of it is refused (kStorageError, with that failure's
// reason) rather than committed on its own, and its commit gives kStorageError.
short io_beginDatabase(void);
short io_commitDatabase(void);
short io_rollbackDatabase(void);
// Renames the file `source` to `target` (replacing it), or removes `path`: now, or at the
// commit of the open database transaction, which first checks that the source exists and its
// directory is writable. 0; kStorageError with *osError set to the errno of a refusal; the
// store's status when the journal cannot be written.
short io_renameFile(const char* source, const char* target, int* osError);
short io_removeFile(const char* path, int* osError);

// Copies the selected database's store, as committed, into the new file `destination`: the
// file itself after a checkpoint while no other connection uses the store, else with SQLite's
// online backup; the copy is a store of its own (no WAL), synced. 0; kDuplicateKey
// when `destination` exists (left as it was); kOpenFailed/kStorageError when the store cannot
// be read or the copy written (nothing is left behind).
short io_backupStore(const char* destination);

// Replaces the content of the selected database's store by that of the store copy `source`
// once SQLite's integrity check of the copy passes: inside the open database transaction of
// that store (so that it commits with the transaction's file changes), else in one
// transaction of its own. Refused with nothing changed: kBadArgument while a database
// transaction of another store is open, kOpenFailed or kStorageError for a missing, foreign or
// damaged copy. Files of the store this process has open stay open.
short io_restoreStore(const char* source);

// Runs SQLite's integrity check on the store copy `source` (a backup's) without changing it
// or making any file beside it: opened read-only as an immutable file. `progress`, when not
// null, is told now and then how many of an estimated total of bytes have been read (done
// stays below total until the check has passed). 0 when it passes; kOpenFailed for a missing
// or unreadable file; kStorageError for a file that is not a store, or a damaged one (the
// reason names the file and SQLite's first findings).
typedef void (*io_checkProgress)(void* context, long long done, long long total);
short io_checkStoreCopy(const char* source, io_checkProgress progress, void* context);

// Per-file calls. Keys are the primary key (key number 0): bytes [0, n) of the record
// buffer, n fixed per file code.
short io_open(FileBlock* block, char* path);            // shared open; creates an empty file
short io_open_exclusive(FileBlock* block, char* path);  // refused (94) while others have it open
short io_close(FileBlock* block);
// Reads the record whose key is in the buffer into the buffer; 4 leaves the buffer as it was.
short io_read(FileBlock* block, short key, short lock);  // lock 1: lock the record for update
short io_find(FileBlock* block, short key);              // 0 when the key exists; buffer unchanged
// The buffer's key (inclusive) ends the next scan; that scan consumes it.
short io_startRange(FileBlock* block, short key);
// Starts the block's scan at the first key >= the buffer's, replacing a scan in progress.
// The option and mode are accepted as the callers pass them (0, 1025) and have no effect.
short io_start(FileBlock* block, short key, short option, short mode);
// Counts into *count the records a scan started now at the buffer's key would visit (up to the
// key io_startRange set, which stays set for that scan). The buffer is only read.
short io_count(FileBlock* block, short key, long* count);
// 0 with the next record in the buffer, 9 at the end (and on every later call). Records
// rewritten while the scan runs are neither skipped nor delivered twice. A store failure
// gives 99 once and ends the scan, so a caller that retries on other statuses cannot loop.
short io_next(FileBlock* block, short key);
short io_endstart(FileBlock* block);  // ends the scan and commits its writes; 0 with no scan
short io_write(FileBlock* block);     // insert; 22 when the key exists (the record is kept)
short io_add(FileBlock* block);       // the same as io_write
// Replaces the record whose key is in the buffer (4 when there is none; a rewrite never
// changes a key; 97 for a stored record of another length than 1536, which stays as it is)
// and releases the block's record lock. The record need not have been read
// with lock 1, but one locked by another process gives 59.
short io_rewrite(FileBlock* block);
short io_unlock(FileBlock* block);    // releases the block's record lock; 0 when it holds none

}
