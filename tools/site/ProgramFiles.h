// The files of a site outside the record stores and the server: the shipped scripts, the
// installation records, the ODBC declaration of the embedded engine, the client settings and
// the standard letter and action sheet files of a data directory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "site/SitePlan.h"
#include "site/Status.h"

namespace site {

// The demo server account's password (the embedded engine ignores it).
inline constexpr const char* kDemoServerPassword = "filomar";

// The SQL Server lock script, which a site of the embedded engine does not get: SQLite has no
// stored procedures.
inline constexpr const char* kSqlServerLockScript = "lock2k.sql";

// Copies every regular file of the shipped-scripts folder into `programDir`, except
// kSqlServerLockScript: $FILOMAR_DIST when set, else the repository's dist folder. A folder
// that does not exist copies nothing.
Status CopyShippedScripts(const std::filesystem::path& programDir);

// Writes `programDir`/odbc.ini declaring the DSN filomar4 over the SQLite ODBC driver, with the
// server file at `finalProgramDir`/server.sqlite (the place the site will have when complete).
Status WriteOdbcIni(const std::filesystem::path& programDir, const std::filesystem::path& finalProgramDir);

// Writes FLMWIN.INI in `programDir` with [DATABASE] StandardDataDir=`dataRoot`.
Status WriteClientSettings(const std::filesystem::path& programDir, const std::string& dataRoot);

// Writes the installation record (mode 0600) into each directory, creating none of them.
Status WriteInstallRecords(const std::vector<std::filesystem::path>& directories, char engine, const std::string& password);

// Where a site keeps installation records: the program directory (the engine letter is read
// there), its data folder (the server password is read there) and, when FLMWIN.INI names a
// StandardDataDir, that directory (the engine is read there on such sites). Relative settings
// are taken under `site`.
std::vector<std::filesystem::path> InstallRecordDirectories(const std::filesystem::path& site);

// Writes the letter and action sheet files of `database` into `dataDir`: 4.0 names (LetterA,
// LetterC, ActShtB...) for 4.0 databases, 5.0 names (Letter01...) for converted ones. FINANCE
// holds LetterA, LetterC and ActShtB beside a stale Letter01 that their renaming replaces.
Status WriteLetterFiles(const std::filesystem::path& dataDir, const DatabaseSpec& database);

}  // namespace site
