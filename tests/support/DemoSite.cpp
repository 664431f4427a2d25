#include "support/DemoSite.h"

#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "support/ProgramRun.h"

namespace testing_support {
namespace fs = std::filesystem;

namespace {
const auto Quoted = ShellWord;
}  // namespace

SiteToolRun RunSiteTool(const std::vector<std::string>& args, const std::string& input) {
  TempDir io;
  const fs::path in = io.Write("stdin", input), out = io.path() / "stdout", err = io.path() / "stderr";
  std::string command = Quoted(FILOMAR_SITE_EXE);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " <" + Quoted(in) + " >" + Quoted(out) + " 2>" + Quoted(err);
  const int raw = std::system(command.c_str());
  if (raw == -1) throw std::runtime_error("cannot start filomar-site");
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}

DemoSite::DemoSite(const DemoSiteOptions& options) : dir_(temp_.path() / options.folder), dataRoot_(options.dataRoot) {
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

std::map<std::string, std::string> LetterFiles(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string(), kind = name.substr(0, 6);
    for (char& c : kind) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (kind == "LETTER" || kind == "ACTSHT") files[name] = ReadFile(entry.path());
  }
  return files;
}

}  // namespace testing_support
