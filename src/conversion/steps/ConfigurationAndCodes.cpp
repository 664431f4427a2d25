#include "conversion/steps/ConfigurationAndCodes.h"

namespace filomar::steps {

// Not converted yet: CONF is left as it is, so the database stays at "400A".
void UpdateCONF(StepContext&) {}

// Not converted yet: no code is added.
void ConvertCodes(StepContext&) {}

}  // namespace filomar::steps
