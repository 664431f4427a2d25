// Sharing a store between processes: file locks of io_open / io_open_exclusive and record
// locks of io_read with lock 1. The other process is a forked child that runs one step per
// request and answers with the step's status. Each child is forked before the test opens
// anything, so it never shares the parent's store connections.
#include <sys/wait.h>

#include "Fixture.h"

namespace reclib_test {
namespace {

using Sharing = Site;

TEST_F(Sharing, ExclusiveOpenIsRefusedWhileSharedAndTheReverse) {
  FileBlock block = Block("MATR");
  OtherProcess other({
      [] { FileBlock b = Block("MATR"); return io_open_exclusive(&b, nullptr); },
      [] { FileBlock b = Block("MATR"); return io_open(&b, nullptr); },
      [] { FileBlock b = Block("MATR"); return io_open_exclusive(&b, nullptr); },
      [] { FileBlock b = Block("CONF"); return io_open_exclusive(&b, nullptr); },
  });
  ASSERT_EQ(io_open(&block, nullptr), 0);
  EXPECT_EQ(other.Run(), reclib::kFileInUse);  // we hold it shared
  ASSERT_EQ(io_close(&block), 0);
  ASSERT_EQ(io_open_exclusive(&block, nullptr), 0);
  EXPECT_EQ(other.Run(), reclib::kHeldExclusively);  // we hold it exclusively
  ASSERT_EQ(io_close(&block), 0);
  EXPECT_EQ(other.Run(), 0);
  EXPECT_EQ(other.Run(), 0);  // another file of the same store is not affected
  EXPECT_EQ(io_open(&block, nullptr), reclib::kHeldExclusively);
}

TEST_F(Sharing, AForkedChildDoesNotInheritTheParentsOpenFiles) {
  FileBlock block = Block("MATR");
  ASSERT_EQ(io_open_exclusive(&block, nullptr), 0);
  const pid_t child = fork();
  if (child == 0) {
    FileBlock b = Block("MATR");
    _exit(io_close(&b) == reclib::kNotOpen && io_open(&b, nullptr) == reclib::kHeldExclusively ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(io_close(&block), 0);  // the parent's open is untouched
}

TEST_F(Sharing, ARecordReadForUpdateIsLockedAgainstOtherProcesses) {
  auto attempt = [](std::function<short(FileBlock&)> call) {
    return [call] {
      FileBlock b = Block("UID");
      io_open(&b, nullptr);
      SetRecord(b, Key(0), 'c');
      const short status = call(b);
      io_unlock(&b);
      io_close(&b);
      return status;
    };
  };
  OtherProcess other({
      attempt([](FileBlock& b) { return io_read(&b, 0, 1); }),
      attempt([](FileBlock& b) { return io_rewrite(&b); }),
      attempt([](FileBlock& b) { return io_read(&b, 0, 0); }),
      attempt([](FileBlock& b) { SetRecord(b, Key(1)); return io_read(&b, 0, 1); }),
      attempt([](FileBlock& b) { return io_rewrite(&b); }),
  });
  FileBlock block = Block("UID");
  Fill(block, 2);
  SetRecord(block, Key(0));
  ASSERT_EQ(io_read(&block, 0, 1), 0);
  EXPECT_EQ(other.Run(), reclib::kRecordLocked);
  EXPECT_EQ(other.Run(), reclib::kRecordLocked);
  EXPECT_EQ(other.Run(), 0);  // a plain read is not held up
  EXPECT_EQ(other.Run(), 0);  // another record is free
  ASSERT_EQ(io_rewrite(&block), 0);  // releases the lock
  EXPECT_EQ(other.Run(), 0);
  SetRecord(block, Key(0), '?');
  ASSERT_EQ(io_read(&block, 0, 0), 0);
  EXPECT_EQ(MarkOf(block), 'c');
}

}  // namespace
}  // namespace reclib_test
