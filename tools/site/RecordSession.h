// The tool's connection to the record layer (Vb_io) for the length of one command.
//
// The record layer keeps process-wide state: its file table, its connection, and the client
// directory it resolves data directories against. A session points that state at one site:
// FILOMAR_HOME becomes the site directory, and FILOMAR_IPC_DIR a private store of its own, so
// that values other programs of the user left in the shared store (the client directory
// FLMWIN_PATH) cannot redirect the tool. Only one session may exist at a time.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "recio/Vb_io.h"
#include "site/Status.h"

namespace site {

class RecordSession {
 public:
  static Status Open(const std::filesystem::path& home, std::unique_ptr<RecordSession>& out);
  ~RecordSession();  // disconnects, so every store is committed and closed
  RecordSession(const RecordSession&) = delete;
  RecordSession& operator=(const RecordSession&) = delete;

  // Selects the database whose store is `directory`/`prefix`.records for the per-file calls.
  // An absolute directory is used as it is; a relative one is resolved like the program does.
  Status Select(const std::string& directory, const std::string& prefix);

 private:
  explicit RecordSession(std::filesystem::path ipcDir) : ipcDir_(std::move(ipcDir)) {}

  std::filesystem::path ipcDir_;
  short handle_ = 0;
};

// Opens `file` on the selected database, writes `count` records and closes it. Each record
// starts as a cleared buffer that `fill(i)` completes through PutField. The writes run inside
// a scan so that they commit in groups; a failed write ends the file with its key and status.
template <typename Fill>
Status WriteRecords(short file, std::size_t count, Fill fill);

// Creates the empty store of the database `prefix` in the existing directory `dir`: the record
// library's opens never create one.
Status CreateStore(const std::filesystem::path& dir, const std::string& prefix);

// Opens and closes `file`, which leaves it in the store, empty if it was not there.
Status CreateEmptyFile(short file);

// Building blocks of WriteRecords: open and start a scan; insert the buffer; end the scan,
// which commits, and close.
Status BeginWrites(short file);
Status WriteOne(short file);
Status EndWrites(short file);

// The file code of `file` without its blank padding ("UID").
std::string FileCode(short file);

template <typename Fill>
Status WriteRecords(short file, std::size_t count, Fill fill) {
  if (Status status = BeginWrites(file); !status.ok()) return status;
  for (std::size_t i = 0; i < count; ++i) {
    filomar::ClearRecord(file);
    fill(i);
    if (Status status = WriteOne(file); !status.ok()) {
      (void)EndWrites(file);
      return status;
    }
  }
  return EndWrites(file);
}

}  // namespace site
