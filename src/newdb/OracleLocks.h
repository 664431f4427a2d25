// The Oracle lock procedures and functions that the product's client programs lock records
// and tables with. Start-up creates them afresh on every Oracle site, and so does the
// conversion of each database.
#pragma once

#include <span>
#include <string_view>

#include "platform/ado/Provider.h"

namespace filomar {

// One server object: its name and its whole "CREATE OR REPLACE" text, lines separated by
// single line feeds.
struct OracleObject {
  std::string_view name;
  std::string_view text;
};

// The thirteen objects in the order they are sent: the eight lock procedures, CLIENTINFO,
// MACHINE, SP_SET_CLIENT_INFO, DECODE_HEX and HEXTOCHAR. Their sources are
// dist/oracle/<name>.sql, built into the program.
std::span<const OracleObject> OracleLockObjects();

// Sends each object as one statement, in order, on a connection of its own opened through
// `server`, with no time limit. Stops at the first failure (the opening included): each server
// error of that failure is shown in a message box titled "Error" with the critical icon, and
// the objects after it are not sent. Writes no log and returns nothing; the caller carries on.
void CreateOracleLockProcedures(ado::ProviderFactory& server = ado::InstalledProviderFactory());

}  // namespace filomar
