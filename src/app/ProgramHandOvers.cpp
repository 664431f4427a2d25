#include "app/ProgramHandOvers.h"

#include "common/General.h"
#include "newdb/modCrStd.h"

namespace filomar::app {

bool ProgramHandOvers::ProductDatabaseExists() { return StandardDatabaseExists(); }

void ProgramHandOvers::RecreateOracleLockProcedures() {
  WriteTrace("Oracle lock procedures are not recreated by this build");
}

bool ProgramHandOvers::CreateStandardDatabase() {
  MsgBoxTrace("This build of the conversion utility cannot create a new database.", ui::mb::Exclamation, "");
  return false;
}

void ProgramHandOvers::ShowSignOn() {}

void ProgramHandOvers::ShowMainWindow() {}

int ProgramHandOvers::RunMainWindow() { return kExitNormal; }

}  // namespace filomar::app
