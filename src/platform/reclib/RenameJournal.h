// File changes that belong to a database transaction of a store (the letter files of the
// database): recorded in the store's table kJournalTable inside the transaction and carried
// out in their order once it has committed, so that they take effect with the records or not
// at all. Carrying one out again is harmless: a change whose source is gone was done before.
#pragma once

#include <string>
#include <vector>

namespace reclib {

constexpr const char* kJournalTable = "j_filechanges";

struct FileChange {
  enum class Kind { kRename, kRemove };
  Kind kind;
  std::string source;  // the file renamed or removed
  std::string target;  // the new name of a rename
};

// The directory part of `path` ("." when it has none), and whether anything exists at `path`
// (a link itself counts): for the store and its journal alike.
std::string DirectoryOf(const std::string& path);
bool Exists(const std::string& path);

// Checks beforehand what the file system will be asked, so that a refusal is known while the
// transaction is still open: the source must exist and its directory be writable. 0, or the
// errno of the refusal.
int CheckFileChange(const FileChange& change);

// Carries out one change now: 0, or the errno of the refusal.
int CarryOut(const FileChange& change);

}  // namespace reclib
