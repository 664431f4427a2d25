// The dry run by the built program on a demo site: it leaves every file of the site as it was,
// the server's file included, the counts it prints are what the real run then changes, and the
// server's catalogue tells which statements would fail.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "common/Version.h"
#include "e2e/SiteRun.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// What the dry run printed for one database.
struct Printed {
  std::map<std::string, int> wouldChange;  // by file code
  std::map<std::string, std::string> renames;
  bool clean = false;
};

std::map<std::string, Printed> ParseReport(const std::string& out) {
  static const std::regex file("^  file ([A-Z0-9#]+): [0-9]+ records read, ([0-9]+) would change.*");
  static const std::regex letter("^  letter (\\S+) -> (\\S+)$");
  std::map<std::string, Printed> printed;
  std::string database;
  std::istringstream lines(out);
  std::smatch m;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Dry run of ", 0) == 0) database = line.substr(11);
    else if (std::regex_match(line, m, file)) printed[database].wouldChange[m[1]] = std::stoi(m[2]);
    else if (std::regex_match(line, m, letter)) printed[database].renames[m[1]] = m[2];
    else if (line == database + " would convert cleanly") printed[database].clean = true;
  }
  return printed;
}

// A demo site with its environment set, and somewhere outside it for the runs' output.
class DryRun : public ::testing::Test {
 protected:
  const testing_support::DemoSite site;
  const testing_support::SiteEnvironment environment{site};
  const testing_support::TempDir outside;

  testing_support::ProgramRun Dry(const std::string& args, const std::string& output = "dry.out") {
    return testing_support::RunShell("echo FILOMAR | '" FILOMAR_CONVERT_EXE "' --batch --password-stdin --user FILOMAR --dry-run " + args,
                                     outside.path() / output);
  }
};

int ChangedRecords(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after) {
  std::set<std::string> keys;
  for (const auto& [key, record] : before) keys.insert(key);
  for (const auto& [key, record] : after) keys.insert(key);
  int changed = 0;
  for (const std::string& key : keys) changed += before.count(key) == 0 || after.count(key) == 0 || before.at(key) != after.at(key);
  return changed;
}

TEST_F(DryRun, LeavesEverySiteFileAsItWasAndPrintsWhatTheRealRunThenChanges) {
  std::map<std::string, std::map<std::string, std::string>> before;
  std::map<std::string, std::map<std::string, std::string>> lettersBefore;
  for (const e2e::Database& db : e2e::kConvertedDatabases) {
    for (const std::string& code : e2e::kDatabaseFiles) before[db.name + code] = e2e::Records(site, db.dataDir, db.prefix, code);
    lettersBefore[db.name] = testing_support::LetterFiles(site.DataDir(db.dataDir));
  }
  const testing_support::FileSnapshot siteBefore = testing_support::Snapshot(site.dir());
  // The data directories keep their times too: only SQLite's own files came and went in them.
  const auto directoryTimes = [this] {
    std::map<std::string, fs::file_time_type> times;
    for (const e2e::Database& db : e2e::kConvertedDatabases) times[db.dataDir] = fs::last_write_time(site.DataDir(db.dataDir));
    return times;
  };
  const auto timesBefore = directoryTimes();

  const auto dry = Dry("--all");
  ASSERT_EQ(dry.status, 0) << dry.out;
  EXPECT_EQ(testing_support::Changes(siteBefore, testing_support::Snapshot(site.dir())), "");
  EXPECT_TRUE(directoryTimes() == timesBefore);
  const auto printed = ParseReport(dry.out);

  const auto run = e2e::RunConvert(site, "FILOMAR", "--user FILOMAR --all --no-backup");
  ASSERT_EQ(run.status, 0) << run.out;
  for (const e2e::Database& db : e2e::kConvertedDatabases) {
    ASSERT_TRUE(printed.count(db.name)) << dry.out;
    const Printed& report = printed.at(db.name);
    EXPECT_TRUE(report.clean) << db.name;
    for (const std::string& code : e2e::kDatabaseFiles) {
      const int changed = ChangedRecords(before[db.name + code], e2e::Records(site, db.dataDir, db.prefix, code));
      EXPECT_GT(changed, 0) << db.name << " " << code;
      EXPECT_EQ(report.wouldChange.count(code) ? report.wouldChange.at(code) : -1, changed) << db.name << " " << code;
    }
    // Every letter name the run took away was printed as renamed, to a name the run gave.
    const auto lettersAfter = testing_support::LetterFiles(site.DataDir(db.dataDir));
    std::set<std::string> gone, printedFrom;
    for (const auto& [from, to] : report.renames) {
      EXPECT_TRUE(to == "(removed)" || lettersAfter.count(to)) << db.name << ": " << from << " -> " << to;
      if (to != "(removed)") printedFrom.insert(from);
    }
    for (const auto& [name, content] : lettersBefore[db.name]) if (!lettersAfter.count(name)) gone.insert(name);
    EXPECT_EQ(printedFrom, gone) << db.name;
    EXPECT_FALSE(gone.empty()) << db.name;
  }
}

// A server that already has one 5.0 column and lacks one table the script alters: both
// statements are named with why they would fail, and the run says so in its exit status.
TEST_F(DryRun, NamesTheStatementsTheServerWouldRefuseAndChangesNothingOnIt) {
  sqlite3* server = nullptr;
  ASSERT_EQ(sqlite3_open((site.dir() / "server.sqlite").c_str(), &server), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(server, "ALTER TABLE fin_file ADD file_ucode1 char(10); DROP TABLE fin_docs;", nullptr,
                         nullptr, nullptr), SQLITE_OK);
  sqlite3_close(server);
  const testing_support::FileSnapshot siteBefore = testing_support::Snapshot(site.dir());
  const std::string serverBefore = testing_support::ReadFile(site.dir() / "server.sqlite");

  const auto dry = Dry("--database FINANCE");
  EXPECT_EQ(dry.status, 1) << dry.out;
  EXPECT_TRUE(testing_support::ReadFile(site.dir() / "server.sqlite") == serverBefore);  // byte for byte
  EXPECT_EQ(testing_support::Changes(siteBefore, testing_support::Snapshot(site.dir())), "");
  EXPECT_NE(dry.out.find("  statement: ALTER TABLE fin_file ADD file_ucode1 char(10);\n"
                         "    would fail: the column fin_file.file_ucode1 already exists\n"),
            std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("  statement: ALTER TABLE fin_docs ADD doc_ucode1 char(10);\n"
                         "    would fail: no table fin_docs\n"),
            std::string::npos) << dry.out;
  // One failing statement per column the script adds to fin_docs, and the one of fin_file.
  const std::regex verdict("FINANCE would convert with ([0-9]+) server statements failing\n");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(dry.out, m, verdict)) << dry.out;
  const std::string script = testing_support::ReadFile(fs::path(site.dir()) / "flm50.sql");
  std::size_t docsColumns = 0;
  for (std::size_t at = 0; (at = script.find("ALTER TABLE xxx_docs ADD", at)) != std::string::npos; ++at) ++docsColumns;
  EXPECT_EQ(std::stoul(m[1]), docsColumns + 1);
}

// The dry run's copies live in $TMPDIR/filomar-dry-run-<pid>-*: SIGTERM mid-run and SIGHUP
// remove them as they end the program; SIGINT lets the database under way finish and stops;
// a folder whose process has ended (a run killed with SIGKILL) is removed by the next dry run,
// one whose process lives is left alone.
TEST_F(DryRun, LeavesNoCopiesWhenEndedBySignalsAndRemovesThoseOfEndedRuns) {
  const testing_support::TempDir temporary;
  const testing_support::ScopedEnv tmpdir("TMPDIR", temporary.str());
  // The run in the background; the signal once its first copy is there.
  const auto signalled = [&](const char* signal) {
    return testing_support::RunShell(
        "{ echo FILOMAR | '" FILOMAR_CONVERT_EXE "' --batch --password-stdin --user FILOMAR --dry-run --all & pid=$!; "
        "n=0; until ls -d '" + temporary.str() + "'/filomar-dry-run-*/work >/dev/null 2>&1 || [ $n -ge 2000 ]; do "
        "sleep 0.01; n=$((n+1)); done; kill -" + signal + " $pid; wait $pid; echo \"exit $?\"; }",
        outside.path() / "signalled.out");
  };
  for (const char* signal : {"TERM", "HUP"}) {
    const auto run = signalled(signal);
    EXPECT_NE(run.out.find(std::string("exit ") + (std::string(signal) == "TERM" ? "143" : "129")), std::string::npos) << run.out;
    EXPECT_TRUE(fs::is_empty(temporary.path())) << signal;
  }
  const auto interrupted = signalled("INT");
  EXPECT_NE(interrupted.out.find("Dry run of STANDARD"), std::string::npos) << interrupted.out;
  EXPECT_NE(interrupted.out.find("Cancel requested: the dry run stopped after the database under way."), std::string::npos)
      << interrupted.out;
  EXPECT_EQ(interrupted.out.find("Dry run of FINANCE"), std::string::npos) << interrupted.out;
  EXPECT_NE(interrupted.out.find("exit 1"), std::string::npos) << interrupted.out;
  EXPECT_TRUE(fs::is_empty(temporary.path()));

  const std::string ended = testing_support::RunShell("sh -c 'echo $$'", outside.path() / "pid.out").out;
  const fs::path left = temporary.path() / ("filomar-dry-run-" + std::to_string(std::stoi(ended)) + "-killed");
  const fs::path living = temporary.path() / ("filomar-dry-run-" + std::to_string(getpid()) + "-living");
  temporary.Write(fs::relative(left / "work" / "fin.records", temporary.path()).string(), "a copy");
  temporary.Write(fs::relative(living / "work" / "fin.records", temporary.path()).string(), "a copy");
  const auto next = Dry("--database FINANCE", "next.out");
  EXPECT_EQ(next.status, 0) << next.out;
  EXPECT_FALSE(fs::exists(left));
  EXPECT_TRUE(fs::exists(living / "work" / "fin.records"));
}

TEST_F(DryRun, WithoutDatabasesOrWithRestoreIsAUsageError) {
  for (const char* args : {"", "--all --restore FINANCE"}) {
    const auto run = Dry(args, "usage.out");
    EXPECT_EQ(run.status, 1) << args;
    EXPECT_NE(run.out.find("Usage: filomar-convert"), std::string::npos) << run.out;
  }
}

// --help opens with one synopsis line per form of the command; --version names the release.
// Neither signs on nor touches the site.
TEST(CommandLine, HelpStartsWithTheSynopsisOfEachFormAndVersionNamesTheRelease) {
  testing_support::TempDir outside;
  const auto help = testing_support::RunShell("'" FILOMAR_CONVERT_EXE "' --help", outside.path() / "help.out");
  EXPECT_EQ(help.status, 0);
  std::istringstream lines(help.out);
  std::vector<std::string> synopsis;  // the forms' lines up to the first blank line
  for (std::string line; std::getline(lines, line) && !line.empty();)
    if (line.rfind("Usage: filomar-convert ", 0) == 0) synopsis.push_back(line);
  ASSERT_EQ(help.out.rfind("Usage: filomar-convert ", 0), 0u) << help.out;
  ASSERT_EQ(synopsis.size(), 4u) << help.out;
  EXPECT_NE(synopsis[1].find("--restore NAME"), std::string::npos);
  EXPECT_NE(synopsis[2].find("--dry-run"), std::string::npos);
  for (const char* program : {FILOMAR_CONVERT_EXE, FILOMAR_SITE_EXE}) {
    const auto version = testing_support::RunShell(std::string("'") + program + "' --version", outside.path() / "version.out");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, fs::path(program).filename().string() + " " + filomar::kVersion + "\n");
  }
}

// A run that shows windows is handed, arguments and environment unchanged, to the windows
// program beside filomar-convert (a stand-in here, which prints what it got); without one the
// program says so and ends with status 1 instead of falling back to another front end.
TEST(CommandLine, AWindowedRunIsHandedToTheWindowsProgramBesideIt) {
  testing_support::TempDir dir;
  fs::copy_file(FILOMAR_CONVERT_EXE, dir.path() / "filomar-convert");
  const std::string run = "QT_QPA_PLATFORM=offscreen MARK=kept '" + (dir.path() / "filomar-convert").string() +
                          "' --log 'a b.log' --no-backup";
  const auto missing = testing_support::RunShell(run, dir.path() / "missing.out");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("the windows cannot be shown: " + (dir.path() / "filomar-convert-windows").string()),
            std::string::npos) << missing.out;

  const fs::path windows = dir.path() / "filomar-convert-windows";
  std::ofstream(windows) << "#!/bin/sh\nprintf '%s|' \"$@\" \"$MARK\"\nexit 7\n";
  fs::permissions(windows, fs::perms::owner_all);
  const auto handed = testing_support::RunShell(run, dir.path() / "handed.out");
  EXPECT_EQ(handed.status, 7);
  EXPECT_EQ(handed.out, "--log|a b.log|--no-backup|kept|");
}

}  // namespace
