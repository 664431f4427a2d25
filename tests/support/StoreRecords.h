// The records of a record store as one text, read with SQLite beside the record library, for
// comparing a store before and after a run or a restore.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace testing_support {

// Every record table of the store at `path` that holds records (an empty one is a file opened
// and never written), with its rows in key order, as hex; "unreadable: <why>" when the store
// cannot be read.
inline std::string StoreRecords(const std::string& path) {
  sqlite3* db = nullptr;
  std::string text;
  const auto collect = [](void* out, int columns, char** values, char**) {
    auto& shown = *static_cast<std::string*>(out);
    for (int i = 0; i < columns; ++i) shown += std::string(values[i] != nullptr ? values[i] : "NULL") + (i + 1 < columns ? " " : "\n");
    return 0;
  };
  std::string tables;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
      sqlite3_exec(db, "SELECT name FROM sqlite_schema WHERE type='table' AND name NOT LIKE 'sqlite_%' AND name != 'j_filechanges' ORDER BY name", collect,
                   &tables, nullptr) != SQLITE_OK) {
    text = "unreadable: " + std::string(sqlite3_errmsg(db));
    sqlite3_close(db);
    return text;
  }
  for (std::size_t start = 0, end; (end = tables.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string table = tables.substr(start, end - start);
    std::string rows;
    sqlite3_exec(db, ("SELECT hex(key), hex(record) FROM \"" + table + "\" ORDER BY key").c_str(), collect, &rows, nullptr);
    if (!rows.empty()) text += "table " + table + "\n" + rows;
  }
  sqlite3_close(db);
  return text;
}

}  // namespace testing_support
