// The built filomar-convert on a server without a product database: the warning, the creation
// through the batch face, the next start, the administrator's sign-on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/DemoSite.h"
#include "support/ProgramRun.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ProgramRun;
using testing_support::ReadFile;
using testing_support::RunShell;
using testing_support::ScopedEnv;

class EmptySite : public ::testing::Test {
 protected:
  testing_support::TempDir temp;
  fs::path dir = temp.path() / "site";
  ScopedEnv home{"FILOMAR_HOME", dir.string()};
  ScopedEnv odbc{"ODBCINI", (dir / "odbc.ini").string()};
  ScopedEnv ipc{"FILOMAR_IPC_DIR", (dir / "ipc").string()};

  void SetUp() override {
    const auto made = testing_support::RunSiteTool({"empty", dir.string()});
    ASSERT_EQ(made.exitCode, 0) << made.err;
  }
  ProgramRun Run(const std::string& args, const std::string& input = "") {
    const std::string feed = input.empty() ? "" : "echo " + input + " | ";
    return RunShell(feed + "'" FILOMAR_CONVERT_EXE "' --batch " + args, temp.path() / "run.out");
  }
};

// The server is left byte for byte; the record store gets no record (start-up's hold on MATR
// is all it sees).
TEST_F(EmptySite, CancelAtTheWarningTouchesNothing) {
  const std::string server = ReadFile(dir / "server.sqlite");
  const ProgramRun run = Run("--answer Cancel");
  EXPECT_NE(run.out.find("[Warning!]\nThere was no database detected."), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Creating database"), std::string::npos) << run.out;
  EXPECT_TRUE(ReadFile(dir / "server.sqlite") == server);
  for (const char* code : {"CONF", "CODE", "UID", "DB", "UDB"}) {
    const auto dump = testing_support::RunSiteTool({"dump", dir.string(), "data", "std", code});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_EQ(dump.out, "") << code;
  }
}

TEST_F(EmptySite, CreatedDatabaseEndsTheNextStartAndTheAdministratorSignsOn) {
  const ProgramRun created = Run("--answer OK");
  EXPECT_EQ(created.status, 0) << created.out;
  EXPECT_EQ(created.out.find("[Error]"), std::string::npos) << created.out;
  EXPECT_EQ(created.out.find("Database incorrectly created"), std::string::npos) << created.out;
  EXPECT_NE(created.out.find("STANDARD:Initialising new tables"), std::string::npos) << created.out;
  const std::string ending = "The database creation process has completed.\n[OK] -> OK\n";
  ASSERT_GE(created.out.size(), ending.size());
  EXPECT_EQ(created.out.substr(created.out.size() - ending.size()), ending) << created.out;

  const ProgramRun next = Run("--user FILOMAR --password-stdin", "FILOMAR");
  EXPECT_EQ(next.status, 0) << next.out;
  EXPECT_EQ(next.out, "");  // STANDARD is at 500A: nothing to convert, nothing said

  {
    testing_support::LibraryConnection library;
    testing_support::SetVersionCode("400A");
  }
  const ProgramRun signedOn = Run("--user FILOMAR --password-stdin --log convert5.log", "FILOMAR");
  EXPECT_NE(signedOn.out.find("Sign-on as FILOMAR"), std::string::npos) << signedOn.out;
  EXPECT_NE(signedOn.out.find("Converting Database STANDARD"), std::string::npos) << signedOn.out;
}

}  // namespace
