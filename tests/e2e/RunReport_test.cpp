// The JSON run report of the built program on a demo site: a dry run's and then the real
// conversion's, checked against the record files as filomar-site dumps them before and after.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "e2e/SiteRun.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Dump = std::map<std::string, std::string>;

json ReadReport(const fs::path& path) { return json::parse(testing_support::ReadFile(path)); }

std::vector<std::string> Names(const json& report) {
  std::vector<std::string> names;
  for (const json& database : report["databases"]) names.push_back(database["name"].get<std::string>() + ": " +
                                                                     database["status"].get<std::string>());
  return names;
}

long long ChangedRecords(const Dump& before, const Dump& after) {
  long long changed = 0;
  for (const auto& [key, record] : before) changed += after.count(key) == 0 || after.at(key) != record;
  for (const auto& [key, record] : after) changed += before.count(key) == 0;
  return changed;
}

// The records read and changed of `code` over every step of a conversion's database.
std::pair<long long, long long> ScannedRecords(const json& database, const std::string& code) {
  std::pair<long long, long long> counts;
  for (const json& step : database["steps"])
    for (const json& file : step["files"])
      if (file["file"] == code) counts.first += file["read"].get<long long>(), counts.second += file["changed"].get<long long>();
  return counts;
}

TEST(RunReport, OfADryRunAndOfTheConversionGiveEachDatabaseWithItsStatusAndChangedRecords) {
  const testing_support::DemoSite site;
  const testing_support::SiteEnvironment environment{site};
  const testing_support::TempDir outside;
  std::map<std::string, Dump> before;
  for (const e2e::Database& db : e2e::kConvertedDatabases)
    for (const std::string& code : e2e::kDatabaseFiles) before[db.name + code] = e2e::Records(site, db.dataDir, db.prefix, code);

  const auto dry = e2e::RunConvert(site, "FILOMAR", "--user FILOMAR --dry-run --all --database NOPE --report " +
                                                        testing_support::ShellWord((outside.path() / "dry.json").string()));
  EXPECT_EQ(dry.status, 1) << dry.out;  // NOPE is not listed
  const json dryReport = ReadReport(outside.path() / "dry.json");
  EXPECT_EQ(dryReport["kind"], "dry run");
  EXPECT_EQ(dryReport["site"], fs::canonical(site.dir()).string());
  EXPECT_EQ(Names(dryReport), (std::vector<std::string>{"NOPE: would not convert cleanly", "STANDARD: would convert cleanly",
                                                         "FINANCE: would convert cleanly", "PERSONNEL: would convert cleanly"}));

  const auto run = e2e::RunConvert(site, "FILOMAR", "--user FILOMAR --all --report " +
                                                        testing_support::ShellWord((outside.path() / "run.json").string()));
  ASSERT_EQ(run.status, 0) << run.out;
  const json runReport = ReadReport(outside.path() / "run.json");
  EXPECT_EQ(runReport["kind"], "conversion");
  EXPECT_TRUE(runReport["stopped"].is_null());
  EXPECT_EQ(Names(runReport), (std::vector<std::string>{"STANDARD: converted", "FINANCE: converted", "PERSONNEL: converted"}));
  for (std::size_t i = 0; i < e2e::kConvertedDatabases.size(); ++i) {
    const e2e::Database& db = e2e::kConvertedDatabases[i];
    const json& converted = runReport["databases"][i];
    EXPECT_TRUE(fs::is_regular_file(fs::path(converted["backupFolder"].get<std::string>()) / "MANIFEST")) << db.name;
    std::map<std::string, long long> wouldChange;
    for (const json& file : dryReport["databases"][i + 1]["dryRun"]["files"]) wouldChange[file["file"]] = file["changed"];
    for (const std::string& code : e2e::kDatabaseFiles) {
      const Dump& old = before[db.name + code];
      const long long changed = ChangedRecords(old, e2e::Records(site, db.dataDir, db.prefix, code));
      EXPECT_EQ(wouldChange[code], changed) << db.name << " " << code;
      // A record scan reads and rewrites every record of its file, some unchanged.
      if (code == "SACT" || code == "VERS" || code == "COMP") {
        const auto [read, rewritten] = ScannedRecords(converted, code);
        EXPECT_EQ(read, static_cast<long long>(old.size())) << db.name << " " << code;
        EXPECT_EQ(rewritten, read) << db.name << " " << code;
        EXPECT_GE(rewritten, changed) << db.name << " " << code;
      }
    }
  }

  // Nothing is left to convert; a report that cannot be written still fails the run.
  fs::create_directory(outside.path() / "taken");
  const auto refused = e2e::RunConvert(site, "FILOMAR", "--user FILOMAR --all --report " +
                                                            testing_support::ShellWord((outside.path() / "taken").string()));
  EXPECT_EQ(refused.status, 1) << refused.out;
  EXPECT_NE(refused.out.find("the run report could not be written: " + (outside.path() / "taken").string() + ": "),
            std::string::npos) << refused.out;
}

}  // namespace
