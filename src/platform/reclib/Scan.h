// A scan over one record file in key order, read from the store in batches.
//
// The scan remembers the last key it delivered and continues after it, so records rewritten
// while it runs are neither skipped nor visited twice. Rows are buffered a batch at a time:
// the owner reports its own writes (NoteRewrite, NoteInsert) so the buffer stays current.
// A batch read while the store's write lock is held (Store::WriteHold) is the store's content
// for as long as that hold lasts, so the record just delivered can be read again from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/reclib/Store.h"

namespace reclib {

class Scan {
 public:
  // Keys from `from` (inclusive) to `upper` (inclusive).
  Scan(std::string from, std::string upper) : position_(std::move(from)), upper_(std::move(upper)) {}

  // 0 with the next record copied into `record`; kEndOfScan at the end. A store failure is
  // reported once (kStorageError) and ends the scan, so callers that retry cannot loop.
  short Next(Store& store, Table& table, char* record, std::string& why);
  // True, with the record copied into `record`, when `key` is the record last delivered and
  // the batch still is the store's content; false otherwise (nothing copied).
  bool ReadDelivered(const Store& store, const std::string& key, char* record) const;
  void NoteRewrite(const std::string& key, const char* record);
  void NoteInsert(const std::string& key);

 private:
  static constexpr int kBatchRows = 256;

  std::string position_;   // the last key delivered (or the start key before the first)
  bool inclusive_ = true;  // the start key itself is still to be delivered
  std::string upper_;
  std::vector<std::string> keys_;
  std::vector<char> records_;
  std::size_t next_ = 0;  // index in keys_ of the next row to deliver
  std::uint64_t hold_ = 0;  // the store's write hold the batch was read under (0: none)
  bool ended_ = false;
};

}  // namespace reclib
