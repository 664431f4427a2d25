#include "FakeReclib.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/reclib/io.h"

namespace fake_reclib {

Library& Fake() {
  static Library library;
  return library;
}

}  // namespace fake_reclib

namespace {

using fake_reclib::Fake;

short Answer(const std::string& function, std::vector<short> args = {}, std::string text = {}) {
  Fake().calls.push_back({function, {}, std::move(text), std::move(args)});
  auto& queue = Fake().statuses[function];
  if (queue.empty()) return 0;
  const short status = queue.front();
  queue.pop_front();
  return status;
}

// Per-file calls also count themselves in the library's word of the block, so a test can see
// that the block the library changed is the one the next call receives.
short AnswerBlock(const std::string& function, FileBlock* block, std::vector<short> args = {},
                  std::string text = {}) {
  const short status = Answer(function, std::move(args), std::move(text));
  Fake().calls.back().code = std::string(block->code, 4);
  ++block->libraryWord;
  return status;
}

void UpperInPlace(char* text) {
  for (; *text != '\0'; ++text) *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
}

}  // namespace

extern "C" {

short io_connect(short mode, short* handle) {
  if (Fake().connectThrows) throw std::runtime_error("library fault");
  *handle = Fake().handle;
  return Answer("io_connect", {mode});
}

short io_setup(short handle) { return Answer("io_setup", {handle}); }

short io_createStore(const char* directory, const char* prefix) {
  return Answer("io_createStore", {}, std::string(directory) + "|" + prefix);
}

short io_beginDatabase(void) { return Answer("io_beginDatabase"); }
short io_commitDatabase(void) { return Answer("io_commitDatabase"); }
short io_rollbackDatabase(void) { return Answer("io_rollbackDatabase"); }

// File changes happen at once on the real file system, so that the letter steps can be
// tested against it.
short io_renameFile(const char* source, const char* target, int* osError) {
  *osError = std::rename(source, target) == 0 ? 0 : errno;
  return *osError == 0 ? 0 : reclib::kStorageError;
}

short io_removeFile(const char* path, int* osError) {
  *osError = std::remove(path) == 0 ? 0 : errno;
  return *osError == 0 ? 0 : reclib::kStorageError;
}

short io_backupStore(const char* destination) { return Answer("io_backupStore", {}, destination); }

short io_restoreStore(const char* source) { return Answer("io_restoreStore", {}, source); }

short io_lastFailure(char* text, short size) {
  if (size > 0) text[0] = '\0';
  return 0;
}

// Answers in upper case, in place, so that a test sees what the library left in the buffers.
short io_setDirectory(short handle, char* directory, char* prefix) {
  const short status = Answer("io_setDirectory", {handle}, std::string(directory) + "|" + prefix);
  UpperInPlace(directory);
  UpperInPlace(prefix);
  return status;
}

short io_getDirectory(short handle, char* directory, short* length, char* prefix) {
  const std::string& dir = Fake().directory;
  std::memcpy(directory, dir.data(), std::min<std::size_t>(dir.size(), 150));
  *length = Fake().reportedLength >= 0 ? Fake().reportedLength : static_cast<short>(dir.size());
  std::strncpy(prefix, Fake().prefix.c_str(), 4);
  return Answer("io_getDirectory", {handle});
}

short io_db_type(void) { return Fake().dbType; }
short io_set_userid(char* userId) { return Answer("io_set_userid", {}, userId); }
short io_suppress(short code, short on) { return Answer("io_suppress", {code, on}); }
short io_startClock(void) { return Answer("io_startClock"); }
short io_stopClock(void) { return Answer("io_stopClock"); }
short io_appTerminate(void) { return Answer("io_appTerminate"); }
short io_disconnect(short mode, short handle) { return Answer("io_disconnect", {mode, handle}); }

short io_open(FileBlock* block, char* path) { return AnswerBlock("io_open", block, {}, path); }
short io_open_exclusive(FileBlock* block, char* path) {
  return AnswerBlock("io_open_exclusive", block, {}, path);
}
short io_close(FileBlock* block) { return AnswerBlock("io_close", block); }
short io_read(FileBlock* block, short key, short lock) { return AnswerBlock("io_read", block, {key, lock}); }
short io_find(FileBlock* block, short key) { return AnswerBlock("io_find", block, {key}); }
short io_startRange(FileBlock* block, short key) { return AnswerBlock("io_startRange", block, {key}); }
short io_start(FileBlock* block, short key, short option, short mode) {
  return AnswerBlock("io_start", block, {key, option, mode});
}
short io_next(FileBlock* block, short key) { return AnswerBlock("io_next", block, {key}); }
short io_endstart(FileBlock* block) { return AnswerBlock("io_endstart", block); }
short io_write(FileBlock* block) { return AnswerBlock("io_write", block); }
short io_add(FileBlock* block) { return AnswerBlock("io_add", block); }
short io_rewrite(FileBlock* block) { return AnswerBlock("io_rewrite", block); }
short io_unlock(FileBlock* block) { return AnswerBlock("io_unlock", block); }

}
