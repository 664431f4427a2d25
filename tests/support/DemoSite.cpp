#include "support/DemoSite.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace testing_support {
namespace fs = std::filesystem;

namespace {

int OpenOrDie(const fs::path& file, int flags) {
  const int fd = open(file.c_str(), flags, 0600);
  if (fd < 0) throw std::runtime_error("cannot open " + file.string());
  return fd;
}

}  // namespace

SiteToolRun RunSiteTool(const std::vector<std::string>& args, const std::string& input) {
  TempDir io;
  const fs::path in = io.Write("stdin", input), out = io.path() / "stdout", err = io.path() / "stderr";
  std::vector<std::string> argv_strings = {FILOMAR_SITE_EXE};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_strings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const int inFd = OpenOrDie(in, O_RDONLY);
  const int outFd = OpenOrDie(out, O_WRONLY | O_CREAT | O_TRUNC);
  const int errFd = OpenOrDie(err, O_WRONLY | O_CREAT | O_TRUNC);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(inFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(inFd);
  close(outFd);
  close(errFd);
  if (pid < 0) throw std::runtime_error("cannot start filomar-site");
  int status = 0;
  waitpid(pid, &status, 0);
  SiteToolRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  return run;
}

DemoSite::DemoSite(const DemoSiteOptions& options) : dir_(temp_.path() / "site"), dataRoot_(options.dataRoot) {
  std::vector<std::string> args = {"demo", dir_.string(), "--records", std::to_string(options.records),
                                   "--engine", std::string(1, options.engine), "--databases",
                                   std::to_string(options.databases)};
  if (options.dataRoot) args.insert(args.end(), {"--ini", *options.dataRoot});
  const SiteToolRun run = RunSiteTool(args);
  if (run.exitCode != 0) throw std::runtime_error("filomar-site demo failed: " + run.err);
}

fs::path DemoSite::DataDir(const std::string& directory) const {
  return dataRoot_ ? (dir_ / *dataRoot_ / directory).lexically_normal() : dir_ / directory;
}

SiteEnvironment::SiteEnvironment(const DemoSite& site)
    : home_("FILOMAR_HOME", site.dir().string()),
      odbc_("ODBCINI", site.OdbcIni().string()),
      ipc_("FILOMAR_IPC_DIR", (site.dir() / "ipc").string()) {}

}  // namespace testing_support
