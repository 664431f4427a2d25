#include "platform/reclib/Library.h"

#include <pthread.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/reclib/DataDirectory.h"
#include "platform/reclib/keys.h"

namespace reclib {
namespace {

constexpr int kDirectoryBuffer = 150;  // io_getDirectory's directory buffer
constexpr int kPrefixLength = 3;
constexpr short kMaxInstance = 99;

std::string RTrimmed(const char* text) {
  std::string s(text);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

// The prefix becomes part of a file name: it must not be able to leave the data directory.
bool ValidPrefix(const std::string& prefix) {
  return !prefix.empty() && prefix.size() <= kPrefixLength && prefix != "." && prefix != ".." &&
         prefix.find_first_of("/\\") == std::string::npos;
}

std::string TableName(const FileBlock& block) {
  std::string code(block.code, 4);
  while (!code.empty() && code.back() == ' ') code.pop_back();
  return "r_" + code + "_" + std::to_string(block.instance);
}

}  // namespace

// The existing data directory with symbolic links resolved, so that every spelling of one
// store maps to one Store (and one lock file descriptor) in the process. Resolving costs a
// system call per part of the path on every open, so the real path found for a directory is
// kept by its device and inode: every spelling of that directory then gets the same kept
// path, for as long as the kept path still reaches that directory (a directory moved away,
// or another put in its place, is resolved afresh).
short Library::CanonicalDirectory(const std::string& directory, std::string& canonical, std::string& why) const {
  struct stat st {};
  if (::stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    why = "data directory " + directory + " does not exist";
    return kOpenFailed;
  }
  const std::pair<dev_t, ino_t> id{st.st_dev, st.st_ino};
  if (const auto kept = realPaths_.find(id); kept != realPaths_.end()) {
    struct stat there {};
    if (::stat(kept->second.c_str(), &there) == 0 && there.st_dev == st.st_dev && there.st_ino == st.st_ino)
      return canonical = kept->second, 0;
    realPaths_.erase(kept);
  }
  char resolved[PATH_MAX];
  if (::realpath(directory.c_str(), resolved) == nullptr) {
    why = "data directory " + directory + ": " + std::strerror(errno);
    return kOpenFailed;
  }
  canonical = realPaths_[id] = resolved;
  return 0;
}

Library& TheLibrary() {
  static Library library;
  static const bool forkHandled =
      pthread_atfork(nullptr, nullptr, [] { TheLibrary().AbandonInheritedFiles(); }) == 0;
  (void)forkHandled;
  return library;
}

void Library::AbandonInheritedFiles() {
  // Deliberately leaked: closing them would run SQLite's close-time work on the parent's
  // store from a process that holds none of its locks.
  new auto(std::move(files_));
  new auto(std::move(stores_));
  files_.clear();
  stores_.clear();
}

short Library::Connect(short* handle) {
  connected_ = true;
  *handle = kHandle;
  return 0;
}

short Library::CheckHandle(short handle) const { return connected_ && handle == kHandle ? 0 : kNotOpen; }

void Library::Disconnect() {
  CloseAllFiles();
  RollbackDatabase();
  connected_ = false;
  selected_ = false;
  directory_.clear();
  prefix_.clear();
  suppressed_.clear();
}

void Library::CloseAllFiles() {
  while (!files_.empty()) Erase(files_.begin());
}

short Library::SetDirectory(const char* directory, const char* prefix, std::string& why) {
  const std::string trimmedPrefix = RTrimmed(prefix);
  if (!ValidPrefix(trimmedPrefix)) {
    why = "database prefix \"" + trimmedPrefix + "\" is not 1 to 3 characters of a file name";
    selected_ = false;
    directory_.clear();
    prefix_.clear();
    return kBadArgument;
  }
  directory_ = RTrimmed(directory);
  prefix_ = trimmedPrefix;
  selected_ = true;
  return 0;
}

short Library::CreateStore(const char* directory, const char* prefix, std::string& why) {
  const std::string trimmedPrefix = RTrimmed(prefix);
  if (!ValidPrefix(trimmedPrefix)) {
    why = "database prefix \"" + trimmedPrefix + "\" is not 1 to 3 characters of a file name";
    return kBadArgument;
  }
  std::string canonical;
  if (const short status = CanonicalDirectory(ResolveDataDirectory(RTrimmed(directory)), canonical, why)) return status;
  return Store::Create(canonical + "/" + trimmedPrefix + ".records", why);
}

short Library::GetDirectory(char* directory, short* length, char* prefix, std::string& why) const {
  if (!selected_) {
    why = "no database selected";
    return kNotOpen;
  }
  const std::size_t copied = std::min<std::size_t>(directory_.size(), kDirectoryBuffer - 1);
  std::memcpy(directory, directory_.data(), copied);
  directory[copied] = '\0';
  *length = static_cast<short>(copied);
  std::memcpy(prefix, prefix_.data(), prefix_.size());
  prefix[prefix_.size()] = '\0';
  return 0;
}

void Library::Suppress(short code, bool on) {
  if (on) suppressed_.insert(code);
  else suppressed_.erase(code);
}

Library::FileId Library::IdOf(const FileBlock& block) {
  FileId id{{}, block.instance};
  std::copy(block.code, block.code + 4, id.first.begin());
  return id;
}

short Library::OpenStore(std::string& path, std::shared_ptr<Store>& store, std::string& why) {
  if (auto it = stores_.find(path); it != stores_.end()) {
    store = it->second;
    return 0;
  }
  std::unique_ptr<Store> opened;
  if (const short status = Store::Open(path, opened, why)) return status;
  store = std::move(opened);
  stores_[path] = store;
  return 0;
}

short Library::SelectedStorePath(std::string& path, std::string& why) const {
  std::string directory;
  if (const short status = CanonicalDirectory(ResolveDataDirectory(directory_), directory, why)) return status;
  path = directory + "/" + prefix_ + ".records";
  return 0;
}

short Library::BeginDatabase(std::string& why) {
  if (!connected_ || !selected_) return why = "not connected or no database selected", kNotOpen;
  if (databaseStore_) return why = databaseStore_->path() + ": a database transaction is already open", kBadArgument;
  std::string path;
  if (const short status = SelectedStorePath(path, why)) return status;
  std::shared_ptr<Store> store;
  if (const short status = OpenStore(path, store, why)) return status;
  if (const short status = store->BeginDatabase(why)) {
    store.reset();
    ForgetUnusedStore(path);
    return status;
  }
  databaseStore_ = std::move(store);
  return 0;
}

short Library::CommitDatabase(std::string& why) {
  if (!databaseStore_) return why = "no database transaction is open", kNotOpen;
  const short status = databaseStore_->CommitDatabase(why);
  const std::string path = databaseStore_->path();
  databaseStore_.reset();
  ForgetUnusedStore(path);
  return status;
}

void Library::RollbackDatabase() {
  if (!databaseStore_) return;
  databaseStore_->RollbackDatabase();
  const std::string path = databaseStore_->path();
  databaseStore_.reset();
  ForgetUnusedStore(path);
}

short Library::BackupStore(const std::string& destination, std::string& why) {
  if (!connected_ || !selected_) return why = "not connected or no database selected", kNotOpen;
  std::string path;
  if (const short status = SelectedStorePath(path, why)) return status;
  std::shared_ptr<Store> store;
  if (const short status = OpenStore(path, store, why)) return status;
  const short status = store->Backup(destination, why);
  store.reset();
  ForgetUnusedStore(path);
  return status;
}

short Library::RestoreStore(const std::string& source, std::string& why) {
  if (!connected_ || !selected_) return why = "not connected or no database selected", kNotOpen;
  std::string path;
  if (const short status = SelectedStorePath(path, why)) return status;
  if (databaseStore_ && databaseStore_->path() != path)
    return why = databaseStore_->path() + ": a database transaction of another store is open", kBadArgument;
  std::shared_ptr<Store> store;
  if (const short status = OpenStore(path, store, why)) return status;
  const short status = store->RestoreFrom(source, why);
  store.reset();
  ForgetUnusedStore(path);
  return status;
}

short Library::ChangeFile(const FileChange& change, int& osError, std::string& why) {
  osError = CheckFileChange(change);
  if (osError == 0 && !databaseStore_) osError = CarryOut(change);
  if (osError != 0) return why = change.source + ": " + std::strerror(osError), kStorageError;
  return databaseStore_ ? databaseStore_->JournalFileChange(change, why) : 0;
}

short Library::Open(const FileBlock& block, bool exclusive, std::string& why) {
  const short keyLength = KeyLength(block.code);
  if (keyLength == 0 || block.instance < 0 || block.instance > kMaxInstance) {
    why = "unknown file code or instance";
    return kBadArgument;
  }
  if (!connected_ || !selected_) {
    why = "not connected or no database selected";
    return kNotOpen;
  }
  std::string path;
  if (const short status = SelectedStorePath(path, why)) return status;

  const FileId id = IdOf(block);
  if (auto it = files_.find(id); it != files_.end()) {
    if (it->second->store().path() == path) {
      const short status = it->second->Lock(exclusive, why);
      if (status == 0) ++it->second->opens;
      return status;
    }
    Erase(it);  // open on another database: closed there first
  }

  std::shared_ptr<Store> store;
  if (const short status = OpenStore(path, store, why)) return status;
  const off_t fileLock = LockFile::FileOffset(block.code, block.instance);
  auto file = std::make_unique<RecordFile>(store, TableName(block), fileLock, keyLength);
  store.reset();
  short status = file->Lock(exclusive, why);
  if (status == 0) status = file->OpenTable(why);
  if (status != 0) {
    file.reset();
    ForgetUnusedStore(path);
    return status;
  }
  file->opens = 1;
  files_[id] = std::move(file);
  return 0;
}

short Library::Close(const FileBlock& block, std::string& why) {
  const auto it = files_.find(IdOf(block));
  if (it == files_.end()) {
    why = "the file is not open";
    return kNotOpen;
  }
  if (--it->second->opens > 0) return 0;
  const short status = it->second->EndScan(why);
  Erase(it);
  return status;
}

RecordFile* Library::Find(const FileBlock& block, std::string& why) {
  const auto it = files_.find(IdOf(block));
  if (it != files_.end()) return it->second.get();
  why = "the file is not open";
  return nullptr;
}

void Library::Erase(std::map<FileId, std::unique_ptr<RecordFile>>::iterator it) {
  const std::string path = it->second->store().path();
  files_.erase(it);
  ForgetUnusedStore(path);
}

void Library::ForgetUnusedStore(const std::string& path) {
  if (auto store = stores_.find(path); store != stores_.end() && store->second.use_count() == 1) stores_.erase(store);
}

}  // namespace reclib
