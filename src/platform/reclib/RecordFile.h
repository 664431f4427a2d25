// A record file open in this process: its table in a store, the process's lock on the file,
// the record lock it holds, its scan and its pending range end.
//
// The file lock is taken by Lock and released with the object; operations other than Lock
// and OpenTable need a successful OpenTable. Writes made while a scan is
// running join the store's write group, committed at EndScan, at destruction, or when the
// group grows past a bounded size or age; every other write has committed when it returns
// (and commits any group in progress with it).
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/reclib/Scan.h"
#include "platform/reclib/Store.h"

namespace reclib {

class RecordFile {
 public:
  RecordFile(std::shared_ptr<Store> store, std::string table, off_t fileLock, short keyLength);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  const Store& store() const { return *store_; }
  bool exclusive() const { return exclusive_; }
  // Takes the file lock, or makes a shared one exclusive: 0, kHeldExclusively (a shared lock
  // refused), kFileInUse (an exclusive lock refused), kStorageError.
  short Lock(bool exclusive, std::string& why);
  // Creates the table when the store lacks it; called once the file lock is held.
  short OpenTable(std::string& why);

  // Each takes the record buffer (kRecordSize bytes) whose first bytes hold the key.
  short Read(char* record, bool lock, std::string& why);
  short Find(const char* record, std::string& why);
  void SetRangeEnd(const char* record);
  void Start(const char* record);
  // The records a scan started now from the record's key would visit (the range end stays
  // set for that scan).
  short Count(const char* record, long& count, std::string& why);
  short Next(char* record, std::string& why);
  short EndScan(std::string& why);
  short Insert(const char* record, std::string& why);
  short Rewrite(const char* record, std::string& why);
  void Unlock();

  int opens = 0;  // nesting count of io_open calls on this file

 private:
  std::string KeyOf(const char* record) const { return std::string(record, static_cast<std::size_t>(keyLength_)); }
  std::string ScanEnd() const;  // the last key the next scan may visit
  short BeforeWrite(std::string& why);
  short AfterWrite(short status, std::string& why);

  std::shared_ptr<Store> store_;
  std::string tableName_;
  Table* table_ = nullptr;
  off_t fileLock_;
  short keyLength_;
  bool locked_ = false;
  bool exclusive_ = false;
  std::optional<off_t> recordLock_;  // offset of the record lock held
  std::optional<Scan> scan_;
  std::optional<std::string> rangeEnd_;
};

}  // namespace reclib
