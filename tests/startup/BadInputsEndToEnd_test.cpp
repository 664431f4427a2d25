// The built filomar-convert in batch on demo sites spoiled one way each (record stores, data
// directory, data sources file, an unreachable server, log path, user id and password): each ends
// with its message and exit status, converts nothing, and leaves every file of the site other
// than the one spoiled byte-identical.
#include <gtest/gtest.h>

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

namespace {

namespace fs = std::filesystem;

struct BadInput {
  const char* name;
  std::function<void(const DemoSite&)> spoil;
  std::string userId = "FILOMAR";
  std::string args = "--all";
  const char* message;
  const char* writes = "";  // the one file the run names and may write (its log), if any
  std::string password = "FILOMAR";
};

// `text` as one word of the shell, whatever it holds.
std::string ShellWord(const std::string& text) {
  std::string word = "'";
  for (const char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

void Overwrite(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(BadInputs, EachEndsWithItsMessageAndStatusAndLeavesTheSiteAsItWas) {
  const std::vector<BadInput> cases = {
      {"store random", [](const DemoSite& s) { Overwrite(s.DataDir("data") / "std.records", std::string(9000, '\x5a')); },
       "FILOMAR", "--all", "Can't open the record files of the STANDARD database. Err = 99\n"},
      {"store zero length", [](const DemoSite& s) { Overwrite(s.DataDir("data") / "std.records", ""); },
       "FILOMAR", "--all", "std.records: empty file, not a record store"},
      {"store a directory",
       [](const DemoSite& s) {
         fs::remove(s.DataDir("data") / "std.records");
         fs::create_directory(s.DataDir("data") / "std.records");
       },
       "FILOMAR", "--all", "std.records: not a regular file, not a record store"},
      {"data directory missing", [](const DemoSite& s) { fs::rename(s.DataDir("data"), s.dir() / "data.away"); },
       "FILOMAR", "--all", "Can't open the record files of the STANDARD database. Err = 85\n"},
      {"odbc.ini missing", [](const DemoSite& s) { fs::remove(s.OdbcIni()); }, "FILOMAR", "--all",
       "odbc.ini does not exist.", "convert5.log"},
      {"log path a directory", [](const DemoSite& s) { fs::create_directory(s.dir() / "logdir"); }, "FILOMAR",
       "--all --log logdir", "Unable to open log file: Error Path/File access error"},
      {"log path a record store", [](const DemoSite&) {}, "FILOMAR", "--all --log finance/fin.records",
       "Unable to open log file: Error finance/fin.records belongs to a record store"},
      {"user id with quotes", [](const DemoSite&) {}, "FIL'OM\"AR", "--all", "Invalid user id. Try again."},
      {"user id of 10,000 characters", [](const DemoSite&) {}, std::string(10000, 'A'), "--all",
       "Invalid user id. Try again."},
      {"wrong password", [](const DemoSite&) {}, "FILOMAR", "--all", "Invalid password. Try again.\n[OK] -> OK", "", "WRONG"},
      {"level below nine", [](const DemoSite&) {}, "RMANAGER", "--all", "You must have level 9 to run the Conversion utility",
       "", "MANAGER"},
      {"server unreachable",  // a data source whose database file cannot be made
       [](const DemoSite& s) {
         Overwrite(s.OdbcIni(), "[filomar4]\nDriver=SQLite3\nDatabase=" + (s.dir() / "no-such-folder" / "x.db").string() + "\n");
       },
       "FILOMAR", "--all", "No database was converted because the database server could not be reached.", "convert5.log"},
  };
  for (const BadInput& bad : cases) {
    SCOPED_TRACE(bad.name);
    DemoSite site;
    testing_support::SiteEnvironment environment{site};
    bad.spoil(site);
    const fs::path out = site.dir().parent_path() / "program.out";  // outside the site
    auto before = Snapshot(site.dir());
    const ProgramRun run = RunShell("cd '" + site.dir().string() + "' && echo " + ShellWord(bad.password) + " | '" FILOMAR_CONVERT_EXE
                                    "' --batch --user " + ShellWord(bad.userId) + " --password-stdin " + bad.args,
                                    out);
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find(bad.message), std::string::npos) << run.out;
    auto after = Snapshot(site.dir());
    before.erase(bad.writes);
    after.erase(bad.writes);
    EXPECT_EQ(Changes(before, after), "");
  }
}

}  // namespace
