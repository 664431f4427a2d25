// Records and scans of one process.
#include <set>
#include <vector>

#include "Fixture.h"

namespace reclib_test {
namespace {

using Records = Site;

// Keys delivered by a scan from `from`, up to `upper` when given, until io_next stops.
std::vector<std::string> ScanKeys(FileBlock& block, const std::string& from, const char* upper = nullptr) {
  if (upper != nullptr) {
    SetRecord(block, upper);
    EXPECT_EQ(io_startRange(&block, 0), 0);
  }
  SetRecord(block, from);
  EXPECT_EQ(io_start(&block, 0, 0, 1025), 0);
  std::vector<std::string> keys;
  while (io_next(&block, 0) == 0) keys.push_back(KeyOf(block));
  EXPECT_EQ(io_next(&block, 0), reclib::kEndOfScan);  // stays at the end
  EXPECT_EQ(io_endstart(&block), 0);
  return keys;
}

TEST_F(Records, ScanStartsAtTheFirstKeyNotBelowTheBufferAndHonoursTheRange) {
  FileBlock block = Block("CODE");
  ASSERT_EQ(io_open(&block, nullptr), 0);
  for (const char* key : {"GB", "GA", "H", "F", "G\xE9", "GA1"}) {
    SetRecord(block, key);
    ASSERT_EQ(io_write(&block), 0);
  }
  // Byte order, not text order: the 0xE9 byte sorts after every ASCII letter.
  EXPECT_EQ(ScanKeys(block, ""), (std::vector<std::string>{"F", "GA", "GA1", "GB", "G\xE9", "H"}));
  EXPECT_EQ(ScanKeys(block, "GA"), (std::vector<std::string>{"GA", "GA1", "GB", "G\xE9", "H"}));
  EXPECT_EQ(ScanKeys(block, "G", "GB"), (std::vector<std::string>{"GA", "GA1", "GB"}));
  // The range was consumed by the scan it ended.
  EXPECT_EQ(ScanKeys(block, "GB").size(), 3u);
  EXPECT_EQ(ScanKeys(block, "Z").size(), 0u);
  FileBlock empty = Block("VERS");
  ASSERT_EQ(io_open(&empty, nullptr), 0);
  EXPECT_EQ(io_next(&empty, 0), reclib::kBadArgument);  // no scan started
  EXPECT_TRUE(ScanKeys(empty, "").empty());
}

TEST_F(Records, RewritesDuringAScanVisitEveryRecordOnce) {
  FileBlock block = Block("SACT");
  constexpr int kCount = 1000;  // several read batches
  Fill(block, kCount);
  std::memset(block.record, ' ', sizeof block.record);
  ASSERT_EQ(io_start(&block, 0, 0, 1025), 0);
  std::set<std::string> seen;
  while (io_next(&block, 0) == 0) {
    ASSERT_TRUE(seen.insert(KeyOf(block)).second) << "visited twice: " << KeyOf(block);
    ASSERT_EQ(MarkOf(block), 'a');
    ASSERT_EQ(io_read(&block, 0, 1), 0);
    block.record[14] = 'b';
    ASSERT_EQ(io_rewrite(&block), 0);
    ASSERT_EQ(io_unlock(&block), 0);
  }
  ASSERT_EQ(io_endstart(&block), 0);
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(MarkAt(block, Key(kCount - 1)), 'b');
}

TEST_F(Records, DuplicateKeyIsRefusedMissingKeyIsNotFoundAndARewriteAfterAPlainReadReplaces) {
  FileBlock block = Block("CONF");
  ASSERT_EQ(io_open(&block, nullptr), 0);
  SetRecord(block, "C00", 'a');
  ASSERT_EQ(io_write(&block), 0);
  SetRecord(block, "C00", 'b');
  EXPECT_EQ(io_write(&block), reclib::kDuplicateKey);
  EXPECT_EQ(io_add(&block), reclib::kDuplicateKey);
  EXPECT_EQ(MarkAt(block, "C00"), 'a');  // the record was kept

  SetRecord(block, "C13", 'q');
  EXPECT_EQ(io_read(&block, 0, 1), reclib::kNotFound);
  EXPECT_EQ(io_find(&block, 0), reclib::kNotFound);
  EXPECT_EQ(io_rewrite(&block), reclib::kNotFound);
  EXPECT_EQ(KeyOf(block) + MarkOf(block), "C13q");  // the buffer was left alone

  ASSERT_EQ(MarkAt(block, "C00"), 'a');
  block.record[3] = 'z';
  ASSERT_EQ(io_rewrite(&block), 0);
  EXPECT_EQ(MarkAt(block, "C00"), 'z');
}

TEST_F(Records, InstancesAreSeparateFiles) {
  FileBlock pl1 = Block("PL", 1);
  FileBlock pl2 = Block("PL", 2);
  char program[] = "$PROGRAM";
  ASSERT_EQ(io_open(&pl1, nullptr), 0);
  ASSERT_EQ(io_open(&pl2, program), 0);
  EXPECT_STREQ(program, "$PROGRAM");
  SetRecord(pl1, "ONE");
  ASSERT_EQ(io_write(&pl1), 0);
  EXPECT_EQ(MarkAt(pl2, "ONE"), '-');
  EXPECT_EQ(MarkAt(pl1, "ONE"), 'a');
}

TEST_F(Records, CallsOnFilesThatAreNotOpenOrNotKnownFailCleanly) {
  FileBlock block = Block("CONF");
  EXPECT_EQ(io_read(&block, 0, 0), reclib::kNotOpen);
  EXPECT_EQ(io_close(&block), reclib::kNotOpen);
  EXPECT_EQ(io_read(nullptr, 0, 0), reclib::kBadArgument);
  EXPECT_EQ(io_open(nullptr, nullptr), reclib::kBadArgument);
  FileBlock unknown = Block("XYZ");
  EXPECT_EQ(io_open(&unknown, nullptr), reclib::kBadArgument);
  EXPECT_NE(Trace().find("io_read CONF/0: status 46"), std::string::npos);
  io_suppress(46, 1);
  io_unlock(&block);
  EXPECT_EQ(Trace().find("io_unlock"), std::string::npos);
}

// A refused selection must not leave the earlier database selected: the per-file calls that
// follow would read and write that database's records.
TEST_F(Records, CallsBeforeConnectOrWithoutASelectedDirectoryFail) {
  FileBlock block = Block("CONF");
  char directory[150], prefix[4];
  short length = 0;
  ASSERT_EQ(io_open(&block, nullptr), 0);
  ASSERT_EQ(io_close(&block), 0);
  EXPECT_EQ(Select("data", "   "), reclib::kBadArgument);
  EXPECT_EQ(Select("data", "../x"), reclib::kBadArgument);
  EXPECT_EQ(io_open(&block, nullptr), reclib::kNotOpen);
  EXPECT_EQ(io_getDirectory(handle, directory, &length, prefix), reclib::kNotOpen);
  io_disconnect(0, handle);
  EXPECT_EQ(io_setup(handle), reclib::kNotOpen);
  EXPECT_EQ(io_open(&block, nullptr), reclib::kNotOpen);
  ASSERT_EQ(io_connect(0, &handle), 0);
  EXPECT_EQ(io_open(&block, nullptr), reclib::kNotOpen);  // no directory selected yet
  ASSERT_EQ(Select("data\\sub ", "abc"), 0);
  ASSERT_EQ(io_getDirectory(handle, directory, &length, prefix), 0);
  EXPECT_EQ(std::string(directory, static_cast<std::size_t>(length)), "data\\sub");
  EXPECT_STREQ(prefix, "abc");
}

TEST_F(Records, OpeningOnAnotherDatabaseMovesTheFile) {
  std::filesystem::create_directories(home.path() / "other");
  ASSERT_EQ(io_createStore("other", "oth"), 0);
  FileBlock block = Block("CONF");
  ASSERT_EQ(io_open(&block, nullptr), 0);
  ASSERT_EQ(Select("other", "oth"), 0);
  ASSERT_EQ(io_open(&block, nullptr), 0);
  SetRecord(block, "C00");
  ASSERT_EQ(io_write(&block), 0);
  // One close ends it: the first open was closed when the file moved.
  ASSERT_EQ(io_close(&block), 0);
  EXPECT_EQ(io_close(&block), reclib::kNotOpen);
  ASSERT_EQ(Select("data", "std"), 0);
  ASSERT_EQ(io_open(&block, nullptr), 0);
  EXPECT_EQ(io_find(&block, 0), reclib::kNotFound);
  EXPECT_TRUE(std::filesystem::exists(home.path() / "other" / "oth.records"));
}

}  // namespace
}  // namespace reclib_test
