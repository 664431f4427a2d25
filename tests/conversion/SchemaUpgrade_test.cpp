// The upgrade-script runners on a recording server, and a user level that cannot be stored.
#include "conversion/steps/SchemaUpgrade.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/FrontEnd.h"
#include "platform/reclib/Fixture.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Connection.h"
#include "shared/DbEngine.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

using namespace filomar;
using testing_support::ReadFile;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using Statements = std::vector<std::string>;

namespace {

class ScriptRun : public ::testing::Test {
 protected:
  TempDir home;
  ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  ui::ScriptedUi screen;
  ado::RecordingProviderFactory server;
  ConversionLog log{[] { return std::tm{}; }, std::locale::classic()};
  frmProgress progress;
  report::StepReport noted;  // the server errors the step noted for the run report

  void SetUp() override {
    SetFrontEnd(screen);
    std::string error;
    ASSERT_TRUE(log.Open((home.path() / "convert5.log").string(), error)) << error;
  }

  // Runs `step` for the database `dbName` with `prefix` on the script `file` holding `script`
  // (no file when `script` is "-"); yields the log after its four header lines.
  std::string Run(void (*step)(StepContext&), const std::string& file, const std::string& script,
                  const std::string& dbName = "FINANCE", const std::string& prefix = "abc",
                  ado::ProviderFactory* factory = nullptr) {
    if (script != "-") home.Write(file, script);
    StepContext ctx{log, dbName, prefix, factory ? *factory : server, progress};
    ctx.step = &noted;
    step(ctx);
    const std::string text = ReadFile(home.path() / "convert5.log");
    std::size_t at = 0;
    for (int line = 0; line < 4; ++line) at = text.find("\r\n", at) + 2;
    return text.substr(at);
  }
  std::string Sql(const std::string& script) { return Run(steps::UpdateTablesSQL5, "flm50.sql", script); }
};

const ado::Error kRefused{ado::kStatementFailed, "exists", "Microsoft OLE DB Provider for ODBC Drivers", "42S01", 2714};
const ado::Error kSecond{-2147217900, "batch aborted", "Microsoft OLE DB Provider for ODBC Drivers", "01000", 0};

TEST_F(ScriptRun, BatchesEndAtGoLinesWithThePrefixPutIn) {
  // LF and CR LF line ends; high bytes reach the server and the log unchanged.
  const std::string logged = Sql(
      "Print 'Upgrading xxx_file \xe9'\r\n"
      "create table xxx_x (XXX_y int)\n"
      "insert into xxx_x values ('xxx_xxx_\x80\xff')\r\n"
      "GO \r\n"
      " go\n"
      "gone\n"
      "go\n"
      "go\n"
      "select 1\n");
  EXPECT_EQ(server.Statements(),
            (Statements{"\ncreate table abc_x (XXX_y int)\ninsert into abc_x values ('abc_abc_\x80\xff')",
                        "\n go\ngone", "\nselect 1"}));
  // After each "go" an empty line; the second of two "go" in a row has nothing to send.
  EXPECT_EQ(logged, "     Print 'Upgrading abc_file \xe9'\r\n\r\n\r\n\r\n");
  EXPECT_EQ(screen.DoEventsCalls(), 3);  // the window is kept alive once per batch
}

TEST_F(ScriptRun, SharedTablesAreChangedOnlyWithTheStandardDatabase) {
  const std::string script = "alter table STD_filter add x int\ngo\nalter table xxx_a add x int\ngo\nupdate std_db set a=1\n";
  struct Case { std::string dbName, prefix; Statements sent; };
  for (const Case& c : {Case{"STANDARD", "std", {"\nalter table STD_filter add x int", "\nalter table std_a add x int",
                                                 "\nupdate std_db set a=1"}},
                        // the remainder after the last "go" is sent whatever it names
                        Case{"FINANCE", "fin", {"\nalter table fin_a add x int", "\nupdate std_db set a=1"}}}) {
    ado::RecordingProviderFactory own;
    Run(steps::UpdateTablesSQL5, "flm50.sql", script, c.dbName, c.prefix, &own);
    EXPECT_EQ(own.Statements(), c.sent) << c.prefix;
  }
}

TEST_F(ScriptRun, PrintAnywhereInAnyCaseIsARemark) {
  const std::string logged = Sql("PRINT 'a'\n  -- fingerprint of xxx_t\nsprinted\nprin t\nPrInT\ngo\n");
  EXPECT_EQ(server.Statements(), Statements{"\nprin t"});
  EXPECT_EQ(logged, "     PRINT 'a'\r\n       -- fingerprint of abc_t\r\n     sprinted\r\n     PrInT\r\n\r\n");
}

TEST_F(ScriptRun, EachErrorOfARefusedBatchIsOneLogEntryAndTheScriptGoesOn) {
  server.FailStatement("\nalter a\nalter b", {kRefused, kSecond});
  const std::string logged = Sql("alter a\nalter b\ngo\nalter c\ngo\n");
  EXPECT_EQ(server.Statements(), (Statements{"\nalter a\nalter b", "\nalter c"}));
  // Each error's text, the batch's text after a line feed; then the empty line of each "go".
  EXPECT_EQ(logged, ServerError(kRefused) + "\nalter a\nalter b\r\n" + ServerError(kSecond) + "\nalter a\nalter b\r\n\r\n\r\n");
  ASSERT_EQ(noted.serverErrors.size(), 2u);  // and each in the run report, with its statement
  EXPECT_EQ(noted.serverErrors[1].statement, "\nalter a\nalter b");
  EXPECT_EQ(noted.serverErrors[1].error, ServerError(kSecond));
}

TEST_F(ScriptRun, OracleSendsEachNonBlankLineAsOneStatement) {
  server.FailStatement("create table fin_t (a int,", {kRefused});
  const std::string logged = Run(steps::UpdateTablesORACLE5, "flm50ora.sql",
                                 "\n   \n\r\nPrint 'Oracle xxx_t'\ncreate table xxx_t (a int,\n  b int)\n"
                                 "alter table std_filter add (x raw(30))\nPrint 'std_filter'\n",
                                 "FINANCE", "fin");
  // A statement over two lines goes as two broken ones; std_ lines are dropped for FINANCE.
  EXPECT_EQ(server.Statements(), (Statements{"create table fin_t (a int,", "  b int)"}));
  EXPECT_EQ(logged, "     Print 'Oracle fin_t'\r\ncreate table fin_t (a int, " + ServerError(kRefused) + "\r\n");
  ASSERT_EQ(noted.serverErrors.size(), 1u);
  EXPECT_EQ(noted.serverErrors[0].statement, "create table fin_t (a int,");
  EXPECT_EQ(screen.DoEventsCalls(), 2);

  ado::RecordingProviderFactory standard;
  const std::string standardLog = Run(steps::UpdateTablesORACLE5, "flm50ora.sql", "-", "STANDARD", "std", &standard);
  EXPECT_EQ(standard.Statements(), (Statements{"create table std_t (a int,", "  b int)",
                                               "alter table std_filter add (x raw(30))"}));
  EXPECT_NE(standardLog.find("     Print 'std_filter'\r\n"), std::string::npos);
}

TEST_F(ScriptRun, AScriptThatCannotBeOpenedOrReadSendsNothingAndSaysWhy) {
  const std::string path = home.str() + "/flm50.sql";
  EXPECT_EQ(Sql("-"), "The upgrade script " + path + " could not be opened (No such file or directory); nothing of it was sent\r\n");
  EXPECT_TRUE(server.Statements().empty());

  // A FIFO in the script's place is refused at once: opening it to read would wait for a writer.
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_NE(Sql("-").find(path + " could not be opened (Invalid argument); nothing of it was sent"), std::string::npos);
  EXPECT_TRUE(server.Statements().empty());
}

TEST_F(ScriptRun, LongLinesAndNulBytes) {
  const std::string longStatement = "select '" + std::string(100000, 'x') + "'";
  const std::string longRemark = "print " + std::string(100000, 'y');
  const std::string withNul = std::string("delete from xxx_t") + '\0' + " where k = 1";
  const std::string logged =
      Sql(longStatement + "\n" + longRemark + "\ngo\n" + withNul + "\ngo\nselect 3\ngo\n" + std::string("Print '\0'\n", 10));
  // Text after a NUL would be cut off by the driver: that batch is not sent at all.
  EXPECT_EQ(server.Statements(), (Statements{"\n" + longStatement, "\nselect 3"}));
  EXPECT_EQ(logged, "     " + longRemark + "\r\n\r\n" + "Not sent: the statement of " + home.str() +
                        "/flm50.sql that ends at line 5 holds a NUL character\r\n\r\n\r\n" + "     Print '" + '\0' +
                        "'\r\n");
}

// ---- the user levels in the CODE file

class UserLevels : public ScriptRun {
 protected:
  ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", (home.path() / "ipc").string()};

  void SetUp() override {
    ScriptRun::SetUp();
    std::filesystem::create_directory(home.path() / "data");
    ASSERT_EQ(io_createStore((home.path() / "data").c_str(), "std"), 0);
    DbEngine = Engine::Oracle;
  }
  void TearDown() override { DbEngine = Engine::SqlServer; }

  // "description|flags1|flags2" of the level record with `key`, or "missing".
  static std::string Level(const std::string& key) {
    vb_io_open(CODE_FILE, "");
    PutField(CODE_Key, key);
    vb_io_read(CODE_FILE, 0, 0);
    std::string found = "missing";
    if (vb_io_erc == 0) {
      const std::string record(Block(CODE_FILE).record, 153);
      found = GetText(CODE_Description) + "|" + record.substr(81, 28) + "|" + record.substr(109, 44);
    }
    vb_io_close(CODE_FILE);
    return found;
  }
};

TEST_F(UserLevels, ALevelThatCannotBeStoredEndsTheStepAndIsLogged) {
  // Another user of the site, forked before this process opens anything, holds L5 locked.
  reclib_test::OtherProcess other({[] {
    FileBlock block = reclib_test::Block("CODE");
    io_open(&block, nullptr);
    reclib_test::SetRecord(block, "L5");
    return io_read(&block, 0, 1);
  }});
  testing_support::LibraryConnection library;
  testing_support::InsertRecord(CODE_FILE, {{&CODE_Key, "L5"}, {&CODE_Description, "OLD FIVE"}});
  ASSERT_EQ(other.Run(), 0);
  const std::string logged = Run(steps::UpdateOraclePrivs, "", "-", "STANDARD", "std");
  EXPECT_EQ(vb_io_erc, reclib::kRecordLocked);
  EXPECT_EQ(Level("L4"), "FOUR|YYYYYYYNYNNNNNNNNNNNNNNNNNNN|NNYYNYYNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN");
  EXPECT_EQ(Level("L5").substr(0, 9), "OLD FIVE|");
  EXPECT_EQ(Level("L6"), "missing");
  EXPECT_EQ(logged, "The user level L5 could not be stored in the CODE file (status 59); the levels after it were "
                    "not written\r\n");
}

}  // namespace
