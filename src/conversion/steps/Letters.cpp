#include "conversion/steps/Letters.h"

namespace filomar::steps {

// Not converted yet: no file is renamed.
bool renameLetters(StepContext&) { return false; }

// Not converted yet: no letter record is rewritten.
Variant convertLettersInDB(StepContext&) { return {}; }

}  // namespace filomar::steps
