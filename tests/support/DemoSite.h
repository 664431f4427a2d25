// Demo sites for tests: runs the built filomar-site tool, so a test gets a site exactly as the
// tool makes it, without the tool's process-wide settings (record layer, environment)
// touching the test process.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace testing_support {

// One run of filomar-site: its exit status and what it printed.
struct SiteToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs filomar-site with `args`, `input` as its standard input. Never throws for a failing
// tool; throws std::runtime_error only when the tool cannot be started.
SiteToolRun RunSiteTool(const std::vector<std::string>& args, const std::string& input = "");

struct DemoSiteOptions {
  std::size_t records = 50;  // SACT, VERS and COMP records of each full database
  char engine = 'S';
  int databases = 3;  // databases at "400A", STANDARD included
  std::optional<std::string> dataRoot = std::nullopt;  // --ini
  std::string folder = "site";          // the name of the site's own folder
};

// A demo site in a temporary directory, removed with the object. The site has STANDARD
// ("data", prefix std), FINANCE ("finance", fin) and PERSONNEL ("personnel", per) at "400A",
// LEGAL ("legal", leg) at "500A" and ARCHIVE ("archive/1998", arc) without a data directory;
// the administrator FILOMAR has the password FILOMAR and level 9 on each.
class DemoSite {
 public:
  // Throws std::runtime_error with the tool's message when the site cannot be made.
  explicit DemoSite(const DemoSiteOptions& options = {});

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path OdbcIni() const { return dir_ / "odbc.ini"; }
  // The data directory of a catalogued database, e.g. DataDir("finance").
  std::filesystem::path DataDir(const std::string& directory) const;

 private:
  TempDir temp_;
  std::filesystem::path dir_;
  std::optional<std::string> dataRoot_;
};

// Points the product's programs started from this process at `site` for the life of the
// object: its program directory, its ODBC data sources and a private inter-process store.
class SiteEnvironment {
 public:
  explicit SiteEnvironment(const DemoSite& site);

 private:
  ScopedEnv home_;
  ScopedEnv odbc_;
  ScopedEnv ipc_;
};

// The letter and action sheet files of `dir` (names beginning "Letter" or "ActSht" in any
// case) with their contents, by name.
std::map<std::string, std::string> LetterFiles(const std::filesystem::path& dir);

}  // namespace testing_support
