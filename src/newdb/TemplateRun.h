// The template runs that create a new database's tables on the server, from the scripts that
// ship in the program directory:
//   SQL Server: "Newstd7.tpl", then "lock2k.sql" (passed over without a word when missing),
//               each sent in batches by the template rules of shared/ScriptBatches.h: the lines
//               up to a line that reads "go" (after trimming blanks, in lower case only), each
//               line after one blank; lines may end in LF or CR LF.
//   Oracle:     "Newstddb.tpl", one statement per line; then the PL/SQL block that inserts the
//               STANDARD database's catalogue row into std_db, whether the template was there
//               or not.
// A missing template is shown in a message box and the run goes on. A statement that fails
// because an object does not exist is passed over; every other server error is shown in a
// message box titled "Error", and the run goes on with the next statement.
#pragma once

#include <string>

#include "platform/ado/Provider.h"

namespace filomar {

inline constexpr const char* kSqlServerTemplate = "Newstd7.tpl";
inline constexpr const char* kSqlServerLockScript = "lock2k.sql";
inline constexpr const char* kOracleTemplate = "Newstddb.tpl";

// The anonymous PL/SQL block that inserts STANDARD's std_db row on Oracle, lines joined by LF.
const std::string& OracleCatalogueBlock();

// Runs the engine's (DbEngine) template from `programDirectory` (ending in "/") on a
// connection of its own made through `server`.
void RunTemplate(const std::string& programDirectory, ado::ProviderFactory& server);

}  // namespace filomar
