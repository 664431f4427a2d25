#include "platform/indexlib/indexlib.h"

#include <sqlite3.h>

#include <string>

#include "platform/reclib/DataDirectory.h"
#include "platform/reclib/trace.h"

namespace {

std::string Trimmed(const char* text) {
  std::string s(text != nullptr ? text : "");
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

short Failed(const std::string& store, const std::string& why) {
  reclib::TraceLibraryFailure("index_all " + store + ": " + why);
  return 1;
}

}  // namespace

extern "C" short index_all(short, short, short, char*, short, const char* directory, const char*, const char* prefix) {
  const std::string store = reclib::ResolveDataDirectory(Trimmed(directory)) + "/" + Trimmed(prefix) + ".records";
  sqlite3* db = nullptr;
  // Read-only and without creating: a missing store is a failure, never a new file.
  if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    const std::string why = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return Failed(store, why);
  }
  sqlite3_busy_timeout(db, 10000);
  sqlite3_stmt* check = nullptr;
  std::string answer = "no answer";
  if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK &&
      sqlite3_step(check) == SQLITE_ROW) {
    answer = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
  } else {
    answer = sqlite3_errmsg(db);
  }
  sqlite3_finalize(check);
  sqlite3_close(db);
  return answer == "ok" ? 0 : Failed(store, answer);
}
