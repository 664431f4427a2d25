// The connection string from the installation record, and the server error text.
#include "shared/Connection.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/copylib/InstallRecordFile.h"
#include "shared/DbEngine.h"
#include "support/RecordingProvider.h"
#include "support/TempDir.h"

namespace {
namespace fs = std::filesystem;
using namespace filomar;
using testing_support::ScopedEnv;
using testing_support::TempDir;

const std::string kSqlServerPrefix = "Provider=MSDASQL.1;Persist Security Info=False;User ID=filomar;Password=";

class ConnectionTest : public ::testing::Test {
 protected:
  TempDir home;
  ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  fs::path data = home.path() / "data";
  Engine savedEngine = DbEngine;

  void SetUp() override { fs::create_directories(data); }
  void TearDown() override { DbEngine = savedEngine; }
  void Install(const std::string& password, char engine = 'S') {
    ASSERT_FALSE(copylib::WriteInstallRecord(data, engine, password));
  }
};

TEST_F(ConnectionTest, ConnectStringTakesTheTrimmedRecordPasswordOrTheBuiltInOne) {
  DbEngine = Engine::SqlServer;
  EXPECT_EQ(GetConnectString(), kSqlServerPrefix + "tamarind;Data Source=filomar4");  // no record

  Install("  s3cret  ");
  EXPECT_EQ(GetConnectString(), kSqlServerPrefix + "s3cret;Data Source=filomar4");

  Install("pass word");
  DbEngine = Engine::Oracle;
  EXPECT_EQ(GetConnectString(), "Provider=MSDAORA.1;Password=pass word;User ID=filomar;Data Source=filomar4");
}

TEST(ServerError, FivePiecesEndedBySingleCarriageReturns) {
  const ado::Error e{ado::kObjectNotFound, "[SQLite]no such table: x (1)", "Microsoft OLE DB Provider for ODBC Drivers",
                     "HY000", 1};
  EXPECT_EQ(ServerError(e),
            "Error #-2147217865\r   [SQLite]no such table: x (1)\r   (Source: Microsoft OLE DB Provider for ODBC "
            "Drivers)\r   (SQL State: HY000)\r   (NativeError: 1)\r");
}

// A grouped conversation commits at its end; a commit that fails is reported like a statement,
// so that it reaches the log instead of passing for done.
TEST_F(ConnectionTest, AGroupedConversationsFailedCommitIsReportedAsCOMMIT) {
  ado::RecordingProviderFactory server;
  server.FailCommit({{ado::kStatementFailed, "disk I/O error", "Microsoft OLE DB Provider for ODBC Drivers", "HY000", 10}});
  std::vector<std::string> reported;
  {
    ServerConversation conversation([&](const std::string&, const std::string& statement, const ado::Error& error) {
      reported.push_back(statement + ": " + error.Description);
    }, server);
    conversation.GroupStatements();
    EXPECT_TRUE(conversation.Execute("ALTER TABLE fin_file ADD file_ucode1 char(10)"));
  }
  EXPECT_EQ(reported, std::vector<std::string>{"COMMIT: disk I/O error"});
}

}  // namespace
