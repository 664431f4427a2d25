// recio_bench --records N [--dir D]
//
// Cost of the record layer (Vb_io over the record library) on the pattern of the SACT widening:
// a scan that reads every record for update, inserts 20 blanks after its first 64 bytes,
// rewrites and unlocks it.
// The same change is then made on a copy of the store by one SQL UPDATE in one transaction.
// Prints both times and, last, ratio=<library time / raw SQL time>.
//
// Without --dir the store is built in a temporary directory that is removed at the end.
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "BenchOptions.h"
#include "platform/reclib/SqliteProcess.h"
#include "platform/reclib/io.h"
#include "recio/Vb_io.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidenAt = 64;
constexpr int kWidenBy = 20;

void Widen(char* record) {
  std::memmove(record + kWidenAt + kWidenBy, record + kWidenAt, reclib::kRecordSize - kWidenAt - kWidenBy);
  std::memset(record + kWidenAt, ' ', kWidenBy);
}

// Writes the records as an action file holds them: a 10-character key text, a 4-digit
// number, then text. The writes run inside a scan so they commit in groups.
bool WriteRecords(long count) {
  using namespace filomar;
  vb_io_open(SACT_FILE, "");
  if (vb_io_erc != 0) return false;
  char* record = Block(SACT_FILE).record;
  std::memset(record, 0xff, reclib::kRecordSize);
  vb_io_start(SACT_FILE, 0, 0, 1025);
  for (long i = 0; i < count; ++i) {
    ClearRecord(SACT_FILE);
    char head[64];
    const int n = std::snprintf(head, sizeof head, "A%09ld%04ldaction text %ld", i / 10, i % 10, i);
    std::memcpy(record, head, static_cast<std::size_t>(n));
    for (int p = 100; p < reclib::kRecordSize; p += 37) record[p] = static_cast<char>('a' + (i + p) % 26);
    vb_io_write(SACT_FILE);
    if (vb_io_erc != 0) return false;
  }
  vb_io_endstart(SACT_FILE);
  vb_io_close(SACT_FILE);
  return vb_io_erc == 0;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The widening through the record layer, as the conversion runs it.
long WidenThroughLibrary() {
  using namespace filomar;
  vb_io_open(SACT_FILE, "");
  if (vb_io_erc != 0) return -1;
  ClearRecord(SACT_FILE);
  vb_io_start(SACT_FILE, 0, 0, 1025);
  long changed = 0;
  for (vb_io_next(SACT_FILE, 0); vb_io_erc == 0; vb_io_next(SACT_FILE, 0)) {
    vb_io_read(SACT_FILE, 0, 1);
    if (vb_io_erc != 0) continue;
    Widen(Block(SACT_FILE).record);
    vb_io_rewrite(SACT_FILE);
    if (vb_io_erc == 0) ++changed;
    vb_io_unlock(SACT_FILE);
  }
  vb_io_endstart(SACT_FILE);
  vb_io_close(SACT_FILE);
  return vb_io_erc == 0 ? changed : -1;
}

// The same change as one UPDATE in one transaction, with the store's own settings.
long WidenWithOneUpdate(const fs::path& store) {
  sqlite3* db = nullptr;
  if (sqlite3_open(store.c_str(), &db) != SQLITE_OK) return -1;
  const std::string blanks(kWidenBy, ' ');
  const std::string sql = "PRAGMA synchronous=FULL; BEGIN; UPDATE r_SACT_0 SET record = CAST(substr(record, 1, " +
                          std::to_string(kWidenAt) + ") || '" + blanks + "' || substr(record, " +
                          std::to_string(kWidenAt + 1) + ", " +
                          std::to_string(reclib::kRecordSize - kWidenAt - kWidenBy) + ") AS BLOB); COMMIT;";
  char* error = nullptr;
  long changed = -1;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) changed = sqlite3_total_changes(db);
  if (error != nullptr) std::fprintf(stderr, "raw update: %s\n", error);
  sqlite3_free(error);
  sqlite3_close(db);
  return changed;
}

// Both ways must give the same store content.
bool SameRecords(const fs::path& a, const fs::path& b) {
  sqlite3* db = nullptr;
  sqlite3_open(a.c_str(), &db);
  const std::string attach = "ATTACH '" + b.string() + "' AS other";
  sqlite3_exec(db, attach.c_str(), nullptr, nullptr, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT (SELECT count(*) FROM r_SACT_0) = (SELECT count(*) FROM other.r_SACT_0) AND "
                     "NOT EXISTS (SELECT 1 FROM r_SACT_0 m JOIN other.r_SACT_0 o USING (key) WHERE m.record <> o.record)",
                     -1, &stmt, nullptr);
  const bool same = sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int(stmt, 0) == 1;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return same;
}

}  // namespace

int main(int argc, char** argv) {
  // The record layer runs with filomar-convert's SQLite settings; the raw UPDATE has them too.
  reclib::SetUpSqliteForThisProcess();
  bench::Options options;
  if (!bench::ParseOptions(argc, argv, options) || options.rounds != 0) {
    std::fprintf(stderr, "usage: recio_bench --records N [--dir D]\n");
    return 2;
  }
  if (!bench::WorkIn(options, "recio-bench")) return 1;
  const fs::path dir = fs::absolute(options.dir);
  const fs::path written = dir / "ben.records";
  const fs::path copy = dir / "raw.records";
  for (const fs::path& p : {written, copy}) {
    for (const char* suffix : {"", "-wal", "-shm", ".lock"}) fs::remove(p.string() + suffix);
  }

  filomar::InitFileTable();
  std::string directory = dir.string(), prefix = "ben";
  if (filomar::vb_io_connect(0, filomar::ConnHandle) != 0) return 1;
  filomar::vb_io_setDirectory(filomar::ConnHandle, directory, prefix);
  if (filomar::vb_io_erc != 0 || io_createStore(directory.c_str(), prefix.c_str()) != 0) return 1;
  std::printf("records=%ld dir=%s\n", options.records, dir.c_str());
  if (!WriteRecords(options.records)) return 1;
  fs::copy_file(written, copy, fs::copy_options::overwrite_existing);

  auto start = std::chrono::steady_clock::now();
  const long viaLibrary = WidenThroughLibrary();
  const double librarySeconds = Seconds(start);
  start = std::chrono::steady_clock::now();
  const long viaSql = WidenWithOneUpdate(copy);
  const double rawSeconds = Seconds(start);
  filomar::vb_io_disconnect(0, filomar::ConnHandle);

  std::printf("library: %ld records in %.3f s (%.2f us/record)\n", viaLibrary, librarySeconds,
              1e6 * librarySeconds / static_cast<double>(options.records));
  std::printf("raw UPDATE: %ld records in %.3f s (%.2f us/record)\n", viaSql, rawSeconds,
              1e6 * rawSeconds / static_cast<double>(options.records));
  const bool same = SameRecords(written, copy);
  std::printf("same result: %s\n", same ? "yes" : "NO");
  if (options.temporary) fs::remove_all(dir);
  std::printf("ratio=%.3f\n", librarySeconds / rawSeconds);
  return viaLibrary == options.records && viaSql == options.records && same ? 0 : 1;
}
