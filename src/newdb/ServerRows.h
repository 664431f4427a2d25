// The server-level initial content of a new STANDARD database: the security code "EVERYONE",
// the administrator user, the catalogue row (SQL Server; on Oracle the template run inserts it)
// and the administrator's level 9 on STANDARD. Every statement goes out even when the one
// before failed; each server error is shown in a message box titled "Error".
#pragma once

#include <string>
#include <vector>

#include "platform/ado/Provider.h"

namespace filomar {

// The administrator of a new site, on the server and in the record files.
inline constexpr const char* kAdministratorId = "FILOMAR";
inline constexpr const char* kAdministratorName = "FILOMAR ADMINISTRATOR";

// The statements of each engine, in the order they are sent.
std::vector<std::string> SqlServerInitialRows();
std::vector<std::string> OracleInitialRows();

// Sends the rows of DbEngine's engine on a connection of their own.
void InsertServerRows(ado::ProviderFactory& server);

}  // namespace filomar
