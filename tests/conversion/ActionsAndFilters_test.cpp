// ConvertSact on the demo site's action records, and the statement ConvertFilters sends.
#include "conversion/steps/ActionsAndFilters.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "StepSite.h"
#include "recio/Vb_io.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"

using namespace filomar;
using conversion_test::RawRecords;
using conversion_test::ReadRawRecords;
using conversion_test::SelectDatabase;

namespace {

class ConvertSactTest : public conversion_test::StepSite {};

std::string Widened(const std::string& record) { return record.substr(0, 64) + std::string(20, ' ') + record.substr(64, 1452); }

TEST_F(ConvertSactTest, EveryActionGetsTwentyBlanksAfterItsFirst64CharactersAndLosesItsLast20) {
  const RawRecords before = ReadRawRecords(SACT_FILE);
  ASSERT_EQ(before.size(), kRecords);
  // The demo's 4.0 actions end in a note (record 2 in NULs) that the widening pushes out.
  EXPECT_EQ(before.begin()->second.substr(1516), "end of action 1     ");
  EXPECT_EQ(std::next(before.begin(), 2)->second.substr(1516), std::string(20, '\0'));

  steps::ConvertSact(context);

  const RawRecords after = ReadRawRecords(SACT_FILE);
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [key, record] : before) EXPECT_EQ(after.at(key), Widened(record)) << key;
  EXPECT_EQ(progress.RecordCountText(), "6 of 6 records");
}

TEST_F(ConvertSactTest, OnlyTheSelectedDatabaseChanges) {
  SelectDatabase("data", "std");
  const RawRecords standard = ReadRawRecords(SACT_FILE);
  SelectDatabase("finance", "fin");

  steps::ConvertSact(context);
  steps::ConvertSact(context);  // a second run widens once more: 40 blanks in all

  const RawRecords twice = ReadRawRecords(SACT_FILE);
  EXPECT_EQ(twice.begin()->second.substr(64, 40), std::string(40, ' '));
  SelectDatabase("data", "std");
  EXPECT_EQ(ReadRawRecords(SACT_FILE), standard);
}

TEST_F(ConvertSactTest, AnEmptyActionFileIsLeftEmpty) {
  std::filesystem::create_directory(site.dir() / "empty");
  ASSERT_EQ(io_createStore((site.dir() / "empty").c_str(), "emp"), 0);
  SelectDatabase("empty", "emp");

  steps::ConvertSact(context);

  EXPECT_TRUE(ReadRawRecords(SACT_FILE).empty());
  EXPECT_EQ(progress.RecordCountText(), "0 of 0 records");
}

class ConvertFiltersTest : public conversion_test::StepSite {
 protected:
  void TearDown() override {
    DbEngine = Engine::SqlServer;
    Session.SignedOnUserId.clear();
    StepSite::TearDown();
  }
};

TEST_F(ConvertFiltersTest, TheStatementNamesTheSignedOnUserOnEitherEngine) {
  struct Case {
    Engine engine;
    std::string userId;
    std::string statement;
  };
  const Case cases[] = {
      {Engine::SqlServer, "ADMIN", "update std_filter set filter_userID = 'ADMIN'"},
      {Engine::Oracle, "ADMIN", "update std_filter set filter_userID =HEXTORAW(RAWTOHEX('ADMIN'))"},
      {Engine::SqlServer, "O'BRIEN", "update std_filter set filter_userID = 'O''BRIEN'"},
      {Engine::Oracle, "'X''", "update std_filter set filter_userID =HEXTORAW(RAWTOHEX('''X'''''))"},
  };
  for (const Case& c : cases) {
    ado::RecordingProviderFactory recording;
    DbEngine = c.engine;
    Session.SignedOnUserId = c.userId;
    filomar::StepContext step{log, "STANDARD", "std", recording, progress};

    steps::ConvertFilters(step);

    EXPECT_EQ(recording.Statements(), std::vector<std::string>{c.statement});
    ASSERT_FALSE(recording.Calls().empty());
    EXPECT_EQ(recording.Calls().back().kind, ado::RecordedCall::Kind::Close);
  }
  EXPECT_EQ(LogText().find("Error #"), std::string::npos);
}

TEST_F(ConvertFiltersTest, ARefusedStatementIsLoggedWithTheStatementAndTheRunGoesOn) {
  Session.SignedOnUserId = "FILOMAR";
  const std::string statement = "update std_filter set filter_userID = 'FILOMAR'";
  server.FailStatement(statement, {{ado::kObjectNotFound, "no such table: std_filter", "Microsoft OLE DB Provider for ODBC Drivers", "42S02", 1}});

  steps::ConvertFilters(context);

  EXPECT_NE(LogText().find("Error #-2147217865\r   no such table: std_filter\r   (Source: Microsoft OLE DB Provider for "
                           "ODBC Drivers)\r   (SQL State: 42S02)\r   (NativeError: 1)\r" +
                           statement + "\r\n"),
            std::string::npos);
}

TEST_F(ConvertFiltersTest, AFailedConnectionIsLoggedWithoutAStatement) {
  Session.SignedOnUserId = "FILOMAR";
  server.FailOpen({{ado::kConnectionFailed, "unable to open database file", "Microsoft OLE DB Provider for ODBC Drivers", "08001", 14}});

  steps::ConvertFilters(context);

  const std::string text = LogText();
  EXPECT_NE(text.find("(NativeError: 14)\r\r\n"), std::string::npos) << text;
}

}  // namespace
