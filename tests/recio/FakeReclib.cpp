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

short Answer(const std::string& function, std::string text = {}) {
  Fake().calls.push_back({function, {}, std::move(text)});
  auto& queue = Fake().statuses[function];
  if (queue.empty()) return 0;
  const short status = queue.front();
  queue.pop_front();
  return status;
}

short AnswerBlock(const std::string& function, FileBlock* block, std::string text = {}) {
  const short status = Answer(function, std::move(text));
  Fake().calls.back().code = std::string(block->code, 4);
  return status;
}

void UpperInPlace(char* text) {
  for (; *text != '\0'; ++text) *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
}

}  // namespace

extern "C" {

short io_connect(short, short* handle) {
  if (Fake().connectThrows) throw std::runtime_error("library fault");
  *handle = Fake().handle;
  return Answer("io_connect");
}

short io_setup(short) { return Answer("io_setup"); }

short io_createStore(const char* directory, const char* prefix) { return Answer("io_createStore", std::string(directory) + "|" + prefix); }

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

short io_backupStore(const char* destination) { return Answer("io_backupStore", destination); }

short io_restoreStore(const char* source) { return Answer("io_restoreStore", source); }

short io_checkStoreCopy(const char* source, io_checkProgress, void*) { return Answer("io_checkStoreCopy", source); }

short io_lastFailure(char* text, short size) {
  if (size > 0) text[0] = '\0';
  return 0;
}

// Answers in upper case, in place, so that a test sees what the library left in the buffers.
short io_setDirectory(short, char* directory, char* prefix) {
  const short status = Answer("io_setDirectory", std::string(directory) + "|" + prefix);
  UpperInPlace(directory);
  UpperInPlace(prefix);
  return status;
}

short io_getDirectory(short, char* directory, short* length, char* prefix) {
  const std::string& dir = Fake().directory;
  std::memcpy(directory, dir.data(), std::min<std::size_t>(dir.size(), 150));
  *length = Fake().reportedLength >= 0 ? Fake().reportedLength : static_cast<short>(dir.size());
  std::strncpy(prefix, Fake().prefix.c_str(), 4);
  return Answer("io_getDirectory");
}

short io_db_type(void) { return 1; }
short io_set_userid(char* userId) { return Answer("io_set_userid", userId); }
short io_suppress(short, short) { return Answer("io_suppress"); }
short io_startClock(void) { return Answer("io_startClock"); }
short io_stopClock(void) { return Answer("io_stopClock"); }
short io_appTerminate(void) { return Answer("io_appTerminate"); }
short io_disconnect(short, short) { return Answer("io_disconnect"); }

short io_open(FileBlock* block, char* path) { return AnswerBlock("io_open", block, path); }
short io_open_exclusive(FileBlock* block, char* path) { return AnswerBlock("io_open_exclusive", block, path); }
short io_close(FileBlock* block) { return AnswerBlock("io_close", block); }
short io_read(FileBlock* block, short, short) { return AnswerBlock("io_read", block); }
short io_find(FileBlock* block, short) { return AnswerBlock("io_find", block); }
short io_startRange(FileBlock* block, short) { return AnswerBlock("io_startRange", block); }
short io_start(FileBlock* block, short, short, short) { return AnswerBlock("io_start", block); }
short io_count(FileBlock* block, short, long* count) {
  *count = Fake().count;
  return AnswerBlock("io_count", block);
}
short io_next(FileBlock* block, short) { return AnswerBlock("io_next", block); }
short io_endstart(FileBlock* block) { return AnswerBlock("io_endstart", block); }
short io_write(FileBlock* block) { return AnswerBlock("io_write", block); }
short io_add(FileBlock* block) { return AnswerBlock("io_add", block); }
short io_rewrite(FileBlock* block) { return AnswerBlock("io_rewrite", block); }
short io_unlock(FileBlock* block) { return AnswerBlock("io_unlock", block); }

}
