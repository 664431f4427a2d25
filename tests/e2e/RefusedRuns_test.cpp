// Runs of the built program that must convert nothing: a refused sign-on and a server that
// cannot be reached. Each ends with status 1 and its message, and leaves every record file
// as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "e2e/SiteRun.h"
#include "support/TempDir.h"

namespace {

struct RefusedRun {
  const char* name;
  const char* user;
  const char* password;
  bool serverUnreachable;
  const char* message;
};

class ConvertsNothing : public ::testing::TestWithParam<RefusedRun> {};

TEST_P(ConvertsNothing, EndsWithItsMessageAndLeavesTheRecords) {
  const RefusedRun& refused = GetParam();
  const testing_support::DemoSite site;
  const testing_support::SiteEnvironment environment(site);
  std::map<std::string, std::map<std::string, std::string>> before;
  for (const std::string& code : e2e::kDatabaseFiles) before[code] = e2e::Records(site, "data", "std", code);
  const testing_support::TempDir other;
  // A data source whose database file cannot be made: the server cannot be reached.
  const std::string ini =
      "[filomar4]\nDriver=SQLite3\nDatabase=" + (site.dir() / "no-such-folder" / "x.db").string() + "\n";
  const testing_support::ScopedEnv odbc("ODBCINI", refused.serverUnreachable
                                                       ? std::optional(other.Write("odbc.ini", ini).string())
                                                       : std::optional(site.OdbcIni().string()));

  const auto run = e2e::RunConvert(site, refused.password, std::string("--user ") + refused.user + " --all");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find(refused.message), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Converting Database"), std::string::npos) << run.out;
  for (const std::string& code : e2e::kDatabaseFiles) EXPECT_EQ(e2e::Records(site, "data", "std", code), before[code]) << code;
  const std::filesystem::path log = site.dir() / "convert5.log";
  if (std::filesystem::exists(log)) {
    EXPECT_EQ(testing_support::ReadFile(log).find("Converting"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ConvertsNothing,
    ::testing::Values(
        RefusedRun{"WrongPassword", "FILOMAR", "WRONG", false, "Invalid password. Try again.\n[OK] -> OK"},
        RefusedRun{"LevelBelowNine", "RMANAGER", "MANAGER", false, "You must have level 9 to run the Conversion utility"},
        RefusedRun{"ServerUnreachable", "FILOMAR", "FILOMAR", true,
                   "No database was converted because the database server could not be reached."}),
    [](const ::testing::TestParamInfo<RefusedRun>& info) { return std::string(info.param.name); });

}  // namespace
