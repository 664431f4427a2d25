#include "conversion/steps/OracleLockProcedures.h"

namespace filomar::steps {

// Not converted yet: this build creates no lock procedures.
void CreateOracleLockProcedures() {}

}  // namespace filomar::steps
