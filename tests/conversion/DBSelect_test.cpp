// The main window and the run over the selected databases, on records written through the
// record layer, with recorded step routines and a recording database server.
#include "conversion/DBSelect.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ConversionSite.h"
#include "recio/Vb_io.h"
#include "startup/DbEngine.h"
#include "startup/ProgramEnd.h"
#include "ado/OdbcSite.h"

using namespace filomar;
using conversion_test::ConversionSite;
using testing::ElementsAre;

namespace {

constexpr const char* kHeader =
    "Filomar 4.0 to Filomar 5.0 Conversion  \r\n"
    "\r\n"
    "Started at:     04-Dec-26 16:05\r\n"
    "\r\n";

class DBSelectRun : public ConversionSite {
 protected:
  void SetUp() override {
    ConversionSite::SetUp();
    DbEngine = Engine::SqlServer;
  }
  void TearDown() override {
    DbEngine = Engine::SqlServer;
    ConversionSite::TearDown();
  }
};

TEST_F(DBSelectRun, ListsDatabasesAt400WithStandardFirstAndSelected) {
  AddDatabase("ARCHIVE", "500A");
  AddDatabase("LEGAL", "400a ");
  AddDatabase("NOCONF", "");
  AddDatabase("SALES", "400A");
  AddDatabase("STANDARD", "400A");  // scanned last: the catalogue is in key order
  ShowWindow();

  ASSERT_EQ(window.DBList.size(), 3u);
  EXPECT_EQ(window.DBList[0].text, "STANDARD");
  EXPECT_EQ(window.DBList[1].text, "LEGAL");
  EXPECT_EQ(window.DBList[2].text, "SALES");
  EXPECT_TRUE(window.DBList[0].selected);
  EXPECT_FALSE(window.DBList[1].selected || window.DBList[2].selected);
  EXPECT_EQ(window.txtLogFile, home.str() + "/convert5.log");
  EXPECT_TRUE(window.cmdStartEnabled);
  EXPECT_TRUE(screen.Shown().empty());

  window.DBList_Click(0);  // STANDARD cannot be deselected while unconverted
  EXPECT_TRUE(window.DBList[0].selected);
  window.DBList_Click(2);
  EXPECT_TRUE(window.DBList[2].selected);
  window.DBList_Click(2);
  EXPECT_FALSE(window.DBList[2].selected);
  EXPECT_EQ(CurrentDatabase(), "data/std");
}

TEST_F(DBSelectRun, NothingLeftToConvertDisablesStart) {
  AddDatabase("STANDARD", "500A");
  ShowWindow();
  EXPECT_TRUE(window.DBList.empty());
  EXPECT_FALSE(window.cmdStartEnabled);
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(screen.Shown()[0].text, "All Filomar 4.0 Databases have been converted to Filomar 5.0");
  EXPECT_EQ(screen.Shown()[0].code, ui::mb::Exclamation);
  // With nothing listed, Cancel is not a cancel request: it ends the program.
  EXPECT_THROW(window.cmdExit_Click(), ProgramEnd);
  EXPECT_EQ(ConnHandle, -1);
}

TEST_F(DBSelectRun, StandardOnSqlServerWritesTheLogExactly) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.cmdStart_Click();

  const std::string expected = std::string(kHeader) +
                               "                    Converting STANDARD Database\r\n"
                               "     - Creating new tables \r\n"
                               "     - Updating CONF file\r\n"
                               "     - Updating Letters\r\n"
                               "     - Updating Codes\r\n"
                               "     - Updating SACT file\r\n"
                               "     - Converting Filters\r\n"
                               "     - Updating VERS file\r\n"
                               "     - Updating COMP file\r\n"
                               "     - Conversion of STANDARD completed at 04-Dec-26 16:05\r\n";
  EXPECT_EQ(LogText(), expected);
  EXPECT_THAT(painter.captions,
              ElementsAre("", " Creating new tables ", " Updating Conf table", " Updating Letters",
                          " Updating Codes", " Updating Sact table", " Converting Filters", " Updating VERS table",
                          " Updating COMP table", " Finished "));
  EXPECT_EQ(painter.closes, 1);
  EXPECT_FALSE(window.progress.visible);
  EXPECT_EQ(window.progress.lbldbname, "STANDARD");
  EXPECT_EQ(window.progress.left, window.left + window.width / 4);
  EXPECT_EQ(window.progress.top, window.top + window.height / 4);
  EXPECT_FALSE(window.DBList[0].selected);
  EXPECT_TRUE(window.cmdStartEnabled);
  EXPECT_TRUE(window.activationDue);
  EXPECT_EQ(screen.Pointer(), ui::MousePointer::Default);
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(screen.Shown()[0].text, "Conversion of Database has completed ");
  EXPECT_EQ(screen.Shown()[0].title, "Filomar Conversion Utility ");
  EXPECT_EQ(screen.Shown()[0].code, ui::mb::OKOnly);
  // The server was tried once, before the database, and nothing else was sent.
  EXPECT_EQ(server.Opens().size(), 1u);
  EXPECT_TRUE(server.Statements().empty());
}

// Routines run per engine and database, in order; the letters' two routines share a step.
TEST_F(DBSelectRun, StepListsPerEngineAndDatabase) {
  AddDatabase("SALES", "400A");
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  const std::vector<std::string> common = {"UpdateCONF", "renameLetters", "convertLettersInDB", "ConvertCodes",
                                           "ConvertSact"};
  struct Case {
    Engine engine;
    const char* db;
    std::size_t logSteps;
    std::vector<std::string> first;
    bool filters;
  };
  const Case cases[] = {
      {Engine::SqlServer, "STANDARD", 8, {"UpdateTablesSQL5(STANDARD,std)"}, true},
      {Engine::SqlServer, "SALES", 7, {"UpdateTablesSQL5(SALES,SAL)"}, false},
      {Engine::Oracle, "STANDARD", 9,
       {"UpdateTablesORACLE5(STANDARD,std)", "CreateOracleLockProcedures", "UpdateOraclePrivs"}, true},
      {Engine::Oracle, "SALES", 8, {"UpdateTablesORACLE5(SALES,SAL)", "CreateOracleLockProcedures",
                                    "UpdateOraclePrivs"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.db + std::string(c.engine == Engine::Oracle ? " on Oracle" : " on SQL Server"));
    DbEngine = c.engine;
    steps.calls.clear();
    painter.captions.clear();
    std::string error;
    ASSERT_TRUE(window.Log().Open((home.path() / "steps.log").string(), error));
    ASSERT_TRUE(window.convertdb(c.db));
    window.Log().Close();

    std::vector<std::string> expected = c.first;
    expected.insert(expected.end(), common.begin(), common.end());
    if (c.filters) expected.push_back("ConvertFilters");
    expected.insert(expected.end(), {"ConvertVers", "ConvertComp"});
    EXPECT_EQ(steps.calls, expected);
    const std::string log = testing_support::ReadFile(home.path() / "steps.log");
    std::size_t stepLines = 0;
    for (std::size_t at = log.find("\r\n     - "); at != std::string::npos; at = log.find("\r\n     - ", at + 1))
      ++stepLines;
    EXPECT_EQ(stepLines, c.logSteps + 1);  // and the completion line
    EXPECT_EQ(painter.captions.size(), c.logSteps + 2);  // shown, each step, finished
    EXPECT_EQ(log.find("Stored Procedures") != std::string::npos, c.engine == Engine::Oracle);
  }
}

TEST_F(DBSelectRun, CancelDuringTheFirstDatabaseFinishesItAndStopsTheRun) {
  AddDatabase("LEGAL", "400A");
  AddDatabase("SALES", "400A");
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.DBList_Click(IndexOf("SALES"));
  steps.during = [&](const std::string& call) {
    if (call == "UpdateCONF") window.cmdExit_Click();  // as if pressed while a step let messages run
  };
  window.cmdStart_Click();

  EXPECT_EQ(steps.calls.front(), "UpdateTablesSQL5(STANDARD,std)");
  EXPECT_EQ(steps.calls.back(), "ConvertComp");
  for (const std::string& call : steps.calls) EXPECT_EQ(call.find("SALES"), std::string::npos);
  const std::string log = LogText();
  EXPECT_NE(log.find("- Conversion of STANDARD completed at"), std::string::npos);
  EXPECT_EQ(log.find("SALES"), std::string::npos);
  EXPECT_FALSE(window.DBList[IndexOf("STANDARD")].selected);
  EXPECT_TRUE(window.DBList[IndexOf("SALES")].selected);
  EXPECT_FALSE(window.progress.visible);
  EXPECT_EQ(window.lastRun, DBSelect::RunOutcome::Canceled);
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(screen.Shown()[0].text, "The Conversion process has been canceled");
  EXPECT_EQ(screen.Shown()[0].title, "Filomar conversion Utility ");
  EXPECT_EQ(screen.Shown()[0].code, ui::mb::Exclamation);
}

TEST_F(DBSelectRun, ASecondRunReplacesTheLogAndAnEmptySelectionLogsTheHeaderOnly) {
  AddDatabase("LEGAL", "400A");
  AddDatabase("SALES", "400A");
  AddDatabase("STANDARD", "500A");
  ShowWindow();
  ASSERT_EQ(window.DBList.size(), 2u);
  window.DBList_Click(IndexOf("SALES"));
  window.cmdStart_Click();
  ASSERT_NE(LogText().find("Converting SALES Database"), std::string::npos);

  ASSERT_FALSE(window.DBList[IndexOf("SALES")].selected);
  window.cmdStart_Click();
  EXPECT_EQ(LogText(), kHeader);
  EXPECT_THAT(Messages(), ElementsAre("Conversion of Databases has completed ", "Conversion of Databases has completed "));
}

TEST_F(DBSelectRun, ADatabaseConvertedEarlierIsReportedAndDeselected) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  steps.stampConverted = true;
  window.cmdStart_Click();
  ASSERT_TRUE(window.activationDue);
  window.Form_Activate();  // the progress window closed: STANDARD is selected again
  ASSERT_TRUE(window.DBList[0].selected);
  steps.calls.clear();

  window.cmdStart_Click();
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_EQ(LogText(), kHeader);
  ASSERT_EQ(screen.Shown().size(), 3u);
  EXPECT_EQ(screen.Shown()[1].text, " The STANDARD Database has been converted ");
  EXPECT_EQ(screen.Shown()[1].title, "Filomar Conversion Utility ");
  EXPECT_EQ(screen.Shown()[1].code, ui::mb::Information);
  EXPECT_TRUE(window.DBList[0].selected);  // convertdb said false

  window.DBList_Click(0);  // clicking a converted database deselects it, STANDARD too
  EXPECT_FALSE(window.DBList[0].selected);
  window.DBList_Click(0);
  EXPECT_FALSE(window.DBList[0].selected);
}

TEST_F(DBSelectRun, ADatabaseMissingFromTheCatalogueIsSkippedSilently) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  EXPECT_FALSE(window.convertdb("GONE"));
  EXPECT_TRUE(screen.Shown().empty());
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_FALSE(window.progress.visible);
}

TEST_F(DBSelectRun, AClickDuringARunKeepsTheRunOnItsDatabase) {
  AddDatabase("SALES", "400A");
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.DBList_Click(IndexOf("SALES"));
  window.DBList_Click(IndexOf("STANDARD"));  // still selected: it is not converted
  steps.during = [&](const std::string& call) {
    if (call.rfind("UpdateTablesSQL5(SALES", 0) == 0) window.DBList_Click(IndexOf("STANDARD"));
  };
  window.cmdStart_Click();
  ASSERT_EQ(steps.calls.size(), 17u);  // nine for STANDARD, eight for SALES
  for (std::size_t i = 9; i < steps.calls.size(); ++i) EXPECT_EQ(steps.databases[i], "db/SALES/SAL") << steps.calls[i];
  EXPECT_EQ(steps.databases[0], "data/std");
}

TEST_F(DBSelectRun, ALogThatCannotBeOpenedConvertsNothingAndKeepsTheWindowUsable) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.txtLogFile_Change(home.str() + "/no-such-folder/convert5.log");
  window.cmdStart_Click();
  EXPECT_TRUE(steps.calls.empty());
  EXPECT_TRUE(server.Opens().empty());
  EXPECT_THAT(Messages(), ElementsAre("Unable to open log file: Error File not found"));
  EXPECT_EQ(window.lastRun, DBSelect::RunOutcome::LogUnavailable);
  EXPECT_TRUE(window.cmdStartEnabled);
  EXPECT_TRUE(window.DBList[0].selected);
  EXPECT_EQ(screen.Pointer(), ui::MousePointer::Default);

  window.txtLogFile_Change(home.str() + "/convert5.log");
  window.cmdStart_Click();
  EXPECT_FALSE(steps.calls.empty());
}

TEST_F(DBSelectRun, AnUnreachableServerShowsEachErrorAndConvertsNothing) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  server.FailOpen({{ado::kConnectionFailed, "server down", "Microsoft OLE DB Provider for ODBC Drivers", "08001", 17},
                   {ado::kConnectionFailed, "login timeout", "Microsoft OLE DB Provider for ODBC Drivers", "HYT00", 0}});
  window.cmdStart_Click();

  EXPECT_TRUE(steps.calls.empty());
  EXPECT_EQ(LogText(), kHeader);
  ASSERT_EQ(screen.Shown().size(), 3u);
  EXPECT_EQ(screen.Shown()[0].text,
            "Error #-2147467259\r   server down\r   (Source: Microsoft OLE DB Provider for ODBC Drivers)\r"
            "   (SQL State: 08001)\r   (NativeError: 17)\r");
  EXPECT_EQ(screen.Shown()[0].title, "Error");
  EXPECT_EQ(screen.Shown()[0].code, ui::mb::Critical);
  EXPECT_EQ(screen.Shown()[1].title, "Error");
  EXPECT_EQ(screen.Shown()[2].text, "No database was converted because the database server could not be reached.");
  EXPECT_EQ(screen.Shown()[2].title, "Filomar Conversion Utility ");
  EXPECT_EQ(screen.Shown()[2].code, ui::mb::Exclamation);
  EXPECT_EQ(window.lastRun, DBSelect::RunOutcome::ServerUnreachable);
  EXPECT_TRUE(window.DBList[0].selected);
  EXPECT_TRUE(window.cmdStartEnabled);
}

TEST_F(DBSelectRun, AnOdbcDataSourceThatCannotBeOpenedStopsTheRun) {
  serverInstalled.reset();
  const testing_support::OdbcSite site(home.str() + "/no-such-folder/server.db");
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  window.cmdStart_Click();
  EXPECT_TRUE(steps.calls.empty());
  ASSERT_GE(screen.Shown().size(), 2u);
  EXPECT_EQ(screen.Shown().front().title, "Error");
  EXPECT_EQ(screen.Shown().back().text,
            "No database was converted because the database server could not be reached.");
}

TEST_F(DBSelectRun, CancelWhileIdleTerminatesAndEndsTheProgram) {
  AddDatabase("STANDARD", "400A");
  ShowWindow();
  try {
    window.Form_FrameClose();
    FAIL() << "the program did not end";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.status, kExitNormal);
  }
  EXPECT_EQ(ConnHandle, -1);
}

}  // namespace
