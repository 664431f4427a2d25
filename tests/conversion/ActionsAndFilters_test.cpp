// ConvertSact on the demo site's action records, and the statement ConvertFilters sends.
#include "conversion/steps/ActionsAndFilters.h"

#include <filesystem>

#include "StepSite.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"

using namespace filomar;

namespace conversion_test {
namespace {

using ConvertSact = StepSite;

std::string Widened(const std::string& record) { return record.substr(0, 64) + std::string(20, ' ') + record.substr(64, 1452); }

TEST_F(ConvertSact, EveryActionGetsTwentyBlanksAfterItsFirst64CharactersAndLosesItsLast20) {
  Select("data", "std");
  const RecordMap standard = Records(SACT_FILE);
  Select("finance", "fin");
  const RecordMap before = Records(SACT_FILE);
  ASSERT_EQ(before.size(), kRecords);
  // The demo's 4.0 actions end in a note (record 2 in NULs) that the widening pushes out.
  EXPECT_EQ(before.begin()->second.substr(1516), "end of action 1     ");
  EXPECT_EQ(std::next(before.begin(), 2)->second.substr(1516), std::string(20, '\0'));

  steps::ConvertSact(ctx);
  RecordMap expected;
  for (const auto& [key, record] : before) expected[key] = Widened(record);
  EXPECT_EQ(Records(SACT_FILE), expected);
  EXPECT_EQ(progress.RecordCountText(), "6 of 6 records");
  Select("data", "std");
  EXPECT_EQ(Records(SACT_FILE), standard);  // only the selected database changes
}

TEST_F(ConvertSact, AnEmptyActionFileIsLeftEmpty) {
  std::filesystem::create_directory(site.dir() / "empty");
  ASSERT_EQ(io_createStore((site.dir() / "empty").c_str(), "emp"), 0);
  Select("empty", "emp");
  steps::ConvertSact(ctx);
  EXPECT_TRUE(Records(SACT_FILE).empty());
  EXPECT_EQ(progress.RecordCountText(), "0 of 0 records");
}

class ConvertFilters : public StepSite {
 protected:
  void TearDown() override {
    DbEngine = Engine::SqlServer;
    Session.SignedOnUserId.clear();
    StepSite::TearDown();
  }
};

TEST_F(ConvertFilters, TheStatementNamesTheSignedOnUserOnEitherEngine) {
  struct Case { Engine engine; std::string userId, statement; };
  for (const Case& c : {Case{Engine::SqlServer, "ADMIN", "update std_filter set filter_userID = 'ADMIN'"},
                        Case{Engine::Oracle, "ADMIN", "update std_filter set filter_userID =HEXTORAW(RAWTOHEX('ADMIN'))"},
                        Case{Engine::SqlServer, "O'BRIEN", "update std_filter set filter_userID = 'O''BRIEN'"},
                        Case{Engine::Oracle, "'X''", "update std_filter set filter_userID =HEXTORAW(RAWTOHEX('''X'''''))"}}) {
    ado::RecordingProviderFactory recording;
    DbEngine = c.engine;
    Session.SignedOnUserId = c.userId;
    StepContext step{log, "STANDARD", "std", recording, progress};
    steps::ConvertFilters(step);
    EXPECT_EQ(recording.Statements(), std::vector<std::string>{c.statement});
  }
  EXPECT_EQ(LogText().find("Error #"), std::string::npos);
}

TEST_F(ConvertFilters, ARefusedStatementOrConnectionIsLoggedAndTheRunGoesOn) {
  Session.SignedOnUserId = "FILOMAR";
  const std::string statement = "update std_filter set filter_userID = 'FILOMAR'";
  server.FailStatement(statement, {{ado::kObjectNotFound, "no such table: std_filter", "Microsoft OLE DB Provider for ODBC Drivers", "42S02", 1}});
  steps::ConvertFilters(ctx);
  server.FailOpen({{ado::kConnectionFailed, "unable to open database file", "Microsoft OLE DB Provider for ODBC Drivers", "08001", 14}});
  steps::ConvertFilters(ctx);
  const std::string text = LogText();
  EXPECT_NE(text.find("Error #-2147217865\r   no such table: std_filter\r   (Source: Microsoft OLE DB Provider for "
                      "ODBC Drivers)\r   (SQL State: 42S02)\r   (NativeError: 1)\r" + statement + "\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("(NativeError: 14)\r\r\n"), std::string::npos) << text;  // no statement after a failed connection
}

}  // namespace
}  // namespace conversion_test
