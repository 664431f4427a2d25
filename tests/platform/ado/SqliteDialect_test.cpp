// The SQL Server forms of the product's fixed statements, rewritten for the embedded engine.
#include "platform/ado/SqliteDialect.h"

#include <gtest/gtest.h>


namespace {

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

}  // namespace
