// The run report as JSON: every field of a conversion's and a dry run's database where the
// README says, and the report file replaced whole or not at all.
#include "report/JsonReport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace filomar::report {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

RunReport SampleReport() {
  RunReport report;
  report.site = "/srv/filomar";
  report.logFile = "/srv/filomar/convert5.log";
  report.started = std::chrono::system_clock::from_time_t(1796680452);  // 2026-12-07T21:54:12Z
  report.ended = report.started + std::chrono::seconds(75);
  report.stopped = "cancelled";
  DatabaseReport& finance = report.Database("FINANCE");
  finance.status = DatabaseStatus::kConverted;
  finance.backupFolder = "/srv/filomar/backups/FINANCE-20261207-215412";
  finance.steps.push_back({"Updating Sact table", 1.23456, {{"SACT", 50, 49}}, {{"ALTER TABLE t ADD c int", "Error #1\r"}}});
  DatabaseReport& legal = report.Database("L\xC9GAL");  // Windows-1252, as the catalogue holds it
  legal.reason = "the run stopped: cancelled";
  return report;
}

TEST(JsonReport, GivesEveryFieldOfTheRunAndItsDatabases) {
  const json document = json::parse(JsonText(SampleReport()));
  EXPECT_EQ(document["version"], filomar::kVersion);
  EXPECT_EQ(document["site"], "/srv/filomar");
  EXPECT_EQ(document["kind"], "conversion");
  EXPECT_EQ(document["logFile"], "/srv/filomar/convert5.log");
  EXPECT_EQ(document["started"], "2026-12-07T21:54:12Z");
  EXPECT_EQ(document["ended"], "2026-12-07T21:55:27Z");
  EXPECT_EQ(document["stopped"], "cancelled");
  ASSERT_EQ(document["databases"].size(), 2u);
  const json& finance = document["databases"][0];
  EXPECT_EQ(finance["name"], "FINANCE");
  EXPECT_EQ(finance["status"], "converted");
  EXPECT_TRUE(finance["reason"].is_null());
  EXPECT_EQ(finance["backupFolder"], "/srv/filomar/backups/FINANCE-20261207-215412");
  const json& step = finance["steps"][0];
  EXPECT_EQ(step["name"], "Updating Sact table");
  EXPECT_DOUBLE_EQ(step["seconds"].get<double>(), 1.235);
  EXPECT_EQ(step["files"], json::parse(R"([{"file": "SACT", "read": 50, "changed": 49}])"));
  EXPECT_EQ(step["serverErrors"], json::parse(R"([{"statement": "ALTER TABLE t ADD c int", "error": "Error #1\r"}])"));
  EXPECT_FALSE(finance.contains("dryRun"));
  const json& legal = document["databases"][1];
  EXPECT_EQ(legal["name"], "L\xC3\x89GAL");
  EXPECT_EQ(legal["status"], "not reached");
  EXPECT_EQ(legal["reason"], "the run stopped: cancelled");
  EXPECT_TRUE(legal["backupFolder"].is_null());
}

TEST(JsonReport, GivesADryRunsComparisonAndStatus) {
  DryRunReport dryRun;
  dryRun.database = "FINANCE";
  dryRun.clean = true;
  DryRunFile conf{"CONF", 5, 7, 2, 0, "C00", FirstChange::kChanged, {{"CONF_VersionText", "400A", "500A"}}};
  DryRunFile unchanged;
  unchanged.code = "SACT";
  unchanged.read = 3;
  dryRun.files = {conf, unchanged};
  dryRun.renames = {{"LetterA", "Letter01"}, {"Letter01", ""}};
  dryRun.statements = {"CREATE TABLE a (b int)", "ALTER TABLE fin_docs ADD c int"};
  dryRun.wouldFail[1] = {"no table fin_docs"};
  RunReport report;
  report.kind = RunKind::kDryRun;
  report.databases.push_back(DryRunDatabaseReport(dryRun));
  dryRun.clean = false;
  dryRun.why = "the steps showed 1 message(s)";
  report.databases.push_back(DryRunDatabaseReport(dryRun));

  const json document = json::parse(JsonText(report));
  EXPECT_EQ(document["kind"], "dry run");
  EXPECT_TRUE(document["logFile"].is_null());
  const json& failing = document["databases"][0];
  EXPECT_EQ(failing["status"], "would convert with server statements failing");
  EXPECT_EQ(failing["failingStatements"], 1);
  EXPECT_EQ(failing["dryRun"]["files"][0], json::parse(R"({"file": "CONF", "read": 5, "changed": 7, "added": 2,
      "removed": 0, "firstChange": {"key": "C00", "record": "changed",
      "fields": [{"field": "CONF_VersionText", "before": "400A", "after": "500A"}]}})"));
  EXPECT_TRUE(failing["dryRun"]["files"][1]["firstChange"].is_null());
  EXPECT_EQ(failing["dryRun"]["letterRenames"],
            json::parse(R"([{"from": "LetterA", "to": "Letter01"}, {"from": "Letter01", "to": null}])"));
  EXPECT_EQ(failing["dryRun"]["statements"], json::parse(R"j([{"statement": "CREATE TABLE a (b int)", "wouldFail": []},
      {"statement": "ALTER TABLE fin_docs ADD c int", "wouldFail": ["no table fin_docs"]}])j"));
  EXPECT_EQ(document["databases"][1]["status"], "would not convert cleanly");
  EXPECT_EQ(document["databases"][1]["reason"], "the steps showed 1 message(s)");
}

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(ReportFile, IsReplacedWholeOrNotAtAll) {
  const testing_support::TempDir folder;
  const std::string path = (folder.path() / "run.json").string();
  ASSERT_TRUE(WriteJsonReport(SampleReport(), path).ok());
  const std::string first = JsonText(SampleReport());
  EXPECT_EQ(testing_support::ReadFile(path), first);

  RunReport longer = SampleReport();
  longer.stopped = std::string(8192, 'x');
  Status failed;
  {
    const testing_support::FileSizeLimit limit(4096);
    failed = WriteJsonReport(longer, path);
  }
  EXPECT_EQ(failed.kind(), Status::Kind::kIoError);
  EXPECT_EQ(failed.text().rfind(path + ": ", 0), 0u) << failed.text();
  EXPECT_EQ(testing_support::ReadFile(path), first);  // the old report, whole
  EXPECT_EQ(EntriesIn(folder.path()), 1u);            // no temporary file left
}

TEST(ReportFile, RefusesToReplaceWhatIsNotARegularFile) {
  const testing_support::TempDir folder;
  fs::create_directory(folder.path() / "report");
  fs::create_symlink(folder.path() / "elsewhere.json", folder.path() / "link.json");
  for (const char* name : {"report", "link.json"}) {
    const Status refused = WriteJsonReport(SampleReport(), (folder.path() / name).string());
    EXPECT_EQ(refused.kind(), Status::Kind::kInvalid) << name;
    EXPECT_NE(refused.text().find("not a regular file"), std::string::npos) << refused.text();
  }
  EXPECT_TRUE(fs::is_directory(folder.path() / "report"));
  EXPECT_TRUE(fs::is_empty(folder.path() / "report"));
  EXPECT_TRUE(fs::is_symlink(folder.path() / "link.json"));
  EXPECT_FALSE(fs::exists(folder.path() / "elsewhere.json"));
  EXPECT_EQ(EntriesIn(folder.path()), 2u);
  EXPECT_EQ(ReportPathBesideLog("/srv/site/convert5.log"), "/srv/site/convert5.json");
}

}  // namespace
}  // namespace filomar::report
