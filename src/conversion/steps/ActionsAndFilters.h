// The actions (SACT) of the current database and, for STANDARD, the server's filters.
// Not converted yet: in this build the routines below do nothing.
#pragma once

#include "conversion/StepContext.h"

namespace filomar::steps {

// Rewrites the action records for the 5.0 layout.
void ConvertSact(StepContext& ctx);
// Gives every filter of std_filter to the signed-on user; server errors go to `log`.
void ConvertFilters(StepContext& ctx);

}  // namespace filomar::steps
