// The commands of filomar-site:
//
//   filomar-site demo DIR [--records N] [--engine S|O] [--ini DATAROOT] [--databases K] [--force]
//   filomar-site empty DIR [--engine S|O] [--force]
//   filomar-site install-record DIR --engine S|O --password-stdin
//   filomar-site dump SITE DATADIR PREFIX CODE [--hex]
//
// A site is built beside its final place and moved there when complete (StagedDirectory).
#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "site/Status.h"

namespace site {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct DemoOptions {
  std::filesystem::path dir;
  std::size_t records = 50;
  char engine = 'S';
  std::optional<std::string> dataRoot;  // --ini: FLMWIN.INI's StandardDataDir, as given
  int databases = 3;                    // databases at "400A", STANDARD included
  bool force = false;
};

// Builds a demo site (see DatabaseRecords, SharedRecords, ServerTables, ProgramFiles).
Status BuildDemoSite(const DemoOptions& options);

// Builds a site whose server holds no product database: the program files, the STANDARD
// database's empty record store and an empty server.
Status BuildEmptySite(const std::filesystem::path& dir, char engine, bool force);

// Rewrites the installation records of the site in `dir`.
Status RewriteInstallRecords(const std::filesystem::path& dir, char engine, const std::string& password);

// Runs the tool on `args` (without the program name). Returns 0, kExitFailure after an error
// (the message on `err`), or kExitUsage with the usage text for arguments it cannot take.
int RunSiteTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace site
