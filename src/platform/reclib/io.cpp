// The io_* C interface: argument checks, dispatch to the process's Library, and the trace
// line of every failure that is not suppressed.
#include "platform/reclib/io.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/reclib/CopyCheck.h"
#include "platform/reclib/Library.h"
#include "platform/reclib/trace.h"

using reclib::kBadArgument;
using reclib::RecordFile;
using reclib::TheLibrary;

namespace {

// The end of a scan is an ordinary outcome, never a failure line.
// The reason of the last failure, for io_lastFailure; a plain array, so that it needs no
// destruction at exit.
char lastFailure[512] = "";

void KeepFailure(const std::string& why) {
  const std::size_t copied = std::min(why.size(), sizeof lastFailure - 1);
  std::memcpy(lastFailure, why.data(), copied);
  lastFailure[copied] = '\0';
}

short Report(const char* call, const FileBlock* block, short status, const std::string& why) {
  if (status == 0 || status == reclib::kEndOfScan) return status;
  KeepFailure(why);
  if (TheLibrary().Suppressed(status)) return status;
  std::string line = call;
  if (block != nullptr) line += " " + std::string(block->code, 4) + "/" + std::to_string(block->instance);
  line += ": status " + std::to_string(status);
  if (!why.empty()) line += " (" + why + ")";
  reclib::TraceLibraryFailure(line);
  return status;
}

// Runs `operation` on the open file of `block`: kBadArgument for a null block, kNotOpen when
// the block's file is not open.
template <typename Operation>
short OnFile(const char* call, FileBlock* block, Operation operation) {
  std::string why;
  if (block == nullptr) return Report(call, nullptr, kBadArgument, "null block");
  RecordFile* file = TheLibrary().Find(*block, why);
  if (file == nullptr) return Report(call, block, reclib::kNotOpen, why);
  return Report(call, block, operation(*file, why), why);
}

}  // namespace

extern "C" {

short io_connect(short /*mode*/, short* handle) {
  if (handle == nullptr) return Report("io_connect", nullptr, kBadArgument, "null handle");
  return TheLibrary().Connect(handle);
}

short io_setup(short handle) {
  return Report("io_setup", nullptr, TheLibrary().CheckHandle(handle), "not connected");
}

short io_setDirectory(short handle, char* directory, char* prefix) {
  std::string why = "not connected";
  short status = TheLibrary().CheckHandle(handle);
  if (status == 0 && (directory == nullptr || prefix == nullptr)) status = kBadArgument, why = "null argument";
  if (status == 0) status = TheLibrary().SetDirectory(directory, prefix, why);
  return Report("io_setDirectory", nullptr, status, why);
}

short io_getDirectory(short handle, char* directory, short* length, char* prefix) {
  std::string why = "not connected";
  short status = TheLibrary().CheckHandle(handle);
  if (status == 0 && (directory == nullptr || length == nullptr || prefix == nullptr)) {
    status = kBadArgument;
    why = "null argument";
  }
  if (status == 0) status = TheLibrary().GetDirectory(directory, length, prefix, why);
  return Report("io_getDirectory", nullptr, status, why);
}

short io_createStore(const char* directory, const char* prefix) {
  std::string why = "null argument";
  short status = kBadArgument;
  if (directory != nullptr && prefix != nullptr) status = TheLibrary().CreateStore(directory, prefix, why);
  return Report("io_createStore", nullptr, status, why);
}

short io_lastFailure(char* text, short size) {
  if (text == nullptr || size <= 0) return kBadArgument;
  const std::size_t copied = std::min(std::strlen(lastFailure), static_cast<std::size_t>(size - 1));
  std::memcpy(text, lastFailure, copied);
  text[copied] = '\0';
  return 0;
}

short io_db_type(void) { return 1; }

short io_set_userid(char* userId) {
  if (userId == nullptr) return Report("io_set_userid", nullptr, kBadArgument, "null user id");
  TheLibrary().SetUserId(userId);
  return 0;
}

short io_suppress(short code, short on) {
  TheLibrary().Suppress(code, on != 0);
  return 0;
}

// The library has no screen: the busy indicator is the caller's front end's business.
short io_startClock(void) { return 0; }
short io_stopClock(void) { return 0; }

short io_appTerminate(void) {
  TheLibrary().CloseAllFiles();
  return 0;
}

short io_disconnect(short /*mode*/, short handle) {
  if (const short status = TheLibrary().CheckHandle(handle)) return Report("io_disconnect", nullptr, status, "not connected");
  TheLibrary().Disconnect();
  return 0;
}

short io_beginDatabase(void) {
  std::string why;
  return Report("io_beginDatabase", nullptr, TheLibrary().BeginDatabase(why), why);
}

short io_commitDatabase(void) {
  std::string why;
  return Report("io_commitDatabase", nullptr, TheLibrary().CommitDatabase(why), why);
}

short io_rollbackDatabase(void) {
  TheLibrary().RollbackDatabase();
  return 0;
}

short io_backupStore(const char* destination) {
  if (destination == nullptr) return Report("io_backupStore", nullptr, kBadArgument, "null argument");
  std::string why;
  return Report("io_backupStore", nullptr, TheLibrary().BackupStore(destination, why), why);
}

short io_restoreStore(const char* source) {
  if (source == nullptr) return Report("io_restoreStore", nullptr, kBadArgument, "null argument");
  std::string why;
  return Report("io_restoreStore", nullptr, TheLibrary().RestoreStore(source, why), why);
}

short io_checkStoreCopy(const char* source, io_checkProgress progress, void* context) {
  if (source == nullptr) return Report("io_checkStoreCopy", nullptr, kBadArgument, "null argument");
  std::string why;
  const reclib::CheckProgress told = [progress, context](long long done, long long total) {
    if (progress != nullptr) progress(context, done, total);
  };
  return Report("io_checkStoreCopy", nullptr, reclib::CheckStoreCopy(source, told, why), why);
}

short io_renameFile(const char* source, const char* target, int* osError) {
  if (source == nullptr || target == nullptr || osError == nullptr) {
    return Report("io_renameFile", nullptr, kBadArgument, "null argument");
  }
  std::string why;
  const reclib::FileChange change{reclib::FileChange::Kind::kRename, source, target};
  return Report("io_renameFile", nullptr, TheLibrary().ChangeFile(change, *osError, why), why);
}

short io_removeFile(const char* path, int* osError) {
  if (path == nullptr || osError == nullptr) return Report("io_removeFile", nullptr, kBadArgument, "null argument");
  std::string why;
  const reclib::FileChange change{reclib::FileChange::Kind::kRemove, path, ""};
  return Report("io_removeFile", nullptr, TheLibrary().ChangeFile(change, *osError, why), why);
}

short io_open(FileBlock* block, char* /*path*/) {
  std::string why;
  if (block == nullptr) return Report("io_open", nullptr, kBadArgument, "null block");
  return Report("io_open", block, TheLibrary().Open(*block, false, why), why);
}

short io_open_exclusive(FileBlock* block, char* /*path*/) {
  std::string why;
  if (block == nullptr) return Report("io_open_exclusive", nullptr, kBadArgument, "null block");
  return Report("io_open_exclusive", block, TheLibrary().Open(*block, true, why), why);
}

short io_close(FileBlock* block) {
  std::string why;
  if (block == nullptr) return Report("io_close", nullptr, kBadArgument, "null block");
  return Report("io_close", block, TheLibrary().Close(*block, why), why);
}

short io_read(FileBlock* block, short key, short lock) {
  return OnFile("io_read", block, [&](RecordFile& file, std::string& why) -> short {
    if (key != 0) return why = "only key 0 is kept", kBadArgument;
    return file.Read(block->record, lock == 1, why);
  });
}

short io_find(FileBlock* block, short key) {
  return OnFile("io_find", block, [&](RecordFile& file, std::string& why) -> short {
    if (key != 0) return why = "only key 0 is kept", kBadArgument;
    return file.Find(block->record, why);
  });
}

short io_startRange(FileBlock* block, short key) {
  return OnFile("io_startRange", block, [&](RecordFile& file, std::string& why) -> short {
    if (key != 0) return why = "only key 0 is kept", kBadArgument;
    file.SetRangeEnd(block->record);
    return 0;
  });
}

short io_start(FileBlock* block, short key, short /*option*/, short /*mode*/) {
  return OnFile("io_start", block, [&](RecordFile& file, std::string& why) -> short {
    if (key != 0) return why = "only key 0 is kept", kBadArgument;
    file.Start(block->record);
    return 0;
  });
}

short io_count(FileBlock* block, short key, long* count) {
  return OnFile("io_count", block, [&](RecordFile& file, std::string& why) -> short {
    if (key != 0) return why = "only key 0 is kept", kBadArgument;
    if (count == nullptr) return why = "null count", kBadArgument;
    return file.Count(block->record, *count, why);
  });
}

short io_next(FileBlock* block, short /*key*/) {
  return OnFile("io_next", block, [&](RecordFile& file, std::string& why) { return file.Next(block->record, why); });
}

short io_endstart(FileBlock* block) {
  return OnFile("io_endstart", block, [](RecordFile& file, std::string& why) { return file.EndScan(why); });
}

short io_write(FileBlock* block) {
  return OnFile("io_write", block, [&](RecordFile& file, std::string& why) { return file.Insert(block->record, why); });
}

short io_add(FileBlock* block) {
  return OnFile("io_add", block, [&](RecordFile& file, std::string& why) { return file.Insert(block->record, why); });
}

short io_rewrite(FileBlock* block) {
  return OnFile("io_rewrite", block, [&](RecordFile& file, std::string& why) { return file.Rewrite(block->record, why); });
}

short io_unlock(FileBlock* block) {
  return OnFile("io_unlock", block, [](RecordFile& file, std::string&) -> short {
    file.Unlock();
    return 0;
  });
}

}  // extern "C"
