// The creation of a new STANDARD database on a recording server and the real record library:
// the statements each engine gets, the records written, and the detection of a database.
#include "newdb/modCrStd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "NewSite.h"
#include "newdb/InitialContent.h"
#include "newdb/TemplateRun.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"
#include "support/Screen.h"

namespace newdb_test {
namespace {

using namespace filomar;
using Statements = std::vector<std::string>;

std::string Pad(const std::string& text, std::size_t width) { return text + std::string(width - text.size(), ' '); }

std::string Hex(const std::string& bytes) {
  std::string hex;
  char digits[3];
  for (const unsigned char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", c);
    hex += digits;
  }
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

std::string Field(const std::string& record, std::size_t offset, std::size_t length) { return record.substr(offset, length); }

TEST_F(NewSite, SqlServerStatementsAfterTheTemplate) {
  WriteScript("Newstd7.tpl", "create table t (x int)\ngo\n");
  Create('S');
  const Statements sent = Sent(server);
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0], " create table t (x int)");
  EXPECT_EQ(sent[1], "INSERT INTO std_sec values(convert(binary(6),'000000'),convert(binary(30),'" + Pad("EVERYONE", 30) + "'))");
  EXPECT_EQ(sent[3],
            "insert into std_db (db_name,  db_dir,  db_des,  db_img_dir,  db_prefix, db_valid) values "
            "(0x5354414e444152442020, 'data', 'Standard initial database', 'images','std', 'Y')");
  EXPECT_EQ(sent[4],
            "insert into std_udb(udb_uid,udb_dbname,udb_aono,udb_dblevel,udb_filler) values(convert(char(30),'FILOMAR'),"
            "convert(char(10),'STANDARD'),'','9','')");
  const std::vector<std::string> uid = UidValues(sent[2]);
  const std::vector<std::size_t> widths = {30, 30, 10, 6, 1, 10, 6, 1, 10, 6, 1, 10, 6, 1, 10, 6, 1, 10, 10, 1, 1, 1};
  ASSERT_EQ(uid.size(), widths.size());
  EXPECT_EQ(uid[0], "0x" + Hex(Pad("FILOMAR", 30)));
  EXPECT_EQ(uid[1], "0x" + Hex(Pad("FILOMAR ADMINISTRATOR", 30)));
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
  EXPECT_EQ(sent[1], OracleCatalogueBlock());
  EXPECT_EQ(sent[2], "insert into std_sec values(std_sec_seq.nextval,HEXTORAW(RAWTOHEX('000000')),HEXTORAW(RAWTOHEX('" +
                         Pad("EVERYONE", 30) + "')))");
  const std::vector<std::string> uid = UidValues(sent[3]);
  ASSERT_EQ(uid.size(), 22u);
  EXPECT_EQ(uid[0], "HEXTORAW('" + Hex(Pad("FILOMAR", 30)) + "')");
  EXPECT_EQ(uid[21], "HEXTORAW('0')");
  EXPECT_EQ(sent[4], "insert into std_udb(udb_uid,udb_dbname,udb_aono,udb_dblevel,udb_filler) values(HEXTORAW('" +
                         Hex(Pad("FILOMAR", 30)) + "'),HEXTORAW('" + Hex(Pad("STANDARD", 10)) + "'),HEXTORAW('" +
                         Hex(Pad("", 10)) + "'),HEXTORAW(RAWTOHEX('9')),HEXTORAW('" + Hex(Pad("", 9)) + "'))");
  EXPECT_EQ(progress.shown, (Statements{"Creating database STANDARD", "Creating new tables", "Creating stored procedures",
                                        "Initialising new tables", "closed"}));
}

TEST_F(NewSite, MissingTemplateIsShownAndTheCreationGoesOn) {
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
}

TEST_F(NewSite, RecordContent) {
  WriteScript("Newstd7.tpl", "");
  Create('S');
  EXPECT_TRUE(screen.Shown().empty());

  const std::vector<std::string> words = Records(STOP_FILE);
  ASSERT_EQ(words.size(), 12u);
  EXPECT_EQ(Field(words.front(), 0, 20), Pad("ALL", 20));

  const std::string c00 = Record(CONF_FILE, "C00");
  EXPECT_EQ(Field(c00, 0, 4), "C00A");
  EXPECT_EQ(Field(c00, 4, 20), "********************");
  EXPECT_EQ(Field(c00, 24, 36), std::string("000000") + "NNNNNNN" + "000000" + "00000000" + "00000000" + "Y");
  EXPECT_EQ(Field(c00, 60, 198), std::string(198, ' '));  // where the 4.0 audit dump path was
  EXPECT_EQ(Field(c00, 258, 118), std::string(118, ' '));  // not written: blank, never what the buffer held
  EXPECT_EQ(Field(c00, 376, 8), "66000000");
  EXPECT_EQ(Field(c00, 436, 7), "AY500AY");
  EXPECT_EQ(Field(c00, 803, 10), kNewSiteCode);
  EXPECT_EQ(Field(c00, 843, 4), "0500");
  EXPECT_EQ(Field(c00, 859, 18), "004500 NN3YNYNNN  ");
  EXPECT_EQ(Field(c00, 895, 21), "NN YYYYYN  **********");
  EXPECT_EQ(Field(Record(CONF_FILE, "C12"), 3, 255), Pad(kNewAuditDumpPath, 255));
  EXPECT_EQ(Field(Record(CONF_FILE, "C13"), 3, 100), Pad("Default Letter", 100));
  const std::string c03 = Record(CONF_FILE, "C03");
  EXPECT_EQ(Field(c03, 3, 49), Pad("Default Action Sheet", 49));
  EXPECT_EQ(Field(Record(CONF_FILE, "C09"), 3, 90), "000000000000" + std::string(66, ' ') + "000000000000");

  const std::string l9 = Record(CODE_FILE, "L9");
  EXPECT_EQ(Field(l9, 11, 70), Pad("NINE", 70));
  EXPECT_EQ(Field(l9, 81, 28), std::string(28, 'Y'));
  EXPECT_EQ(Field(Record(CODE_FILE, "LM"), 81, 28), "NNNNNYYNNNNYNNNNNNNNNNNNNNNN");
  const std::string d001 = Record(CODE_FILE, "D001");
  EXPECT_EQ(Field(d001, 11, 70), Pad("ACTIVE", 70));
  EXPECT_EQ(Field(d001, 81, 72), std::string(72, ' '));  // the buffer was cleared after the levels
  EXPECT_EQ(Field(Record(CODE_FILE, "UARCHIVED"), 11, 70), std::string(70, ' '));
  EXPECT_EQ(Field(Record(CODE_FILE, "TINACTIVE"), 11, 70), std::string(70, ' '));
  EXPECT_EQ(Field(Record(CODE_FILE, "PREPLY"), 11, 70), Pad("Document Reply", 70));
  EXPECT_EQ(Records(CODE_FILE).size(), 28u);
  EXPECT_EQ(Records(CAL_FILE).size(), 20u);

  EXPECT_EQ(Field(Record(DB_FILE, "STANDARD"), 0, 120),
            Pad("STANDARD", 10) + Pad("data", 46) + Pad("Standard initial database", 30) + Pad("images", 30) + "stdY");
  const std::string admin = Record(UID_FILE, "FILOMAR");
  EXPECT_EQ(Field(admin, 30, 40), Pad("FILOMAR ADMINISTRATOR", 30) + Pad("FILOMAR", 10));
  EXPECT_EQ(Field(admin, 75, 16), Pad("-2147483633", 16));
  EXPECT_EQ(Field(admin, 123, 32), Pad("-2147483633", 16) + Pad("-2147483643", 16));
  EXPECT_EQ(Field(admin, 175, 51), "N" + std::string(50, ' '));
  EXPECT_NE(Field(admin, 165, 10), std::string(10, ' '));  // today's date
  EXPECT_EQ(Field(Record(UDB_FILE, Pad("FILOMAR", 30) + "STANDARD"), 50, 10), Pad("9", 10));
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
}  // namespace newdb_test
