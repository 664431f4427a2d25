// Sending the Oracle lock objects: order, text form, and the stop at the first failure.
#include "newdb/OracleLocks.h"

#include <gtest/gtest.h>

#include "common/FrontEnd.h"
#include "conversion/StepTable.h"
#include "shared/Connection.h"
#include "support/RecordingProvider.h"
#include "support/Screen.h"
#include "support/TempDir.h"

namespace {
using namespace filomar;
using Kind = ado::RecordedCall::Kind;

const std::vector<std::string> kOrder = {
    "PROCEDURE SP_FILOMAR_ROWLOCK",   "PROCEDURE SP_FILOMAR_TBLLOCK",   "PROCEDURE SP_FILOMAR_IS_SIGNED_ON",
    "PROCEDURE SP_FILOMAR_HOSTUNLOCK", "PROCEDURE SP_FILOMAR_ROWUNLOCK", "PROCEDURE SP_FILOMAR_ROWUNLOCKALL",
    "PROCEDURE SP_FILOMAR_ROWUNLOCKTBLALL", "PROCEDURE SP_FILOMAR_TBLUNLOCK", "FUNCTION CLIENTINFO",
    "FUNCTION MACHINE", "PROCEDURE SP_SET_CLIENT_INFO", "FUNCTION DECODE_HEX", "FUNCTION HEXTOCHAR"};

class OracleLocksTest : public ::testing::Test {
 protected:
  testing_support::TempDir home;  // no installation record: the built-in password
  testing_support::ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  ui::ScriptedUi screen;
  ado::RecordingProviderFactory server;
  Engine savedEngine = DbEngine;

  void SetUp() override {
    SetFrontEnd(screen);
    DbEngine = Engine::Oracle;
  }
  void TearDown() override { DbEngine = savedEngine; }
};

TEST_F(OracleLocksTest, SendsTheThirteenObjectsInOrderAsLineFeedTexts) {
  CreateOracleLockProcedures(server);

  const auto& calls = server.Calls();
  ASSERT_EQ(calls.size(), kOrder.size() + 2);
  EXPECT_TRUE(calls.front().kind == Kind::Open && calls.back().kind == Kind::Close);
  EXPECT_EQ(server.Opens().at(0).provider, ado::ProviderKind::Oracle);
  for (std::size_t i = 0; i < kOrder.size(); ++i) {
    SCOPED_TRACE(kOrder[i]);
    const ado::RecordedCall& sent = calls[i + 1];
    const std::string head = "CREATE OR REPLACE " + kOrder[i];
    EXPECT_TRUE(sent.kind == Kind::Execute && sent.timeoutSeconds == 0);
    EXPECT_EQ(sent.text.find_first_of(" (\n", head.size()), head.size());
    EXPECT_TRUE(sent.text.starts_with(head));
    EXPECT_EQ(sent.text.find('\r'), std::string::npos);
    EXPECT_NE(sent.text.back(), '\n');
  }
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(OracleLocksTest, AFailureShowsEachErrorAndSendsNothingAfterIt) {
  const ado::Error compile{-2147217900, "ORA-24344: success with compilation error", "OraOLEDB", "42000", 24344};
  const ado::Error second{-2147217900, "ORA-06550: line 1", "OraOLEDB", "", 6550};
  server.FailWhen([](const std::string& sql) { return sql.find("SP_FILOMAR_IS_SIGNED_ON") != std::string::npos; },
                  {compile, second});
  CreateOracleLockProcedures(server);

  EXPECT_EQ(server.Statements().size(), 3u);
  EXPECT_EQ(server.Calls().back().kind, Kind::Close);
  const std::uint16_t critical = ui::mb::OKOnly | ui::mb::Critical;
  ASSERT_EQ(screen.Shown().size(), 2u);
  EXPECT_EQ(testing_support::BoxAt(screen, 0), testing_support::Box(ServerError(compile), "Error", critical));
  EXPECT_EQ(testing_support::BoxAt(screen, 1), testing_support::Box(ServerError(second), "Error", critical));

  server.FailOpen({second});  // a refused connection is the first failure: nothing is sent
  CreateOracleLockProcedures(server);
  EXPECT_EQ(server.Statements().size(), 3u);
  ASSERT_EQ(screen.Shown().size(), 3u);
  EXPECT_EQ(screen.Shown()[2].text, ServerError(second));
}

// The conversion's Oracle step creates the objects for every database, through its own server.
TEST_F(OracleLocksTest, EveryOracleConversionSendsThemThroughTheStepsServer) {
  ConversionLog log;
  frmProgress progress;
  StepContext context{log, "SALES", "SAL", server, progress};
  for (const Step& step : ProductStepTable()) {
    for (const StepRoutine& routine : step.routines) {
      if (routine.name != "CreateOracleLockProcedures") continue;
      EXPECT_TRUE(Applies(step, Engine::Oracle, "STANDARD") && Applies(step, Engine::Oracle, "SALES"));
      EXPECT_FALSE(Applies(step, Engine::SqlServer, "SALES"));
      routine.run(context);
    }
  }
  EXPECT_EQ(server.Statements().size(), kOrder.size());
}

}  // namespace
