// The record library over a fresh site in a temporary directory: records and scans of one
// process, store recognition, database transactions, sharing between processes (a forked
// child runs one step per request and answers with its status; each child is forked before
// the test opens anything) and faults (missing or read-only data directories). A process
// killed in the middle of a conversion is the conversion's crash test.
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <vector>

#include "Fixture.h"
#include "platform/reclib/DataDirectory.h"
#include "support/ThreadReadCalls.h"

namespace reclib_test {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;

// ---- records and scans of one process

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
  EXPECT_EQ(ScanKeys(block, "G", "GB"), (std::vector<std::string>{"GA", "GA1", "GB"}));
  // The range was consumed by the scan it ended.
  EXPECT_EQ(ScanKeys(block, "GB").size(), 3u);
}

TEST_F(Records, RewritesDuringAScanVisitEveryRecordOnce) {
  FileBlock block = Block("SACT");
  constexpr int kCount = 1000;  // several read batches
  Fill(block, kCount);
  long count = -1;
  SetRecord(block, Key(kCount - 10));
  ASSERT_EQ(io_count(&block, 0, &count), 0);
  EXPECT_EQ(count, 10);
  std::memset(block.record, ' ', sizeof block.record);
  ASSERT_EQ(io_count(&block, 0, &count), 0);
  EXPECT_EQ(count, kCount);
  ASSERT_EQ(io_start(&block, 0, 0, 1025), 0);
  std::set<std::string> seen;
  while (io_next(&block, 0) == 0) {
    ASSERT_TRUE(seen.insert(KeyOf(block)).second) << "visited twice: " << KeyOf(block);
    ASSERT_EQ(MarkOf(block), 'a');
    ASSERT_EQ(io_read(&block, 0, 1), 0);
    block.record[14] = 'b';
    ASSERT_EQ(io_rewrite(&block), 0);
    ASSERT_EQ(io_read(&block, 0, 1), 0);  // read again: the record as rewritten
    ASSERT_EQ(MarkOf(block), 'b');
    ASSERT_EQ(io_unlock(&block), 0);
  }
  ASSERT_EQ(io_endstart(&block), 0);
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(MarkAt(block, Key(kCount - 1)), 'b');
}

TEST_F(Records, DuplicateKeyIsRefusedAndMissingKeyIsNotFound) {
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

TEST_F(Records, CallsOnFilesNotOpenOrUnknownBeforeConnectOrWithoutASelectedDirectoryFail) {
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

  // A refused selection must not leave the earlier database selected: the per-file calls that
  // follow would read and write that database's records.
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

// ---- store recognition: a file that is not a store of this product is refused before
// anything is written to it, and io_createStore is the one way to make a new store

using Stores = Site;

std::string LastFailure() {
  char text[512] = {};
  io_lastFailure(text, sizeof text);
  return text;
}

std::vector<std::string> Listing(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void MakeForeignDatabase(const fs::path& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE accounts(id INTEGER); INSERT INTO accounts VALUES (1);", nullptr, nullptr, nullptr), 0);
  sqlite3_close(db);
}

// Each bad file is refused with its reason and left byte for byte as it was, with no
// lock, journal or WAL file beside it.
TEST_F(Stores, FilesThatAreNotStoresOfThisProductAreRefusedUntouched) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* reason;
  };
  for (const Case& c : {Case{"foreign SQLite database", MakeForeignDatabase, "not a record store of this product"},
                        Case{"empty file", [](const fs::path& p) { std::ofstream{p}; }, "empty file"},
                        Case{"text", [](const fs::path& p) { std::ofstream(p) << std::string(300, 'x'); }, "not a record store"},
                        Case{"directory", [](const fs::path& p) { fs::create_directory(p); }, "not a regular file"}}) {
    SCOPED_TRACE(c.name);
    const fs::path dir = home.path() / "bad";
    fs::remove_all(dir);
    fs::create_directory(dir);
    c.make(dir / "bad.records");
    const std::vector<std::string> before = Listing(dir);
    const std::string bytes = fs::is_regular_file(dir / "bad.records") ? ReadFile(dir / "bad.records") : "";
    ASSERT_EQ(Select(dir.string(), "bad"), 0);
    FileBlock block = Block("CONF");
    EXPECT_EQ(io_open(&block, nullptr), reclib::kStorageError);
    EXPECT_NE(LastFailure().find(c.reason), std::string::npos) << LastFailure();
    EXPECT_NE(Trace().find("io_open CONF/0: status 99 (" + (dir / "bad.records").string() + ": "), std::string::npos);
    EXPECT_NE(io_createStore(dir.c_str(), "bad"), 0);
    EXPECT_EQ(Listing(dir), before);
    if (fs::is_regular_file(dir / "bad.records")) {
      EXPECT_EQ(ReadFile(dir / "bad.records"), bytes);
    }
  }
}

// A backup is a consistent store of its own (no WAL) holding the committed records, whether the
// file is copied (nobody else uses the store) or SQLite copies it page by page (another
// connection reads it, so the WAL cannot be emptied), and it never replaces an existing file.
TEST_F(Stores, ABackupIsAStoreOfItsOwnWithTheCommittedRecords) {
  FileBlock block = Block("SACT");
  Fill(block, 300);
  for (const bool otherReader : {false, true}) {
    SCOPED_TRACE(otherReader ? "another connection reads" : "quiet store");
    SetRecord(block, Key(otherReader ? 301 : 300), 'a');  // a commit the WAL holds
    ASSERT_EQ(io_write(&block), 0);
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(StorePath().c_str(), &reader), SQLITE_OK);
    if (otherReader) {
      ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM r_SACT_0", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    const fs::path copy = home.path() / (otherReader ? "copy2.records" : "copy1.records");
    ASSERT_EQ(io_backupStore(copy.c_str()), 0);
    EXPECT_EQ(io_backupStore(copy.c_str()), reclib::kDuplicateKey);
    sqlite3_close(reader);
    EXPECT_EQ(ReadFile(copy).substr(18, 2), std::string("\x01\x01")) << "a rollback-journal store";
    ASSERT_EQ(sqlite3_open_v2(copy.c_str(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::string answer;
    const auto collect = [](void* out, int, char** v, char**) { return *static_cast<std::string*>(out) += v[0] + std::string(";"), 0; };
    sqlite3_exec(reader, "PRAGMA integrity_check; SELECT count(*) FROM r_SACT_0", collect, &answer, nullptr);
    sqlite3_close(reader);
    EXPECT_EQ(answer, otherReader ? "ok;302;" : "ok;301;");
    EXPECT_FALSE(fs::exists(copy.string() + "-wal"));
  }
}

// A pass over the catalogue reads FLMWIN.INI once: while a hold is alive (nested ones
// included) relative directories resolve against that reading, and afterwards against the file
// as it is.
TEST_F(Stores, AHeldDataRootIsReadOnceAndReadAgainOnceReleased) {
  const auto setRoot = [&](const char* root) { std::ofstream(home.path() / "FLMWIN.INI") << "[DATABASE]\nStandardDataDir=" << root << "\n"; };
  const auto under = [&](const char* root) { return (home.path() / root / "db").string(); };
  setRoot("one");
  {
    const reclib::DataRootHold hold;
    EXPECT_EQ(reclib::ResolveDataDirectory("db"), under("one"));
    setRoot("two");
    {
      const reclib::DataRootHold inner;
      EXPECT_EQ(reclib::ResolveDataDirectory("db"), under("one"));
    }
    EXPECT_EQ(reclib::ResolveDataDirectory("db"), under("one"));
    EXPECT_EQ(reclib::ResolveDataDirectory("/abs/db"), "/abs/db");
  }
  EXPECT_EQ(reclib::ResolveDataDirectory("db"), under("two"));
}

TEST_F(Stores, CreateStoreMakesAStoreOnceAndOnlyInAnExistingDirectory) {
  fs::create_directory(home.path() / "new");
  EXPECT_EQ(io_createStore("new", "nw"), 0);
  EXPECT_NE(io_createStore("new", "nw"), 0);
  EXPECT_EQ(io_createStore("missing", "nw"), reclib::kOpenFailed);
  EXPECT_FALSE(fs::exists(home.path() / "missing"));
  EXPECT_EQ(io_createStore("new", " "), reclib::kBadArgument);
}

// Only SQLite's -wal and -shm files come and go when a store is read, so the directory keeps
// its times; a lock file the open had to make is a real change, and the times show it.
TEST_F(Stores, ReadingAStoreKeepsItsDirectorysTimesUnlessTheLockFileHadToBeMade) {
  const fs::path dir = home.path() / "times";
  fs::create_directory(dir);
  ASSERT_EQ(io_createStore(dir.c_str(), "tm"), 0);
  const auto openAndClose = [&] {
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(dir, old);
    FileBlock block = Block("CONF");
    EXPECT_EQ(io_open(&block, nullptr), 0);
    EXPECT_EQ(io_close(&block), 0);
    return fs::last_write_time(dir) == old;
  };
  ASSERT_EQ(Select(dir.string(), "tm"), 0);
  EXPECT_FALSE(openAndClose());  // the first open makes the CONF table
  EXPECT_TRUE(openAndClose());
  fs::remove(dir / "tm.records.lock");
  EXPECT_FALSE(openAndClose());
  EXPECT_TRUE(openAndClose());
  EXPECT_EQ(Listing(dir), (std::vector<std::string>{"tm.records", "tm.records.lock"}));
}

// A data directory reached through a link reaches its store; once the directory is moved and
// the link follows it, the link still reaches it, and a new directory put at the old name is
// another store.
TEST_F(Stores, EverySpellingOfADataDirectoryReachesItsStoreWhereverItIsNow) {
  FileBlock block = Block("MATR");
  const auto markThrough = [&](const char* directory) {
    EXPECT_EQ(Select(directory, "std"), 0);
    EXPECT_EQ(io_open(&block, nullptr), 0);
    const char mark = MarkAt(block, Key(0));
    EXPECT_EQ(io_close(&block), 0);
    return mark;
  };
  Fill(block, 1, 'a');
  ASSERT_EQ(io_close(&block), 0);
  fs::create_directory_symlink(home.path() / "data", home.path() / "link");
  EXPECT_EQ(markThrough("link"), 'a');
  EXPECT_EQ(markThrough("data"), 'a');

  fs::rename(home.path() / "data", home.path() / "moved");
  fs::remove(home.path() / "link");
  fs::create_directory_symlink(home.path() / "moved", home.path() / "link");
  fs::create_directory(home.path() / "data");
  ASSERT_EQ(io_createStore("data", "std"), 0);
  ASSERT_EQ(Select("data", "std"), 0);
  Fill(block, 1, 'b');
  ASSERT_EQ(io_close(&block), 0);
  EXPECT_EQ(markThrough("link"), 'a');
  EXPECT_EQ(markThrough("moved"), 'a');
  EXPECT_EQ(markThrough("data"), 'b');
}

TEST_F(Stores, AnUnreadableStoreIsReportedAsSuch) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  fs::permissions(StorePath(), fs::perms::none);
  FileBlock block = Block("CONF");
  EXPECT_EQ(io_open(&block, nullptr), reclib::kOpenFailed);
  EXPECT_NE(LastFailure().find("Permission denied"), std::string::npos) << LastFailure();
}

// ---- database transactions: the writes of every file of the store and the journalled file
// changes take effect together at the commit, or not at all

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
    std::string marks = ScanMarks(conf);
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
  EXPECT_EQ(ReadFile(letter01), "letter a");
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

// SQLite rolls a transaction back by itself after an I/O error; the writes a step makes after
// the failure must not then commit one by one.
TEST_F(DatabaseTransaction, AnIoErrorThatEndsTheTransactionKeepsEveryLaterWriteOut) {
  FileBlock sact = Block("SACT");
  Fill(sact, 20000, 'a');  // 30 MB: more than the page cache holds, so rewrites reach the WAL
  ASSERT_EQ(io_close(&sact), 0);  // the last close empties and removes the WAL
  ASSERT_EQ(io_open(&sact, nullptr), 0);
  ASSERT_EQ(io_beginDatabase(), 0);
  short failed = 0;
  {
    const FileSizeLimit limit(1 << 20);  // the WAL cannot hold the rewrites
    std::memset(sact.record, 0, sizeof sact.record);
    ASSERT_EQ(io_start(&sact, 0, 0, 1025), 0);
    // The failing spill to the WAL may come with a rewrite or with the scan's next batch read.
    while (failed == 0 && (failed = io_next(&sact, 0)) == 0) {
      sact.record[reclib::KeyLength(sact.code)] = 'b';
      failed = io_rewrite(&sact);
    }
  }
  ASSERT_EQ(failed, reclib::kStorageError);
  SetRecord(sact, Key(19999), 'c');
  EXPECT_EQ(io_rewrite(&sact), reclib::kStorageError);
  SetRecord(sact, "NEW", 'n');
  EXPECT_EQ(io_write(&sact), reclib::kStorageError);
  io_endstart(&sact);
  EXPECT_EQ(io_commitDatabase(), reclib::kStorageError);
  char reason[400];
  io_lastFailure(reason, sizeof reason);
  EXPECT_NE(std::string(reason).find("the transaction was rolled back"), std::string::npos) << reason;
  EXPECT_EQ(ScanMarks(sact), std::string(20000, 'a'));
}

// ---- counts repeated under a write hold

// A conversion counts each file before its first write and again for the progress of the
// file's scan, in one transaction; the library may answer the second count from the first.
// Whatever changed the file between them must show in the second.
class Counts : public Site {
 protected:
  FileBlock sact = Block("SACT");

  void SetUp() override {
    Site::SetUp();
    Fill(sact, 10);
  }
  // The records from the buffer's key `key`, or from the lowest key there can be.
  long CountFrom(const std::string& key) {
    SetRecord(sact, key);
    return Count();
  }
  long CountFromLowest() {
    std::memset(sact.record, 0, sizeof sact.record);
    return Count();
  }
  long Count() {
    long count = -1;
    EXPECT_EQ(io_count(&sact, 0, &count), 0);
    return count;
  }
  // Adds a record with `key` through a connection of its own, as another program would.
  void AddElsewhere(const std::string& key) {
    const auto padded = [&key](int width) { return "CAST(printf('%-" + std::to_string(width) + "s', '" + key + "') AS BLOB)"; };
    const std::string sql = "INSERT INTO r_SACT_0 VALUES (" + padded(reclib::KeyLength(sact.code)) + ", " + padded(1536) + ")";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(StorePath().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
};

TEST_F(Counts, ARepeatedCountFollowsEveryWriteToItsFileInTheTransaction) {
  ASSERT_EQ(io_beginDatabase(), 0);
  EXPECT_EQ(CountFromLowest(), 10);
  EXPECT_EQ(CountFrom(""), 10);  // no key between the lowest and blanks
  SetRecord(sact, "A", 'n');
  ASSERT_EQ(io_write(&sact), 0);
  EXPECT_EQ(CountFromLowest(), 11);
  EXPECT_EQ(CountFrom("B"), 10);  // "A" lies between
  EXPECT_EQ(CountFrom(Key(3)), 7);
  SetRecord(sact, "A", 'r');
  ASSERT_EQ(io_rewrite(&sact), 0);
  EXPECT_EQ(CountFromLowest(), 11);
  ASSERT_EQ(io_commitDatabase(), 0);
}

// The conversion's read-back counts each file and closes it before the step that converts the
// file opens it and counts it again: that second count must not read the whole file once more.
TEST_F(Counts, ACountIsAnsweredFromTheFirstEvenAfterItsFileWasClosedAndOpenedAgain) {
  // 30 MB in all: more than the page cache holds, so a second count would read the disk.
  std::memset(sact.record, 0xff, sizeof sact.record);
  ASSERT_EQ(io_start(&sact, 0, 0, 1025), 0);
  for (int i = 10; i < 20000; ++i) {
    SetRecord(sact, Key(i));
    ASSERT_EQ(io_write(&sact), 0);
  }
  ASSERT_EQ(io_endstart(&sact), 0);
  ASSERT_EQ(io_close(&sact), 0);
  ASSERT_EQ(io_open(&sact, nullptr), 0);
  ASSERT_EQ(io_beginDatabase(), 0);
  EXPECT_EQ(CountFromLowest(), 20000);
  ASSERT_EQ(io_close(&sact), 0);
  ASSERT_EQ(io_open(&sact, nullptr), 0);
  const long start = testing_support::ReadCallsOfThisThread();
  if (start < 0) GTEST_SKIP() << "/proc/thread-self/io is not readable here";
  const long ownReads = testing_support::ReadCallsOfThisThread() - start;  // reading the counter is a read too
  const long before = testing_support::ReadCallsOfThisThread();
  EXPECT_EQ(CountFromLowest(), 20000);
  EXPECT_EQ(testing_support::ReadCallsOfThisThread() - before, ownReads);
  ASSERT_EQ(io_commitDatabase(), 0);
}

TEST_F(Counts, ACountOfALaterTransactionOrAfterARestoreIsTakenAfresh) {
  const std::string copy = (home.path() / "ten.records").string();
  ASSERT_EQ(io_backupStore(copy.c_str()), 0);
  ASSERT_EQ(io_beginDatabase(), 0);
  EXPECT_EQ(CountFromLowest(), 10);
  ASSERT_EQ(io_commitDatabase(), 0);
  AddElsewhere("A");
  AddElsewhere("B");
  EXPECT_EQ(CountFromLowest(), 12);
  ASSERT_EQ(io_beginDatabase(), 0);
  EXPECT_EQ(CountFromLowest(), 12);
  ASSERT_EQ(io_restoreStore(copy.c_str()), 0);
  EXPECT_EQ(CountFromLowest(), 10);
  ASSERT_EQ(io_commitDatabase(), 0);
}

// ---- sharing a store: file locks of io_open / io_open_exclusive

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

// ---- faults

using Faults = Site;

TEST_F(Faults, AMissingDataDirectoryFailsTheOpenAndIsNotCreated) {
  ASSERT_EQ(Select("nowhere", "std"), 0);
  FileBlock block = Block("CONF");
  EXPECT_EQ(io_open(&block, nullptr), reclib::kOpenFailed);
  EXPECT_FALSE(std::filesystem::exists(home.path() / "nowhere"));
  EXPECT_NE(Trace().find("io_open CONF/0: status 88 (data directory"), std::string::npos);
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
    fs::permissions(home.path() / "data", fs::perms::owner_read | fs::perms::owner_exec);
  }
  const short status = io_open(&block, nullptr);
  EXPECT_TRUE(status == reclib::kStorageError || status == reclib::kOpenFailed) << status;
  EXPECT_EQ(ReadFile(StorePath()), before);
  EXPECT_NE(Trace().find("io_open UID /0: status"), std::string::npos);
  FileBlock fresh = Block("SACT");  // a file the store does not hold yet
  EXPECT_NE(io_open(&fresh, nullptr), 0);
  EXPECT_EQ(ReadFile(StorePath()), before);
}

}  // namespace
}  // namespace reclib_test
