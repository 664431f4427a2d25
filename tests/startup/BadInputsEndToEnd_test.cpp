// The built filomar-convert in batch on demo sites spoiled one way each (record stores, data
// directory, data sources file, an unreachable server, log path, user id and password, version
// records and action records the conversion cannot take, a run cancelled half-way): each ends
// with its message and exit status; unless the case converts what it can, it converts nothing
// and leaves every file of the site other than the one spoiled byte-identical.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/DemoSite.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

using testing_support::DemoSite;
using testing_support::ProgramRun;
using testing_support::Changes;
using testing_support::Snapshot;
using testing_support::RunShell;
using testing_support::ShellWord;

namespace {

namespace fs = std::filesystem;

struct BadInput {
  const char* name;
  std::function<void(const DemoSite&)> spoil = {};  // none: the site as made
  const char* message = "";
  std::string args = "--all";
  const char* writes = "";  // the one file the run names and may write (its log), if any
  std::string userId = "FILOMAR", password = "FILOMAR";
  int status = 1;
  bool convertsTheRest = false;  // converts what it can: the site changes; the message may be logged
  bool interruptAfterFirstDatabase = false;
  std::string environment = {};  // set for the program only
};

// Runs SQL on a database's record store, as a damaged or foreign program might leave it.
void SpoilStore(const DemoSite& site, const std::string& dataDir, const std::string& prefix, const std::string& sql) {
  const std::string store = (site.DataDir(dataDir) / (prefix + ".records")).string();
  ASSERT_EQ(std::system(("sqlite3 '" + store + "' \"" + sql + "\"").c_str()), 0) << sql;
}

// Sets FINANCE's version record C00: the version code's four bytes, or the whole record.
std::function<void(const DemoSite&)> FinanceVersion(const std::string& record) {
  return [record](const DemoSite& s) { SpoilStore(s, "finance", "fin", "UPDATE r_CONF_0 SET record = " + record + " WHERE key = CAST('C00' AS BLOB)"); };
}
std::string WithVersion(const std::string& code) {
  return "CAST(substr(record, 1, 438) || '" + code + "' || substr(record, 443) AS BLOB)";
}

// The first SACT record of STANDARD with another length than a record's.
std::function<void(const DemoSite&)> FirstActionRecord(const std::string& record) {
  return [record](const DemoSite& s) {
    SpoilStore(s, "data", "std", "UPDATE r_SACT_0 SET record = " + record + " WHERE key = (SELECT min(key) FROM r_SACT_0)");
  };
}

constexpr const char* kDryRun = "--dry-run --database FINANCE";

void Overwrite(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(BadInputs, EachEndsWithItsMessageAndStatusAndLeavesTheSiteAsItWas) {
  const std::vector<BadInput> cases = {
      {"store random", [](const DemoSite& s) { Overwrite(s.DataDir("data") / "std.records", std::string(9000, '\x5a')); },
       "Can't open the record files of the STANDARD database. Err = 99\n"},
      {"store zero length", [](const DemoSite& s) { Overwrite(s.DataDir("data") / "std.records", ""); },
       "std.records: empty file, not a record store"},
      {"store a directory",
       [](const DemoSite& s) { fs::remove(s.DataDir("data") / "std.records"), fs::create_directory(s.DataDir("data") / "std.records"); },
       "std.records: not a regular file, not a record store"},
      {"data directory missing", [](const DemoSite& s) { fs::rename(s.DataDir("data"), s.dir() / "data.away"); },
       "Can't open the record files of the STANDARD database. Err = 85\n"},
      {"odbc.ini missing", [](const DemoSite& s) { fs::remove(s.OdbcIni()); }, "odbc.ini does not exist.", "--all", "convert5.log"},
      {"log path a directory", [](const DemoSite& s) { fs::create_directory(s.dir() / "logdir"); },
       "Unable to open log file: Error Path/File access error", "--all --log logdir"},
      {"log path a record store", nullptr, "Unable to open log file: Error finance/fin.records belongs to a record store",
       "--all --log finance/fin.records"},
      {.name = "user id with quotes", .message = "Invalid user id. Try again.", .userId = "FIL'OM\"AR"},
      {.name = "user id of 10,000 characters", .message = "Invalid user id. Try again.", .userId = std::string(10000, 'A')},
      {.name = "wrong password", .message = "Invalid password. Try again.\n[OK] -> OK", .password = "WRONG"},
      {.name = "level below nine", .message = "You must have level 9 to run the Conversion utility", .userId = "RMANAGER",
       .password = "MANAGER"},
      {"server unreachable",  // a data source whose database file cannot be made
       [](const DemoSite& s) {
         Overwrite(s.OdbcIni(), "[filomar4]\nDriver=SQLite3\nDatabase=" + (s.dir() / "no-such-folder" / "x.db").string() + "\n");
       },
       "No database was converted because the database server could not be reached.", "--all", "convert5.log"},
      {"version 450A", FinanceVersion(WithVersion("450A")),
       "Not listed because it cannot be read: FINANCE: its version record C00 holds \"450A\", neither 400A nor 500A", kDryRun},
      {"version 500B", FinanceVersion(WithVersion("500B")), "FINANCE: its version record C00 holds \"500B\"", kDryRun},
      {"version record cut short", FinanceVersion("CAST(substr(record, 1, 100) AS BLOB)"),
       "FINANCE: its version record C00 holds \"    \"", kDryRun},
      {"version record all NUL", FinanceVersion("zeroblob(1536)"), "FINANCE: its version record C00 holds \"\\x00\\x00\\x00\\x00\"",
       kDryRun},
      {.name = "action record 1 MiB too long", .spoil = FirstActionRecord("CAST(record || zeroblob(1048576) AS BLOB)"),
       .message = "- A SACT record was not converted: ", .status = 0, .convertsTheRest = true},
      {.name = "action record of 10 bytes", .spoil = FirstActionRecord("CAST(substr(record, 1, 10) AS BLOB)"),
       .message = "holds 10 bytes, not 1536; it is left as it is", .status = 0, .convertsTheRest = true},
      {.name = "run cancelled after the first database", .message = "[Filomar conversion Utility ]\nThe Conversion process has been canceled",
       .status = 3, .convertsTheRest = true, .interruptAfterFirstDatabase = true},
      {.name = "a directory in the way of a letter's new name",
       .spoil = [](const DemoSite& s) { fs::create_directory(s.DataDir("data") / "Letter01"); },
       .message = "/Letter01, a directory of that name is in the way; the database is left at release 4.0 and is offered again.",
       .convertsTheRest = true},
      {.name = "upgrade script missing", .spoil = [](const DemoSite& s) { fs::remove(s.dir() / "flm50.sql"); },
       .message = "The STANDARD Database was not converted: the upgrade script ", .convertsTheRest = true},
      {.name = "configuration writes lost",
       .message = "The STANDARD Database was not converted: CONF: its version record C00 reads \"400A\", not \"500A\"; the "
                  "database is left at release 4.0 and is offered again.",
       .convertsTheRest = true, .environment = "FILOMAR_RECLIB_FAULT_SKIP=r_CONF_0"},
  };
  for (const BadInput& bad : cases) {
    SCOPED_TRACE(bad.name);
    DemoSite site{{.records = bad.interruptAfterFirstDatabase ? 3000u : 50u}};
    testing_support::SiteEnvironment environment{site};
    if (bad.spoil) bad.spoil(site);
    const fs::path out = site.dir().parent_path() / "program.out";  // outside the site
    auto before = Snapshot(site.dir());
    std::string command = "echo " + ShellWord(bad.password) + " | " + bad.environment + " '" FILOMAR_CONVERT_EXE "' --batch --user " +
                          ShellWord(bad.userId) + " --password-stdin " + bad.args;
    // Ctrl-C once the log says the first database is done: the run stops before the next one.
    if (bad.interruptAfterFirstDatabase)
      command = "(" + command + " & run=$!; while kill -0 $run 2>/dev/null && ! grep -q 'completed at' convert5.log 2>/dev/null; "
                "do sleep 0.01; done; kill -INT $run; wait $run)";
    const ProgramRun run = RunShell("cd '" + site.dir().string() + "' && " + command, out);
    EXPECT_EQ(run.status, bad.status) << run.out;
    const std::string log = testing_support::ReadFile(site.dir() / "convert5.log");
    EXPECT_NE((run.out + log).find(bad.message), std::string::npos) << run.out << log;
    if (bad.convertsTheRest) continue;
    auto after = Snapshot(site.dir());
    before.erase(bad.writes);
    after.erase(bad.writes);
    EXPECT_EQ(Changes(before, after), "");
  }
}

}  // namespace
