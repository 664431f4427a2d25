// conversion_bench --records N[,M...] [--rounds R] [--dir D]
//
// The record steps of a conversion on a large database: a one-database demo site (made by the
// site tool) with N records in each of SACT, VERS and COMP is converted by the step routines
// that convertdb runs (ConvertSact, ConvertVers, ConvertComp, taken from the product's step
// table). The floor, measured in the same run on the same store: raw SQLite rewriting every one
// of those rows once, changed, in one transaction (one UPDATE per table), committed.
//
// The steps run in one database transaction, as convertdb runs them. Before them the
// database is backed up as a conversion does: the store is copied and synced and the letters
// copied, then on another thread, while the steps run, the letters' copies are synced and the
// MANIFEST with each file's SHA-256 is written, and the commit waits for it. Around them the
// program's read-back runs as convertdb runs it (the scanned files counted before the steps,
// counted again before and after the commit, the version record read back); it is work the
// floor does not do, so it is timed apart and left out of ratio. The conversion and then the floor run R times (3 unless
// --rounds says otherwise), each round on the store as the site tool made it and each phase
// on a settled file system (Settle.h); the fastest conversion and the fastest floor count, so
// that one slow minute of a shared machine does not decide the ratio.
//
// The backup's cost is the copy plus the wait for its MANIFEST; its floor is `cp` of the same
// store followed by a sync of the copy. The copy and `cp` are timed taking turns, three times
// with the store in the page cache (warm) and four times with the store's pages dropped from
// it first (cold: the store is synced and posix_fadvise(DONTNEED) evicts it, so both read it
// from the disk; on a shared machine a cold read may take twice its usual time, whichever
// side reads, so two tries each are too few); the fastest of each counts. Each of those
// rounds starts settled too, and the two take turns at going first.
//
// Prints the time of each round's steps and floor, the backup and its floor, the conversion
// with and without the backup, backup_peak_rss_kib=<peak resident memory up to the end of the
// backups>, then peak_rss_kib=<peak resident memory from the steps on> and, per size,
// ratio=<(steps + their commit) / floor>, steps_only_ratio=<steps without their commit / floor>,
// cpu_ratio=<processor time of the steps and their commit / the floor's>,
// read_calls_ratio=<read system calls of the steps and their commit / the floor's> (the same in
// every run, where the times are not: each call reads one page of the store or its WAL),
// us_per_record=<steps and commit per record>, read_back_ratio=<(steps + their commit +
// the read-back) / floor>, backup_ratio_warm and backup_ratio_cold
// (<backup cost / cp + sync>). With more than one size it ends with flatness=<the largest
// us_per_record over the smallest> and floor_flatness=<the same of the floor>. Each size runs in
// a process of its own, on a site of its own. Without --dir the sites are made in a temporary
// directory that is removed at the end.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <optional>
#include <fstream>
#include <string>
#include <vector>

#include "BenchOptions.h"
#include "Settle.h"
#include "SqliteExec.h"
#include "backup/Backup.h"
#include "conversion/ReadBack.h"
#include "conversion/StepTable.h"
#include "platform/ado/Provider.h"
#include "platform/reclib/SqliteProcess.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "support/ThreadReadCalls.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using bench::Exec;
using testing_support::ReadCallsOfThisThread;  // this thread only: the digests' thread reads the backup apart

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

bool MakeSite(const fs::path& site, long records) {
  const std::string count = std::to_string(records);
  const char* argv[] = {FILOMAR_SITE, "demo", site.c_str(), "--records", count.c_str(), "--databases", "1",
                        "--force", nullptr};
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[0], const_cast<char**>(argv));
    _exit(127);
  }
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

constexpr int kWarmRounds = 3, kColdRounds = 4;
// Rounds of the steps and of the floor per size unless --rounds says otherwise.
constexpr int kDefaultRounds = 3;

const std::vector<std::string> kTables = {"r_SACT_0", "r_VERS_0", "r_COMP_0"};

// The records a conversion of `size` records per file rewrites.
long RecordsOf(long size) { return static_cast<long>(kTables.size()) * size; }

// Reads every row once so that both ways start from the same warm caches; empties the WAL.
bool WarmUp(const fs::path& store) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(store.c_str(), &db) == SQLITE_OK && Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
  for (const std::string& table : kTables) ok = ok && Exec(db, "SELECT sum(length(record)) FROM " + table);
  sqlite3_close(db);
  return ok;
}

// The floor: every row of the three tables rewritten once, changed (20 blanks after its first
// 64 bytes, its last 20 dropped), in one transaction with the store's own settings.
long RewriteRawly(const fs::path& store) {
  sqlite3* db = nullptr;
  if (sqlite3_open(store.c_str(), &db) != SQLITE_OK) return -1;
  std::string sql = "PRAGMA synchronous=FULL; BEGIN;";
  for (const std::string& table : kTables)
    sql += " UPDATE " + table + " SET record = CAST(substr(record, 1, 64) || '" + std::string(20, ' ') +
           "' || substr(record, 65, 1452) AS BLOB);";
  sql += " COMMIT;";
  const long changed = Exec(db, sql) ? sqlite3_total_changes(db) : -1;
  sqlite3_close(db);
  return changed;
}

// Runs the named routines of the product's step table on the selected database.
double RunSteps(const std::vector<std::string>& names) {
  using namespace filomar;
  ConversionLog log;
  frmProgress progress;
  StepContext context{log, "STANDARD", "std", ado::InstalledProviderFactory(), progress};
  double total = 0;
  for (const std::string& name : names)
    for (const Step& step : ProductStepTable())
      for (const StepRoutine& routine : step.routines) {
        if (routine.name != name) continue;
        const auto start = Clock::now();
        routine.run(context);
        const double seconds = Seconds(start);
        total += seconds;
        std::printf("%s: %ld records in %.3f s\n", name.c_str(), progress.recordsDone(), seconds);
      }
  return total;
}

// User and system time of this thread so far (the digests' thread is not counted): wall time
// beyond it is spent waiting, mostly for the disk to confirm commits.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The peak resident memory since the start or the last ResetPeakRss (VmHWM).
long PeakRssKib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// The backup maps the store while it copies it, and those file pages count as resident: the
// steps' own peak is measured from here.
void ResetPeakRss() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Syncs `path` and drops its pages from the page cache, so that the next read goes to the disk.
void Evict(const fs::path& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  fdatasync(fd);
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  close(fd);
}

struct BackupFigures {
  double copy = 1e9, manifest = 1e9, cp = 1e9;
};

// The backup's copy and its floor take turns, `rounds` times each, and the fastest of each
// counts: on a shared machine a single pair says more about the neighbours than about the
// backup. The MANIFEST (digests) is timed too, though a conversion writes it during the steps.
bool TimeBackups(const fs::path& site, const fs::path& store, int rounds, bool cold, BackupFigures& figures) {
  const std::string cp = "cp '" + store.string() + "' '" + (site / "cp-copy").string() + "' && sync '" +
                         (site / "cp-copy").string() + "'";
  const auto backUp = [&] {
    if (cold) Evict(store);
    const auto copyStart = Clock::now();
    filomar::backup::PendingBackup backup;
    filomar::Status done =
        filomar::backup::CopySelectedDatabase((site / "backups").string(), "STANDARD", "std", std::time(nullptr), backup);
    figures.copy = std::min(figures.copy, Seconds(copyStart));
    const auto manifestStart = Clock::now();
    if (done.ok()) done = backup.Finish();
    if (!done.ok()) {
      std::fprintf(stderr, "backup: %s\n", done.text().c_str());
      return false;
    }
    figures.manifest = std::min(figures.manifest, Seconds(manifestStart));
    fs::remove_all(backup.folder());
    return true;
  };
  const auto copyByCp = [&] {
    if (cold) Evict(store);
    const auto cpStart = Clock::now();
    if (std::system(cp.c_str()) != 0) return false;
    figures.cp = std::min(figures.cp, Seconds(cpStart));
    fs::remove(site / "cp-copy");
    return true;
  };
  // Each round starts on a settled file system, and the two take turns at going first.
  for (int round = 0; round < rounds; ++round) {
    bench::Settle();
    const bool done = round % 2 == 0 ? backUp() && copyByCp() : copyByCp() && backUp();
    if (!done) return false;
  }
  std::printf("%s backup copy: %.3f s, its MANIFEST: %.3f s, cp of the store: %.3f s\n", cold ? "cold" : "warm",
              figures.copy, figures.manifest, figures.cp);
  return true;
}

bool Connect() {
  using namespace filomar;
  InitFileTable();
  InitFieldTable();
  if (vb_io_connect(0, ConnHandle) != 0) return false;
  vb_io_setup(ConnHandle);
  std::string directory = "data", prefix = "std";
  vb_io_setDirectory(ConnHandle, directory, prefix);
  return vb_io_erc == 0;
}

void Disconnect() {
  filomar::vb_io_appTerminate();
  filomar::vb_io_disconnect(0, filomar::ConnHandle);
}

struct RoundFigures {
  double steps = 0, wait = 0, commit = 0, cpu = 0;  // the conversion
  double readBack = 0;                              // its counts and checks before and after

  long readCalls = 0;                               // of the steps and their commit

  double raw = 0, rawCpu = 0;                       // the floor
  long changed = 0, rawReadCalls = 0;               // rows the floor rewrote; its read calls
  double program() const { return steps + commit; }
};

// True when a read-back check found nothing wrong; else says what it found.
bool Passed(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "read-back: %s\n", problem.c_str());
  return problem.empty();
}

// The conversion as convertdb does it: the copy, then the MANIFEST on another thread while the
// steps run, and the commit after it; around them the read-back's counts and checks, timed
// apart (round.readBack).
bool Convert(const fs::path& site, RoundFigures& round) {
  using namespace filomar;
  if (!Connect()) return false;
  backup::PendingBackup backup;
  if (!backup::CopySelectedDatabase((site / "backups").string(), "STANDARD", "std", std::time(nullptr), backup).ok()) return false;
  auto manifest = std::async(std::launch::async, [&backup] { return backup.Finish().text(); });
  const double cpuBefore = CpuSeconds();
  // A read-back check, its time and processor time kept apart from the conversion's.
  double readBackCpu = 0;
  const auto readBack = [&](auto check) {
    const double checkCpu = CpuSeconds();
    const auto start = Clock::now();
    const bool passed = check();
    round.readBack += Seconds(start);
    readBackCpu += CpuSeconds() - checkCpu;
    return passed;
  };
  vb_io_beginDatabase();
  // The CONF and letters steps, untimed, so that the read-back finds the version record at
  // 500A and the letter files under their new names.
  RunSteps({"UpdateCONF", "renameLetters"});
  ReadBackPlan plan;
  readBack([&plan] { plan = PlanReadBack(); return true; });
  const long readCallsBefore = ReadCallsOfThisThread();
  round.steps = RunSteps({"ConvertSact", "ConvertVers", "ConvertComp"});
  round.readCalls = ReadCallsOfThisThread() - readCallsBefore;
  if (!readBack([&plan] { return Passed(CheckBeforeCommit(plan)); })) return false;
  const auto waitStart = Clock::now();
  if (!manifest.get().empty()) return false;
  round.wait = Seconds(waitStart);
  const auto commitStart = Clock::now();
  const long commitReadCallsBefore = ReadCallsOfThisThread();
  vb_io_commitDatabase();
  round.readCalls += ReadCallsOfThisThread() - commitReadCallsBefore;
  if (vb_io_erc != 0) return false;
  round.commit = Seconds(commitStart);
  if (!readBack([&plan] { return Passed(CheckAfterCommit(plan)); })) return false;
  round.cpu = CpuSeconds() - cpuBefore - readBackCpu;
  Disconnect();
  fs::remove_all(backup.folder());
  return true;
}

// Puts the store back as it was before the first round, for the next round's conversion.
bool Restore(const fs::path& pristine, const fs::path& store) {
  std::error_code error;
  for (const char* suffix : {"-wal", "-shm"}) fs::remove(store.string() + suffix, error);
  return fs::copy_file(pristine, store, fs::copy_options::overwrite_existing, error) && WarmUp(store);
}

// One round: the conversion, then the floor on the same store, each on a settled file system.
bool RunRound(const fs::path& site, const fs::path& store, long size, RoundFigures& round) {
  bench::Settle();
  if (!Convert(site, round) || !WarmUp(store)) return false;
  bench::Settle();
  const double cpuBefore = CpuSeconds();
  const auto start = Clock::now();
  const long readCallsBefore = ReadCallsOfThisThread();
  round.changed = RewriteRawly(store);
  round.rawReadCalls = ReadCallsOfThisThread() - readCallsBefore;
  round.raw = Seconds(start);
  round.rawCpu = CpuSeconds() - cpuBefore;
  const auto records = static_cast<double>(RecordsOf(size));
  std::printf("conversion: steps %.3f s (%.2f us/record), waited for the MANIFEST %.3f s, commit %.3f s, read-back %.3f s, "
              "cpu %.3f s, %ld read calls; raw UPDATE: %ld rows in %.3f s (%.2f us/record), cpu %.3f s, %ld read calls\n",
              round.steps, 1e6 * round.steps / records, round.wait, round.commit, round.readBack, round.cpu, round.readCalls,
              round.changed, round.raw, 1e6 * round.raw / records, round.rawCpu, round.rawReadCalls);
  return round.changed >= RecordsOf(size);
}

// The figures of one size that the parent compares across sizes.
struct SizeFigures {
  double usPerRecord = 0, floorUsPerRecord = 0;
};

// One size: its site, backups, then `rounds` rounds of the steps and the floor, each on the
// store as the site tool made it; the fastest conversion and the fastest floor count.
bool RunSize(const fs::path& work, long size, int rounds, SizeFigures& figures) {
  const fs::path site = work / ("site-" + std::to_string(size));
  const auto made = Clock::now();
  if (!MakeSite(site, size)) {
    std::fprintf(stderr, "filomar-site demo failed\n");
    return false;
  }
  std::printf("records=%ld per file, site made in %.1f s\n", size, Seconds(made));
  setenv("FILOMAR_HOME", site.c_str(), 1);
  setenv("FILOMAR_IPC_DIR", (site / "ipc").c_str(), 1);
  const fs::path store = site / "data" / "std.records";
  const fs::path pristine = site / "pristine.records";
  std::error_code error;
  if (!WarmUp(store) || !fs::copy_file(store, pristine, error)) return false;

  BackupFigures warm, cold;
  const bool backedUp = Connect() && TimeBackups(site, store, kColdRounds, true, cold) && WarmUp(store) &&
                        TimeBackups(site, store, kWarmRounds, false, warm);
  Disconnect();
  if (!backedUp) return false;
  std::printf("backup_peak_rss_kib=%ld\n", PeakRssKib());

  // The round with the fastest conversion and the one with the fastest floor.
  std::optional<RoundFigures> bestConversion, bestFloor;
  long peakRss = 0;
  for (int round = 0; round < rounds; ++round) {
    RoundFigures figure;
    if (round > 0 && !Restore(pristine, store)) return false;
    ResetPeakRss();
    if (!RunRound(site, store, size, figure)) return false;
    peakRss = std::max(peakRss, PeakRssKib());
    if (!bestConversion || figure.program() < bestConversion->program()) bestConversion = figure;
    if (!bestFloor || figure.raw < bestFloor->raw) bestFloor = figure;
  }
  const auto records = static_cast<double>(RecordsOf(size));
  figures = {1e6 * bestConversion->program() / records, 1e6 * bestFloor->raw / records};
  std::printf("conversion without backup: %.3f s, with backup: %.3f s\n", bestConversion->program(),
              bestConversion->program() + warm.copy + bestConversion->wait);
  std::printf("peak_rss_kib=%ld\n", peakRss);
  std::printf("size=%ld ratio=%.3f steps_only_ratio=%.3f cpu_ratio=%.3f us_per_record=%.2f floor_us_per_record=%.2f\n",
              size, bestConversion->program() / bestFloor->raw, bestConversion->steps / bestFloor->raw,
              bestConversion->cpu / bestFloor->rawCpu, figures.usPerRecord,
              figures.floorUsPerRecord);
  std::printf("size=%ld read_back_ratio=%.3f read_calls_ratio=%.3f\n", size,
              (bestConversion->program() + bestConversion->readBack) / bestFloor->raw,
              static_cast<double>(bestConversion->readCalls) / static_cast<double>(bestFloor->rawReadCalls));
  std::printf("size=%ld backup_ratio_warm=%.3f backup_ratio_cold=%.3f\n", size, (warm.copy + bestConversion->wait) / warm.cp,
              (cold.copy + bestConversion->wait) / cold.cp);
  fs::remove_all(site);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // The steps run with filomar-convert's SQLite settings; the floor, in this process, has them too.
  reclib::SetUpSqliteForThisProcess();
  bench::Options options;
  if (!bench::ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: conversion_bench --records N[,M...] [--rounds R] [--dir D]\n");
    return 2;
  }
  if (!bench::WorkIn(options, "conversion-bench")) return 1;
  const int rounds = options.rounds > 0 ? options.rounds : kDefaultRounds;
  int failed = 0;
  std::vector<SizeFigures> sizes;
  // A process per size: the record library, the caches and the peak memory start afresh. Its
  // figures come back through a pipe.
  for (const long size : options.sizes) {
    int channel[2];
    if (pipe(channel) != 0) return 1;
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
      close(channel[0]);
      SizeFigures figures;
      const bool ran = RunSize(fs::absolute(options.dir), size, rounds, figures);
      std::fflush(stdout);
      const bool sent = ran && write(channel[1], &figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
      _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    SizeFigures figures;
    const bool received = read(channel[0], &figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
    close(channel[0]);
    int status = 0;
    const bool ran = pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (ran && received) {
      sizes.push_back(figures);
    } else {
      std::fprintf(stderr, "conversion_bench: the run of %ld records failed\n", size);
      ++failed;
    }
  }
  if (sizes.size() > 1) {
    const auto spread = [&sizes](double SizeFigures::*figure) {
      const auto [low, high] = std::minmax_element(sizes.begin(), sizes.end(),
                                                   [figure](const auto& a, const auto& b) { return a.*figure < b.*figure; });
      return (*high).*figure / (*low).*figure;
    };
    std::printf("flatness=%.3f floor_flatness=%.3f\n", spread(&SizeFigures::usPerRecord),
                spread(&SizeFigures::floorUsPerRecord));
  }
  if (options.temporary) fs::remove_all(options.dir);
  return failed == 0 ? 0 : 1;
}
