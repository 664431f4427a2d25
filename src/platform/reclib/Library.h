// The record library's process-wide state, behind the io_* C interface: the connection, the
// selected database, the suppressed failure codes, the open stores and the open record files.
//
// A record file is identified by its block's code and instance, so every block with the same
// code and instance addresses the same open file. Stores are shared by the files open in them
// and closed with the last of those files.
#pragma once

#include <sys/types.h>

#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/reclib/RecordFile.h"
#include "platform/reclib/Store.h"
#include "platform/reclib/io.h"

namespace reclib {

class Library {
 public:
  static constexpr short kHandle = 1;

  short Connect(short* handle);
  // Checks the handle of a library-wide call: 0, or kNotOpen before io_connect / for a
  // handle other than the one io_connect gave.
  short CheckHandle(short handle) const;
  // Closes every open file (their groups commit) and forgets the connection, the selected
  // database and the suppressed codes.
  void Disconnect();
  void CloseAllFiles();
  short SetDirectory(const char* directory, const char* prefix, std::string& why);
  // io_createStore: a new store for `directory` and `prefix`, resolved as SetDirectory's.
  short CreateStore(const char* directory, const char* prefix, std::string& why);
  short GetDirectory(char* directory, short* length, char* prefix, std::string& why) const;
  void SetUserId(const char* userId) { userId_ = userId; }
  void Suppress(short code, bool on);
  bool Suppressed(short code) const { return suppressed_.count(code) != 0; }

  // In a child made by fork: the parent's open files and stores are the parent's (the child
  // holds none of its locks and must not use its SQLite connections), so the child drops
  // them unclosed and starts without open files.
  void AbandonInheritedFiles();

  // The database transaction on the selected database's store (Store::BeginDatabase): the
  // store stays open until it commits or rolls back, whatever files are closed meanwhile.
  // Only one is open at a time; Disconnect rolls it back.
  short BeginDatabase(std::string& why);
  short CommitDatabase(std::string& why);
  void RollbackDatabase();
  // A file change: journalled in the open database transaction once CheckFileChange allows
  // it, else carried out now. 0, kStorageError with `osError` set when the file system
  // refuses it, or the store's status.
  short ChangeFile(const FileChange& change, int& osError, std::string& why);

  // Store::Backup of the selected database's store.
  short BackupStore(const std::string& destination, std::string& why);

  // Store::RestoreFrom into the selected database's store (its open files stay open); joins
  // the open database transaction of that store, refused while one of another store is open.
  short RestoreStore(const std::string& source, std::string& why);

  short Open(const FileBlock& block, bool exclusive, std::string& why);
  short Close(const FileBlock& block, std::string& why);
  // The open file of `block`, or null (with `why` set) when it is not open.
  RecordFile* Find(const FileBlock& block, std::string& why);

 private:
  using FileId = std::pair<std::array<char, 4>, short>;
  static FileId IdOf(const FileBlock& block);
  // The store path of the selected database.
  short SelectedStorePath(std::string& path, std::string& why) const;
  short OpenStore(std::string& path, std::shared_ptr<Store>& store, std::string& why);
  short CanonicalDirectory(const std::string& directory, std::string& canonical, std::string& why) const;
  void Erase(std::map<FileId, std::unique_ptr<RecordFile>>::iterator it);
  // Closes the store at `path` once no open file or transaction holds it (the map's own
  // reference is the last); the caller drops its reference first.
  void ForgetUnusedStore(const std::string& path);

  bool connected_ = false;
  bool selected_ = false;
  std::string directory_;
  std::string prefix_;
  std::string userId_;
  std::set<short> suppressed_;
  std::map<std::string, std::shared_ptr<Store>> stores_;  // by canonical store path
  std::map<FileId, std::unique_ptr<RecordFile>> files_;
  std::shared_ptr<Store> databaseStore_;  // the store of the open database transaction
  mutable std::map<std::pair<dev_t, ino_t>, std::string> realPaths_;  // of data directories, by device and inode
};

// The one Library of the process (a forked child's abandons the inherited files).
Library& TheLibrary();

}  // namespace reclib
