#include "StartupSite.h"

#include <filesystem>

#include "common/FrontEnd.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "startup/modMain.h"

using namespace filomar;

namespace startup_test {

void StartupSite::SetUp() {
  SetFrontEnd(screen);
  std::filesystem::create_directory(home.path() / "data");
  InitFileTable();
  InitFieldTable();
  AddDatabase("STANDARD", "data", "std", "400A");
}

void StartupSite::TearDown() {
  if (ConnHandle != -1) {
    vb_io_disconnect(0, ConnHandle);
    ConnHandle = -1;
  }
}

namespace {

void Insert(short file, const std::vector<std::pair<const FieldInfo*, std::string>>& fields) {
  vb_io_open(file, "");
  ASSERT_EQ(vb_io_erc, 0);
  ClearRecord(file);
  for (const auto& [field, value] : fields) PutField(*field, value);
  vb_io_write(file);
  ASSERT_EQ(vb_io_erc, 0);
  vb_io_close(file);
}

}  // namespace

void StartupSite::AddUser(const std::string& id, const std::string& password) {
  WithLibrary([&] { Insert(UID_FILE, {{&UID_UserId, id}, {&UID_Password, password}}); });
}

void StartupSite::AddAccess(const std::string& user, const std::string& database, const std::string& level) {
  WithLibrary([&] {
    Insert(UDB_FILE, {{&UDB_UserId, user}, {&UDB_DatabaseName, database}, {&UDB_Level, level}});
  });
}

void StartupSite::AddDatabase(const std::string& name, const std::string& directory, const std::string& prefix,
                              const std::string& version) {
  std::filesystem::create_directories(home.path() / directory);
  WithLibrary([&] {
    Insert(DB_FILE, {{&DB_DatabaseName, name},
                     {&DB_DataDirectory, directory},
                     {&DB_DatabasePrefix, prefix},
                     {&DB_Description, name + " records"}});
    if (version.empty()) return;
    std::string dir = directory, pre = prefix;
    vb_io_setDirectory(ConnHandle, dir, pre);
    Insert(CONF_FILE, {{&CONF_RowKey, "C00"}, {&CONF_VersionText, version}});
  });
}

std::vector<std::string> StartupSite::Messages() const {
  std::vector<std::string> texts;
  for (const auto& m : screen.Shown()) texts.push_back(m.text);
  return texts;
}

}  // namespace startup_test
