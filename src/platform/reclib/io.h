// The record I/O library: the product's record files, addressed through packed file blocks.
//
// Storage: one SQLite file per database, <data directory>/<prefix>.records, one table per file
// code and instance, rows of (key BLOB primary key, record BLOB of 1536 bytes). A relative data
// directory is resolved like the product's other data paths: under [DATABASE] StandardDataDir of
// FLMWIN.INI in the client directory when that is set, else under the client directory (the
// inter-process key FLMWIN_PATH, else the program directory).
//
// Every call returns a status: 0 success, else one of the codes below. Failures that are not
// suppressed (io_suppress) are written to the trace's library channel; the library never shows
// anything on screen.
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
constexpr short kBadArgument = 98;      // a null block or argument, an unknown file code, no scan

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
// Selects the database the per-file calls address. Both texts are NUL-terminated.
short io_setDirectory(short handle, char* directory, char* prefix);
// Copies the selected directory into `directory` (150 bytes; *length set to its length) and
// the prefix into `prefix` (4 bytes, NUL terminated).
short io_getDirectory(short handle, char* directory, short* length, char* prefix);
// The installation's database type (1: client/server installation).
short io_db_type(void);
short io_set_userid(char* userId);
// on 1: stop reporting failure `code`; on 0: report it again.
short io_suppress(short code, short on);
short io_startClock(void);
short io_stopClock(void);
short io_appTerminate(void);
short io_disconnect(short mode, short handle);

// Per-file calls. Keys are the primary key (key number 0): bytes [0, n) of the record
// buffer, n fixed per file code.
short io_open(FileBlock* block, char* path);            // shared open; creates an empty file
short io_open_exclusive(FileBlock* block, char* path);  // refused (94) while others have it open
short io_close(FileBlock* block);
short io_read(FileBlock* block, short key, short lock);  // lock 1: lock the record for update
short io_find(FileBlock* block, short key);
short io_startRange(FileBlock* block, short key);        // the buffer's key ends the next scan
short io_start(FileBlock* block, short key, short option, short mode);  // first key >= buffer's
short io_next(FileBlock* block, short key);              // 0 record in buffer, 9 at the end
short io_endstart(FileBlock* block);
short io_write(FileBlock* block);    // insert; 22 when the key exists
short io_add(FileBlock* block);      // insert; 22 when the key exists
short io_rewrite(FileBlock* block);  // replaces the record last read with lock 1
short io_unlock(FileBlock* block);

}
