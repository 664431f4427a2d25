#include "conversion/steps/ActionsAndFilters.h"

namespace filomar::steps {

// Not converted yet: no action record is rewritten.
void ConvertSact(StepContext&) {}

// Not converted yet: no statement is sent.
void ConvertFilters(StepContext&) {}

}  // namespace filomar::steps
