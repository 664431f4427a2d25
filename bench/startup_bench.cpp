// startup_bench: how long filomar-convert takes from its start to the main window's list being
// filled, on a demo site with 1,000 catalogued databases at "400A".
//
// The program runs in batch: it signs on as the demo administrator, loads the main window
// (which reads every catalogued database's version) and prints the list, then starts a run
// with a log path that cannot be opened, so nothing is converted and the site can be used
// again. The time is taken when the "Log File:" line that follows the list arrives.
//
// The floor, measured in the same run on the same site: a plain function that opens each of
// the site's record stores through SQLite's C API, takes the shared lock of its CONF file in
// the lock file beside it, and reads its "C00" record, once with each way of opening a store
// (read-only, read-write); the faster way is the floor. No program can list the databases in
// less; the ratio says how far the program is from it. Each timed phase starts on a settled
// file system (Settle.h).
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
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Settle.h"
#include "Spawn.h"

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

// The byte of the lock file that stands for the CONF file (instance 0), as the record library
// lays its file locks out: the four code bytes, then the 16-bit instance.
off_t ConfFileLockOffset() {
  std::uint64_t value = 0;
  for (const char c : {'C', 'O', 'N', 'F'}) value = (value << 8) | static_cast<unsigned char>(c);
  return static_cast<off_t>(value << 16);
}

// Opens, locks and reads the C00 record of one store, the store opened with `flags`; false when
// any part fails.
bool ReadC00(const fs::path& store, int flags) {
  const int lockFd = open((store.string() + ".lock").c_str(), O_RDWR | O_CLOEXEC);
  if (lockFd < 0) return false;
  struct flock shared {};
  shared.l_type = F_RDLCK;
  shared.l_whence = SEEK_SET;
  shared.l_start = ConfFileLockOffset();
  shared.l_len = 1;
  bool read = fcntl(lockFd, F_SETLK, &shared) == 0;
  sqlite3* db = nullptr;
  sqlite3_stmt* stmt = nullptr;
  read = read && sqlite3_open_v2(store.c_str(), &db, flags, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(db, "SELECT record FROM r_CONF_0 WHERE key=?1", -1, &stmt, nullptr) == SQLITE_OK &&
         sqlite3_bind_blob(stmt, 1, "C00", 3, SQLITE_STATIC) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW &&
         sqlite3_column_bytes(stmt, 0) > 0;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  close(lockFd);
  // A read-only connection cannot remove the -wal and -shm files it made, and the program
  // leaves none behind: the floor pays for their removal too, and the next way starts clean.
  if ((flags & SQLITE_OPEN_READONLY) != 0)
    for (const char* suffix : {"-wal", "-shm"}) unlink((store.string() + suffix).c_str());
  return read;
}

// The ways a store can be opened for the read: read-only (which, for a store in WAL mode,
// still makes the -wal and -shm files and leaves them behind), and read-write without
// mutexes, as the record library opens it.
constexpr int kOpenFlags[] = {SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX};
constexpr const char* kOpenNames[] = {"read-only", "read-write"};

// Seconds to read the C00 record of every store, each way; negative when one could not be read.
std::vector<double> Floors(const std::vector<fs::path>& stores) {
  std::vector<double> seconds;
  for (const int flags : kOpenFlags) {
    bench::Settle();
    const auto start = Clock::now();
    for (const auto& store : stores)
      if (!ReadC00(store, flags)) return {-1};
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
    const std::vector<double> ways = Floors(stores);
    const double floorCpu = (OwnCpu() - floorCpuBefore) / static_cast<double>(ways.size());
    const double floor = *std::min_element(ways.begin(), ways.end());
    if (seconds < 0 || floor < 0) {
      std::fprintf(stderr, seconds < 0 ? "startup_bench: the program never showed its list\n"
                                       : "startup_bench: the floor could not read a C00 record\n");
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
