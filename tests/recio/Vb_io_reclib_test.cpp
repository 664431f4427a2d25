// The record I/O layer over the real record library, on a fresh site in a temporary directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "support/Records.h"
#include "support/TempDir.h"

using namespace filomar;
using testing_support::ScopedEnv;

namespace {

class VbIoOverReclib : public ::testing::Test {
 protected:
  testing_support::TempDir home;
  ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", (home.path() / "ipc").string()};
  const bool dataDirMade = std::filesystem::create_directory(home.path() / "data") &&  // before connecting
                           io_createStore((home.path() / "data").c_str(), "std") == 0;
  testing_support::LibraryConnection library;

  static void ReadRow(const std::string& row, short lock) {
    ClearRecord(CONF_FILE);
    PutField(CONF_RowKey, row);
    vb_io_read(CONF_FILE, 0, lock);
  }
};

TEST_F(VbIoOverReclib, InsertReadAndUpdateOneRecord) {
  testing_support::InsertRecord(CONF_FILE, {{&CONF_RowKey, "C00"}, {&CONF_VersionText, "400A"}});
  vb_io_open(CONF_FILE, "");
  ReadRow("C00", 1);
  ASSERT_EQ(vb_io_erc, 0);
  EXPECT_EQ(GetText(CONF_VersionText), "400A");
  PutField(CONF_VersionText, std::string("500A"));
  PutField(CONF_VersionNumber, 500);
  vb_io_rewrite(CONF_FILE);
  EXPECT_EQ(vb_io_erc, 0);
  vb_io_unlock(CONF_FILE);  // harmless after the rewrite
  EXPECT_EQ(vb_io_erc, 0);

  ReadRow("C00", 0);
  ASSERT_EQ(vb_io_erc, 0);
  EXPECT_EQ(GetText(CONF_VersionText), "500A");
  EXPECT_EQ(GetField(CONF_VersionNumber), Variant(std::int32_t{500}));
  ReadRow("C99", 0);
  EXPECT_EQ(vb_io_erc, 4);  // not found
  vb_io_close(CONF_FILE);
  EXPECT_EQ(vb_io_erc, 0);
}

TEST_F(VbIoOverReclib, ScanVisitsRecordsInKeyOrderAndEndsWith9) {
  for (const char* word : {"THIS", "AND", "FROM"}) testing_support::InsertRecord(STOP_FILE, {{&STOP_NoiseWord, word}});
  vb_io_open(STOP_FILE, "");
  ClearRecord(STOP_FILE);
  vb_io_start(STOP_FILE, 0, 0, 1025);
  std::vector<std::string> words;
  for (vb_io_next(STOP_FILE, 0); vb_io_erc == 0; vb_io_next(STOP_FILE, 0)) words.push_back(GetText(STOP_NoiseWord));
  EXPECT_EQ(vb_io_erc, kEndOfScan);
  EXPECT_EQ(words, (std::vector<std::string>{"AND", "FROM", "THIS"}));
  vb_io_endstart(STOP_FILE);
  vb_io_close(STOP_FILE);
}

TEST_F(VbIoOverReclib, MissingDataDirectoryFailsTheOpensWith85) {
  std::string directory = "missing", prefix = "xyz";
  vb_io_setDirectory(ConnHandle, directory, prefix);
  vb_io_open(CONF_FILE, "");
  EXPECT_EQ(vb_io_erc, kOpenFailed);
  EXPECT_EQ(vb_io_open_exclusive(MATR_FILE, ""), kOpenFailed);
}

}  // namespace
