// The ADO objects over the real SQLite ODBC driver, and the SQL Server forms of the product's
// fixed statements rewritten for that embedded engine.
#include "platform/ado/Connection.h"

#include <gtest/gtest.h>

#include "platform/ado/Command.h"
#include "platform/ado/OdbcProvider.h"
#include "platform/ado/Provider.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqliteDialect.h"
#include "support/TempDir.h"

namespace {

const char* kSqlServerString =
    "Provider=MSDASQL.1;Persist Security Info=False;User ID=filomar;Password=pw;Data Source=filomar4";
const char* kOracleString = "Provider=MSDAORA.1;Password=pw;User ID=filomar;Data Source=filomar4";

TEST(RewriteForSqlite, TheProductsFormsAndWhatIsLeftAlone) {
  const std::pair<std::string, std::string> cases[] = {
      {"values (0x5354414e444152442020, 'data')", "values (X'5354414e444152442020', 'data')"},
      {"values(0x0,0X00)", "values(X'00',X'00')"},
      {"convert(binary(4),'AB')", "X'41420000'"},
      {"CONVERT ( Binary ( 3 ) , 'ABCDE' )", "X'414243'"},
      {"convert(char(10),'STANDARD')", "'STANDARD  '"},
      {"convert(char(4),'it''s')", "'it''s'"},
      {"convert(char(2),'abc')", "'ab'"},
      // Left alone: inside literals, parts of names, forms that are not the product's.
      {"select '0x41 convert(char(3),''a'')' from t", "select '0x41 convert(char(3),''a'')' from t"},
      {"select col0x41, a0x1 from \"0x41\"", "select col0x41, a0x1 from \"0x41\""},
      {"select 0xZZ, 0x, 10x5", "select 0xZZ, 0x, 10x5"},
      {"convert(varchar(10),'a')", "convert(varchar(10),'a')"},
      {"myconvert(char(2),'a')", "myconvert(char(2),'a')"},
      {"convert(char(2),'unterminated", "convert(char(2),'unterminated"},
      {"", ""},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(ado::RewriteForSqlite(sql), expected) << sql;
}

TEST(StatementErrorNumber, MissingTableOfEachEngine) {
  const std::pair<const char*, const char*> missing[] = {{"42S02", "anything"}, {"S0002", "anything"},
      {"HY000", "[SQLite]no such table: x (1)"}, {"HY000", "ORA-00942: table or view does not exist"},
      {"42000", "[SQL Server]Invalid object name 'x'."}};
  for (const auto& [state, text] : missing) EXPECT_EQ(ado::StatementErrorNumber(state, text), ado::kObjectNotFound) << text;
  EXPECT_EQ(ado::StatementErrorNumber("HY000", "near \"here\": syntax error (1)"), ado::kStatementFailed);
  EXPECT_EQ(ado::StatementErrorNumber("42S01", "table x already exists"), ado::kStatementFailed);
}

// A data source "filomar4" on a fresh SQLite file through the SQLite ODBC driver.
class OdbcConnection : public ::testing::Test {
 protected:
  testing_support::TempDir dir;
  testing_support::ScopedEnv odbcIni{
      "ODBCINI", dir.Write("odbc.ini", "[filomar4]\nDriver=SQLite3\nDatabase=" + dir.str() + "/server.db\n").string()};
  ado::OdbcProviderFactory odbc;
  ado::Connection connection{odbc};
  ado::Command command;

  bool Run(const std::string& sql) {
    command.ActiveConnection = &connection;
    command.CommandText = sql;
    return command.Execute();
  }
};

TEST_F(OdbcConnection, StatementsAndRowsRoundTrip) {
  ASSERT_TRUE(connection.Open(kSqlServerString)) << connection.Errors().at(0).Description;
  ASSERT_TRUE(Run("create table std_db (db_name varchar(10), n int)"));
  ado::Recordset rows;
  ASSERT_TRUE(rows.Open("select db_name from std_db", connection));
  EXPECT_TRUE(rows.Eof());
  const std::string longText(3000, 'x');  // longer than one read of the driver
  ASSERT_TRUE(Run("insert into std_db values ('STANDARD  ', 7)"));
  ASSERT_TRUE(Run("insert into std_db values ('" + longText + "', NULL)"));

  const auto provider = odbc.Create();
  std::vector<ado::Error> errors;
  ASSERT_TRUE(provider->Open(*ado::ParseConnectionString(kSqlServerString), errors));
  ado::RowSet read;
  ASSERT_TRUE(provider->Query("select db_name, n from std_db order by n desc", 0, read, errors));
  EXPECT_EQ(read.columns, (std::vector<std::string>{"db_name", "n"}));
  using Row = std::vector<std::optional<std::string>>;
  EXPECT_EQ(read.rows, (std::vector<Row>{{"STANDARD  ", "7"}, {longText, std::nullopt}}));
}

TEST_F(OdbcConnection, MissingTableIsObjectNotFoundWithTheDriversWordsAndProvider) {
  ASSERT_TRUE(connection.Open(kSqlServerString));
  EXPECT_FALSE(Run("select * from filomar_rowlock"));
  ASSERT_EQ(connection.Errors().size(), 1u);
  const ado::Error& e = connection.Errors()[0];
  EXPECT_EQ(e.Number, ado::kObjectNotFound);
  EXPECT_EQ(e.SQLState, "HY000");
  EXPECT_NE(e.Description.find("no such table: filomar_rowlock"), std::string::npos) << e.Description;
  EXPECT_EQ(e.NativeError, 1);
  EXPECT_EQ(e.Source, "Microsoft OLE DB Provider for ODBC Drivers");

  // The next statement on the same connection still runs, and a success empties Errors.
  EXPECT_TRUE(Run("create table filomar_rowlock (x int)"));
  EXPECT_TRUE(connection.Errors().empty());

  ado::Connection oracle{odbc};
  ASSERT_TRUE(oracle.Open(kOracleString));
  ado::Recordset rows;
  EXPECT_FALSE(rows.Open("select * from nowhere", oracle));
  EXPECT_EQ(oracle.Errors().at(0).Source, "Microsoft OLE DB Provider for Oracle");
}

// A group on the embedded engine is one transaction: another connection sees none of it before
// the commit and all of it after; a statement that fails inside it fails alone, and the ones
// before and after it are kept.
TEST_F(OdbcConnection, AGroupIsCommittedWholeAndAFailingStatementInItFailsAlone) {
  ASSERT_TRUE(connection.Open(kSqlServerString));
  ASSERT_TRUE(Run("create table fin_file (file_no char(20))"));
  ASSERT_TRUE(connection.BeginTrans());
  EXPECT_TRUE(Run("alter table fin_file add file_ucode1 char(10)"));
  EXPECT_FALSE(Run("alter table fin_file add file_ucode1 char(10)"));  // the column exists by now
  EXPECT_TRUE(Run("create table fin_rcat (rcat_id char(10))"));

  ado::Connection other{odbc};
  ASSERT_TRUE(other.Open(kSqlServerString));
  const auto columns = [&other] {
    ado::RowSet rows;
    other.OpenColumnsSchema("fin_%", "%", rows);
    std::string names;
    for (const auto& row : rows.rows) names += row.at(3).value_or("") + " ";
    return names;
  };
  EXPECT_EQ(columns(), "file_no ");
  ASSERT_TRUE(connection.CommitTrans()) << connection.Errors().at(0).Description;
  EXPECT_EQ(columns(), "file_no file_ucode1 rcat_id ");
  EXPECT_TRUE(Run("drop table fin_rcat"));  // one commit per statement again
  EXPECT_EQ(columns(), "file_no file_ucode1 ");
}

TEST_F(OdbcConnection, UnknownDataSourceFailsTheOpenAndEveryStatement) {
  EXPECT_FALSE(connection.Open("Provider=MSDASQL.1;User ID=filomar;Password=x;Data Source=nosuchdsn"));
  ASSERT_FALSE(connection.Errors().empty());
  EXPECT_EQ(connection.Errors()[0].Number, ado::kConnectionFailed);
  EXPECT_EQ(connection.Errors()[0].SQLState, "IM002");
  EXPECT_FALSE(connection.IsOpen());

  EXPECT_FALSE(Run("create table t (x int)"));
  ASSERT_EQ(connection.Errors().size(), 1u);
  EXPECT_EQ(connection.Errors()[0].Number, ado::kConnectionNotOpen);
  EXPECT_EQ(connection.Errors()[0].Source, "ADODB.Command");
  ado::Recordset rows;
  EXPECT_FALSE(rows.Open("select 1", connection));
  EXPECT_EQ(connection.Errors().at(0).Source, "ADODB.Recordset");

  EXPECT_FALSE(connection.Open("Provider=SQLOLEDB.1;Data Source=filomar4"));
  EXPECT_EQ(connection.Errors().at(0).Number, ado::kProviderNotFound);
}

}  // namespace
