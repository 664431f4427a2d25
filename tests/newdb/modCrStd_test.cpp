// The creation of a new STANDARD database on a recording server and the real record library:
// the template runs, the calendar bytes, the statements each engine gets, the records written,
// and the detection of a database.
#include "newdb/modCrStd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <ctime>

#include "common/FrontEnd.h"
#include "common/General.h"
#include "newdb/Calendar.h"
#include "newdb/InitialContent.h"
#include "newdb/TemplateRun.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"
#include "support/RecordingProvider.h"
#include "support/Records.h"
#include "support/Screen.h"
#include "support/TempDir.h"

namespace {

using namespace filomar;
using Statements = std::vector<std::string>;

// STANDARD's catalogue row on Oracle, written out here rather than taken from the code.
const std::string kCatalogueBlock =
    "DECLARE\n" "sdb_NAME        varchar2(10);\n" "sdb_DIR         varchar2(46);\n" "sdb_DES         varchar2(30);\n"
    "sdb_IMG_DIR     varchar2(30);\n" "sdb_PREFIX      varchar2(3);\n" "sdb_VALID       varchar2(1);\n"
    "sdb_FTP_SERVER  varchar2(250);\n" "sdb_FTP_PORT    varchar2(10);\n" "sdb_FTP_PATH        varchar2(250);\n"
    "sdb_FTP_USERNAME    varchar2(50);\n" "sdb_FTP_USERPASSWD  varchar2(50);\n"
    "BEGIN\n" "   sdb_name       :='STANDARD  ';\n" "   sdb_dir        :=RPAD('data',46,' ');\n"
    "   sdb_des        :=RPAD('Standard initial database',30,' ');\n" "   sdb_img_dir    :=RPAD('images',30,' ');\n"
    "   sdb_prefix     :='std';\n" "   sdb_valid      :='Y';\n" "   sdb_FTP_SERVER :=RPAD(' ',250,' ');\n"
    "   sdb_FTP_PORT   :=RPAD(' ',10,' ');\n" "   sdb_FTP_PATH    :=RPAD(' ',250,' ');\n"
    "   sdb_FTP_USERNAME :=RPAD(' ',50,' ');sdb_FTP_USERPASSWD :=RPAD(' ',50,' ');\n"
    "insert into std_db (db_name,db_dir,db_des,db_img_dir,db_prefix,db_valid,db_FTP_SERVER,\n"
    "db_FTP_PORT,db_FTP_PATH,db_FTP_USERNAME,db_FTP_USERPASSWD) values\n"
    "  (HEXTORAW(RAWTOHEX(sdb_name)),HEXTORAW(RAWTOHEX(sdb_dir)),\n" "   HEXTORAW(RAWTOHEX(sdb_des)), HEXTORAW(RAWTOHEX(sdb_img_dir)),\n"
    "   HEXTORAW(RAWTOHEX(sdb_prefix)), HEXTORAW(RAWTOHEX(sdb_valid)),\n"
    "   HEXTORAW(RAWTOHEX(sdb_FTP_SERVER)),HEXTORAW(RAWTOHEX(sdb_FTP_PORT)),\n"
    "   HEXTORAW(RAWTOHEX(sdb_FTP_PATH)),HEXTORAW(RAWTOHEX(sdb_FTP_USERNAME)),\n" "   HEXTORAW(RAWTOHEX(sdb_FTP_USERPASSWD)));\n"
    "END;";

// Remembers what the creation showed of its progress.
class RecordedProgress : public CreationProgress {
 public:
  void Show(const std::string& heading, const std::string& database) override { shown.push_back(heading + " " + database); }
  void Status(const std::string& text) override { shown.push_back(text); }
  void Close() override { shown.push_back("closed"); }
  std::vector<std::string> shown;
};

// A program directory whose STANDARD store exists and holds no record yet, a connected record
// library, a private inter-process store, a recording server and a scripted front end.
class NewSite : public ::testing::Test {
 protected:
  testing_support::TempDir home;
  testing_support::ScopedEnv homeEnv{"FILOMAR_HOME", home.str()};
  testing_support::ScopedEnv ipcEnv{"FILOMAR_IPC_DIR", (home.path() / "ipc").string()};
  ui::ScriptedUi screen;
  ado::RecordingProviderFactory server;
  RecordedProgress progress;
  std::unique_ptr<testing_support::LibraryConnection> library;

  void SetUp() override {
    SetFrontEnd(screen);
    Session.Reset();
    std::filesystem::create_directory(home.path() / "data");
    ASSERT_EQ(io_createStore((home.path() / "data").c_str(), "std"), 0);
    library = std::make_unique<testing_support::LibraryConnection>();
  }
  void TearDown() override {
    Close_AllFiles();
    library.reset();
    DbEngine = Engine::SqlServer;
    Session.Reset();
  }

  std::string ProgramDirectory() const { return home.str() + "/"; }
  void WriteScript(const std::string& name, const std::string& text) const { home.Write(name, text); }
  // Runs the creation for `engine` ('S' or 'O').
  void Create(char engine) {
    DbEngine = engine == 'O' ? Engine::Oracle : Engine::SqlServer;
    CreateStandardDatabase(progress, ProgramDirectory(), server);
  }
  void RunTemplateOn(Engine engine) {
    DbEngine = engine;
    RunTemplate(ProgramDirectory(), server);
  }

  // The record of `file` whose key is `key` (blank padded), from STANDARD; empty when absent.
  static std::string Record(short file, const std::string& key) {
    SelectStandardDatabase();
    vb_io_open(file, "");
    ClearRecord(file);
    std::memcpy(Block(file).record, key.data(), key.size());
    vb_io_read(file, 0, 0);
    std::string record = vb_io_erc == 0 ? std::string(Block(file).record, reclib::kRecordSize) : "";
    vb_io_close(file);
    return record;
  }
  // Every record of `file` in key order, from STANDARD.
  static std::vector<std::string> Records(short file) {
    SelectStandardDatabase();
    vb_io_open(file, "");
    std::memset(Block(file).record, 0, reclib::kRecordSize);
    std::vector<std::string> records;
    vb_io_start(file, 0, 0, 1025);
    for (vb_io_next(file, 0); vb_io_erc == 0; vb_io_next(file, 0))
      records.emplace_back(Block(file).record, reclib::kRecordSize);
    vb_io_endstart(file);
    vb_io_close(file);
    return records;
  }
};

// Byte n (1 to 40) of the entry of `month` (1 to 12).
int Byte(const std::string& months, int month, int n) {
  return static_cast<unsigned char>(months.at(static_cast<std::size_t>((month - 1) * 40 + n - 1)));
}

TEST(CalendarMonths, LengthsFirstWeekdaysKindsOfDayAndZerosAfterTheLastDay) {
  struct Case { int year, month, days, firstWeekday; };
  // 1 January 1986 a Wednesday; 2000 a leap year
  const Case cases[] = {{1986, 1, 31, 4}, {1987, 2, 28, 1}, {2000, 2, 29, 3}, {2005, 4, 30, 6}, {2005, 12, 31, 5}};
  for (const Case& c : cases) {
    const std::string months = CalendarMonths(c.year);
    ASSERT_EQ(months.size(), 480u);
    EXPECT_EQ(Byte(months, c.month, 39), c.days) << c.year << "-" << c.month;
    EXPECT_EQ(Byte(months, c.month, 40), c.firstWeekday) << c.year << "-" << c.month;
  }
  const std::string january1986 = CalendarMonths(1986);
  EXPECT_EQ(Byte(january1986, 1, 1), kWorkingDay);
  EXPECT_EQ(Byte(january1986, 1, 4), kSaturday);
  EXPECT_EQ(Byte(january1986, 1, 5), kSunday);
  EXPECT_EQ(Byte(january1986, 1, 31), kWorkingDay);  // a Friday
  const std::string y1987 = CalendarMonths(1987);
  EXPECT_EQ(Byte(y1987, 2, 28), kSaturday);
  for (int n = 29; n <= 38; ++n) EXPECT_EQ(Byte(y1987, 2, n), 0) << n;
  const std::string y2000 = CalendarMonths(2000);
  EXPECT_EQ(Byte(y2000, 2, 27), kSunday);
  EXPECT_EQ(Byte(y2000, 2, 29), kWorkingDay);  // a Tuesday
}

TEST_F(NewSite, MissingLockScriptIsPassedOverAndObjectNotFoundIsNotShown) {
  WriteScript("Newstd7.tpl", "drop table old\ngo\ncreate table a (x int)\ngo\n");
  server.FailStatement(" drop table old", {{ado::kObjectNotFound, "no such table: old", "Microsoft OLE DB Provider for ODBC Drivers", "42S02", 1}});
  server.FailStatement(" create table a (x int)", {{ado::kStatementFailed, "table a exists", "Microsoft OLE DB Provider for ODBC Drivers", "HY000", 1}});
  RunTemplateOn(Engine::SqlServer);
  EXPECT_EQ(server.Statements().size(), 2u);
  ASSERT_EQ(screen.Shown().size(), 1u);  // only the other error
  EXPECT_EQ(screen.Shown()[0].title, "Error");
  EXPECT_EQ(screen.Shown()[0].text.rfind("Error #-2147217900\r   table a exists\r", 0), 0u) << screen.Shown()[0].text;
}

using testing_support::Padded;

std::string Hex(const std::string& bytes) {
  std::string hex;
  for (const unsigned char c : bytes) hex += {"0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
  return hex;
}

// The values of "insert into std_uid values (v1,v2,...)".
std::vector<std::string> UidValues(const std::string& sql) {
  const std::string head = "insert into std_uid values (";
  EXPECT_EQ(sql.rfind(head, 0), 0u) << sql;
  EXPECT_EQ(sql.back(), ')');
  std::vector<std::string> values;
  std::string rest = sql.substr(head.size(), sql.size() - head.size() - 1);
  for (std::size_t comma; (comma = rest.find(',')) != std::string::npos; rest = rest.substr(comma + 1))
    values.push_back(rest.substr(0, comma));
  values.push_back(rest);
  return values;
}

// The statements the creation sent, without the Oracle lock procedures (their own tests cover them).
Statements Sent(const ado::RecordingProviderFactory& server) {
  Statements sent = server.Statements();
  sent.erase(std::remove_if(sent.begin(), sent.end(), [](const std::string& s) { return s.rfind("CREATE OR REPLACE", 0) == 0; }),
             sent.end());
  return sent;
}

TEST_F(NewSite, SqlServerStatementsAfterTheTemplateAndTheLockScript) {
  WriteScript("NEWSTD7.TPL", "create table t (x int)\ngo\n");  // found in any case
  WriteScript("lock2k.sql", "create procedure p as\nselect 1\ngo\n");
  Create('S');
  const Statements sent = Sent(server);
  ASSERT_EQ(sent.size(), 6u);
  EXPECT_EQ(sent[0], " create table t (x int)");
  EXPECT_EQ(sent[1], " create procedure p as select 1");
  EXPECT_EQ(sent[2], "INSERT INTO std_sec values(convert(binary(6),'000000'),convert(binary(30),'" + Padded("EVERYONE", 30) + "'))");
  EXPECT_EQ(sent[4],
            "insert into std_db (db_name,  db_dir,  db_des,  db_img_dir,  db_prefix, db_valid) values "
            "(0x5354414e444152442020, 'data', 'Standard initial database', 'images','std', 'Y')");
  EXPECT_EQ(sent[5],
            "insert into std_udb(udb_uid,udb_dbname,udb_aono,udb_dblevel,udb_filler) values(convert(char(30),'FILOMAR'),"
            "convert(char(10),'STANDARD'),'','9','')");
  const std::vector<std::string> uid = UidValues(sent[3]);
  const std::vector<std::size_t> widths = {30, 30, 10, 6, 1, 10, 6, 1, 10, 6, 1, 10, 6, 1, 10, 6, 1, 10, 10, 1, 1, 1};
  ASSERT_EQ(uid.size(), widths.size());
  EXPECT_EQ(uid[0], "0x" + Hex(Padded("FILOMAR", 30)));
  EXPECT_EQ(uid[1], "0x" + Hex(Padded("FILOMAR ADMINISTRATOR", 30)));
  for (std::size_t i = 2; i < uid.size(); ++i) {
    ASSERT_EQ(uid[i].rfind("0x", 0), 0u) << uid[i];
    EXPECT_EQ((uid[i].size() - 2 + 1) / 2, widths[i]) << i << ": " << uid[i];
  }
  EXPECT_EQ(uid[21], "0x0");
  EXPECT_TRUE(screen.Shown().empty()) << screen.Shown().at(0).text;
  EXPECT_EQ(progress.shown, (Statements{"Creating database STANDARD", "Creating new tables", "Initialising new tables", "closed"}));
}

TEST_F(NewSite, OracleStatementsAfterTheTemplateAndTheCatalogueBlock) {
  WriteScript("Newstddb.tpl", "CREATE SEQUENCE std_sec_seq\r\n");
  Create('O');
  const Statements sent = Sent(server);
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0], "CREATE SEQUENCE std_sec_seq");
  EXPECT_EQ(sent[1], kCatalogueBlock);
  EXPECT_EQ(sent[2], "insert into std_sec values(std_sec_seq.nextval,HEXTORAW(RAWTOHEX('000000')),HEXTORAW(RAWTOHEX('" +
                         Padded("EVERYONE", 30) + "')))");
  const std::vector<std::string> uid = UidValues(sent[3]);
  ASSERT_EQ(uid.size(), 22u);
  EXPECT_EQ(uid[0], "HEXTORAW('" + Hex(Padded("FILOMAR", 30)) + "')");
  EXPECT_EQ(uid[21], "HEXTORAW('0')");
  EXPECT_EQ(sent[4], "insert into std_udb(udb_uid,udb_dbname,udb_aono,udb_dblevel,udb_filler) values(HEXTORAW('" +
                         Hex(Padded("FILOMAR", 30)) + "'),HEXTORAW('" + Hex(Padded("STANDARD", 10)) + "'),HEXTORAW('" +
                         Hex(Padded("", 10)) + "'),HEXTORAW(RAWTOHEX('9')),HEXTORAW('" + Hex(Padded("", 9)) + "'))");
  EXPECT_EQ(progress.shown, (Statements{"Creating database STANDARD", "Creating new tables", "Creating stored procedures",
                                        "Initialising new tables", "closed"}));
}

TEST_F(NewSite, MissingTemplateOfEitherEngineIsShownAndTheCreationGoesOn) {
  WriteScript("lock2k.sql", "create procedure p as select 1\ngo\n");
  Create('S');
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(testing_support::BoxAt(screen, 0),
            (testing_support::Box{"The SQL script template (TPL file) for the Database creation does not exist: \n" +
                                      ProgramDirectory() + "Newstd7.tpl\n\nThis template may be restored from the Filomar CD-ROM.",
                                  "Create Standard Database - SQL Script", 48}));
  EXPECT_EQ(Sent(server).size(), 4u);  // the server rows only: no lock script without the template
  EXPECT_NE(Record(CONF_FILE, "C00"), "");
  EXPECT_NE(Record(UID_FILE, "FILOMAR"), "");

  // Oracle's template has its own name; the catalogue row is sent without it.
  server = {};
  RunTemplateOn(Engine::Oracle);
  EXPECT_EQ(server.Statements(), Statements{kCatalogueBlock});
  ASSERT_EQ(screen.Shown().size(), 2u);
  EXPECT_EQ(screen.Shown()[1].title, "Create Standard Database - SQL Script");
  EXPECT_NE(screen.Shown()[1].text.find(ProgramDirectory() + "Newstddb.tpl\n\n"), std::string::npos);
}

// A time zone whose calendar day is not UTC's at this moment (UTC+14 from 11:00 UTC, UTC-11
// before), set for the life of the object.
class ZoneOfAnotherDay {
 public:
  ZoneOfAnotherDay() { tzset(); }
  static filomar::Date LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return filomar::Date{std::chrono::year(local.tm_year + 1900), std::chrono::month(local.tm_mon + 1),
                         std::chrono::day(local.tm_mday)};
  }

 private:
  struct TzsetAtTheEnd { ~TzsetAtTheEnd() { tzset(); } } reset_;  // after zone_ is restored
  testing_support::ScopedEnv zone_{"TZ", std::time(nullptr) / 3600 % 24 >= 11 ? "LOC-14" : "LOC+11"};
};

TEST_F(NewSite, RecordContent) {
  WriteScript("Newstd7.tpl", "");
  const ZoneOfAnotherDay zone;
  Create('S');
  EXPECT_TRUE(screen.Shown().empty());

  const std::vector<std::string> words = Records(STOP_FILE);
  ASSERT_EQ(words.size(), 12u);
  EXPECT_EQ(words.front().substr(0, 20), Padded("ALL", 20));

  const std::string c00 = Record(CONF_FILE, "C00");
  // 60-257 where the 4.0 audit dump path was, 258-375 not written: blank, never what the buffer held
  EXPECT_EQ(c00.substr(0, 384), "C00A" + std::string(20, '*') + "000000NNNNNNN0000000000000000000000Y" +
                                    std::string(316, ' ') + "66000000");
  EXPECT_EQ(c00.substr(436, 7), "AY500AY");
  EXPECT_EQ(c00.substr(803, 10), kNewSiteCode);
  EXPECT_EQ(c00.substr(843, 4), "0500");
  EXPECT_EQ(c00.substr(859, 18), "004500 NN3YNYNNN  ");
  EXPECT_EQ(c00.substr(895, 21), "NN YYYYYN  **********");
  EXPECT_EQ(Record(CONF_FILE, "C12").substr(3, 255), Padded(kNewAuditDumpPath, 255));
  EXPECT_EQ(Record(CONF_FILE, "C13").substr(3, 100), Padded("Default Letter", 100));
  EXPECT_EQ(Record(CONF_FILE, "C03").substr(3, 49), Padded("Default Action Sheet", 49));
  EXPECT_EQ(Record(CONF_FILE, "C09").substr(3, 90), "000000000000" + std::string(66, ' ') + "000000000000");

  EXPECT_EQ(Record(CODE_FILE, "L9").substr(11, 98), Padded("NINE", 70) + std::string(28, 'Y'));
  EXPECT_EQ(Record(CODE_FILE, "LM").substr(81, 28), "NNNNNYYNNNNYNNNNNNNNNNNNNNNN");
  // The buffer was cleared after the levels.
  EXPECT_EQ(Record(CODE_FILE, "D001").substr(11, 142), Padded("ACTIVE", 70) + std::string(72, ' '));
  EXPECT_EQ(Record(CODE_FILE, "UARCHIVED").substr(11, 70) + Record(CODE_FILE, "TINACTIVE").substr(11, 70), std::string(140, ' '));
  EXPECT_EQ(Record(CODE_FILE, "PREPLY").substr(11, 70), Padded("Document Reply", 70));
  EXPECT_EQ(Records(CODE_FILE).size(), 28u);
  const std::vector<std::string> years = Records(CAL_FILE);  // in key order: 00 .. 05, 86 .. 99
  ASSERT_EQ(years.size(), 20u);
  EXPECT_EQ(years.front().substr(0, 482), "00" + CalendarMonths(2000));
  EXPECT_EQ(years.at(5).substr(0, 482), "05" + CalendarMonths(2005));  // the last year written
  EXPECT_EQ(years.at(6).substr(0, 2) + years.back().substr(0, 2), "8699");

  EXPECT_EQ(Record(DB_FILE, "STANDARD").substr(0, 120),
            Padded("STANDARD", 10) + Padded("data", 46) + Padded("Standard initial database", 30) + Padded("images", 30) + "stdY");
  const std::string admin = Record(UID_FILE, "FILOMAR");
  EXPECT_EQ(admin.substr(30, 40) + admin.substr(75, 16) + admin.substr(123, 32) + admin.substr(165, 61),
            Padded("FILOMAR ADMINISTRATOR", 30) + Padded("FILOMAR", 10) + Padded("-2147483633", 16) + Padded("-2147483633", 16) +
                Padded("-2147483643", 16) + FormatDateForSystem(ZoneOfAnotherDay::LocalToday()) + "N" + std::string(50, ' '));
  EXPECT_EQ(Record(UDB_FILE, Padded("FILOMAR", 30) + "STANDARD").substr(50, 10), Padded("9", 10));
  EXPECT_TRUE(Session.AllFilesOpen);  // terminate closes them
}

TEST_F(NewSite, RecordFailureIsShownAndTheServerRowsStillGo) {
  WriteScript("Newstd7.tpl", "");
  // A C00 row that is already there makes the first CONF write fail.
  testing_support::InsertRecord(CONF_FILE, {{&CONF_RowKey, "C00"}});
  Create('S');
  EXPECT_EQ(testing_support::Texts(screen),
            (Statements{"Database incorrectly created - please remove it from disk manually, correct the problem and try again"}));
  EXPECT_EQ(Sent(server).size(), 4u);
  EXPECT_EQ(Record(CODE_FILE, "L9"), "");  // the content stopped at CONF
}

// Detection on each engine: a missing table means no database; any other failure is shown and
// counts as a database present, so that a site that could not be read is never created over.
TEST_F(NewSite, StandardDetectionOnEachEngine) {
  const ado::Error notFound{ado::kObjectNotFound, "no such table: x", "src", "42S02", 1};
  const ado::Error other{ado::kStatementFailed, "no such function: RAWTOHEX", "src", "HY000", 1};
  const std::string sqlServer = "select * from filomar_rowlock", oracle = "select RAWTOHEX(db_name) from std_db";
  struct Case {
    Engine engine;
    std::function<void(ado::RecordingProviderFactory&)> setUp;
    bool exists, shown;
  };
  const Case cases[] = {
      {Engine::SqlServer, [&](auto& s) { s.FailStatement(sqlServer, {notFound}); }, false, false},
      {Engine::SqlServer, [&](auto& s) { s.FailOpen({{ado::kConnectionFailed, "refused", "src", "08001", 1}}); }, true, true},
      {Engine::Oracle, [](auto&) {}, false, false},  // an empty std_db
      {Engine::Oracle, [&](auto& s) { s.SetRows(oracle, {{"RAWTOHEX(DB_NAME)"}, {{std::string("5354414E44415244")}}}); }, true, false},
      {Engine::Oracle, [&](auto& s) { s.FailStatement(oracle, {notFound}); }, false, false},
      {Engine::Oracle, [&](auto& s) { s.FailStatement(oracle, {other}); }, true, true}};
  for (const Case& c : cases) {
    ado::RecordingProviderFactory recording;
    c.setUp(recording);
    DbEngine = c.engine;
    const std::size_t shownBefore = screen.Shown().size();
    EXPECT_EQ(StandardDatabaseExists(recording), c.exists) << &c - cases;
    EXPECT_EQ(screen.Shown().size() > shownBefore, c.shown) << &c - cases;
    if (!recording.Statements().empty()) {
      EXPECT_EQ(recording.Statements(), Statements{c.engine == Engine::Oracle ? oracle : sqlServer});
    }
  }
  EXPECT_NE(screen.Shown().back().text.find("no such function: RAWTOHEX"), std::string::npos);
}

}  // namespace
