// The record conversions of the configuration record (CONF) and the codes (CODE) of the
// database the record library has selected.
#pragma once

#include "conversion/StepContext.h"

namespace filomar::steps {

// Brings CONF to the 5.0 layout: appends the new captions to the caption lists of rows "C04",
// "C05" and "C06" (other elements kept), sets the new settings of "C00" and stamps it "500A",
// and adds row "C12" holding the 20 characters "C00" had at 838..857 (blanks without "C00").
// A row that cannot be read is left alone; an existing "C12" is not replaced. Shows nothing;
// a write that fails is traced with the row and the status.
void UpdateCONF(StepContext& ctx);

// Adds the code "D007" ("FROZEN"); an existing "D007" is left as it is. Shows nothing.
void ConvertCodes(StepContext& ctx);

}  // namespace filomar::steps
