// io_createStore: a new store in an existing data directory, never over an existing file.
#include <filesystem>
#include <fstream>

#include "Fixture.h"

namespace reclib_test {
namespace {

using CreateStore = Site;

TEST_F(CreateStore, MakesAnEmptyStoreThatRecordFilesOpenIn) {
  ASSERT_EQ(io_createStore("data", "std"), 0);
  ASSERT_TRUE(std::filesystem::exists(StorePath()));
  FileBlock conf = Block("CONF");
  ASSERT_EQ(io_open(&conf, nullptr), 0);
  SetRecord(conf, "C00");
  EXPECT_EQ(io_write(&conf), 0);
  EXPECT_EQ(io_close(&conf), 0);
}

TEST_F(CreateStore, RefusesAnExistingFileAndLeavesItAsItWas) {
  std::ofstream(StorePath()) << "not a store";
  EXPECT_EQ(io_createStore("data", "std"), reclib::kDuplicateKey);
  EXPECT_EQ(testing_support::ReadFile(StorePath()), "not a store");
  EXPECT_NE(Trace().find("io_createStore: status 22"), std::string::npos) << Trace();
}

TEST_F(CreateStore, RefusesAMissingDirectoryAndABadPrefix) {
  EXPECT_EQ(io_createStore("nowhere", "std"), reclib::kOpenFailed);
  EXPECT_FALSE(std::filesystem::exists(home.path() / "nowhere"));
  EXPECT_EQ(io_createStore("data", "../x"), reclib::kBadArgument);
  EXPECT_EQ(io_createStore("data", ""), reclib::kBadArgument);
  EXPECT_TRUE(std::filesystem::is_empty(home.path() / "data"));
}

}  // namespace
}  // namespace reclib_test
