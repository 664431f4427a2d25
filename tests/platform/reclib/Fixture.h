// A connected record library over a fresh site: program directory, inter-process store and
// data directory "data" (prefix "std") in a temporary directory, with the library's failure
// trace switched on.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/reclib/io.h"
#include "platform/reclib/keys.h"
#include "platform/reclib/trace.h"
#include "support/TempDir.h"

namespace reclib_test {

inline FileBlock Block(const char* code, short instance = 0) {
  FileBlock block{};
  std::memset(block.code, ' ', 4);
  std::memcpy(block.code, code, std::strlen(code));
  std::memset(block.record, ' ', sizeof block.record);
  block.instance = instance;
  return block;
}

// Blank record whose key is `key` (blank padded to the file's key length) and whose byte
// after the key is `mark`.
inline void SetRecord(FileBlock& block, const std::string& key, char mark = 'a') {
  std::memset(block.record, ' ', sizeof block.record);
  std::memcpy(block.record, key.data(), key.size());
  block.record[reclib::KeyLength(block.code)] = mark;
}

inline std::string KeyOf(const FileBlock& block) {
  std::string key(block.record, static_cast<std::size_t>(reclib::KeyLength(block.code)));
  return key.substr(0, key.find_last_not_of(' ') + 1);
}

inline char MarkOf(const FileBlock& block) { return block.record[reclib::KeyLength(block.code)]; }

// The mark of the record with `key` (read without a lock), or '-' when the read fails.
inline char MarkAt(FileBlock& block, const std::string& key) {
  SetRecord(block, key, '?');
  return io_read(&block, 0, 0) == 0 ? MarkOf(block) : '-';
}

class Site : public ::testing::Test {
 protected:
  testing_support::TempDir home;
  testing_support::ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  testing_support::ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", (home.path() / "ipc").string()};
  short handle = 0;

  void SetUp() override {
    std::filesystem::create_directory(home.path() / "data");
    ASSERT_EQ(io_createStore("data", "std"), 0);
    ASSERT_EQ(io_connect(0, &handle), 0);
    ASSERT_EQ(Select("data", "std"), 0);
    TRACE_Init();
    io_setTrace(1);
  }
  void TearDown() override {
    io_disconnect(0, handle);
    TRACE_Stop();
  }

  short Select(std::string directory, std::string prefix) {
    return io_setDirectory(handle, directory.data(), prefix.data());
  }
  std::filesystem::path StorePath() const { return home.path() / "data" / "std.records"; }
  std::string Trace() const {
    const auto path = home.path() / reclib::kTraceFileName;
    return std::filesystem::exists(path) ? testing_support::ReadFile(path) : "";
  }
  // Opens the block's file and writes one record per key, marked `mark`. The writes run
  // inside a scan so that they commit in groups, not one by one.
  void Fill(FileBlock& block, int count, char mark = 'a') {
    ASSERT_EQ(io_open(&block, nullptr), 0);
    std::memset(block.record, 0xff, sizeof block.record);
    ASSERT_EQ(io_start(&block, 0, 0, 1025), 0);
    for (int i = 0; i < count; ++i) {
      SetRecord(block, Key(i), mark);
      ASSERT_EQ(io_write(&block), 0);
    }
    ASSERT_EQ(io_endstart(&block), 0);
  }
  static std::string Key(int i) {
    char key[16];
    std::snprintf(key, sizeof key, "K%06d", i);
    return key;
  }
};

// Caps the size of the files this process writes (RLIMIT_FSIZE) while it lives: a write past
// the cap fails with EFBIG, as on a full disk, instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &before_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit capped{bytes, before_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &capped);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit before_{};
  void (*previous_)(int) = SIG_DFL;
};

// The mark of every record of the block's open file, in key order.
inline std::string ScanMarks(FileBlock& block) {
  std::string marks;
  std::memset(block.record, 0, sizeof block.record);
  io_start(&block, 0, 0, 1025);
  while (io_next(&block, 0) == 0) marks += MarkOf(block);
  return marks;
}

// A forked process of the same site, connected afresh, running steps on request.
class OtherProcess {
 public:
  using Step = std::function<short()>;

  explicit OtherProcess(std::vector<Step> steps) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) throw std::runtime_error("socketpair");
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      short handle = 0;
      char directory[] = "data", prefix[] = "std", request;
      io_connect(0, &handle);
      io_setDirectory(handle, directory, prefix);
      for (const Step& step : steps) {
        if (read(fds[1], &request, 1) != 1) break;
        const short status = step();
        if (write(fds[1], &status, sizeof status) != sizeof status) break;
      }
      while (read(fds[1], &request, 1) == 1) continue;  // holds what the steps took until the parent is done
      _exit(0);
    }
    close(fds[1]);
    fd_ = fds[0];
  }
  ~OtherProcess() {
    close(fd_);
    waitpid(pid_, nullptr, 0);
  }
  // Runs the child's next step and returns its status.
  short Run() {
    short status = -1;
    if (write(fd_, "x", 1) != 1 || read(fd_, &status, sizeof status) != sizeof status) return -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
};

// Makes a directory refuse new entries even to root (the immutable attribute) while it lives.
class ImmutableDirectory {
 public:
  explicit ImmutableDirectory(const std::filesystem::path& dir) : fd_(open(dir.c_str(), O_RDONLY | O_DIRECTORY)) {
    applied_ = fd_ >= 0 && SetImmutable(true);
  }
  ~ImmutableDirectory() {
    if (applied_) SetImmutable(false);
    if (fd_ >= 0) close(fd_);
  }
  bool applied() const { return applied_; }

 private:
  bool SetImmutable(bool on) {
    int flags = 0;
    if (ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return false;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    return ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
  }
  int fd_;
  bool applied_ = false;
};

}  // namespace reclib_test
