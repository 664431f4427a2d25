// The version (VERS) and component (COMP) records of the current database.
#pragma once

#include "conversion/StepContext.h"

namespace filomar::steps {

// Rewrites the two 255-character texts of every version record (at 394 and 139) in upper case.
void ConvertVers(StepContext& ctx);
// Rewrites the 256-character text of every component record (at 276) in upper case.
void ConvertComp(StepContext& ctx);

}  // namespace filomar::steps
