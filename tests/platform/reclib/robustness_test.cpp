// Faults: data directories that are missing or read-only, and a
// process killed in the middle of a scan that rewrites every record.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include "Fixture.h"

namespace reclib_test {
namespace {

using testing_support::ReadFile;
using Faults = Site;

TEST_F(Faults, AMissingDataDirectoryFailsTheOpenAndIsNotCreated) {
  ASSERT_EQ(Select("nowhere", "std"), 0);
  FileBlock block = Block("CONF");
  EXPECT_EQ(io_open(&block, nullptr), reclib::kOpenFailed);
  EXPECT_FALSE(std::filesystem::exists(home.path() / "nowhere"));
  EXPECT_NE(Trace().find("io_open CONF/0: status 88 (data directory"), std::string::npos);
  io_suppress(88, 1);
  EXPECT_EQ(io_open_exclusive(&block, nullptr), reclib::kOpenFailed);
  EXPECT_EQ(Trace().find("io_open_exclusive"), std::string::npos);
}

TEST_F(Faults, AReadOnlyDataDirectoryFailsTheOpenAndChangesNothing) {
  FileBlock block = Block("UID");
  Fill(block, 3);
  ASSERT_EQ(io_close(&block), 0);  // the last close leaves the store without -wal or -shm
  const std::string before = ReadFile(StorePath());
  std::optional<ImmutableDirectory> immutable;
  if (geteuid() == 0) {
    immutable.emplace(home.path() / "data");
    if (!immutable->applied()) GTEST_SKIP() << "running as root on a file system without the immutable attribute";
  } else {
    std::filesystem::permissions(home.path() / "data", std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::owner_exec);
  }
  const short status = io_open(&block, nullptr);
  EXPECT_TRUE(status == reclib::kStorageError || status == reclib::kOpenFailed) << status;
  EXPECT_EQ(ReadFile(StorePath()), before);
  EXPECT_NE(Trace().find("io_open UID /0: status"), std::string::npos);
  FileBlock fresh = Block("SACT");  // a file the store does not hold yet
  EXPECT_NE(io_open(&fresh, nullptr), 0);
  EXPECT_EQ(ReadFile(StorePath()), before);
}

// Every record in its old ('a') or new ('b') form, counted; -1 when the store is damaged.
struct StoreCheck {
  bool intact = false;
  int oldForm = 0, newForm = 0, other = 0;
  bool committedMarker = false;
};

StoreCheck CheckStore(const std::filesystem::path& path) {
  StoreCheck check;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return sqlite3_close(db), check;
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
  check.intact = sqlite3_step(stmt) == SQLITE_ROW &&
                 std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) == "ok";
  sqlite3_finalize(stmt);
  sqlite3_prepare_v2(db, "SELECT key, record FROM r_SACT_0", -1, &stmt, nullptr);
  const std::string blankTail(reclib::kRecordSize - 15, ' ');
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const std::string key(static_cast<const char*>(sqlite3_column_blob(stmt, 0)), sqlite3_column_bytes(stmt, 0));
    const std::string record(static_cast<const char*>(sqlite3_column_blob(stmt, 1)), sqlite3_column_bytes(stmt, 1));
    const bool whole = record.size() == reclib::kRecordSize && record.compare(0, 14, key) == 0 &&
                       record.compare(15, std::string::npos, blankTail) == 0;
    if (key.rfind("MARKER", 0) == 0) check.committedMarker = whole;
    else if (whole && record[14] == 'a') ++check.oldForm;
    else if (whole && record[14] == 'b') ++check.newForm;
    else ++check.other;
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return check;
}

TEST_F(Faults, AProcessKilledInTheMiddleOfARewritingScanLeavesEveryRecordWhole) {
  constexpr int kCount = 12000;
  constexpr int kRewrittenBeforeKill = 9000;  // more than one write group
  FileBlock block = Block("SACT");
  Fill(block, kCount);
  ASSERT_EQ(io_close(&block), 0);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    FileBlock b = Block("SACT");
    io_open(&b, nullptr);
    SetRecord(b, "MARKER");
    if (io_write(&b) != 0) _exit(1);  // outside the scan: committed on return
    std::memset(b.record, ' ', sizeof b.record);
    io_start(&b, 0, 0, 1025);
    for (int done = 0; io_next(&b, 0) == 0; ++done) {
      if (done == kRewrittenBeforeKill && write(ready[1], "r", 1) == 1) pause();
      io_read(&b, 0, 1);
      b.record[14] = 'b';
      io_rewrite(&b);
      io_unlock(&b);
    }
    _exit(2);
  }
  close(ready[1]);
  char signal = 0;
  ASSERT_EQ(read(ready[0], &signal, 1), 1) << "the child ended before the middle of its scan";
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(ready[0]);
  ASSERT_TRUE(WIFSIGNALED(status));

  const StoreCheck check = CheckStore(StorePath());
  EXPECT_TRUE(check.intact);
  EXPECT_TRUE(check.committedMarker);
  EXPECT_EQ(check.other, 0);
  EXPECT_EQ(check.oldForm + check.newForm, kCount);
  EXPECT_GT(check.newForm, 0);                     // full groups were committed
  EXPECT_LE(check.newForm, kRewrittenBeforeKill);  // the open group was lost whole
  // The store stays usable: the killed process's locks went with it.
  ASSERT_EQ(io_open_exclusive(&block, nullptr), 0);
  SetRecord(block, Key(0));
  EXPECT_EQ(io_read(&block, 0, 1), 0);
}

}  // namespace
}  // namespace reclib_test
