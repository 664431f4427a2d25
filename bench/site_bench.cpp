// site_bench [DATABASES,...]: the fixed cost of converting a database, on demo sites whose
// databases hold 5 records per file (default sites of 100 and of 1,000 databases).
//
// For each size the site tool makes a site with that many databases at 4.0 (STANDARD
// included), then filomar-convert converts them all in batch (--all) on the embedded engine,
// backups included. The clock is read as each "Converting Database" line and the completion
// line arrive, so a database's time runs from the start of its conversion to the start of the
// next one. With 5 records per file that time is all fixed cost: backup, transaction, server
// statements, log.
//
// The time of each database is also split in two: the step "Creating new tables", which sends the
// release's schema changes to the server (on the embedded engine SQLite reads its whole schema
// again after every ALTER TABLE … ADD, so this part grows with the site), and all the rest
// (backup, records, log, the other steps' statements), which is the program's own fixed cost.
//
// Prints each hundred databases' mean as it ends, then per size: seconds=<the whole run>,
// per_database_ms=<mean>, first_hundred_ms and last_hundred_ms, first_ten_ms and last_ten_ms
// (<means over the first and last hundred and ten databases>), growth=<last / first hundred>;
// then schema_first_hundred_ms and schema_last_hundred_ms (the schema step's means) and
// rest_first_hundred_ms, rest_last_hundred_ms and rest_growth (the rest's); then, to show where
// the rest goes and what of it grows, each phase of a database (from one line the run prints to
// the next, named by the first line's caption) with its means over the first and last hundred:
// phase "<caption>": first_hundred_ms=… last_hundred_ms=… growth=….
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Spawn.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using bench::Run;

constexpr const char* kSchemaPhase = "Creating new tables";

// The clock marks of a run, in seconds since its spawn.
struct Marks {
  std::vector<double> starts;  // each database's conversion start, then the end of the run
  // Per database, the seconds of each phase. A phase starts with a line the run prints and ends
  // with the next one; it is named by its line's caption without the database's name. The run
  // prints a database's first line once its backup is copied, so "Finished" holds the wait for
  // the backup's MANIFEST, the commit, its read-back and the log line, and then the next
  // database's selection and the copy of its backup; "Backed up" the start of its transaction
  // and the counts that the read-back compares with; "Creating new tables" and the others their
  // steps.
  std::vector<std::map<std::string, double>> phases;
};

// The phase a line of the run starts: its caption after "NAME: ", without trailing blanks and
// without the folder of "Backed up to …"; "Converting Database" for a database's first line;
// empty for a line that is not a database's progress (the run's closing box).
std::string PhaseOf(const std::string& line) {
  const std::size_t text = line.find("]  ");
  if (text == std::string::npos) return {};
  std::string caption = line.substr(text + 3);
  if (caption.rfind("Converting Database ", 0) == 0) return "Converting Database";
  const std::size_t colon = caption.find(": ");
  if (colon != std::string::npos) caption = caption.substr(colon + 2);
  if (caption.rfind("Backed up to ", 0) == 0) return "Backed up";
  return caption.substr(0, caption.find_last_not_of(" \r\n") + 1);
}

// Runs the conversion of every database of the site in the environment. Empty starts on failure.
Marks ConvertAll() {
  const auto start = Clock::now();
  pid_t pid = 0;
  FILE* out = bench::StartSignedOn({FILOMAR_CONVERT, "--batch", "--user", "FILOMAR", "--password-stdin", "--all"}, pid);
  if (out == nullptr) return {};

  Marks run;
  std::vector<double>& marks = run.starts;
  std::string phase;  // the phase that the last line started, empty outside a database
  double phaseStart = 0;
  bool completed = false;
  char line[4096];
  while (std::fgets(line, sizeof line, out) != nullptr) {
    const double now = std::chrono::duration<double>(Clock::now() - start).count();
    if (!phase.empty()) run.phases.back()[phase] += now - phaseStart;
    phase.clear();
    if (std::strstr(line, "Converting Database ") != nullptr) {
      marks.push_back(now);
      run.phases.emplace_back();
      // Each hundred as it ends, so that a long run shows its course.
      if (marks.size() > 1 && marks.size() % 100 == 1) {
        std::printf("  databases %zu-%zu: %.1f ms each\n", marks.size() - 100, marks.size() - 1,
                    1000.0 * (marks.back() - marks[marks.size() - 101]) / 100.0);
        std::fflush(stdout);
      }
    }
    if (!completed && std::strstr(line, "Conversion of Databases has completed") != nullptr) {
      marks.push_back(now);
      completed = true;
    }
    if (!completed && !run.phases.empty()) {
      phase = PhaseOf(line);  // empty: no phase runs until the next database's line
      phaseStart = now;
    }
  }
  std::fclose(out);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!completed || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || run.phases.size() + 1 != marks.size()) return {};
  return run;
}

// Mean milliseconds per database of databases [from, to) (0-based), from their start marks.
double MeanMs(const std::vector<double>& marks, std::size_t from, std::size_t to) {
  return 1000.0 * (marks[to] - marks[from]) / static_cast<double>(to - from);
}

// Mean milliseconds of `phase` over databases [from, to) that went through it; -1 when none did.
double PhaseMeanMs(const Marks& run, const std::string& phase, std::size_t from, std::size_t to) {
  double sum = 0;
  int count = 0;
  for (std::size_t i = from; i < to; ++i) {
    const auto found = run.phases[i].find(phase);
    if (found == run.phases[i].end()) continue;
    sum += found->second;
    ++count;
  }
  return count == 0 ? -1 : 1000.0 * sum / count;
}

// Every phase's mean over the first and the last `hundred` databases: where the time goes, and
// what grows as the site's databases are converted one after the other.
void PrintPhases(const Marks& run, std::size_t hundred) {
  std::set<std::string> names;
  for (const auto& phases : run.phases)
    for (const auto& [name, seconds] : phases) names.insert(name);
  const std::size_t converted = run.phases.size();
  for (const std::string& name : names) {
    const double first = PhaseMeanMs(run, name, 0, hundred), last = PhaseMeanMs(run, name, converted - hundred, converted);
    std::printf("phase \"%s\": first_hundred_ms=%.2f last_hundred_ms=%.2f", name.c_str(), first, last);
    if (first > 0 && last > 0) std::printf(" growth=%.2f", last / first);
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (const char* size = argc > 1 ? argv[1] : "100,1000"; size != nullptr; size = std::strchr(size, ',')) {
    if (*size == ',') ++size;
    sizes.push_back(std::atoi(size));
    if (sizes.back() < 2) {
      std::fprintf(stderr, "usage: site_bench [DATABASES,...] (each at least 2)\n");
      return 2;
    }
  }
  int failed = 0;
  for (const int databases : sizes) {
    const fs::path site = fs::temp_directory_path() / ("filomar-site-bench-" + std::to_string(getpid()));
    if (Run({FILOMAR_SITE, "demo", site.string(), "--databases", std::to_string(databases), "--records", "5",
             "--force"}) != 0) {
      std::fprintf(stderr, "site_bench: filomar-site could not make the demo site\n");
      return 1;
    }
    setenv("FILOMAR_HOME", site.c_str(), 1);
    setenv("ODBCINI", (site / "odbc.ini").c_str(), 1);
    setenv("FILOMAR_IPC_DIR", (site / "ipc").c_str(), 1);
    const Marks run = ConvertAll();
    const std::vector<double>& marks = run.starts;
    fs::remove_all(site);
    // One mark per converted database and one at the end.
    const std::size_t converted = marks.empty() ? 0 : marks.size() - 1;
    if (converted < static_cast<std::size_t>(databases)) {
      std::fprintf(stderr, "site_bench: the run of %d databases failed or converted %zu\n", databases, converted);
      ++failed;
      continue;
    }
    const std::size_t hundred = std::min<std::size_t>(100, converted), ten = std::min<std::size_t>(10, converted);
    const double first = MeanMs(marks, 0, hundred), last = MeanMs(marks, converted - hundred, converted);
    std::printf("databases=%zu seconds=%.1f per_database_ms=%.1f first_hundred_ms=%.1f last_hundred_ms=%.1f "
                "first_ten_ms=%.1f last_ten_ms=%.1f growth=%.2f\n",
                converted, marks.back(), MeanMs(marks, 0, converted), first, last, MeanMs(marks, 0, ten),
                MeanMs(marks, converted - ten, converted), last / first);
    const double schemaFirst = PhaseMeanMs(run, kSchemaPhase, 0, hundred),
                 schemaLast = PhaseMeanMs(run, kSchemaPhase, converted - hundred, converted);
    std::printf("schema_first_hundred_ms=%.1f schema_last_hundred_ms=%.1f rest_first_hundred_ms=%.1f "
                "rest_last_hundred_ms=%.1f rest_growth=%.2f\n",
                schemaFirst, schemaLast, first - schemaFirst, last - schemaLast, (last - schemaLast) / (first - schemaFirst));
    PrintPhases(run, hundred);
    std::fflush(stdout);
  }
  return failed == 0 ? 0 : 1;
}
