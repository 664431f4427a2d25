// The few SQL Server forms that the product sends as fixed texts, rewritten for SQLite, the
// embedded default engine, so that the product's statements keep their SQL Server texts:
//
//   0x5354...                      ->  X'5354...'            (a binary literal becomes a blob)
//   convert(binary(n), 'text')     ->  X'...'                (the text's bytes, NUL padded to n)
//   convert(char(n), 'text')       ->  'text      '          (blank padded to n)
//
// Texts longer than n are cut to n, as SQL Server does. Blanks may stand around the parts of
// a convert, and its keywords are taken in any case. Anything inside a string literal is left
// as it is, and so is every other text: this is not an SQL parser, only these forms change.
#pragma once

#include <string>

namespace ado {

std::string RewriteForSqlite(const std::string& sql);

// The bytes as upper-case hexadecimal digits, two a byte, as binary literals write them.
std::string HexDigits(const std::string& bytes);

// True when the name the driver gives for its DBMS (SQL_DBMS_NAME) is SQLite's.
bool IsSqliteDbms(const std::string& dbmsName);

}  // namespace ado
