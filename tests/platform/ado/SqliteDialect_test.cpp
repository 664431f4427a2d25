// The SQL Server forms of the product's fixed statements, rewritten for the embedded engine.
#include "platform/ado/SqliteDialect.h"

#include <gtest/gtest.h>

#include "OdbcSite.h"
#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/OdbcProvider.h"
#include "platform/ado/Recordset.h"

namespace {

TEST(RewriteForSqlite, TheProductsFormsAndWhatIsLeftAlone) {
  const std::pair<std::string, std::string> cases[] = {
      {"values (0x5354414e444152442020, 'data')", "values (X'5354414e444152442020', 'data')"},
      {"values(0x0,0X00)", "values(X'00',X'00')"},
      {"convert(binary(6),'000000')", "X'303030303030'"},
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
      {"convert(char(0),'a')", "convert(char(0),'a')"},
      {"convert(char(10),name)", "convert(char(10),name)"},
      {"myconvert(char(2),'a')", "myconvert(char(2),'a')"},
      {"convert(char(2),'unterminated", "convert(char(2),'unterminated"},
      {"", ""},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(ado::RewriteForSqlite(sql), expected) << sql;
}

// Through the SQLite ODBC driver the product's texts store what SQL Server would store.
TEST(RewriteForSqlite, OdbcProviderRewritesOnTheEmbeddedEngine) {
  testing_support::OdbcSite site;
  ado::OdbcProviderFactory odbc;
  ado::Connection connection{odbc};
  ASSERT_TRUE(connection.Open("Provider=MSDASQL.1;User ID=filomar;Password=x;Data Source=filomar4"));
  ado::Command command;
  command.ActiveConnection = &connection;
  for (const char* sql : {"create table t (a char(10), b binary(4), c binary(2))",
                          "insert into t values (convert(char(10),'STD'), convert(binary(4),'AB'), 0x4142)"}) {
    command.CommandText = sql;
    ASSERT_TRUE(command.Execute()) << sql << ": " << connection.Errors().at(0).Description;
  }
  ado::Recordset rows;
  ASSERT_TRUE(rows.Open("select a, hex(b), hex(c) from t", connection));
  ASSERT_FALSE(rows.Eof());
  EXPECT_EQ(rows.Fields(0).Value, "STD       ");
  EXPECT_EQ(rows.Fields(1).Value, "41420000");
  EXPECT_EQ(rows.Fields(2).Value, "4142");
}

}  // namespace
