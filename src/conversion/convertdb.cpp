// convertdb: the fixed sequence of steps that converts one database, and its step table.
#include "common/General.h"
#include "startup/Catalogue.h"
#include "conversion/DBSelect.h"
#include "recio/Vb_io.h"
#include "startup/DbEngine.h"
#include "startup/modMain.h"

namespace filomar {
namespace {

enum class ForEngine { SqlServer, Oracle, Both };

struct Step {
  ForEngine engine;
  bool standardOnly;  // run for the STANDARD database only
  const char* logText;
  const char* statusCaption;
  void (*run)(ConversionSteps& steps, const std::string& dbName, const std::string& prefix);
};

using S = ConversionSteps;
using Str = const std::string&;

// In order. The texts keep their leading and trailing blanks.
const Step kSteps[] = {
    {ForEngine::SqlServer, false, "- Creating new tables ", " Creating new tables ",
     [](S& s, Str db, Str prefix) { s.UpdateTablesSQL5(db, prefix); }},
    {ForEngine::Oracle, false, "- Creating new tables ", " Creating new tables ",
     [](S& s, Str db, Str prefix) { s.UpdateTablesORACLE5(db, prefix); }},
    {ForEngine::Oracle, false, "- Creating new Stored Procedures ", " Creating new Stored Procedures ",
     [](S& s, Str, Str) {
       s.CreateOracleLockProcedures();
       s.UpdateOraclePrivs();
     }},
    {ForEngine::Both, false, "- Updating CONF file", " Updating Conf table", [](S& s, Str, Str) { s.UpdateCONF(); }},
    {ForEngine::Both, false, "- Updating Letters", " Updating Letters",
     [](S& s, Str, Str) {
       s.renameLetters();
       s.convertLettersInDB();
     }},
    {ForEngine::Both, false, "- Updating Codes", " Updating Codes", [](S& s, Str, Str) { s.ConvertCodes(); }},
    {ForEngine::Both, false, "- Updating SACT file", " Updating Sact table", [](S& s, Str, Str) { s.ConvertSact(); }},
    {ForEngine::Both, true, "- Converting Filters", " Converting Filters", [](S& s, Str, Str) { s.ConvertFilters(); }},
    {ForEngine::Both, false, "- Updating VERS file", " Updating VERS table", [](S& s, Str, Str) { s.ConvertVers(); }},
    {ForEngine::Both, false, "- Updating COMP file", " Updating COMP table", [](S& s, Str, Str) { s.ConvertComp(); }},
};

bool Applies(const Step& step, const std::string& dbName) {
  const bool engineMatches = step.engine == ForEngine::Both ||
                             (step.engine == ForEngine::Oracle) == (DbEngine == Engine::Oracle);
  return engineMatches && (!step.standardOnly || SameText(dbName, kStandardName));
}

}  // namespace

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
  for (const Step& step : kSteps) {
    if (!Applies(step, DbName)) continue;
    log_.WriteIndented(kStepIndent, step.logText);
    progress.lblstatus = step.statusCaption;
    progress.Refresh();
    step.run(steps_, DbName, prefix);
  }
}

}  // namespace filomar
