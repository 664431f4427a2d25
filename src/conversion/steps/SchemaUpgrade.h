// The server's schema upgrade of one database: the engine's upgrade script, and on Oracle the
// user-level records.
// Not converted yet: in this build the routines below do nothing.
#pragma once

#include "conversion/StepContext.h"

namespace filomar::steps {

// Runs flm50.sql of the program directory batch by batch, "xxx_" replaced by `prefix` + "_";
// writes its Print lines and server errors to `log`.
void UpdateTablesSQL5(StepContext& ctx);
// Runs flm50ora.sql line by line in the same way.
void UpdateTablesORACLE5(StepContext& ctx);
// Writes the user-level records into the current database's CODE file (Oracle sites only).
void UpdateOraclePrivs(StepContext& ctx);

}  // namespace filomar::steps
