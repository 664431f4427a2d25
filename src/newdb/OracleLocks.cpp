#include "newdb/OracleLocks.h"

namespace filomar {

// Not built yet: this build creates no lock procedures.
void CreateOracleLockProcedures(ado::ProviderFactory&) {}

}  // namespace filomar
