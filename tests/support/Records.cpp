#include "support/Records.h"

#include <gtest/gtest.h>

#include "recio/Vb_io.h"
#include "recio/conffld.h"

using namespace filomar;

namespace testing_support {
namespace {

void Select(std::string directory, std::string prefix) { vb_io_setDirectory(ConnHandle, directory, prefix); }

}  // namespace

void InsertRecord(short file, const FieldValues& fields) {
  vb_io_open(file, "");
  ASSERT_EQ(vb_io_erc, 0) << "open of file " << file;
  ClearRecord(file);
  for (const auto& [field, value] : fields) PutField(*field, value);
  vb_io_write(file);
  EXPECT_EQ(vb_io_erc, 0) << "write to file " << file;
  vb_io_close(file);
}

void CatalogueDatabase(const std::string& name, const std::string& directory, const std::string& prefix,
                       const std::string& version) {
  Select("data", "std");
  InsertRecord(DB_FILE, {{&DB_DatabaseName, name},
                         {&DB_DataDirectory, directory},
                         {&DB_DatabasePrefix, prefix},
                         {&DB_Description, name + " records"}});
  if (!version.empty()) {
    Select(directory, prefix);
    InsertRecord(CONF_FILE, {{&CONF_RowKey, "C00"}, {&CONF_VersionText, version}});
  }
  Select("data", "std");
}

void SetVersionCode(const std::string& version) {
  vb_io_open(CONF_FILE, "");
  ClearRecord(CONF_FILE);
  PutField(CONF_RowKey, std::string("C00"));
  vb_io_read(CONF_FILE, 0, 1);
  ASSERT_EQ(vb_io_erc, 0) << "no C00 row";
  PutField(CONF_VersionText, version);
  vb_io_rewrite(CONF_FILE);
  EXPECT_EQ(vb_io_erc, 0);
  vb_io_close(CONF_FILE);
}

LibraryConnection::LibraryConnection() {
  InitFileTable();
  InitFieldTable();
  vb_io_connect(0, ConnHandle);
  vb_io_setup(ConnHandle);
  Select("data", "std");
}

LibraryConnection::~LibraryConnection() {
  vb_io_disconnect(0, ConnHandle);
  ConnHandle = -1;
}

}  // namespace testing_support
