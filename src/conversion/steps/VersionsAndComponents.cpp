#include "conversion/steps/VersionsAndComponents.h"

namespace filomar::steps {

// Not converted yet: no version record is rewritten.
void ConvertVers(StepContext&) {}

// Not converted yet: no component record is rewritten.
void ConvertComp(StepContext&) {}

}  // namespace filomar::steps
