#include "conversion/steps/SchemaUpgrade.h"

namespace filomar::steps {

// Not converted yet: this build sends no upgrade script.
void UpdateTablesSQL5(StepContext&) {}

// Not converted yet: this build sends no upgrade script.
void UpdateTablesORACLE5(StepContext&) {}

// Not converted yet: this build writes no user-level records.
void UpdateOraclePrivs(StepContext&) {}

}  // namespace filomar::steps
