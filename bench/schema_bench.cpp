// schema_bench [--objects N]
//
// What a database of the site costs the embedded server as the site grows: SQLite reads the
// whole schema of the server file again after every ALTER TABLE … ADD, and the upgrade script
// sends dozens per database. This grows one SQLite file to N schema objects (default 16,000,
// about what a site of 1,000 databases leaves) by doubling steps of tables of 13 columns, one
// in five with an index, and times ten ALTER TABLE … ADD at each step.
// The floor is the same ALTER on a file that holds only one database's share of the schema,
// which is what each database would cost if it kept its tables in a file of its own.
// Prints ms_per_alter=<time> for each size of the schema and, last, growth=<time per ALTER at
// the largest schema / at 1,000 objects>, objects_ratio=<largest schema / 1,000> (growth above
// it means the cost per object itself grows with the schema) and one_database_ratio=<time per
// ALTER at the largest schema / the floor's>.
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "SqliteExec.h"
#include "platform/reclib/SqliteProcess.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using bench::Exec;

constexpr long kOneDatabase = 16;  // the schema objects one database adds to the server file
constexpr long kSmallest = 1000;
constexpr int kAltersPerSize = 10;

// Adds tables (and one index for every fifth) until the schema holds `objects` objects.
bool GrowTo(sqlite3* db, long& tables, long& objects, long target) {
  std::string columns;
  for (int column = 0; column < 12; ++column) columns += ", c" + std::to_string(column) + " VARCHAR(30)";
  if (!Exec(db, "BEGIN")) return false;
  while (objects < target) {
    const std::string name = "t" + std::to_string(tables++);
    if (!Exec(db, "CREATE TABLE " + name + " (id INTEGER PRIMARY KEY" + columns + ")")) return false;
    ++objects;
    if (tables % 5 == 0 && objects < target) {
      if (!Exec(db, "CREATE INDEX i_" + name + " ON " + name + " (c1)")) return false;
      ++objects;
    }
  }
  return Exec(db, "COMMIT");
}

// Milliseconds per ALTER TABLE … ADD on the schema as it stands (each on another table).
double TimeAlters(sqlite3* db, long tables, long& added) {
  const auto start = Clock::now();
  for (int i = 0; i < kAltersPerSize; ++i) {
    const long table = (added * 7919) % tables;
    if (!Exec(db, "ALTER TABLE t" + std::to_string(table) + " ADD a" + std::to_string(added++) + " INTEGER")) return -1;
  }
  return 1e3 * std::chrono::duration<double>(Clock::now() - start).count() / kAltersPerSize;
}

// The sizes of schema timed: one database's share of the server file, then doubling from
// 1,000 objects up to `largest`.
std::vector<long> Sizes(long largest) {
  std::vector<long> sizes = {kOneDatabase};
  for (long size = kSmallest; size < largest; size *= 2) sizes.push_back(size);
  sizes.push_back(largest);
  return sizes;
}

}  // namespace

int main(int argc, char** argv) {
  // SQLite as filomar-convert sets it up for the ODBC driver of the embedded engine.
  reclib::SetUpSqliteForThisProcess();
  long largest = 16000;
  if (argc == 3 && std::strcmp(argv[1], "--objects") == 0) largest = std::atol(argv[2]);
  if ((argc != 1 && argc != 3) || largest < kSmallest) {
    std::fprintf(stderr, "usage: schema_bench [--objects N of at least %ld]\n", kSmallest);
    return 2;
  }
  char folder[] = "/tmp/schema_bench.XXXXXX";
  if (::mkdtemp(folder) == nullptr) return 1;
  sqlite3* db = nullptr;
  bool ok = sqlite3_open((fs::path(folder) / "server.sqlite").c_str(), &db) == SQLITE_OK &&
            Exec(db, "PRAGMA journal_mode=WAL");
  long tables = 0, objects = 0, added = 0;
  std::vector<double> times;
  for (const long size : Sizes(largest)) {
    ok = ok && GrowTo(db, tables, objects, size);
    const double ms = ok ? TimeAlters(db, tables, added) : -1;
    if (ms < 0) {
      ok = false;
      break;
    }
    std::printf("objects=%ld ms_per_alter=%.2f\n", objects, ms);
    times.push_back(ms);
  }
  sqlite3_close(db);
  fs::remove_all(folder);
  if (!ok) return 1;
  std::printf("growth=%.2f objects_ratio=%.2f one_database_ratio=%.1f\n", times.back() / times[1],
              static_cast<double>(objects) / kSmallest, times.back() / times.front());
  return 0;
}
