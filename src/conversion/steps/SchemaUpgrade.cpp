#include "conversion/steps/SchemaUpgrade.h"

namespace filomar::steps {

// Not converted yet: this build sends no upgrade script.
void UpdateTablesSQL5(ConversionLog&, const std::string&, const std::string&) {}

// Not converted yet: this build sends no upgrade script.
void UpdateTablesORACLE5(ConversionLog&, const std::string&, const std::string&) {}

// Not converted yet: this build writes no user-level records.
void UpdateOraclePrivs() {}

}  // namespace filomar::steps
