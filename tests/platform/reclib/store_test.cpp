// Store recognition: a file that is not a store of this product is refused before anything is
// written to it, and io_createStore is the one way to make a new store.
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <vector>

#include "Fixture.h"

namespace reclib_test {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
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

void Put(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

void MakeForeignDatabase(const fs::path& path) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE accounts(id INTEGER); INSERT INTO accounts VALUES (1);", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
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
                        Case{"empty file", [](const fs::path& p) { Put(p, ""); }, "empty file"},
                        Case{"text", [](const fs::path& p) { Put(p, std::string(300, 'x')); }, "not a record store"},
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

TEST_F(Stores, CreateStoreMakesAStoreOnceAndOnlyInAnExistingDirectory) {
  fs::create_directory(home.path() / "new");
  EXPECT_EQ(io_createStore("new", "nw"), 0);
  EXPECT_NE(io_createStore("new", "nw"), 0);
  EXPECT_EQ(io_createStore("missing", "nw"), reclib::kOpenFailed);
  EXPECT_FALSE(fs::exists(home.path() / "missing"));
  EXPECT_EQ(io_createStore("new", " "), reclib::kBadArgument);
  ASSERT_EQ(Select("new", "nw"), 0);
  FileBlock block = Block("CONF");
  ASSERT_EQ(io_open(&block, nullptr), 0);
  SetRecord(block, "C00");
  EXPECT_EQ(io_write(&block), 0);
  EXPECT_EQ(io_close(&block), 0);
}

TEST_F(Stores, AnUnreadableStoreIsReportedAsSuch) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  fs::permissions(StorePath(), fs::perms::none);
  FileBlock block = Block("CONF");
  EXPECT_EQ(io_open(&block, nullptr), reclib::kOpenFailed);
  EXPECT_NE(LastFailure().find("Permission denied"), std::string::npos) << LastFailure();
}

}  // namespace
}  // namespace reclib_test
