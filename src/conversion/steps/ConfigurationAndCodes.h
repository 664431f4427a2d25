// The record conversions of the configuration record (CONF) and the codes (CODE) of the
// current database.
// Not converted yet: in this build the routines below do nothing.
#pragma once

namespace filomar::steps {

// Rewrites the CONF rows of the 5.0 layout and stamps the database with version "500A".
void UpdateCONF();
// Adds the codes that 5.0 needs.
void ConvertCodes();

}  // namespace filomar::steps
