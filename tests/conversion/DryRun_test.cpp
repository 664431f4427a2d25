// The dry run of one database on a demo site with steps of the test's own: the fields of the
// first changed record by name, the statements it would send, a database that would not
// convert cleanly, and the site's store left at 4.0 throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "common/FrontEnd.h"
#include "conversion/DryRun.h"
#include "conversion/FieldChanges.h"
#include "conversion/steps/RecordScan.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "report/TextReport.h"
#include "shared/Catalogue.h"
#include "support/DemoSite.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"

namespace {

using namespace filomar;

// Marks CONF "C00" converted and sends one statement, as the real steps do.
void StampVersion(StepContext& ctx) {
  testing_support::SetVersionCode("500A");
  std::vector<ado::Error> errors;
  ctx.server.Create()->Execute("UPDATE fin_conf SET v = 5", 0, errors);
}

StepTable Steps(std::function<void(StepContext&)> last) {
  return {{ForEngine::Both, false, "- one", " one", {{"StampVersion", StampVersion}, {"Last", std::move(last)}}}};
}

class DryRunOfOneDatabase : public ::testing::Test {
 protected:
  testing_support::DemoSite site{{.records = 3, .dataRoot = {}}};
  testing_support::SiteEnvironment environment{site};
  ui::ScriptedUi screen;
  testing_support::LibraryConnection library;
  ado::ListingProviderFactory server;

  void SetUp() override { SetFrontEnd(screen); }

  std::string SiteVersion() {
    vb_io_open(DB_FILE, "");
    const auto entry = ReadCatalogueEntry("FINANCE");
    vb_io_close(DB_FILE);
    std::optional<std::string> version;
    if (entry && SelectDatabase(*entry)) version = ReadVersionCode();
    return version.value_or("<unread>");
  }
};

TEST_F(DryRunOfOneDatabase, NamesTheChangedFieldsAndTheStatementsAndLeavesTheSiteAt40) {
  const DryRunReport report = DryRunDatabase("FINANCE", Steps([](StepContext&) {}), server);
  ASSERT_TRUE(report.clean) << report.why;
  std::ostringstream out;
  WriteDryRunReport(report, out);
  EXPECT_NE(out.str().find("  file CONF: 5 records read, 1 would change\n"
                           "    first change, key \"C00\":\n"
                           "      CONF_VersionText: \"400A\" -> \"500A\"\n"),
            std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("  statement: UPDATE fin_conf SET v = 5\nFINANCE would convert cleanly\n"), std::string::npos)
      << out.str();
  EXPECT_EQ(SiteVersion().substr(0, 4), "400A");
}

struct Trouble {
  const char* name;
  std::function<void(StepContext&)> step;
  const char* why;
};

TEST_F(DryRunOfOneDatabase, AStepThatFailsOrShowsAMessageMeansItWouldNotConvertCleanly) {
  const std::vector<Trouble> troubles = {
      {"message", [](StepContext&) { FrontEnd().MsgBox("Error 75", 0, "Rename Letters"); }, "the steps showed 1 message(s)"},
      {"exception", [](StepContext&) { throw std::runtime_error("disk full"); }, "step Last stopped: disk full"},
      {"not read back", [](StepContext&) { testing_support::SetVersionCode("4OOA"); },
       "the converted copy reads version \"4OOA\", not 500A"},
  };
  for (const Trouble& trouble : troubles) {
    const DryRunReport report = DryRunDatabase("FINANCE", Steps(trouble.step), server);
    EXPECT_FALSE(report.clean) << trouble.name;
    EXPECT_EQ(report.why, trouble.why) << trouble.name;
    std::ostringstream out;
    WriteDryRunReport(report, out);
    EXPECT_NE(out.str().find(std::string("FINANCE would not convert cleanly: ") + trouble.why + "\n"), std::string::npos)
        << out.str();
  }
  EXPECT_EQ(DryRunDatabase("LEGAL", Steps([](StepContext&) {}), server).why, "it is not at release 4.0 (version \"500A\")");
  EXPECT_EQ(SiteVersion().substr(0, 4), "400A");
}

// The catalogue check over statements in the order they would be sent: what an earlier one
// creates, adds or drops counts for the later ones; comments, literals and CREATE OR REPLACE
// are no objects. Only the catalogue is read: nothing is sent.
TEST(ServerCatalogue, SaysWhichStatementsWouldFailAndWhy) {
  ado::RecordingProviderFactory server;
  server.AddTable("fin_file", {"file_no", "FILE_UCODE1"});
  ServerCatalogueCheck check(server, false);
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"\nALTER TABLE fin_file ADD file_ucode1 char(10);", {"the column fin_file.file_ucode1 already exists"}},
      {"\nALTER TABLE fin_file ADD file_ucode2 char(10), file_ucode3 char(10)", {}},
      {"ALTER TABLE FIN_FILE ADD (file_ucode3 RAW(10))", {"the column FIN_FILE.file_ucode3 already exists"}},
      {"\nALTER TABLE fin_docs ADD doc_ucode1 char(10);", {"no table fin_docs"}},
      {"CREATE TABLE fin_rcat (rcat_id char(10) NOT NULL PRIMARY KEY, rcat_name char(30), PRIMARY KEY (rcat_id))", {}},
      {"CREATE UNIQUE INDEX fin_rcat_name ON fin_rcat (rcat_name, rcat_x)", {"no column fin_rcat.rcat_x"}},
      {"CREATE TABLE fin_file (file_no char(20))", {"the table fin_file already exists"}},
      {"DROP TABLE fin_file", {}},
      {"CREATE TABLE fin_file (file_no char(20))", {}},
      {"CREATE SEQUENCE fin_rcat START WITH 1", {"the name fin_rcat is taken by a table or view"}},
      {"CREATE OR REPLACE PROCEDURE p AS BEGIN NULL; END;", {}},
      {"-- ALTER TABLE fin_x ADD y int\nINSERT INTO t VALUES ('CREATE TABLE fin_file (a int)') /* DROP TABLE t */", {}},
  };
  for (const auto& [statement, reasons] : cases) EXPECT_EQ(check.WouldFail(statement), reasons) << statement;
  EXPECT_EQ(check.Failure(), "");
  EXPECT_TRUE(server.Statements().empty());

  // In the report: each reason under its statement, and the count in the verdict.
  ado::RecordingProviderFactory oracle;
  oracle.AddTable("FIN_FILE", {"FILE_UCODE1"});
  ServerCatalogueCheck upperCase(oracle, true);
  DryRunReport report;
  report.database = "FINANCE", report.clean = true;
  report.statements = {"ALTER TABLE fin_file ADD (file_ucode1 RAW(10))", "ALTER TABLE fin_docs ADD (doc_x RAW(1))",
                       "UPDATE fin_file SET file_no = 1"};
  CheckStatementsOnServer(report, upperCase);
  std::ostringstream out;
  WriteDryRunReport(report, out);
  EXPECT_EQ(out.str(), "Dry run of FINANCE\n"
                       "  statement: ALTER TABLE fin_file ADD (file_ucode1 RAW(10))\n"
                       "    would fail: the column fin_file.file_ucode1 already exists\n"
                       "  statement: ALTER TABLE fin_docs ADD (doc_x RAW(1))\n"
                       "    would fail: no table fin_docs\n"
                       "  statement: UPDATE fin_file SET file_no = 1\n"
                       "FINANCE would convert with 2 server statements failing\n");
  EXPECT_FALSE(ConvertsCleanly(report));
  EXPECT_EQ(oracle.Calls()[1].text, "FIN_FILE");  // asked in upper case

  // A server that cannot be reached: nothing is claimed about the statements, and the run is not clean.
  ado::RecordingProviderFactory away;
  away.FailOpen({{ado::kConnectionFailed, "no route to host", "Microsoft OLE DB Provider for ODBC Drivers", "08001", 0}});
  ServerCatalogueCheck unreachable(away, false);
  DryRunReport blind = report;
  blind.wouldFail.clear();
  CheckStatementsOnServer(blind, unreachable);
  EXPECT_TRUE(blind.wouldFail.empty());
  EXPECT_EQ(blind.why, "the server's catalogue could not be asked: The server could not be reached: no route to host");
}

// Every other SACT record changed in a file of more than two of the ranges the copies are
// compared in (4,096 keys): no record is lost or counted twice where one range ends.
TEST(DryRunOfALargeFile, CountsEveryRecordOnceAcrossTheComparedRanges) {
  constexpr long kRecords = 2 * 4096 + 5;
  testing_support::DemoSite site{{.records = kRecords, .dataRoot = {}}};
  testing_support::SiteEnvironment environment{site};
  ui::ScriptedUi screen;
  SetFrontEnd(screen);
  testing_support::LibraryConnection library;
  ado::ListingProviderFactory server;
  const auto everyOther = [](StepContext& ctx) {
    long seen = 0;
    steps::RewriteEveryRecord({SACT_FILE, "EveryOther", [] { std::memset(Block(SACT_FILE).record, 0, 64); },
                               [&seen] { if (seen++ % 2 == 0) Block(SACT_FILE).record[1000] ^= 0x7F; }},
                              ctx.progress);
  };
  const DryRunReport report = DryRunDatabase("FINANCE", Steps(everyOther), server);
  ASSERT_TRUE(report.clean) << report.why;
  const auto sact = std::find_if(report.files.begin(), report.files.end(), [](const DryRunFile& f) { return f.code == "SACT"; });
  ASSERT_NE(sact, report.files.end());
  EXPECT_EQ(sact->read, kRecords);
  EXPECT_EQ(sact->changed, (kRecords + 1) / 2);
  EXPECT_EQ(sact->added + sact->removed, 0);
}

TEST(ChangedFields, HidesSecretsAndJoinsNearbyUnnamedBytes) {
  InitFieldTable();
  std::string before(reclib::kRecordSize, ' '), after = before;
  after.replace(60, 6, "secret");                             // UID_Password
  after.replace(300, 1, "x");                                 // two bytes 15 apart: one range
  after.replace(315, 1, "y");
  after.replace(400, 1, "z");                                 // far from them: a range of its own
  const std::vector<FieldChange> changes = ChangedFields(UID_FILE, before.substr(0, 30), before, after);
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[0].field, "UID_Password");
  EXPECT_EQ(changes[0].after, "<hidden>");
  EXPECT_EQ(changes[1].field, "bytes 300-315");
  EXPECT_EQ(changes[1].after, "x              y");
  EXPECT_EQ(changes[2].field, "bytes 400-400");
}

}  // namespace
