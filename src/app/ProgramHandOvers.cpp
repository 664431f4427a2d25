#include "app/ProgramHandOvers.h"

#include <iostream>

#include "common/General.h"
#include "startup/login.h"
#include "frontends/faces/DBSelectFace.h"
#include "frontends/faces/LoginFace.h"
#include "frontends/qt/QtFaces.h"
#include "newdb/modCrStd.h"

namespace filomar::app {

bool ProgramHandOvers::ProductDatabaseExists() { return StandardDatabaseExists(); }

void ProgramHandOvers::RecreateOracleLockProcedures() {
  WriteTrace("Oracle lock procedures are not recreated by this build");
}

bool ProgramHandOvers::CreateStandardDatabase() {
  ShowMessage("This build of the conversion utility cannot create a new database.", ui::mb::Exclamation, "");
  return false;
}

int ProgramHandOvers::ShowSignOn() {
  login form;
  if (options_.frontEnd == FrontEndKind::Windows) return ui::RunLoginWindow(form);
  if (options_.frontEnd == FrontEndKind::Console) return ui::RunLoginOnConsole(form, console_);
  std::string password;
  if (options_.passwordStdin) password = ui::ReadPasswordLine(std::cin);
  return ui::RunLoginInBatch(form, batchOut_, options_.userId, password);
}

// Start-up holds the DB file open with the STANDARD database selected while the list is filled.
void ProgramHandOvers::ShowMainWindow() {
  mainWindow_ = std::make_unique<DBSelect>();
  mainWindow_->Form_Load();
}

// Each face runs the main window until the program ends; none of them returns.
void ProgramHandOvers::RunMainWindow() {
  if (options_.frontEnd == FrontEndKind::Windows) ui::RunMainWindow(*mainWindow_);
  if (options_.frontEnd == FrontEndKind::Console) ui::RunDBSelectOnConsole(*mainWindow_, console_);
  ui::RunDBSelectInBatch(*mainWindow_, batchOut_, {options_.databases, options_.allDatabases, options_.logFile});
}

}  // namespace filomar::app
