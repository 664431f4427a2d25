// The actions (SACT) of the current database and, for STANDARD, the server's filters.
#pragma once

#include <string>

#include "conversion/StepContext.h"
#include "shared/DbEngine.h"

namespace filomar::steps {

// Widens every action record of the current database to the 5.0 layout: 20 blanks go in after
// the first 64 characters and the record's last 20 characters drop off its end. The scan starts
// at the key "0" + 9 blanks, 0000. Shows no message.
void ConvertSact(StepContext& ctx);

// Makes the signed-on user the owner of every filter of std_filter with one statement on its
// own server connection; server errors go to the log, each followed by the statement.
void ConvertFilters(StepContext& ctx);

// The statement ConvertFilters sends on `engine`. Every single quote of the user id is doubled,
// so the id stays one literal whatever it holds.
std::string FilterOwnerStatement(Engine engine, const std::string& userId);

}  // namespace filomar::steps
