// The record conversions of the configuration record (CONF) and the codes (CODE) of the
// current database.
// Not converted yet: in this build the routines below do nothing.
#pragma once

#include "conversion/StepContext.h"
namespace filomar::steps {

// Rewrites the CONF rows of the 5.0 layout and stamps the database with version "500A".
void UpdateCONF(StepContext& ctx);
// Adds the codes that 5.0 needs.
void ConvertCodes(StepContext& ctx);

}  // namespace filomar::steps
