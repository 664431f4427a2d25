// modCrStd: the new STANDARD database. Start-up asks here whether the server already holds a
// product database and, when it holds none and the administrator agrees, has the database
// created here: the engine's template run, on Oracle the lock procedures, the record-level
// initial content, the server rows and the records that let the administrator sign on.
#pragma once

#include <string>

#include "platform/ado/Provider.h"

namespace filomar {

// The progress window of the creation. The program entry lends the conversion run's progress
// window (frmProgress), which sits above this module.
class CreationProgress {
 public:
  virtual ~CreationProgress() = default;
  // Shows the window with its heading and database name, and repaints it.
  virtual void Show(const std::string& heading, const std::string& database) = 0;
  // Sets the status line and repaints.
  virtual void Status(const std::string& text) = 0;
  virtual void Close() = 0;
};

// Asks the server whether a product database exists, in the way of the site's engine.
// SQL Server: the lock table filomar_rowlock answers. Oracle: std_db holds at least one row.
// "Object not found" means no database; any other error is shown in a message box and counts
// as a database present, so that a server that cannot be read is never offered a new database.
bool StandardDatabaseExists(ado::ProviderFactory& server = ado::InstalledProviderFactory());

// Creates the new STANDARD database with `progress` as its progress window (heading "Creating
// database", database "STANDARD", one status per stage), taking the templates from
// `programDirectory` (ending in "/"). Server errors are shown and the creation goes on; a
// record-level failure shows "Database incorrectly created - ..." and the creation goes on
// with the server rows. Leaves SignOnAccepted at 0 (the run ends after a creation) and every
// record file of the current database open (AllFilesOpen), for terminate to close.
void CreateStandardDatabase(CreationProgress& progress, const std::string& programDirectory,
                            ado::ProviderFactory& server = ado::InstalledProviderFactory());

// Opens the full set of record files of the current database, and DB and UDB of STANDARD,
// without testing the outcome; sets the open flags that Close_AllFiles consults.
void Open_AllFiles();

}  // namespace filomar
