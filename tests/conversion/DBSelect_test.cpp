// The main window and the run over the selected databases, on records written through the
// record layer, with recorded step routines and a recording database server; and the log file:
// time form, header, and a path that cannot be written.
#include "conversion/DBSelect.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ConversionSite.h"
#include "conversion/ConversionLog.h"
#include "support/Records.h"
#include "recio/Vb_io.h"
#include "shared/ProgramEnd.h"
#include "support/Screen.h"
#include "support/TempDir.h"

using namespace filomar;
using conversion_test::ConversionSite;
using testing::ElementsAre;
using testing::HasSubstr;
using testing_support::Box;
using testing_support::BoxAt;
using testing_support::Texts;
using DBSelectRun = ConversionSite;

namespace {

constexpr const char* kHeader =
    "Filomar 4.0 to Filomar 5.0 Conversion  \r\n"
    "\r\n"
    "Started at:     04-Dec-26 16:05\r\n"
    "\r\n";

TEST_F(DBSelectRun, ListsDatabasesAt400WithStandardFirstAndSelected) {
  AddDatabase("ARCHIVE", "500A");
  AddDatabase("LEGAL", "400a ");
  AddDatabase("NOCONF", "");
  AddDatabase("SALES", "400A");
  AddDatabase("STANDARD", "400A");  // scanned last: the catalogue is in key order
  ShowWindow();

  EXPECT_EQ(ListState(), "STANDARD* LEGAL SALES");
  EXPECT_EQ(window.txtLogFile, home.str() + "/convert5.log");
  EXPECT_TRUE(window.cmdStartEnabled);
  EXPECT_TRUE(screen.Shown().empty());

  window.DBList_Click(0);  // STANDARD cannot be deselected while unconverted
  window.DBList_Click(2);
  EXPECT_EQ(ListState(), "STANDARD* LEGAL SALES*");
  window.DBList_Click(2);
  EXPECT_EQ(ListState(), "STANDARD* LEGAL SALES");
  EXPECT_EQ(conversion_test::CurrentDatabaseOfLibrary(), "data/std");
  // Closing the window while idle terminates and ends the program.
  EXPECT_THROW(window.Form_FrameClose(), ProgramEnd);
  EXPECT_EQ(ConnHandle, -1);
}

TEST_F(DBSelectRun, NothingLeftToConvertDisablesStart) {
  AddDatabase("STANDARD", "500A");
  ShowWindow();
  EXPECT_FALSE(window.cmdStartEnabled);
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(BoxAt(screen, 0), Box("All Filomar 4.0 Databases have been converted to Filomar 5.0",
                                  "Filomar 5.0 Conversion Utility", ui::mb::Exclamation));
  // With nothing listed, Cancel is not a cancel request: it ends the program.
  EXPECT_THROW(window.cmdExit_Click(), ProgramEnd);
  EXPECT_EQ(ConnHandle, -1);
}

TEST_F(DBSelectRun, StandardOnSqlServerShowsEachStepAndCompletes) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.cmdStart_Click();

  // The log text itself is compared line by line by the whole-site conversion.
  EXPECT_THAT(painter.captions,
              ElementsAre("", " Creating new tables ", " Updating Conf table", " Updating Letters",
                          " Updating Codes", " Updating Sact table", " Converting Filters", " Updating VERS table",
                          " Updating COMP table", " Finished "));
  EXPECT_EQ(painter.closes, 1);
  EXPECT_EQ(ListState(), "STANDARD");
  EXPECT_TRUE(window.cmdStartEnabled);
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(BoxAt(screen, 0), Box("Conversion of Database has completed ", "Filomar Conversion Utility ", ui::mb::OKOnly));
  // The server was tried once, before the database, and nothing else was sent.
  EXPECT_EQ(server.Opens().size(), 1u);
  EXPECT_TRUE(server.Statements().empty());
}

// A letter name the MANIFEST cannot hold is found before the database's first step: no step
// runs or is logged, no statement (not even the server file's copy) reaches the server, and
// nothing of the backup is left.
TEST_F(DBSelectRun, ABackupThatCannotBeCompletedStopsTheDatabaseBeforeAnyServerStatement) {
  AddDatabase("STANDARD", "400A");
  std::ofstream(home.path() / "data" / "Letter\nBroken") << "x";
  window.backupRoot = home.str() + "/backups";
  ShowWindow();
  window.cmdStart_Click();
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_TRUE(server.Statements().empty());
  EXPECT_THAT(Texts(screen).front(), HasSubstr("The STANDARD Database was not converted: its backup could not be written ("));
  EXPECT_THAT(Texts(screen).front(), HasSubstr("cannot be listed in the manifest"));
  EXPECT_EQ(LogText(), kHeader);
  EXPECT_FALSE(std::filesystem::exists(home.path() / "backups"));
}

TEST_F(DBSelectRun, ADatabaseConvertedEarlierIsReportedAndDeselected) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  steps.stampConverted = true;
  window.cmdStart_Click();
  window.ActivateIfDue();  // the progress window closed: STANDARD is selected again
  ASSERT_EQ(ListState(), "STANDARD*");
  steps.calls.clear();

  window.cmdStart_Click();
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_EQ(LogText(), kHeader);
  ASSERT_EQ(screen.Shown().size(), 3u);
  EXPECT_EQ(BoxAt(screen, 1),
            Box(" The STANDARD Database has been converted ", "Filomar Conversion Utility ", ui::mb::Information));
  EXPECT_EQ(window.Report().databases.at(0).status, report::DatabaseStatus::kAlreadyConverted);
  window.DBList_Click(0);  // clicking a converted database deselects it, STANDARD too
  EXPECT_EQ(ListState(), "STANDARD");
  EXPECT_FALSE(window.convertdb("GONE"));  // a database missing from the catalogue: skipped silently
  EXPECT_EQ(screen.Shown().size(), 3u);
}

TEST_F(DBSelectRun, ALogThatCannotBeOpenedConvertsNothingAndKeepsTheWindowUsable) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.txtLogFile_Change(home.str() + "/no-such-folder/convert5.log");
  window.cmdStart_Click();
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_TRUE(server.Opens().empty());
  EXPECT_THAT(Texts(screen), ElementsAre("Unable to open log file: Error Path not found"));
  EXPECT_EQ(window.LastRun(), DBSelect::RunOutcome::LogUnavailable);
  EXPECT_EQ(screen.Pointer(), ui::MousePointer::Default);

  window.txtLogFile_Change(home.str() + "/convert5.log");
  window.cmdStart_Click();
  EXPECT_FALSE(steps.calls.empty());
}

// A catalogue entry whose prefix the record library refuses, and one whose directory holds no
// store: neither may be judged or converted on the STANDARD database selected before them.
TEST_F(DBSelectRun, DatabasesThatCannotBeReadAreLeftOutWithANoteAndNeverConverted) {
  AddDatabase("STANDARD", "400A");
  std::filesystem::create_directories(home.path() / "db" / "NOSTORE");
  testing_support::CatalogueDatabase("BLANK", "data", "", "");
  testing_support::CatalogueDatabase("NOSTORE", "db/NOSTORE", "nos", "");
  ShowWindow();
  EXPECT_EQ(ListState(), "STANDARD*");
  ASSERT_EQ(window.unlistedNotes.size(), 2u);
  EXPECT_THAT(window.unlistedNotes[0], HasSubstr("BLANK: database prefix"));
  EXPECT_THAT(window.unlistedNotes[1], HasSubstr("NOSTORE: "));
  EXPECT_THAT(window.unlistedNotes[1], HasSubstr("nos.records: no record store"));

  EXPECT_FALSE(window.convertdb("BLANK"));
  EXPECT_TRUE(steps.calls.empty());
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_THAT(Texts(screen)[0], HasSubstr("The BLANK Database cannot be converted: database prefix"));
  EXPECT_TRUE(std::filesystem::is_empty(home.path() / "db" / "NOSTORE"));
}

// The log fails while STANDARD is converted: STANDARD is finished, SALES is not started, and
// the run says so once.
TEST_F(DBSelectRun, ALogThatFailsDuringARunStopsItAfterTheDatabaseUnderWay) {
  AddDatabase("SALES", "400A");
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.DBList_Click(IndexOf("SALES"));
  // Only the log meets the full disk: the store's commit must still go through.
  steps.during = [&](const std::string& call) {
    if (call != "UpdateCONF") return;
    const conversion_test::FileSizeLimit full(std::filesystem::file_size(home.path() / "convert5.log"));
    window.Log().WriteLine("a line the full disk refuses");
  };
  window.cmdStart_Click();
  ASSERT_FALSE(steps.calls.empty());
  for (const std::string& database : steps.databases) EXPECT_EQ(database, "data/std");
  EXPECT_EQ(window.LastRun(), DBSelect::RunOutcome::LogFailed);
  ASSERT_EQ(Texts(screen).size(), 1u);
  EXPECT_THAT(Texts(screen)[0], HasSubstr("The conversion log could not be written ("));
  // The run report gives STANDARD's steps and says why SALES was left.
  const report::RunReport& report = window.Report();
  ASSERT_EQ(report.databases.size(), 2u);
  EXPECT_EQ(report.databases[0].status, report::DatabaseStatus::kConverted);
  EXPECT_FALSE(report.databases[0].steps.empty());
  EXPECT_EQ(report.databases[1].name, "SALES");
  EXPECT_EQ(report.databases[1].status, report::DatabaseStatus::kNotReached);
  EXPECT_THAT(report.databases[1].reason, HasSubstr("the run stopped: the log could not be written: "));
  EXPECT_EQ(report.stopped.rfind("the log could not be written: ", 0), 0u) << report.stopped;
}

// ---- the log file

TEST(DefaultLogPath, NeverDoublesTheSeparator) {
  EXPECT_EQ(DefaultLogPath("/srv/filomar/"), "/srv/filomar/convert5.log");
  EXPECT_EQ(DefaultLogPath(" /srv/filomar  "), "/srv/filomar/convert5.log");
  EXPECT_EQ(DefaultLogPath("/"), "/convert5.log");
}

ConversionLog FixedLog() { return ConversionLog([] { return conversion_test::FixedTime(); }, std::locale::classic()); }

// A path the log must not take: the reason given, and the file left byte for byte as it was; an
// older, longer log is replaced as a whole. (A record store, a directory and a missing folder are
// refused by the built program's runs.)
TEST(ConversionLog, ReplacesOnlyAConversionLog) {
  testing_support::TempDir dir;
  dir.Write("notes.txt", "Filomar 4.0 to Filomar 5.0 Conversion\r\nbut not quite\r\n");
  dir.Write("old.log", "Filomar 4.0 to Filomar 5.0 Conversion  \r\n\r\nan older log, longer than the new one\r\n\r\n\r\n");
  dir.Write("empty.log", "");
  dir.Write("std.records.lock", "");
  mkfifo((dir.path() / "fifo").c_str(), 0600);
  struct Case { std::string path; bool opens; std::string description; };
  const Case cases[] = {
      {"notes.txt", false, dir.str() + "/notes.txt is not a conversion log: it was left as it is"},
      {"fifo", false, dir.str() + "/fifo is not a regular file: it was left as it is"},
      {"std.records.lock", false, dir.str() + "/std.records.lock belongs to a record store: it was left as it is"},
      {"fin.records-wal", false, dir.str() + "/fin.records-wal belongs to a record store: it was left as it is"},
      {"old.log", true, ""},
      {"empty.log", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const auto path = dir.path() / c.path;
    const std::string before = std::filesystem::is_regular_file(path) ? testing_support::ReadFile(path) : "";
    ConversionLog log = FixedLog();
    std::string description;
    EXPECT_EQ(log.Open(path.string(), description), c.opens);
    EXPECT_EQ(description, c.description);
    log.Close();
    const std::string after = std::filesystem::is_regular_file(path) ? testing_support::ReadFile(path) : "";
    EXPECT_EQ(after, c.opens ? kHeader : before);  // a log replaced as a whole; anything else kept
  }
}

TEST(ConversionLog, AWriteThatFailsAfterTheHeaderIsReportedAndSoIsTheClose) {
  testing_support::TempDir dir;
  const std::string path = dir.str() + "/convert5.log";
  ConversionLog log = FixedLog();
  std::string description;
  ASSERT_TRUE(log.Open(path, description));
  {
    const conversion_test::FileSizeLimit full(std::filesystem::file_size(path) + 10);
    log.WriteIndented(kDatabaseIndent, "Converting STANDARD Database");
  }
  EXPECT_TRUE(log.Failed());
  EXPECT_NE(log.FailureReason().find(path), std::string::npos) << log.FailureReason();
  log.WriteLine("later lines are dropped");
  EXPECT_FALSE(log.Close());
  EXPECT_EQ(testing_support::ReadFile(path).find("later"), std::string::npos);
}

}  // namespace
