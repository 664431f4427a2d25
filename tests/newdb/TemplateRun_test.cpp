// The template runs: how a SQL Server script splits into batches, what each engine's run sends,
// and what a missing template or a failing statement shows.
#include "newdb/TemplateRun.h"

#include <gtest/gtest.h>

#include <sstream>

#include "NewSite.h"
#include "shared/DbEngine.h"
#include "support/Screen.h"

namespace newdb_test {
namespace {

using Batches = std::vector<std::string>;

TEST(SqlServerBatches, GoLinesAndWhatIsLeftAfterThem) {
  const std::pair<std::string, Batches> cases[] = {
      {"create a\ncreate b\ngo\ncreate c\ngo\n", {" create a create b", " create c"}},
      {"create a\ngo\ncreate b", {" create a", " create b"}},            // last batch without "go"
      {"create a\r\n  go  \r\ncreate b\r\n", {" create a", " create b"}},  // CR LF, blanks around "go"
      {"create a\ngo\n\n\n", {" create a", "  "}},                        // blank lines after the last "go"
      {"create a\n GO \ncreate b\nGo\n", {" create a  GO  create b Go"}},  // only lower case "go" ends a batch
      {"create a\n\tgo\n", {" create a \tgo"}},                            // a tab is not a blank
      {"go\ngo\n", {"", ""}},
      {"", {}},
  };
  for (const auto& [script, expected] : cases) {
    std::istringstream in(script);
    EXPECT_EQ(filomar::SqlServerBatches(in), expected) << script;
  }
}

TEST(OracleCatalogueBlock, LinesOfTheBlock) {
  const std::vector<std::string> lines = {
      "DECLARE",
      "sdb_NAME        varchar2(10);",
      "sdb_DIR         varchar2(46);",
      "sdb_DES         varchar2(30);",
      "sdb_IMG_DIR     varchar2(30);",
      "sdb_PREFIX      varchar2(3);",
      "sdb_VALID       varchar2(1);",
      "sdb_FTP_SERVER  varchar2(250);",
      "sdb_FTP_PORT    varchar2(10);",
      "sdb_FTP_PATH        varchar2(250);",
      "sdb_FTP_USERNAME    varchar2(50);",
      "sdb_FTP_USERPASSWD  varchar2(50);",
      "BEGIN",
      "   sdb_name       :='STANDARD  ';",
      "   sdb_dir        :=RPAD('data',46,' ');",
      "   sdb_des        :=RPAD('Standard initial database',30,' ');",
      "   sdb_img_dir    :=RPAD('images',30,' ');",
      "   sdb_prefix     :='std';",
      "   sdb_valid      :='Y';",
      "   sdb_FTP_SERVER :=RPAD(' ',250,' ');",
      "   sdb_FTP_PORT   :=RPAD(' ',10,' ');",
      "   sdb_FTP_PATH    :=RPAD(' ',250,' ');",
      "   sdb_FTP_USERNAME :=RPAD(' ',50,' ');sdb_FTP_USERPASSWD :=RPAD(' ',50,' ');",
      "insert into std_db (db_name,db_dir,db_des,db_img_dir,db_prefix,db_valid,db_FTP_SERVER,",
      "db_FTP_PORT,db_FTP_PATH,db_FTP_USERNAME,db_FTP_USERPASSWD) values",
      "  (HEXTORAW(RAWTOHEX(sdb_name)),HEXTORAW(RAWTOHEX(sdb_dir)),",
      "   HEXTORAW(RAWTOHEX(sdb_des)), HEXTORAW(RAWTOHEX(sdb_img_dir)),",
      "   HEXTORAW(RAWTOHEX(sdb_prefix)), HEXTORAW(RAWTOHEX(sdb_valid)),",
      "   HEXTORAW(RAWTOHEX(sdb_FTP_SERVER)),HEXTORAW(RAWTOHEX(sdb_FTP_PORT)),",
      "   HEXTORAW(RAWTOHEX(sdb_FTP_PATH)),HEXTORAW(RAWTOHEX(sdb_FTP_USERNAME)),",
      "   HEXTORAW(RAWTOHEX(sdb_FTP_USERPASSWD)));",
      "END;",
  };
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : "\n") + line;
  EXPECT_EQ(filomar::OracleCatalogueBlock(), joined);
}

class TemplateRun : public NewSite {
 protected:
  void Run(filomar::Engine engine) {
    filomar::DbEngine = engine;
    filomar::RunTemplate(ProgramDirectory(), server);
  }
};

TEST_F(TemplateRun, SqlServerSendsTheTemplateThenTheLockScript) {
  WriteScript("NEWSTD7.TPL", "create table a (x int)\ngo\ncreate table b (y int)\ngo\n");  // found in any case
  WriteScript("lock2k.sql", "create procedure p as\nselect 1\ngo\n");
  Run(filomar::Engine::SqlServer);
  EXPECT_EQ(server.Statements(), (Batches{" create table a (x int)", " create table b (y int)", " create procedure p as select 1"}));
  EXPECT_TRUE(screen.Shown().empty());
}

TEST_F(TemplateRun, MissingLockScriptIsPassedOverAndObjectNotFoundIsNotShown) {
  WriteScript("Newstd7.tpl", "drop table old\ngo\ncreate table a (x int)\ngo\n");
  server.FailStatement(" drop table old", {{ado::kObjectNotFound, "no such table: old", "Microsoft OLE DB Provider for ODBC Drivers", "42S02", 1}});
  server.FailStatement(" create table a (x int)", {{ado::kStatementFailed, "table a exists", "Microsoft OLE DB Provider for ODBC Drivers", "HY000", 1}});
  Run(filomar::Engine::SqlServer);
  EXPECT_EQ(server.Statements().size(), 2u);
  ASSERT_EQ(screen.Shown().size(), 1u);  // only the other error
  EXPECT_EQ(screen.Shown()[0].title, "Error");
  EXPECT_EQ(screen.Shown()[0].text.rfind("Error #-2147217900\r   table a exists\r", 0), 0u) << screen.Shown()[0].text;
}

TEST_F(TemplateRun, OracleSendsTheCatalogueRowEvenWithoutTemplate) {
  Run(filomar::Engine::Oracle);
  EXPECT_EQ(server.Statements(), Batches{filomar::OracleCatalogueBlock()});
  ASSERT_EQ(screen.Shown().size(), 1u);
  EXPECT_EQ(screen.Shown()[0].title, "Create Standard Database - SQL Script");
  EXPECT_NE(screen.Shown()[0].text.find(ProgramDirectory() + "Newstddb.tpl\n\n"), std::string::npos);
}

}  // namespace
}  // namespace newdb_test
