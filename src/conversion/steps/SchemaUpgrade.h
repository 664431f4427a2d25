// The server's schema upgrade of one database: the engine's upgrade script, and on Oracle the
// user-level records.
//
// The script runners never stop on a failure: every error the server reports is one line of
// the log, and the runner goes on with the script's next statement. After each statement they
// send, the progress window repaints and pending window messages run. A script that cannot be
// opened, or breaks off while it is read, is logged and sets ctx.failure: the database cannot
// be converted without its whole upgrade.
#pragma once

#include "conversion/StepContext.h"

namespace filomar::steps {

// Runs flm50.sql of the program directory (UpgradeScript.h) on a connection of its own:
// "xxx_" becomes ctx.prefix + "_"; lines up to a "go" line are one batch, joined by LF and
// each preceded by LF; after each "go" an empty log line. Print lines go to the log (indent 5)
// instead of the server. Unless ctx.prefix is "std", a batch that names a "std_" table is
// dropped unsent. What follows the last "go" is sent as one batch, without that test. An
// empty batch is not sent. A refused batch: one log line per error, ServerError followed by
// the batch text.
void UpdateTablesSQL5(StepContext& ctx);

// Runs flm50ora.sql in the same way, each non-blank line one statement (no "go" lines, no
// empty log lines); a "std_" line is dropped for a database other than STANDARD before the
// Print test. A refused statement: one log line per error, the statement, one blank and
// ServerError.
void UpdateTablesORACLE5(StepContext& ctx);

// On an Oracle site, makes the current database's CODE file hold the twelve user-level
// records (keys "L0".."L9", "LS", "LM") with their descriptions and privilege flags: a record
// that exists is rewritten, a missing one written. The first record that cannot be stored
// ends the step, leaves vb_io_erc set and is named in the log. On a SQL Server site the CODE
// file is only opened and closed.
void UpdateOraclePrivs(StepContext& ctx);

}  // namespace filomar::steps
