// A demo site as later tests rely on it: every catalogued database readable through the record
// layer at its version, the administrator's level, the embedded engine's DSN, and dumps.
#include "support/DemoSite.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "support/Records.h"

namespace {
using namespace filomar;
using testing_support::DemoSite;
using testing_support::RunSiteTool;
namespace fs = std::filesystem;

void Select(std::string directory, std::string prefix) { vb_io_setDirectory(ConnHandle, directory, prefix); }

// The text of `field` in the record of `file` whose key fields hold `keys`, or "status N".
std::string Read(short file, const testing_support::FieldValues& keys, const FieldInfo& field) {
  vb_io_open(file, "");
  if (vb_io_erc != 0) return "status " + std::to_string(vb_io_erc);
  ClearRecord(file);
  for (const auto& [key, value] : keys) PutField(*key, value);
  vb_io_read(file, 0, 0);
  const std::string text = vb_io_erc == 0 ? GetText(field) : "status " + std::to_string(vb_io_erc);
  vb_io_close(file);
  return text;
}

// Each catalogued database as "<CONF C00 version> level <the administrator's UDB level>".
std::map<std::string, std::string> Catalogue() {
  std::map<std::string, std::pair<std::string, std::string>> places;
  vb_io_open(DB_FILE, "");
  ClearRecord(DB_FILE);
  vb_io_start(DB_FILE, 0, 0, 1025);
  for (vb_io_next(DB_FILE, 0); vb_io_erc == 0; vb_io_next(DB_FILE, 0))
    places[GetText(DB_DatabaseName)] = {GetText(DB_DataDirectory), GetText(DB_DatabasePrefix)};
  vb_io_endstart(DB_FILE);
  vb_io_close(DB_FILE);
  std::map<std::string, std::string> databases;
  for (const auto& [name, place] : places) {
    const std::string level = Read(UDB_FILE, {{&UDB_UserId, "FILOMAR"}, {&UDB_DatabaseName, name}}, UDB_Level);
    Select(place.first, place.second);
    databases[name] = Read(CONF_FILE, {{&CONF_RowKey, "C00"}}, CONF_VersionText) + " level " + level;
    Select("data", "std");
  }
  return databases;
}

int Count(short file) {
  vb_io_open(file, "");
  ClearRecord(file);
  vb_io_start(file, 0, 0, 1025);
  int count = 0;
  for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0)) ++count;
  vb_io_endstart(file);
  vb_io_close(file);
  return count;
}

TEST(DemoSite, EveryCataloguedDatabaseReadsAtItsVersionWithTheAdministratorAtLevelNine) {
  DemoSite site({.records = 5});
  testing_support::SiteEnvironment environment(site);
  testing_support::LibraryConnection library;
  const std::map<std::string, std::string> expected = {
      {"STANDARD", "400A level 9"}, {"FINANCE", "400A level 9"}, {"PERSONNEL", "400A level 9"},
      {"LEGAL", "500A level 9"},    {"ARCHIVE", "status 85 level 9"}};
  EXPECT_EQ(Catalogue(), expected);
  EXPECT_FALSE(fs::exists(site.DataDir("archive")));
  EXPECT_EQ(Read(UID_FILE, {{&UID_UserId, "FILOMAR"}}, UID_Password), "FILOMAR");
  EXPECT_EQ(Read(UDB_FILE, {{&UDB_UserId, "CLERK"}, {&UDB_DatabaseName, "STANDARD"}}, UDB_Level), "3");

  Select("finance", "fin");
  for (const short file : {SACT_FILE, VERS_FILE, COMP_FILE}) EXPECT_EQ(Count(file), 5) << file;
}

TEST(DemoSite, DsnAnswersThroughTheSqliteOdbcDriver) {
  DemoSite site({.records = 1});
  testing_support::ScopedEnv odbc("ODBCINI", site.OdbcIni().string());
  ado::Connection connection;
  ASSERT_TRUE(connection.Open("Provider=MSDASQL.1;User ID=filomar;Password=x;Data Source=filomar4"));
  ado::Recordset rows;
  ASSERT_TRUE(rows.Open("select count(*) from std_db", connection));
  EXPECT_EQ(rows.Fields(std::size_t{0}).AsLong(), 5);
  // Detection finds the lock table; the saved filters are in the 4.0 layout, without an owner.
  EXPECT_TRUE(rows.Open("select * from filomar_rowlock", connection));
  EXPECT_TRUE(rows.Open("select count(*) from std_filter", connection));
  EXPECT_FALSE(rows.Open("select filter_userID from std_filter", connection));

  const auto hex = RunSiteTool({"dump", site.dir().string(), "data", "std", "CONF", "--hex"});
  ASSERT_EQ(hex.exitCode, 0) << hex.err;
  std::istringstream lines(hex.out);
  std::string line, c00;
  int count = 0;
  for (; std::getline(lines, line); ++count) {
    EXPECT_EQ(line.size(), 3072u);
    if (line.rfind("433030", 0) == 0) c00 = line;  // key "C00"
  }
  EXPECT_EQ(count, 5);
  ASSERT_FALSE(c00.empty());
  EXPECT_EQ(c00.substr(438 * 2, 8), "34303041");  // "400A"
}

}  // namespace
