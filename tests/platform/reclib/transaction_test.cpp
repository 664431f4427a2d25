// Database transactions: the writes of every file of the store and the journalled file
// changes take effect together at the commit, or not at all.
#include "Fixture.h"

namespace reclib_test {
namespace {

namespace fs = std::filesystem;

class DatabaseTransaction : public Site {
 protected:
  FileBlock conf = Block("CODE");  // filled, then rewritten
  FileBlock code = Block("CONF");  // gets one record
  fs::path letterA = home.path() / "data" / "LetterA";
  fs::path letter01 = home.path() / "data" / "Letter01";

  void SetUp() override {
    Site::SetUp();
    home.Write("data/LetterA", "letter a");
    Fill(conf, 3, 'a');
  }

  // Rewrites every CODE record in a scan, adds a CONF record and journals LetterA's rename.
  void ConvertInTransaction() {
    ASSERT_EQ(io_beginDatabase(), 0);
    std::memset(conf.record, 0, sizeof conf.record);
    ASSERT_EQ(io_start(&conf, 0, 0, 1025), 0);
    while (io_next(&conf, 0) == 0) {
      conf.record[reclib::KeyLength(conf.code)] = 'b';
      ASSERT_EQ(io_rewrite(&conf), 0);
    }
    ASSERT_EQ(io_endstart(&conf), 0);
    ASSERT_EQ(io_open(&code, nullptr), 0);
    SetRecord(code, "C13", 'n');
    ASSERT_EQ(io_write(&code), 0);
    ASSERT_EQ(io_close(&code), 0);
    int osError = -1;
    ASSERT_EQ(io_renameFile(letterA.c_str(), letter01.c_str(), &osError), 0);
    EXPECT_EQ(osError, 0);
    EXPECT_TRUE(fs::exists(letterA)) << "a journalled rename waits for the commit";
  }

  std::string Marks() {
    std::string marks;
    std::memset(conf.record, 0, sizeof conf.record);
    io_start(&conf, 0, 0, 1025);
    while (io_next(&conf, 0) == 0) marks += MarkOf(conf);
    FileBlock rows = Block("CONF");
    io_open(&rows, nullptr);
    SetRecord(rows, "C13");
    marks += io_find(&rows, 0) == 0 ? "+C13" : "";
    io_close(&rows);
    return marks;
  }
};

TEST_F(DatabaseTransaction, CommitTakesEveryWriteAndRenameTogether) {
  ConvertInTransaction();
  ASSERT_EQ(io_commitDatabase(), 0);
  EXPECT_EQ(Marks(), "bbb+C13");
  EXPECT_FALSE(fs::exists(letterA));
  EXPECT_EQ(testing_support::ReadFile(letter01), "letter a");
}

// A rollback, a disconnect and the close of the store each leave records and files as they were.
TEST_F(DatabaseTransaction, WithoutACommitNothingTakesEffect) {
  for (const auto& end : {+[] { io_rollbackDatabase(); }, +[] { io_appTerminate(); io_disconnect(0, 1); }}) {
    ConvertInTransaction();
    end();
    io_connect(0, &handle);
    ASSERT_EQ(Select("data", "std"), 0);
    ASSERT_EQ(io_open(&conf, nullptr), 0);
    EXPECT_EQ(Marks(), "aaa");
    EXPECT_TRUE(fs::exists(letterA));
    EXPECT_FALSE(fs::exists(letter01));
  }
}

TEST_F(DatabaseTransaction, ARenameTheFileSystemWouldRefuseIsRefusedAtOnce) {
  ASSERT_EQ(io_beginDatabase(), 0);
  int osError = 0;
  EXPECT_EQ(io_renameFile((home.path() / "data" / "LetterB").c_str(), letter01.c_str(), &osError), reclib::kStorageError);
  EXPECT_EQ(osError, ENOENT);
  EXPECT_EQ(io_beginDatabase(), reclib::kBadArgument);
  EXPECT_EQ(io_rollbackDatabase(), 0);
  EXPECT_EQ(io_commitDatabase(), reclib::kNotOpen);
}

}  // namespace
}  // namespace reclib_test
