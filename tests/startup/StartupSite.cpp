#include "StartupSite.h"

#include <filesystem>

#include "common/FrontEnd.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Session.h"
#include "support/Records.h"

using namespace filomar;
using testing_support::InsertRecord;
using testing_support::LibraryConnection;

namespace startup_test {

void StartupSite::SetUp() {
  SetFrontEnd(screen);
  std::filesystem::create_directory(home.path() / "data");
  ASSERT_EQ(io_createStore((home.path() / "data").c_str(), "std"), 0);
  AddDatabase("STANDARD", "data", "std", "400A");
}

void StartupSite::TearDown() {
  if (ConnHandle != -1) terminate();  // a session left open is ended as the program ends it
}

void StartupSite::AddUser(const std::string& id, const std::string& password) {
  LibraryConnection library;
  InsertRecord(UID_FILE, {{&UID_UserId, id}, {&UID_Password, password}});
}

void StartupSite::AddAccess(const std::string& user, const std::string& database, const std::string& level) {
  LibraryConnection library;
  InsertRecord(UDB_FILE, {{&UDB_UserId, user}, {&UDB_DatabaseName, database}, {&UDB_Level, level}});
}

void StartupSite::AddDatabase(const std::string& name, const std::string& directory, const std::string& prefix,
                              const std::string& version) {
  std::filesystem::create_directories(home.path() / directory);
  io_createStore((home.path() / directory).c_str(), prefix.c_str());  // STANDARD's exists already
  LibraryConnection library;
  testing_support::CatalogueDatabase(name, directory, prefix, version);
}

}  // namespace startup_test
