// Process-wide settings of the SQLite library, shared by the record stores and by the SQLite
// ODBC driver of the embedded engine (both load the same libsqlite3).
#pragma once

namespace reclib {

// Turns off SQLite's memory statistics, which nothing in this program reads: with them on,
// every allocation and free inside SQLite takes one global mutex, a tenth of the time of
// parsing a large server schema. Takes effect only when called before the process's first
// SQLite call, so a program calls it first thing; a later call changes nothing and is harmless.
void SetUpSqliteForThisProcess();

}  // namespace reclib
