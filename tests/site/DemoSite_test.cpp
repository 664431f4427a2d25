// A demo site's embedded-engine DSN and its record dump, which external checks compare.
#include "support/DemoSite.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

namespace {
using testing_support::DemoSite;
using testing_support::RunSiteTool;
namespace fs = std::filesystem;

TEST(DemoSite, DsnAnswersThroughTheSqliteOdbcDriver) {
  DemoSite site({.records = 1, .dataRoot = {}});
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
