// Vb_io: the one road from the product code to the record I/O library (platform/reclib).
//
// It owns the file table (83 packed file blocks, addressed by file number 0..82) and the status
// of the last record operation, vb_io_erc. Each wrapper hands the file's block to the library,
// keeps whatever the library leaves in it, and stores the library's status in vb_io_erc
// (0 success, 9 end of a scan, 85 failed open, 5001 no connection, anything else the library's
// own failure number). The wrappers documented as "leaves vb_io_erc alone" do not touch it.
//
// A file number outside 0..82 is a programming error: the operation does nothing, calls no
// library function and sets vb_io_erc to kInvalidFileNumber.
//
// The record buffer accessors read and write typed values at the places that field
// descriptors (FieldInfo, conffld) describe. They never touch memory outside the buffer.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "common/Variant.h"
#include "platform/reclib/io.h"
#include "recio/FieldInfo.h"

namespace filomar {

// File numbers of the file table.
constexpr short FACT_FILE = 1, AO_FILE = 2, AUD_FILE = 3, BUP_FILE = 4, CAL_FILE = 5,
                CODE_FILE = 6, CONF_FILE = 7, DEPT_FILE = 8, DOMV_FILE = 9, DOCS_FILE = 10,
                DSEQ_FILE = 11, DWFL_FILE = 12, FILE_FILE = 13, KWTH_FILE = 14, LOCN_FILE = 15,
                MOVE_FILE = 16, ORG_FILE = 17, PL0_FILE = 18, PHRA_FILE = 19, SACT_FILE = 20,
                SEQ_FILE = 21, SNDR_FILE = 22, THES_FILE = 23, UID_FILE = 24, WORD_FILE = 25,
                DB_FILE = 26, PL2_FILE = 27, PL1_FILE = 28, REMO_FILE = 29, MATR_FILE = 30,
                CENS_FILE = 31, DMS_FILE = 32, EDAT_FILE = 33, BOX_FILE = 34, BOXT_FILE = 35,
                RPST_FILE = 36, SPCE_FILE = 37, CONT_FILE = 38, BXMV_FILE = 39, BUPO_FILE = 40,
                BXCT_FILE = 41, SERS_FILE = 42, UCFG_FILE = 43, CIT_FILE = 44, CIDI_FILE = 45,
                AOLD_FILE = 46, DOMO_FILE = 47, FACO_FILE = 48, MOVO_FILE = 49, ORGO_FILE = 50,
                MOV1_FILE = 51, FAC1_FILE = 52, KREL_FILE = 53, VIT_FILE = 54, STOP_FILE = 55,
                FILT_FILE = 56, ATTS_FILE = 57, VERS_FILE = 58, COMP_FILE = 59, AUD1_FILE = 60,
                IDXM_FILE = 61, RSDV_FILE = 62, SLCT_FILE = 63, RELD_FILE = 64, LEKT_FILE = 65,
                IDXQ_FILE = 66, OBXC_FILE = 67, REPS_FILE = 68, REPO_FILE = 69, COP1_FILE = 70,
                UDB_FILE = 71, ASEC_FILE = 72, SEC_FILE = 73, EXT_FILE = 74, FRZ_FILE = 75,
                SSEC_FILE = 76, AUT_FILE = 77, NOTE_FILE = 78, RULE_FILE = 79;
// The product's own names for three of them.
constexpr short U_FILE = UID_FILE;    // the user file
constexpr short MA_FILE = MATR_FILE;  // opened exclusively while the program runs
constexpr short FI_FILE = FILE_FILE;

constexpr short kFileCount = 83;  // file numbers 0..82; 0 and 80..82 carry no code

// Status values with a meaning to the product.
constexpr short kEndOfScan = 9;           // vb_io_next: no further record
constexpr short kOpenFailed = 85;         // the library's open status 88, as callers see it
constexpr short kNoConnection = 5001;     // vb_io_connect could not connect
constexpr short kInvalidFileNumber = 98;  // a file number outside 0..82 (the library's own
                                          // status for a bad argument)

// The record layer's process-wide state: one status, one connection, one file table.
struct VbIoState {
  short erc = 0;            // status of the last operation that sets it (vb_io_erc)
  short connHandle = -1;    // what io_connect gave (ConnHandle); -1 when not connected
  std::array<FileBlock, kFileCount> files{};  // the file table; blocks start zeroed
  // Back to a process that never connected: no status, no connection, zeroed blocks.
  void Reset() { *this = VbIoState{}; }
};
extern VbIoState VbIo;

// The product's names for the state above.
extern short& vb_io_erc;
extern short& ConnHandle;

// The file table. Block() throws std::out_of_range for a number outside 0..82.
FileBlock& Block(short file);
// Writes the file codes (blank padded to 4) into blocks 1..79 and the instance numbers into
// blocks 1..82: 0, except 2 for block 27 and 1 for block 28 (the three "PL" blocks 18, 27, 28
// share one code). Whatever else the blocks hold is left as it is.
void InitFileTable();

// Library-wide operations.
// Clears vb_io_erc, connects and traces "after io_connect". On success the handle is in
// `handle` and ConnHandle and stamped into blocks 1..82; on failure (a nonzero status or an
// exception from the library) vb_io_erc is kNoConnection. Returns vb_io_erc.
short vb_io_connect(short mode, short& handle);
void vb_io_setup(short handle);
// Selects the database the per-file operations address. The texts go to the library as
// writable buffers and whatever it leaves in them is copied back.
void vb_io_setDirectory(short handle, std::string& directory, std::string& prefix);
// The selected database's data directory and (at most 3-character) prefix.
void vb_io_getDirectory(short handle, std::string& directory, std::string& prefix);
// The library's reason for its last failure (it names the store file where one is involved);
// leaves vb_io_erc alone.
std::string vb_io_failure();
short vb_io_db_type();  // leaves vb_io_erc alone
void vb_io_set_userid(std::string userId);
void vb_io_setTrace(short level);  // leaves vb_io_erc alone
void vb_io_suppress(short code);   // leaves vb_io_erc alone
void vb_io_unsuppress(short code);
short vb_io_startClock();  // leaves vb_io_erc alone
short vb_io_stopClock();   // leaves vb_io_erc alone
void vb_io_appTerminate();
void vb_io_disconnect(short mode, short handle);
// Creates the empty record store of a database (io_createStore); vb_io_erc holds the
// library's status as it is: 88 for a missing data directory, 22 when the store exists.
void vb_io_createStore(const std::string& directory, const std::string& prefix);
// The database transaction of the selected database (io_beginDatabase): its record writes and
// file changes take effect together at vb_io_commitDatabase, or not at all. vb_io_erc holds
// the library's status.
void vb_io_beginDatabase();
void vb_io_commitDatabase();
void vb_io_rollbackDatabase();
// Renames `source` to `target` (replacing it) or removes `path`, at the commit of the open
// database transaction, else now. Returns the errno of a refusal (0 when done or journalled);
// vb_io_erc holds the library's status.
// Copies the selected database's store into the new file `destination` (io_backupStore).
void vb_io_backupStore(const std::string& destination);
// Replaces the selected database's store content by that of the copy `source` (io_restoreStore).
void vb_io_restoreStore(const std::string& source);
// SQLite's integrity check of the store copy `source`, changing nothing (io_checkStoreCopy);
// `progress` is told the bytes read of an estimated total. vb_io_erc holds the status.
void vb_io_checkStoreCopy(const std::string& source, const std::function<void(long long done, long long total)>& progress);
int vb_io_renameFile(const std::string& source, const std::string& target);
int vb_io_removeFile(const std::string& path);

// Per-file operations. The library receives the file's block and may change any of it.
void vb_io_open(short file, std::string path);              // status 88 becomes 85
short vb_io_open_exclusive(short file, std::string path);   // as vb_io_open; returns vb_io_erc
void vb_io_close(short file);
void vb_io_read(short file, short key, short lock);  // lock 1: locked until rewrite or unlock
void vb_io_find(short file, short key);
void vb_io_startRange(short file, short key);  // the buffer's key ends the next scan
void vb_io_start(short file, short key, short option, short mode);
// The records a scan started now at the buffer's key would visit; 0 when they cannot be
// counted (vb_io_erc says why).
long vb_io_count(short file, short key);
void vb_io_next(short file, short key);  // 0: a record is in the buffer; 9: end of the scan
void vb_io_endstart(short file);
// Rewrites the record read with lock 1 and always releases its lock; vb_io_erc holds the
// rewrite's status, whatever the unlock gives.
void vb_io_rewrite(short file);
void vb_io_unlock(short file);
void vb_io_write(short file);
void vb_io_add(short file);
// The document-management file is never opened through the library: this does nothing.
void vb_dms_open(short file, std::string path);

// Record buffer access. A descriptor's places outside the 1536-byte buffer are clipped:
// reads see only the part inside it, writes change only that part.
// Sets the whole record buffer of `file` to blanks.
void ClearRecord(short file);
// Text: the characters without trailing blanks, then without NUL characters. Numeric: the
// number (blanks around it, a fraction and an exponent allowed) rounded to a 32-bit integer,
// halves to even, or the 16-bit integer 0 when the characters are no number of that range.
// Any other type: an empty value.
Variant GetField(const FieldInfo& field);
// Text: the value as text (a number in decimal, a date as FormatDateForSystem makes it),
// blank padded or cut to the field's length. Numeric: an integer, or a text that reads as one,
// zero padded to the length ("-" takes the first place of a negative number); an empty value
// counts as 0. A value that is no whole number, or that needs more characters than the field
// has, leaves the field unchanged and is written to the trace. Any other type: nothing is
// written.
void PutField(const FieldInfo& field, const Variant& value);
// `values` becomes count elements, element i read at offset + i * length. Numeric elements as
// in GetField; every other element as raw text without trailing blanks, except that a single
// trailing blank is kept; NUL characters stay.
void GetFieldArray(const FieldInfo& field, std::vector<Variant>& values);
// Stores elements 0..count-1 as PutField stores a numeric or text value. Elements beyond
// values.size() are left unchanged.
void PutFieldArray(const FieldInfo& field, const std::vector<Variant>& values);
// The text of a field: GetField's text, a number in decimal, a date as FormatDateForSystem
// makes it, or "" for an empty value.
std::string GetText(const FieldInfo& field);

// Shows "Field infomation structure not initialised" (traced, OK button, program title) for a
// descriptor that was never filled; GetField and PutField run it and go on all the same.
void CheckFieldInfo(const FieldInfo& field);

}  // namespace filomar
