// Sending the Oracle lock objects: order, text form, and the stop at the first failure.
#include "newdb/OracleLocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "common/FrontEnd.h"
#include "conversion/StepTable.h"
#include "shared/Connection.h"
#include "support/RecordingProvider.h"
#include "support/Screen.h"
#include "support/TempDir.h"

namespace {
using namespace filomar;

const std::vector<std::string> kOrder = {
    "PROCEDURE SP_FILOMAR_ROWLOCK",      "PROCEDURE SP_FILOMAR_TBLLOCK",      "PROCEDURE SP_FILOMAR_IS_SIGNED_ON",
    "PROCEDURE SP_FILOMAR_HOSTUNLOCK",   "PROCEDURE SP_FILOMAR_ROWUNLOCK",    "PROCEDURE SP_FILOMAR_ROWUNLOCKALL",
    "PROCEDURE SP_FILOMAR_ROWUNLOCKTBLALL", "PROCEDURE SP_FILOMAR_TBLUNLOCK", "FUNCTION CLIENTINFO",
    "FUNCTION MACHINE",                  "PROCEDURE SP_SET_CLIENT_INFO",      "FUNCTION DECODE_HEX",
    "FUNCTION HEXTOCHAR"};

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
  std::vector<ado::RecordedCall::Kind> Kinds() const {
    std::vector<ado::RecordedCall::Kind> kinds;
    for (const auto& call : server.Calls()) kinds.push_back(call.kind);
    return kinds;
  }
};

TEST_F(OracleLocksTest, SendsTheThirteenObjectsInOrderAsLineFeedTexts) {
  CreateOracleLockProcedures(server);

  const std::vector<std::string> sent = server.Statements();
  ASSERT_EQ(sent.size(), kOrder.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    SCOPED_TRACE(kOrder[i]);
    const std::string head = "CREATE OR REPLACE " + kOrder[i];
    ASSERT_EQ(sent[i].rfind(head, 0), 0u);
    EXPECT_TRUE(std::isspace(static_cast<unsigned char>(sent[i].at(head.size()))));
    EXPECT_EQ(sent[i].find('\r'), std::string::npos);
    EXPECT_NE(sent[i].find('\n'), std::string::npos);
    EXPECT_NE(sent[i].back(), '\n');
    EXPECT_EQ(server.Calls()[i + 1].timeoutSeconds, 0);
  }
  using K = ado::RecordedCall::Kind;
  std::vector<K> expected(13, K::Execute);
  expected.insert(expected.begin(), K::Open);
  expected.push_back(K::Close);
  EXPECT_EQ(Kinds(), expected);
  EXPECT_EQ(server.Opens().at(0).provider, ado::ProviderKind::Oracle);
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(OracleLocksTest, AFailureShowsEachErrorAndSendsNothingAfterIt) {
  const ado::Error compile{-2147217900, "ORA-24344: success with compilation error", "OraOLEDB", "42000", 24344};
  const ado::Error second{-2147217900, "ORA-06550: line 1", "OraOLEDB", "", 6550};
  server.FailWhen([](const std::string& sql) { return sql.find("SP_FILOMAR_IS_SIGNED_ON") != std::string::npos; },
                  {compile, second});
  CreateOracleLockProcedures(server);

  EXPECT_EQ(server.Statements().size(), 3u);
  EXPECT_EQ(server.Calls().back().kind, ado::RecordedCall::Kind::Close);
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

// The conversion's Oracle step creates the objects on every database, through its own server.
TEST_F(OracleLocksTest, EveryOracleConversionSendsThemThroughTheStepsServer) {
  for (const Step& step : ProductStepTable()) {
    const auto routine = std::find_if(step.routines.begin(), step.routines.end(),
                                      [](const StepRoutine& r) { return r.name == "CreateOracleLockProcedures"; });
    if (routine == step.routines.end()) continue;
    EXPECT_TRUE(Applies(step, Engine::Oracle, "STANDARD") && Applies(step, Engine::Oracle, "SALES"));
    EXPECT_FALSE(Applies(step, Engine::SqlServer, "STANDARD"));
    ConversionLog log;
    frmProgress progress;
    StepContext context{log, "SALES", "SAL", server, progress};
    routine->run(context);
  }
  EXPECT_EQ(server.Statements().size(), kOrder.size());
}

}  // namespace
