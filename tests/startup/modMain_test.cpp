#include "startup/modMain.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "StartupSite.h"
#include "newdb/OracleLocks.h"
#include "common/General.h"
#include "platform/copylib/InstallRecordFile.h"
#include "platform/ipc/ipc.h"
#include "platform/reclib/trace.h"
#include "recio/Vb_io.h"
#include "shared/DbEngine.h"

using namespace filomar;
using startup_test::StartupSite;

namespace {

// Each case: the command line, then "on", channels 0-6, C, A and I as 0/1 ("L" and "/X" have no effect).
TEST(GetCmdLineArgs, TraceChannelsFromTheCommandLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"/T0/D", "1 1000000 000"}, {"/t", "1 1111111 111"},  // no letters: every channel
      {"/TZZ /d", "1 0000000 000"},  // lower-case "/d" is not cut off; "ZZ" selects nothing
      {"/X3 /T1L", "1 0100000 000"}, {"", "0 0000000 000"}};
  for (const auto& [line, expected] : cases) {
    Session.traceSwitches = {};
    GetCmdLineArgs(line);
    const auto& t = Session.traceSwitches;
    std::string got = t.on ? "1 " : "0 ";
    for (int c = 0; c < 7; ++c) got += t.channel[c] ? '1' : '0';
    got += std::string(" ") + "01"[t.C] + "01"[t.A] + "01"[t.I];
    EXPECT_EQ(got, expected) << line;
  }
}

// A start-up whose hand-overs record what they were asked to do.
struct RecordingHandOvers : StartupHandOvers {
  int signOns = 0, mainWindows = 0;
  short acceptSignOn = 1;
  std::vector<std::string> events;
  bool ProductDatabaseExists() override { return true; }
  void RecreateOracleLockProcedures() override {
    events.push_back("lock objects");
    CreateOracleLockProcedures();
  }
  bool CreateStandardDatabase() override { return true; }
  int ShowSignOn() override {
    events.push_back("sign-on");
    ++signOns;
    Session.SignOnAccepted = acceptSignOn;
    return kExitCancelled;
  }
  void ShowMainWindow() override { ++mainWindows; }
};

class StartProgramTest : public StartupSite {
 protected:
  RecordingHandOvers handOvers;
  // The exit status StartProgram ended with, or -1 when it returned to the main window.
  int Start(const std::string& commandLine = "") {
    try {
      StartProgram(commandLine, handOvers);
      return -1;
    } catch (const ProgramEnd& end) {
      return end.status;
    }
  }
  std::filesystem::path TraceFile() const { return home.path() / reclib::kTraceFileName; }
};

TEST_F(StartProgramTest, SignOnAcceptedLeadsToTheMainWindowHoldingMatr) {
  AddDatabase("OTHER", "other", "oth", "400A");
  EXPECT_EQ(Start("/T"), -1);
  EXPECT_EQ(handOvers.signOns, 1);
  EXPECT_EQ(handOvers.mainWindows, 1);
  EXPECT_TRUE(Session.MatrExclusive);
  // The selection is back on STANDARD and no CONF was left open by the version check.
  std::string dir, prefix;
  vb_io_getDirectory(ConnHandle, dir, prefix);
  EXPECT_EQ(dir + "/" + prefix, "data/std");
  vb_io_read(CONF_FILE, 0, 0);
  EXPECT_NE(vb_io_erc, 0);
  terminate();
  EXPECT_NE(testing_support::ReadFile(TraceFile()).find("Terminating FLMFKEY module"), std::string::npos);
}

TEST_F(StartProgramTest, TraceKeepsItsSetUpLinesAndT0TracesChannel0Only) {
  EXPECT_EQ(Start("/T"), -1);
  terminate();
  std::istringstream all(testing_support::ReadFile(TraceFile()));
  std::string first, second;
  std::getline(all, first);
  std::getline(all, second);
  EXPECT_NE(first.find("[0] TRACE_Enable 00 := -1"), std::string::npos) << first;
  EXPECT_NE(second.find("[0] TRACE_Enable 1 := -1"), std::string::npos) << second;

  std::filesystem::remove(TraceFile());
  EXPECT_EQ(Start("/T0/D"), -1);
  MsgBoxTrace("a message box line", ui::mb::OKOnly, "");
  terminate();
  const std::string text = testing_support::ReadFile(TraceFile());
  EXPECT_NE(text.find("init0() End"), std::string::npos) << text;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_NE(line.find(" [0] "), std::string::npos) << line;
}

TEST_F(StartProgramTest, ClientDirectoryLeftByAnotherRunIsReplacedAndWithdrawnAtTheEnd) {
  AddDatabase("OTHER", "other", "oth", "400A");
  testing_support::TempDir otherSite;
  const std::string stale = otherSite.str();
  const pid_t earlierRun = fork();
  if (earlierRun == 0) _exit(ipc_write("FLMWIN_PATH", stale.data(), static_cast<int>(stale.size())));
  int status = 0;
  waitpid(earlierRun, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);

  EXPECT_EQ(Start(), -1);  // this site's STANDARD and its database to convert
  EXPECT_EQ(handOvers.signOns, 1);
  terminate();
  int length = 0;
  EXPECT_NE(ipc_read("FLMWIN_PATH", nullptr, &length), 0);
}

TEST_F(StartProgramTest, OracleRecreatesTheLockObjectsBeforeTheSignOn) {
  const Engine saved = DbEngine;
  handOvers.acceptSignOn = 0;
  for (const char engine : {'S', 'O'}) {
    SCOPED_TRACE(engine);
    ASSERT_FALSE(copylib::WriteInstallRecord(home.path(), engine, "pw"));
    handOvers.events.clear();
    const std::size_t sentBefore = server.Statements().size();
    Start();
    const bool oracle = engine == 'O';
    const std::vector<std::string> expected =
        oracle ? std::vector<std::string>{"lock objects", "sign-on"} : std::vector<std::string>{"sign-on"};
    EXPECT_EQ(handOvers.events, expected);
    EXPECT_EQ(server.Statements().size() - sentBefore, oracle ? OracleLockObjects().size() : 0u);
  }
  DbEngine = saved;
}

}  // namespace
