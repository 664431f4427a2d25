// startup_bench: how long filomar-convert takes from its start to the main window's list being
// filled, on a demo site with 1,000 catalogued databases at "400A".
//
// The program runs in batch: it signs on as the demo administrator, loads the main window
// (which reads every catalogued database's version) and prints the list, then starts a run
// with a log path that cannot be opened, so nothing is converted and the site can be used
// again. The time is taken when the "Log File:" line that follows the list arrives.
//
// The floor, measured in the same run on the same site: plain functions that do through
// SQLite's C API the reads that no program can list the databases without: the question to
// the server (which reads the server's schema), the catalogue's records, then each store's
// "C00" record under the shared lock of its CONF file in the lock file beside it; once with
// each way of opening a store (read-only, read-write), and the faster way is the floor. The
// ratio says how far the program is from it. Each timed phase starts on a settled file system
// (Settle.h).
//
//   startup_bench [DATABASES] [RUNS]
//   A warm-up round comes first and is not counted. Last lines: seconds=<median of the
//   program's runs>, floor=<median of the floor's runs>, ratio=<program/floor>,
//   run_ratio=<median of each run's program/floor, the two timed back to back>,
//   cpu_ratio=<the program's processor time (its whole run, start-up included) / the
//   floor's>: on a machine others share, the processor time says more.
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Settle.h"
#include "Spawn.h"
#include "SqliteExec.h"
#include "platform/reclib/LockFile.h"
#include "platform/reclib/SqliteProcess.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using bench::Run;

// User and system seconds of a rusage.
double CpuOf(const rusage& usage) {
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double OwnCpu() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return CpuOf(usage);
}

// Seconds from the spawn of the program to the line after its list, and the processor time
// of its whole run in `cpu`; negative on failure.
double TimeToList(const fs::path& site, double& cpu) {
  const std::string log = (site / "no-such-folder" / "convert5.log").string();
  bench::Settle();
  const auto start = Clock::now();
  pid_t pid = 0;
  FILE* out = bench::StartSignedOn({FILOMAR_CONVERT, "--batch", "--user", "FILOMAR", "--password-stdin", "--log", log}, pid);
  if (out == nullptr) return -1;

  double seconds = -1;
  char line[4096];
  while (std::fgets(line, sizeof line, out) != nullptr) {
    if (seconds < 0 && std::string(line).rfind("Log File:", 0) == 0)
      seconds = std::chrono::duration<double>(Clock::now() - start).count();
  }
  std::fclose(out);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  cpu = CpuOf(usage);
  return seconds;
}

// Every record store of the site (its "<prefix>.records" files), found before the clock starts.
std::vector<fs::path> Stores(const fs::path& site) {
  std::vector<fs::path> stores;
  for (const auto& entry : fs::recursive_directory_iterator(site))
    if (entry.is_regular_file() && entry.path().extension() == ".records") stores.push_back(entry.path());
  return stores;
}

// Opens `store` with `flags` while holding the shared lock of its record file `code`
// (instance 0) in the lock file beside it, as the record library lays its locks out, and steps
// `sql` to its end; false when any part fails or no row came.
bool ReadUnderSharedLock(const fs::path& store, const char (&code)[5], const char* sql, int flags) {
  const int lockFd = open((store.string() + ".lock").c_str(), O_RDWR | O_CLOEXEC);
  if (lockFd < 0) return false;
  struct flock shared {};
  shared.l_type = F_RDLCK;
  shared.l_whence = SEEK_SET;
  shared.l_start = reclib::LockFile::FileOffset(code, 0);
  shared.l_len = 1;
  bool read = fcntl(lockFd, F_SETLK, &shared) == 0;
  sqlite3* db = nullptr;
  sqlite3_stmt* stmt = nullptr;
  read = read && sqlite3_open_v2(store.c_str(), &db, flags, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK;
  long rows = 0;
  int rc = SQLITE_DONE;
  while (read && (rc = sqlite3_step(stmt)) == SQLITE_ROW) rows += sqlite3_column_bytes(stmt, 0) > 0 ? 1 : 0;
  read = read && rc == SQLITE_DONE && rows > 0;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  close(lockFd);
  // A read-only connection cannot remove the -wal and -shm files it made, and the program
  // leaves none behind: the floor pays for their removal too, and the next way starts clean.
  if ((flags & SQLITE_OPEN_READONLY) != 0)
    for (const char* suffix : {"-wal", "-shm"}) unlink((store.string() + suffix).c_str());
  return read;
}

// The question the program must put to the server before it signs on (is there a product
// database?), sent straight to the embedded engine's file: like the program's, it makes SQLite
// read the server's whole schema. False when it cannot be asked.
bool AskTheServer(const fs::path& site) {
  sqlite3* db = nullptr;
  const bool asked = sqlite3_open_v2((site / "server.sqlite").c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                                     nullptr) == SQLITE_OK &&
                     bench::Exec(db, "select * from filomar_rowlock");
  sqlite3_close(db);
  return asked;
}

// The ways a store can be opened for the read: read-only (which, for a store in WAL mode,
// still makes the -wal and -shm files and leaves them behind), and read-write without
// mutexes, as the record library opens it.
constexpr int kOpenFlags[] = {SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX};
constexpr const char* kOpenNames[] = {"read-only", "read-write"};

// Seconds of each way to do the reads the program cannot do without: the server's question,
// every record of the catalogue (the DB file of the STANDARD database's store) and the C00
// record of every store. The stores are found before the clock starts, which only makes the
// floor faster. Negative when a read failed.
std::vector<double> Floors(const fs::path& site, const std::vector<fs::path>& stores) {
  const fs::path standard = site / "data" / "std.records";
  std::vector<double> seconds;
  for (const int flags : kOpenFlags) {
    bench::Settle();
    const auto start = Clock::now();
    if (!AskTheServer(site) || !ReadUnderSharedLock(standard, "DB  ", "SELECT record FROM r_DB_0", flags)) return {-1};
    for (const auto& store : stores)
      if (!ReadUnderSharedLock(store, "CONF", "SELECT record FROM r_CONF_0 WHERE key=X'433030'", flags)) return {-1};
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  // The floor's connections get the SQLite settings that filomar-convert's get.
  reclib::SetUpSqliteForThisProcess();
  const int databases = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const fs::path site = fs::temp_directory_path() / ("filomar-startup-bench-" + std::to_string(getpid()));
  if (Run({FILOMAR_SITE, "demo", site.string(), "--databases", std::to_string(databases), "--records", "5"}) != 0) {
    std::fprintf(stderr, "startup_bench: filomar-site could not make the demo site\n");
    return 1;
  }
  setenv("FILOMAR_HOME", site.c_str(), 1);
  setenv("ODBCINI", (site / "odbc.ini").c_str(), 1);
  setenv("FILOMAR_IPC_DIR", (site / "ipc").c_str(), 1);

  const std::vector<fs::path> stores = Stores(site);
  std::vector<double> times, floors, cpus, floorCpus, ratios;
  // Round 0 warms up (the page cache, the inodes of a site just made) and is not counted.
  for (int i = 0; i <= runs; ++i) {
    double cpu = 0;
    const double seconds = TimeToList(site, cpu);
    const double floorCpuBefore = OwnCpu();
    const std::vector<double> ways = Floors(site, stores);
    const double floorCpu = (OwnCpu() - floorCpuBefore) / static_cast<double>(ways.size());
    const double floor = *std::min_element(ways.begin(), ways.end());
    if (seconds < 0 || floor < 0) {
      std::fprintf(stderr, seconds < 0 ? "startup_bench: the program never showed its list\n"
                                       : "startup_bench: the floor could not do its reads\n");
      fs::remove_all(site);
      return 1;
    }
    std::printf("%s %d: %.3f s to the list of %d databases (cpu %.3f s); floor %.3f s for %zu stores (%s %.3f s, "
                "%s %.3f s; cpu %.3f s a way)\n",
                i == 0 ? "warm-up" : "run", i, seconds, databases, cpu, floor, stores.size(), kOpenNames[0], ways[0],
                kOpenNames[1], ways[1], floorCpu);
    if (i == 0) continue;
    times.push_back(seconds);
    ratios.push_back(seconds / floor);
    floors.push_back(floor);
    cpus.push_back(cpu);
    floorCpus.push_back(floorCpu);
  }
  fs::remove_all(site);
  const double program = Median(times), floor = Median(floors);
  std::printf("seconds=%.3f\nfloor=%.3f\nratio=%.2f\nrun_ratio=%.2f\ncpu_ratio=%.2f\n", program, floor, program / floor,
              Median(ratios), Median(cpus) / Median(floorCpus));
  return 0;
}
