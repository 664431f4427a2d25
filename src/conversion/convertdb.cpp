// convertdb: the fixed sequence of steps that converts one database, and its step table.
#include "common/General.h"
#include "shared/Catalogue.h"
#include "conversion/DBSelect.h"
#include "conversion/StepTable.h"
#include "recio/Vb_io.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"

namespace filomar {

bool DBSelect::convertdb(const std::string& DbName) {
  // STANDARD first: the catalogue is its file, and the database of the last conversion may
  // still be the selected one.
  SelectStandardDatabase();
  vb_io_open(DB_FILE, "");
  const auto entry = ReadCatalogueEntry(DbName);
  if (!entry) {
    vb_io_close(DB_FILE);
    return false;
  }
  SelectDatabase(*entry);
  const bool converted = IsVersion(ReadVersionCode(), kVersion50);
  vb_io_close(DB_FILE);
  if (converted) {
    MsgBoxTrace(" The " + DbName + " Database has been converted ", ui::mb::Information, "Filomar Conversion Utility ");
    return false;
  }
  ShowProgress(DbName);
  log_.WriteIndented(kDatabaseIndent, "Converting " + DbName + " Database");
  RunSteps(DbName, entry->prefix);
  progress.lblstatus = " Finished ";
  progress.Refresh();
  log_.WriteIndented(kStepIndent, "- Conversion of " + DbName + " completed at " + log_.Now());
  return true;
}

void DBSelect::ShowProgress(const std::string& DbName) {
  progress.lbldbname = DbName;
  if (!progress.visible) progress.Form_Load({left, top, width, height});
  progress.Show();
}

void DBSelect::RunSteps(const std::string& DbName, const std::string& prefix) {
  StepContext context{log_, DbName, prefix, server_, progress};
  for (const Step& step : steps_) {
    if (!Applies(step, DbEngine, DbName)) continue;
    log_.WriteIndented(kStepIndent, step.logText);
    progress.lblstatus = step.statusCaption;
    progress.Refresh();
    for (const StepRoutine& routine : step.routines) routine.run(context);
  }
}

}  // namespace filomar
