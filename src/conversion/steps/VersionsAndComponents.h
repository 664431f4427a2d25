// The version (VERS) and component (COMP) records of the current database.
// Not converted yet: in this build the routines below do nothing.
#pragma once

#include "conversion/StepContext.h"
namespace filomar::steps {

// Upper-cases the version records' two name fields.
void ConvertVers(StepContext& ctx);
// Upper-cases the component records' name field.
void ConvertComp(StepContext& ctx);

}  // namespace filomar::steps
