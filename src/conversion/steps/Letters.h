// The standard letters and action sheets of the current database: the files' 5.0 names and
// the letter records that name them.
// Not converted yet: in this build the routines below do nothing.
#pragma once

#include "conversion/StepContext.h"
#include "common/Variant.h"

namespace filomar::steps {

// Renames LetterA..LetterJ and ActShtA..ActShtJ to their numbered names; true when at least
// one file received its new name.
bool renameLetters(StepContext& ctx);
// Rewrites the letter records for the new names; the result is always an empty value.
Variant convertLettersInDB(StepContext& ctx);

}  // namespace filomar::steps
