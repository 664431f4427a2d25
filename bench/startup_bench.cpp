// startup_bench: how long filomar-convert takes from its start to the main window's list being
// filled, on a demo site with 1,000 catalogued databases at "400A".
//
// The program runs in batch: it signs on as the demo administrator, loads the main window
// (which reads every catalogued database's version) and prints the list, then starts a run
// with a log path that cannot be opened, so nothing is converted and the site can be used
// again. The time is taken when the "Log File:" line that follows the list arrives.
//
//   startup_bench [DATABASES] [RUNS]      last line: seconds=<median of the runs>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Seconds from the spawn of the program to the line after its list; negative on failure.
double TimeToList(const fs::path& site) {
  int toChild[2], fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, toChild[1]);
  posix_spawn_file_actions_addclose(&actions, fromChild[0]);
  const std::string program = FILOMAR_CONVERT, log = (site / "no-such-folder" / "convert5.log").string();
  const char* argv[] = {program.c_str(), "--batch", "--user", "FILOMAR", "--password-stdin", "--log", log.c_str(),
                        nullptr};
  const auto start = Clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  close(fromChild[1]);
  if (spawned != 0) return -1;
  if (write(toChild[1], "FILOMAR\n", 8) != 8) return -1;
  close(toChild[1]);

  double seconds = -1;
  FILE* out = fdopen(fromChild[0], "r");
  char line[4096];
  while (std::fgets(line, sizeof line, out) != nullptr) {
    if (seconds < 0 && std::string(line).rfind("Log File:", 0) == 0)
      seconds = std::chrono::duration<double>(Clock::now() - start).count();
  }
  std::fclose(out);
  int status = 0;
  waitpid(pid, &status, 0);
  return seconds;
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

  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double seconds = TimeToList(site);
    if (seconds < 0) {
      std::fprintf(stderr, "startup_bench: the program never showed its list\n");
      fs::remove_all(site);
      return 1;
    }
    std::printf("run %d: %.3f s to the list of %d databases\n", i + 1, seconds, databases);
    times.push_back(seconds);
  }
  fs::remove_all(site);
  std::sort(times.begin(), times.end());
  std::printf("seconds=%.3f\n", times[times.size() / 2]);
  return 0;
}
