#include "conversion/steps/ConfigurationAndCodes.h"

namespace filomar::steps {

// Not converted yet: CONF is left as it is, so the database stays at "400A".
void UpdateCONF() {}

// Not converted yet: no code is added.
void ConvertCodes() {}

}  // namespace filomar::steps
