#include "platform/reclib/RecordFile.h"

#include "platform/reclib/io.h"

namespace reclib {
namespace {

// A write group holds the store's write lock; these bounds keep other writers' waits and the
// uncommitted work small.
constexpr int kGroupMaxWrites = 4096;
constexpr auto kGroupMaxAge = std::chrono::milliseconds(500);

}  // namespace

RecordFile::RecordFile(std::shared_ptr<Store> store, std::string table, off_t fileLock, short keyLength)
    : store_(std::move(store)), tableName_(std::move(table)), fileLock_(fileLock), keyLength_(keyLength) {}

RecordFile::~RecordFile() {
  std::string ignored;
  EndScan(ignored);
  Unlock();
  if (locked_) store_->locks().Unlock(fileLock_);
  if (table_ != nullptr) store_->CloseTable(tableName_);
}

short RecordFile::OpenTable(std::string& why) { return store_->OpenTable(tableName_, table_, why); }

short RecordFile::Lock(bool exclusive, std::string& why) {
  if (locked_ && (exclusive_ || !exclusive)) return 0;
  switch (store_->locks().Lock(fileLock_, exclusive)) {
    case LockFile::Outcome::kGranted:
      locked_ = true;
      exclusive_ = exclusive;
      return 0;
    case LockFile::Outcome::kRefused:
      why = exclusive ? "the file is open in another process" : "another process holds the file exclusively";
      return exclusive ? kFileInUse : kHeldExclusively;
    case LockFile::Outcome::kFailed:
      break;
  }
  why = "the lock file cannot be locked";
  return kStorageError;
}

short RecordFile::Read(char* record, bool lock, std::string& why) {
  const std::string key = KeyOf(record);
  if (!lock) return store_->Read(*table_, key, record, why);
  // A file held exclusively is open in no other process, so none can lock or rewrite its
  // records: the file lock keeps every record locked.
  if (exclusive_) {
    Unlock();
    return scan_ && scan_->ReadDelivered(*store_, key, record) ? 0 : store_->Read(*table_, key, record, why);
  }
  const off_t offset = LockFile::RecordOffset(tableName_, key);
  const bool alreadyHeld = recordLock_ == offset;
  if (!alreadyHeld) {
    Unlock();
    switch (store_->locks().Lock(offset, true)) {
      case LockFile::Outcome::kGranted:
        break;
      case LockFile::Outcome::kRefused:
        why = "the record is locked by another process";
        return kRecordLocked;
      case LockFile::Outcome::kFailed:
        why = "the lock file cannot be locked";
        return kStorageError;
    }
    recordLock_ = offset;
  }
  if (scan_ && scan_->ReadDelivered(*store_, key, record)) return 0;
  const short status = store_->Read(*table_, key, record, why);
  if (status != 0) Unlock();
  return status;
}

short RecordFile::Find(const char* record, std::string& why) {
  char found[kRecordSize];
  return store_->Read(*table_, KeyOf(record), found, why);
}

void RecordFile::SetRangeEnd(const char* record) { rangeEnd_ = KeyOf(record); }

std::string RecordFile::ScanEnd() const {
  // Keys are exactly keyLength_ bytes, so one more 0xFF byte lies above every one of them.
  return rangeEnd_ ? *rangeEnd_ : std::string(static_cast<std::size_t>(keyLength_) + 1, '\xff');
}

void RecordFile::Start(const char* record) {
  scan_.emplace(KeyOf(record), ScanEnd());
  rangeEnd_.reset();
}

short RecordFile::Count(const char* record, long& count, std::string& why) {
  return store_->Count(*table_, KeyOf(record), ScanEnd(), count, why);
}

short RecordFile::Next(char* record, std::string& why) {
  if (!scan_) {
    why = "no scan was started";
    return kBadArgument;
  }
  return scan_->Next(*store_, *table_, record, why);
}

short RecordFile::EndScan(std::string& why) {
  scan_.reset();
  return store_->CommitGroup(why);
}

short RecordFile::Insert(const char* record, std::string& why) {
  if (const short status = BeforeWrite(why)) return status;
  const std::string key = KeyOf(record);
  const short status = store_->Insert(*table_, key, record, why);
  if (status == 0 && scan_) scan_->NoteInsert(key);
  return AfterWrite(status, why);
}

short RecordFile::Rewrite(const char* record, std::string& why) {
  const std::string key = KeyOf(record);
  const off_t offset = exclusive_ ? 0 : LockFile::RecordOffset(tableName_, key);
  const bool held = exclusive_ || recordLock_ == offset;
  Unlock();
  if (!held && store_->locks().HeldByOther(offset)) {
    why = "the record is locked by another process";
    return kRecordLocked;
  }
  if (const short status = BeforeWrite(why)) return status;
  const short status = store_->Update(*table_, key, record, why);
  if (status == 0 && scan_) scan_->NoteRewrite(key, record);
  return AfterWrite(status, why);
}

short RecordFile::BeforeWrite(std::string& why) {
  return scan_ && !store_->InGroup() ? store_->BeginGroup(why) : 0;
}

short RecordFile::AfterWrite(short status, std::string& why) {
  if (!store_->InGroup() || (scan_ && !store_->GroupDue(kGroupMaxWrites, kGroupMaxAge))) return status;
  std::string commitWhy;
  const short committed = store_->CommitGroup(commitWhy);
  if (status == 0 && committed != 0) {
    why = commitWhy;
    return committed;
  }
  return status;
}

void RecordFile::Unlock() {
  if (!recordLock_) return;
  store_->locks().Unlock(*recordLock_);
  recordLock_.reset();
}

}  // namespace reclib
