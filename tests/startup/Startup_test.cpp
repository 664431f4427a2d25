// Start-up and sign-on on a small installation: the command line's trace switches, the
// start-up's hand-overs, the trace, the client directory, the Oracle lock objects, and the
// sign-on window's checks and database list.
#include "startup/modMain.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "StartupSite.h"
#include "common/General.h"
#include "frontends/faces/LoginFace.h"
#include "newdb/OracleLocks.h"
#include "platform/copylib/InstallRecordFile.h"
#include "platform/ipc/ipc.h"
#include "platform/reclib/trace.h"
#include "recio/Vb_io.h"
#include "shared/DbEngine.h"
#include "startup/login.h"

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

// A client directory left by an earlier run on another site is replaced (this site's databases
// are read) and withdrawn at the end.
TEST_F(StartProgramTest, SignOnAcceptedLeadsToTheMainWindowHoldingMatrAndTraced) {
  AddDatabase("OTHER", "other", "oth", "400A");
  testing_support::TempDir otherSite;
  const std::string stale = otherSite.str();
  const pid_t earlierRun = fork();
  if (earlierRun == 0) _exit(ipc_write("FLMWIN_PATH", stale.data(), static_cast<int>(stale.size())));
  int status = 0;
  waitpid(earlierRun, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);

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
  int length = 0;
  EXPECT_NE(ipc_read("FLMWIN_PATH", nullptr, &length), 0);
  const std::string trace = testing_support::ReadFile(TraceFile());
  EXPECT_NE(trace.find("Terminating FLMFKEY module"), std::string::npos);
  // The trace keeps its set-up lines, first.
  const std::size_t first = trace.find('\n'), second = trace.find('\n', first + 1);
  EXPECT_LT(trace.find("[0] TRACE_Enable 00 := -1\n"), first) << trace;
  EXPECT_LT(trace.find("[0] TRACE_Enable 1 := -1\n"), second) << trace;
  EXPECT_GT(trace.find("[0] TRACE_Enable 1 := -1\n"), first) << trace;
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
    EXPECT_EQ(handOvers.events, (oracle ? std::vector<std::string>{"lock objects", "sign-on"} : std::vector<std::string>{"sign-on"}));
    EXPECT_EQ(server.Statements().size() - sentBefore, oracle ? OracleLockObjects().size() : 0u);
  }
  DbEngine = saved;
}

// ---- the sign-on window

class LoginTest : public StartupSite {
 protected:
  login form;

  void SetUp() override {
    StartupSite::SetUp();
    AddDatabase("OTHER", "other", "oth", "400A");
    AddUser("FILOMAR", "FILOMAR");
    AddAccess("FILOMAR", "STANDARD", "9");
    AddAccess("FILOMAR", "OTHER", "5");
    AddAccess("FILOMAR", "NOSUCHDB", "9");
    init0();
    form.Form_Load();
  }
  // Presses OK with the given entries; the exit status when the run ended, else -1.
  int SignOn(const std::string& user, const std::string& password) {
    form.UID_Change(user);
    form.PWD_Change(password);
    try {
      form.ok_Click();
      return -1;
    } catch (const ProgramEnd& end) {
      return end.status;
    }
  }
  std::string Published(const char* key) {
    char buffer[64];
    int length = sizeof buffer;
    if (ipc_read(key, buffer, &length) != 0) return "<missing>";
    return std::string(buffer, static_cast<std::size_t>(length));
  }
};

TEST_F(LoginTest, UserIdAndPasswordAreTrimmedAndComparedInUpperCase) {
  EXPECT_EQ(SignOn("  filomar ", "  filomar "), -1);
  EXPECT_TRUE(form.closed);
  EXPECT_EQ(Session.SignOnAccepted, 1);
  EXPECT_EQ(Session.SignedOnUserId, "FILOMAR");
  EXPECT_EQ(Published("DATABASEDIR") + "|" + Published("DB_PREFIX") + "|" + Published("DATABASENAME") + "|" +
                Published("USER_ID") + "|" + Published("USER_PASSWORD"),
            "data|std|STANDARD|FILOMAR|FILOMAR");
  EXPECT_TRUE(screen.Shown().empty());
}

TEST(PasswordLine, EndsBeforeLfOrCrLf) {
  for (const char* input : {"FILOMAR\r\nrest", "FILOMAR\nrest", "FILOMAR"}) {
    std::istringstream in(input);
    EXPECT_EQ(ui::ReadPasswordLine(in), "FILOMAR") << input;
  }
  std::istringstream inner("A\rB\r\n");
  EXPECT_EQ(ui::ReadPasswordLine(inner), "A\rB");
}

TEST_F(LoginTest, ThirdFailureEndsTheRun) {
  EXPECT_EQ(SignOn("FILOMAR", "wrong"), -1);
  EXPECT_EQ(form.PWD, "");
  EXPECT_EQ(form.focus, login::Control::PWD);
  EXPECT_EQ(SignOn("NOBODY", "x"), -1);
  EXPECT_EQ(form.focus, login::Control::UID);
  EXPECT_EQ(SignOn("FILOMAR", "c"), kExitFailure);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Invalid password. Try again.", "Invalid user id. Try again.",
                                                  "Maximum Number of Attempts Exceeded"}));
  EXPECT_EQ(ConnHandle, -1);
}

TEST_F(LoginTest, DatabaseListLeavesOutUncataloguedAndRefillsOnlyOnChange) {
  form.UID_Change("FILOMAR");
  form.Combo1_GotFocus();
  EXPECT_EQ(form.Combo1, (std::vector<std::string>{"OTHER - OTHER records", "STANDARD - STANDARD records"}));
  EXPECT_EQ(form.keys, (std::vector<std::string>{"other", "data"}));
  EXPECT_EQ(form.Combo1ListIndex, 0);
  form.Combo1_Click(1);
  form.Combo1_GotFocus();  // same user id: the list and the choice stay
  EXPECT_EQ(form.keysListIndex, 1);
  form.UID_Change("NOBODY");
  form.Combo1_GotFocus();
  EXPECT_EQ(form.Combo1, std::vector<std::string>{"    "});
}

// Users whose level or password records are unusual, each signing on with "secret": -1 signed
// on, -2 refused with the window still open, else the exit status.
TEST_F(StartupSite, OnlyLevelNineAndAMatchingStoredPasswordSignOn) {
  struct Case { const char *user, *stored, *level; bool access; int result; };
  for (const Case& c : {Case{"TRAILING", "SECRET", "9 ", true, -1},
                        Case{"BLANKS", " secret", "9", true, -2},  // leading blanks never match
                        Case{"ZERONINE", "secret", "09", true, kExitFailure},
                        Case{"NOACCESS", "secret", "", false, kExitFailure}}) {
    AddUser(c.user, c.stored);
    if (c.access) AddAccess(c.user, "STANDARD", c.level);
    init0();
    login form;
    form.Form_Load();
    form.UID_Change(c.user);
    form.PWD_Change("secret");
    try {
      form.ok_Click();
      EXPECT_EQ(Session.SignOnAccepted == 1 ? -1 : -2, c.result) << c.user;
      terminate();
    } catch (const ProgramEnd& end) {
      EXPECT_EQ(end.status, c.result) << c.user;
    }
  }
  const std::string noLevel = "You must have level 9 to run the Conversion utility";
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Invalid password. Try again.", noLevel, noLevel}));
}

TEST_F(LoginTest, BatchFaceNeverShowsTheRefusedPassword) {
  std::ostringstream out;
  login batchForm;
  EXPECT_EQ(ui::RunLoginInBatch(batchForm, out, "FILOMAR", "nope"), kExitFailure);
  EXPECT_EQ(out.str().find("nope"), std::string::npos);
}

}  // namespace
