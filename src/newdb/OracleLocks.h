// The Oracle lock procedures and functions that the product's client programs lock records
// and tables with. Start-up creates them afresh on every Oracle site, and so does the
// conversion of each database.
#pragma once

#include "platform/ado/Provider.h"

namespace filomar {

// Sends each object as a "CREATE OR REPLACE" statement on a connection of its own opened
// through `server`. Not built yet: sends nothing.
void CreateOracleLockProcedures(ado::ProviderFactory& server = ado::InstalledProviderFactory());

}  // namespace filomar
