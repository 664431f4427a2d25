#include "conversion/steps/VersionsAndComponents.h"

namespace filomar::steps {

// Not converted yet: no version record is rewritten.
void ConvertVers() {}

// Not converted yet: no component record is rewritten.
void ConvertComp() {}

}  // namespace filomar::steps
