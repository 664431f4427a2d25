// The version (VERS) and component (COMP) records of the current database.
// Not converted yet: in this build the routines below do nothing.
#pragma once

namespace filomar::steps {

// Upper-cases the version records' two name fields.
void ConvertVers();
// Upper-cases the component records' name field.
void ConvertComp();

}  // namespace filomar::steps
