#include "conversion/StepTable.h"

#include "common/General.h"
#include "conversion/steps/ActionsAndFilters.h"
#include "conversion/steps/ConfigurationAndCodes.h"
#include "conversion/steps/Letters.h"
#include "conversion/steps/SchemaUpgrade.h"
#include "conversion/steps/VersionsAndComponents.h"
#include "newdb/OracleLocks.h"
#include "shared/Catalogue.h"

namespace filomar {

const StepTable& ProductStepTable() {
  using namespace steps;
  static const StepTable table = {
      {ForEngine::SqlServer, false, "- Creating new tables ", " Creating new tables ",
       {{"UpdateTablesSQL5", UpdateTablesSQL5}}},
      {ForEngine::Oracle, false, "- Creating new tables ", " Creating new tables ",
       {{"UpdateTablesORACLE5", UpdateTablesORACLE5}}},
      {ForEngine::Oracle, false, "- Creating new Stored Procedures ", " Creating new Stored Procedures ",
       {{"CreateOracleLockProcedures", [](StepContext& c) { CreateOracleLockProcedures(c.server); }},
        {"UpdateOraclePrivs", UpdateOraclePrivs}}},
      {ForEngine::Both, false, "- Updating CONF file", " Updating Conf table", {{"UpdateCONF", UpdateCONF}}},
      {ForEngine::Both, false, "- Updating Letters", " Updating Letters",
       {{"renameLetters", [](StepContext& c) { renameLetters(c); }},
        {"convertLettersInDB", [](StepContext& c) { convertLettersInDB(c); }}}},
      {ForEngine::Both, false, "- Updating Codes", " Updating Codes", {{"ConvertCodes", ConvertCodes}}},
      {ForEngine::Both, false, "- Updating SACT file", " Updating Sact table", {{"ConvertSact", ConvertSact}}},
      {ForEngine::Both, true, "- Converting Filters", " Converting Filters", {{"ConvertFilters", ConvertFilters}}},
      {ForEngine::Both, false, "- Updating VERS file", " Updating VERS table", {{"ConvertVers", ConvertVers}}},
      {ForEngine::Both, false, "- Updating COMP file", " Updating COMP table", {{"ConvertComp", ConvertComp}}},
  };
  return table;
}

bool Applies(const Step& step, Engine engine, const std::string& dbName) {
  const bool engineMatches =
      step.engine == ForEngine::Both || (step.engine == ForEngine::Oracle) == (engine == Engine::Oracle);
  return engineMatches && (!step.standardOnly || SameText(dbName, kStandardName));
}

}  // namespace filomar
