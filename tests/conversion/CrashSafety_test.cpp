// The built filomar-convert killed (as by kill -9) at store writes, commits and letter renames
// spread over a whole run of a demo site: after each kill every store is sound, each database
// is exactly at 4.0 or exactly at 5.0 (records and letter files), and a following run leaves
// the site as a run that was never interrupted does.
//
// The site lives in /dev/shm when there is one: the runs are bound by the server's syncs.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/DemoSite.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testing_support::DemoSite;
using testing_support::ProgramRun;
using testing_support::ReadFile;
using testing_support::RunShell;
using testing_support::RunSiteTool;
using testing_support::ScopedEnv;

namespace {

struct Database { const char* directory; const char* prefix; };
constexpr Database kDatabases[] = {{"data", "std"}, {"finance", "fin"}, {"personnel", "per"}};
constexpr const char* kConvertedFiles[] = {"CONF", "CODE", "SACT", "VERS", "COMP"};

// Every commit and rename, and the first and last write of each file in turn: every step of
// every database is hit.
std::vector<std::size_t> ChosenPoints(const std::vector<std::pair<std::string, std::string>>& points) {
  std::set<std::size_t> chosen;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const bool write = points[i].first == "write";
    const bool firstOfRun = i == 0 || points[i - 1] != points[i];
    const bool lastOfRun = i + 1 == points.size() || points[i + 1] != points[i];
    if (!write || firstOfRun || lastOfRun) chosen.insert(i + 1);
  }
  return {chosen.begin(), chosen.end()};
}

class CrashSafety : public ::testing::Test {
 protected:
  ScopedEnv tmp{"TMPDIR", fs::is_directory("/dev/shm") ? std::optional<std::string>("/dev/shm") : std::nullopt};
  DemoSite site;
  testing_support::SiteEnvironment environment{site};
  fs::path pristine = site.dir().string() + ".pristine";

  void SetUp() override { Shell("cp -a '" + site.dir().string() + "' '" + pristine.string() + "'"); }
  void TearDown() override { fs::remove_all(pristine); }

  static void Shell(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

  void PutBackPristineSite() {
    fs::remove_all(site.dir());
    Shell("cp -a '" + pristine.string() + "' '" + site.dir().string() + "'");
  }

  ProgramRun Convert(const std::string& environmentPrefix = "", const std::string& args = "--all") {
    return RunShell(environmentPrefix + " sh -c \"echo FILOMAR | '" FILOMAR_CONVERT_EXE
                                        "' --batch --user FILOMAR --password-stdin " + args + "\"",
                    site.dir().parent_path() / (site.dir().filename().string() + ".out"));
  }

  // The database's record files as the site tool dumps them, then its letter files by name
  // and content. Dumping opens the store, which finishes the file changes of a committed
  // conversion: the letters are read after it.
  std::string State(const Database& db) {
    std::string state;
    for (const char* code : kConvertedFiles) {
      const auto dump = RunSiteTool({"dump", site.dir().string(), db.directory, db.prefix, code});
      state += std::string(code) + " " + std::to_string(dump.exitCode) + "\n" + dump.out;
    }
    for (const auto& [name, content] : testing_support::LetterFiles(site.DataDir(db.directory))) state += name + ": " + content + "\n";
    return state;
  }

  std::vector<std::string> SiteState() {
    std::vector<std::string> states;
    for (const Database& db : kDatabases) states.push_back(State(db));
    return states;
  }

  static std::string IntegrityCheck(const fs::path& store) {
    sqlite3* db = nullptr;
    sqlite3_stmt* check = nullptr;
    std::string result = "cannot check";
    if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW)
      result = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    sqlite3_finalize(check);
    sqlite3_close(db);
    return result;
  }

  // Every fault point of a whole run: "<number> <kind> <what>" lines.
  std::vector<std::pair<std::string, std::string>> FaultPoints(const std::string& args = "--all") {
    const fs::path list = site.dir().parent_path() / (site.dir().filename().string() + ".points");
    const ProgramRun run = Convert("FILOMAR_RECLIB_FAULT_LIST='" + list.string() + "'", args);
    EXPECT_EQ(run.status, 0) << run.out;
    std::vector<std::pair<std::string, std::string>> points;
    std::istringstream lines(ReadFile(list));
    long long number;
    std::string kind, what;
    while (lines >> number >> kind >> what) points.emplace_back(kind, what);
    fs::remove(list);
    return points;
  }

  // Kills a run with `args` on the pristine site at each chosen point of `points`, and checks
  // what each left with `check`.
  void KillAtEach(const std::vector<std::pair<std::string, std::string>>& points, const std::string& args,
                  const std::function<void()>& check) {
    const std::vector<std::size_t> chosen = ChosenPoints(points);
    std::cout << "kill points: " << chosen.size() << " of " << points.size() << "\n";
    for (const std::size_t point : chosen) {
      SCOPED_TRACE("killed at point " + std::to_string(point) + " (" + points[point - 1].first + " " +
                   points[point - 1].second + ")");
      PutBackPristineSite();
      const ProgramRun killed = Convert("FILOMAR_RECLIB_FAULT_AT=" + std::to_string(point), args);
      ASSERT_NE(killed.status, 0) << killed.out;
      check();
    }
  }
};

TEST_F(CrashSafety, AKilledRunLeavesEachDatabaseAtFourOrFiveAndTheNextRunFinishes) {
  const std::vector<std::string> before = SiteState();
  const auto points = FaultPoints();
  const std::vector<std::string> after = SiteState();
  ASSERT_FALSE(points.empty());
  for (std::size_t i = 0; i < std::size(kDatabases); ++i) ASSERT_NE(before[i], after[i]) << kDatabases[i].prefix;

  ASSERT_GE(ChosenPoints(points).size(), 50u);
  KillAtEach(points, "--all", [&] {
    for (const Database& db : kDatabases)
      EXPECT_EQ(IntegrityCheck(site.DataDir(db.directory) / (std::string(db.prefix) + ".records")), "ok") << db.prefix;
    const std::vector<std::string> interrupted = SiteState();
    for (std::size_t i = 0; i < std::size(kDatabases); ++i)
      EXPECT_TRUE(interrupted[i] == before[i] || interrupted[i] == after[i]) << kDatabases[i].prefix;
    const ProgramRun resumed = Convert();
    EXPECT_EQ(resumed.status, 0) << resumed.out;
    EXPECT_EQ(SiteState(), after);
  });
}

// A restore killed at each of its writes, commits and renames (the letters written beside,
// the store's content, the journal, the renames) leaves FINANCE wholly converted or wholly put
// back, letters included; the next restore finishes and leaves no file of its own behind.
TEST_F(CrashSafety, AKilledRestoreLeavesTheDatabaseAsItWasOrRestored) {
  const std::string before = State(kDatabases[1]);
  ASSERT_EQ(Convert().status, 0);
  const std::string converted = State(kDatabases[1]);
  Shell("rm -rf '" + pristine.string() + "' && cp -a '" + site.dir().string() + "' '" + pristine.string() + "'");
  const auto points = FaultPoints("--restore FINANCE");
  ASSERT_EQ(State(kDatabases[1]), before);
  std::set<std::string> kinds;
  for (const auto& point : points) kinds.insert(point.first);
  ASSERT_EQ(kinds, (std::set<std::string>{"commit", "rename", "write"}));

  KillAtEach(points, "--restore FINANCE", [&] {
    EXPECT_EQ(IntegrityCheck(site.DataDir("finance") / "fin.records"), "ok");
    const std::string interrupted = State(kDatabases[1]);
    EXPECT_TRUE(interrupted == before || interrupted == converted);
    // The next start, whatever it does, removes what the killed restore left beside the letters.
    const ProgramRun next = Convert("", "--database NOSUCH");
    EXPECT_EQ(next.status, 0) << next.out;
    for (const auto& entry : fs::directory_iterator(site.DataDir("finance")))
      EXPECT_NE(entry.path().filename().string().rfind(".restore-", 0), 0u) << entry.path();
    EXPECT_EQ(State(kDatabases[1]), interrupted);
    const ProgramRun again = Convert("", "--restore FINANCE");
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_EQ(State(kDatabases[1]), before);
  });
}

}  // namespace
