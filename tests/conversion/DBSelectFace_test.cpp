// The console and batch faces of the main window, driven by lines of input, and the batch
// face's record count lines, paced to at most one a second.
#include "frontends/faces/DBSelectFace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>

#include "ConversionSite.h"
#include "recio/Vb_io.h"
#include "shared/ProgramEnd.h"
#include "support/Screen.h"

using namespace filomar;
using conversion_test::ConversionSite;
using namespace std::chrono_literals;

namespace {

class DBSelectFaces : public ConversionSite {
 protected:
  void SetUp() override {
    ConversionSite::SetUp();
    AddDatabase("SALES", "400A");
    AddDatabase("STANDARD", "400A");
    ShowWindow();
    window.PaintProgressWith(nullptr);  // the face paints
  }
  int RunConsole(const std::string& input) {
    std::istringstream in(input);
    ui::ConsoleUi console(in, out);
    try {
      ui::RunDBSelectOnConsole(window, console);
    } catch (const ProgramEnd& end) {
      return end.status;
    }
  }
  int RunBatch(const ui::BatchChoice& choice) {
    try {
      ui::RunDBSelectInBatch(window, out, choice);
    } catch (const ProgramEnd& end) {
      return end.status;
    }
  }
  std::ostringstream out;
};

TEST_F(DBSelectFaces, ConsoleTogglesStartsAndEndsAtTheEndOfInput) {
  EXPECT_EQ(RunConsole("1\n2\nlog " + home.str() + "/run.log\nstart\n"), kExitNormal);
  const std::string shown = out.str();
  for (const std::string& part : std::vector<std::string>{"   1 [x] STANDARD\n   2 [ ] SALES\n", "   1 [x] STANDARD\n   2 [x] SALES\n",
                                  "Log File: " + home.str() + "/run.log", "STANDARD: Updating Letters", "SALES: Finished"})
    EXPECT_NE(shown.find(part), std::string::npos) << part;
  EXPECT_NE(testing_support::ReadFile(home.path() / "run.log").find("Converting SALES Database"), std::string::npos);
  // After the run the window is active again: the default log path is back.
  EXPECT_NE(shown.rfind("Log File: " + home.str() + "/convert5.log"), std::string::npos);
  EXPECT_EQ(ConnHandle, -1);
}

// The console's preview: progress lines, then each selected database's tree and verdict;
// nothing is converted, logged or sent to the server.
TEST_F(DBSelectFaces, ConsolePreviewPrintsEachSelectedDatabaseAndChangesNothing) {
  EXPECT_EQ(RunConsole("2\npreview\n"), kExitNormal);
  const std::string shown = out.str();
  for (const char* part : {"[number | log PATH | start | preview | cancel | backups | restore NAME | backup-dir PATH|off]> ", "Previewing Database STANDARD\n",
                           "\nPreview of STANDARD\n", "\nSTANDARD would ", "\nPreview of SALES\n", "\nSALES would "})
    EXPECT_NE(shown.find(part), std::string::npos) << part << "\nin\n" << shown;
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_TRUE(server.Statements().empty());
  EXPECT_FALSE(std::filesystem::exists(home.path() / "convert5.log"));
  EXPECT_EQ(ListState(), "STANDARD* SALES*");
}

// The backups on the console: a run backs up, "backups" lists the folder, "check" checks it,
// "restore" puts SALES back after the confirmation, and "backup-dir off" turns backups off after the warning.
TEST_F(DBSelectFaces, ConsoleListsAndRestoresBackupsAndTurnsThemOff) {
  window.backupRoot = home.str() + "/backups";
  window.Form_Load();
  screen.Answer(ui::kOK);  // the end of the run
  screen.Answer(ui::kOK);  // the restore's confirmation
  screen.Answer(ui::kOK);  // the restore's outcome
  screen.Answer(ui::kOK);  // the warning
  EXPECT_EQ(RunConsole("2\nstart\nbackups\ncheck SALES\nrestore sales 1\nrestore LEGAL\nbackup-dir off\n"), kExitNormal);
  const std::string shown = out.str();
  for (const std::string& part : std::vector<std::string>{"Backup folder: " + home.str() + "/backups\n[x] Back up each",
                                  "Backups in " + home.str() + "/backups\nSALES\n   1  20", "  not checked  SALES-20",
                                  "Checking the sums of SALES-20", "Checking the record store of SALES-20", ": passed\n",
                                  "There is no catalogued database LEGAL.", "[ ] Back up each database"})
    EXPECT_NE(shown.find(part), std::string::npos) << part << "\n" << shown;
  EXPECT_THAT(testing_support::Texts(screen), testing::Contains(testing::HasSubstr("The SALES Database was restored from")));
  EXPECT_FALSE(window.backupRoot);
}

TEST_F(DBSelectFaces, BatchConvertsTheChosenDatabasesAndReportsUnlistedNames) {
  EXPECT_EQ(RunBatch({{"sales", "NOWHERE"}, false, ""}), kExitNormal);
  EXPECT_NE(out.str().find("Database NOWHERE is not in the list"), std::string::npos);
  EXPECT_EQ(steps.calls.size(), 17u);  // STANDARD is always selected
  EXPECT_NE(LogText().find("Converting SALES Database"), std::string::npos);
}

// Ctrl-C and SIGTERM during a run (the console and batch faces share the handler) are a click on
// Cancel: the database under way is finished, the next is not started, and a batch run ends
// with the status of a cancelled run.
class BatchSignal : public DBSelectFaces, public ::testing::WithParamInterface<int> {};

TEST_P(BatchSignal, CancelsBeforeTheNextDatabase) {
  const int signal = GetParam();
  steps.during = [signal](const std::string& call) {
    if (call == "UpdateCONF") std::raise(signal);
  };
  EXPECT_EQ(RunBatch({{}, true, ""}), kExitRunCancelled);
  EXPECT_EQ(steps.calls.size(), 9u);  // STANDARD finished, SALES never started
  EXPECT_NE(out.str().find("Cancel requested"), std::string::npos);
  EXPECT_EQ(window.LastRun(), DBSelect::RunOutcome::Canceled);
  EXPECT_EQ(ListState(), "STANDARD SALES*");
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(testing_support::BoxAt(screen, 0), testing_support::Box("The Conversion process has been canceled",
                                                                     "Filomar conversion Utility ", ui::mb::Exclamation));
  EXPECT_EQ(LogText().find("SALES"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(InterruptAndTerminate, BatchSignal, ::testing::Values(SIGINT, SIGTERM));

using BatchCountLines = DBSelectFaces;

TEST_F(BatchCountLines, ALongScanPrintsItsCountAtMostOnceASecond) {
  auto now = std::chrono::steady_clock::now();  // a clock that moves only when told
  steps.during = [&](const std::string& call) {
    if (call != "ConvertSact") return;
    steps.progress->clock = [&now] { return now; };
    steps.progress->BeginRecordCount(100);
    for (long done = 1; done <= 100; ++done) {
      now += 100ms;
      steps.progress->RecordsDone(done);
    }
    steps.progress->EndRecordCount(100);
  };
  RunBatch({{}, false, home.str() + "/run.log"});

  std::istringstream lines(out.str());
  std::vector<std::string> counts;
  for (std::string line; std::getline(lines, line);)
    if (line.find("STANDARD: Updating Sact table  ") != std::string::npos) counts.push_back(line.substr(line.find("table") + 7));
  // Ten seconds of scanning: one line a second at most, and more than one.
  EXPECT_LE(counts.size(), 10u) << out.str();
  ASSERT_GE(counts.size(), 5u) << out.str();
  EXPECT_EQ(counts.back().substr(counts.back().find(" of ")), " of 100 records");
  EXPECT_NE(out.str().find("STANDARD: Updating Sact table\n"), std::string::npos);
}

}  // namespace
