#include "platform/reclib/SqliteProcess.h"

#include <sqlite3.h>

namespace reclib {

void SetUpSqliteForThisProcess() {
  // SQLITE_MISUSE after SQLite has started: the statistics then stay on, which costs time only.
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
}

}  // namespace reclib
