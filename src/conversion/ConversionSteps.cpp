#include "conversion/ConversionSteps.h"

#include "conversion/steps/ActionsAndFilters.h"
#include "conversion/steps/ConfigurationAndCodes.h"
#include "conversion/steps/Letters.h"
#include "conversion/steps/OracleLockProcedures.h"
#include "conversion/steps/SchemaUpgrade.h"
#include "conversion/steps/VersionsAndComponents.h"

namespace filomar {

void ProductSteps::UpdateTablesSQL5(const std::string& dbName, const std::string& prefix) {
  steps::UpdateTablesSQL5(log_, dbName, prefix);
}
void ProductSteps::UpdateTablesORACLE5(const std::string& dbName, const std::string& prefix) {
  steps::UpdateTablesORACLE5(log_, dbName, prefix);
}
void ProductSteps::CreateOracleLockProcedures() { steps::CreateOracleLockProcedures(); }
void ProductSteps::UpdateOraclePrivs() { steps::UpdateOraclePrivs(); }
void ProductSteps::UpdateCONF() { steps::UpdateCONF(); }
void ProductSteps::renameLetters() { steps::renameLetters(); }
void ProductSteps::convertLettersInDB() { steps::convertLettersInDB(); }
void ProductSteps::ConvertCodes() { steps::ConvertCodes(); }
void ProductSteps::ConvertSact() { steps::ConvertSact(); }
void ProductSteps::ConvertFilters() { steps::ConvertFilters(log_); }
void ProductSteps::ConvertVers() { steps::ConvertVers(); }
void ProductSteps::ConvertComp() { steps::ConvertComp(); }

}  // namespace filomar
