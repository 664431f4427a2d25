// The Oracle lock procedures and functions, created afresh for every database converted.
// Not converted yet: in this build the routines below do nothing.
#pragma once

namespace filomar::steps {

// Recreates the lock procedures and functions on the server; errors are shown in message boxes.
void CreateOracleLockProcedures();

}  // namespace filomar::steps
