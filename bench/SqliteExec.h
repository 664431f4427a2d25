// Running one SQL text on a bench's own SQLite connection.
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace bench {

// True when every statement of `sql` ran; otherwise names the statement and SQLite's reason on
// stderr.
inline bool Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
  if (!ok) std::fprintf(stderr, "sqlite: %s: %s\n", sql.substr(0, 60).c_str(), error != nullptr ? error : "failed");
  sqlite3_free(error);
  return ok;
}

}  // namespace bench
