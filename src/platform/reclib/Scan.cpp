#include "platform/reclib/Scan.h"

#include <algorithm>
#include <cstring>

#include "platform/reclib/io.h"

namespace reclib {

short Scan::Next(Store& store, Table& table, char* record, std::string& why) {
  if (ended_) return kEndOfScan;
  if (next_ == keys_.size()) {
    keys_.clear();
    records_.clear();
    next_ = 0;
    hold_ = store.WriteHold();
    if (const short status = store.ReadBatch(table, position_, inclusive_, upper_, kBatchRows, keys_, records_, why)) {
      ended_ = true;
      return status;
    }
    if (keys_.empty()) {
      ended_ = true;
      return kEndOfScan;
    }
  }
  std::memcpy(record, records_.data() + next_ * kRecordSize, kRecordSize);
  position_ = keys_[next_++];
  inclusive_ = false;
  return 0;
}

bool Scan::ReadDelivered(const Store& store, const std::string& key, char* record) const {
  if (hold_ == 0 || hold_ != store.WriteHold() || next_ == 0 || keys_[next_ - 1] != key) return false;
  std::memcpy(record, records_.data() + (next_ - 1) * kRecordSize, kRecordSize);
  return true;
}

void Scan::NoteRewrite(const std::string& key, const char* record) {
  // From the record last delivered on: it is the one a scan that rewrites as it goes changes.
  const auto first = keys_.begin() + static_cast<std::ptrdiff_t>(next_ > 0 ? next_ - 1 : 0);
  const auto it = std::lower_bound(first, keys_.end(), key);
  if (it == keys_.end() || *it != key) return;
  const auto index = static_cast<std::size_t>(it - keys_.begin());
  std::memcpy(records_.data() + index * kRecordSize, record, kRecordSize);
}

void Scan::NoteInsert(const std::string& key) {
  // A record added ahead of the scan but inside the buffered rows would be missed: drop the
  // rest of the batch so the next read starts after the last key delivered.
  if (next_ < keys_.size() && key < keys_.back() && key > position_) {
    keys_.resize(next_);
    records_.resize(next_ * kRecordSize);
  }
}

}  // namespace reclib
