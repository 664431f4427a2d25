#include "newdb/modCrStd.h"

#include <cstdint>
#include <cstring>

#include "common/FrontEnd.h"
#include "common/General.h"
#include "newdb/AdministratorRecords.h"
#include "newdb/InitialContent.h"
#include "newdb/OracleLocks.h"
#include "newdb/ServerRows.h"
#include "newdb/TemplateRun.h"
#include "platform/ipc/ipc.h"
#include "recio/Vb_io.h"
#include "shared/Catalogue.h"
#include "shared/Connection.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"

namespace filomar {
namespace {

constexpr const char* kIncorrectlyCreated =
    "Database incorrectly created - please remove it from disk manually, correct the problem and try again";

// Shows every server error except "object not found", which only answers the question.
struct DetectionReporter {
  bool* objectMissing;
  bool* otherError;
  void operator()(const std::string& serverError, const std::string& statement, const ado::Error& error) const {
    if (error.Number == ado::kObjectNotFound) {
      *objectMissing = true;
      return;
    }
    *otherError = true;
    ReportInMessageBox(serverError, statement, error);
  }
};

bool SqlServerDatabaseExists(ado::ProviderFactory& factory) {
  bool missing = false, otherError = false;
  ServerConversation server(DetectionReporter{&missing, &otherError}, factory);
  server.Execute("select * from filomar_rowlock");
  return !missing;
}

bool OracleDatabaseExists(ado::ProviderFactory& factory) {
  bool missing = false, otherError = false;
  ServerConversation server(DetectionReporter{&missing, &otherError}, factory);
  ado::Recordset rows = server.Query("select RAWTOHEX(db_name) from std_db");
  const bool hasRows = rows.IsOpen() && !rows.Bof() && !rows.Eof();
  rows.Close();
  // An error that does not say "no such table" leaves the question open: the database
  // counts as present, so that a site the program could not read is never offered a new one.
  if (otherError) return true;
  return hasRows && !missing;
}

// The index library's window is placed at (100, 100).
void PublishIndexWindowPosition() {
  const std::int16_t position = 100;
  char bytes[2];
  std::memcpy(bytes, &position, sizeof bytes);
  ipc_write("IdxFormPosX", bytes, 2);
  ipc_write("IdxFormPosY", bytes, 2);
}

// The store of STANDARD is made when missing; one that exists already (the site's
// installation made it) is used as it is.
bool EnsureStandardStore() {
  vb_io_createStore("data", "std");
  return vb_io_erc == 0 || vb_io_erc == reclib::kDuplicateKey;
}

void CreateRecordContent() {
  FrontEnd().DoEvents();
  vb_io_startClock();
  Close_AllFiles();
  std::string directory, prefix;
  vb_io_getDirectory(ConnHandle, directory, prefix);
  SelectStandardDatabase();
  PublishIndexWindowPosition();
  if (!EnsureStandardStore() || !CreateInitialRecords("data", "std", kStandardName)) {
    ShowMessage(kIncorrectlyCreated, ui::mb::OKOnly, "");
  }
  vb_io_setDirectory(ConnHandle, directory, prefix);
  Open_AllFiles();
  vb_io_stopClock();
}

}  // namespace

bool StandardDatabaseExists(ado::ProviderFactory& server) {
  return DbEngine == Engine::Oracle ? OracleDatabaseExists(server) : SqlServerDatabaseExists(server);
}

void Open_AllFiles() {
  for (const short file : {CONF_FILE, BUP_FILE}) vb_io_open(file, "");
  vb_io_open(FILE_FILE, "");
  Session.FileOpen = true;
  for (const short file : {FACT_FILE, SACT_FILE}) vb_io_open(file, "");
  vb_io_open(CAL_FILE, "");
  Session.CalOpen = true;
  for (const short file : {AO_FILE, AUD_FILE}) vb_io_open(file, "");
  vb_dms_open(DMS_FILE, "");
  for (const short file : {ORG_FILE, CODE_FILE, DEPT_FILE, DOMV_FILE}) vb_io_open(file, "");
  vb_io_open(DOCS_FILE, "");
  Session.DocsOpen = true;
  for (const short file : {DWFL_FILE, KWTH_FILE, KREL_FILE, LOCN_FILE, MOVE_FILE, SNDR_FILE}) vb_io_open(file, "");
  vb_io_open(PL2_FILE, "$PROGRAM");
  vb_io_open(WORD_FILE, "");
  vb_io_open(MATR_FILE, "");
  Session.MatrOpen = true;
  for (const short file : {EDAT_FILE, UCFG_FILE, STOP_FILE, ATTS_FILE, VERS_FILE, COMP_FILE}) vb_io_open(file, "");
  std::string directory, prefix;
  vb_io_getDirectory(ConnHandle, directory, prefix);
  SelectStandardDatabase();
  vb_io_open(DB_FILE, "");
  vb_io_open(UDB_FILE, "");
  vb_io_setDirectory(ConnHandle, directory, prefix);
  Session.AllFilesOpen = true;
}

void CreateStandardDatabase(CreationProgress& progress, const std::string& programDirectory,
                            ado::ProviderFactory& server) {
  progress.Show("Creating database", kStandardName);
  progress.Status("Creating new tables");
  RunTemplate(programDirectory, server);
  if (DbEngine == Engine::Oracle) {
    progress.Status("Creating stored procedures");
    CreateOracleLockProcedures(server);
  }
  progress.Status("Initialising new tables");
  CreateRecordContent();
  InsertServerRows(server);
  if (!WriteAdministratorRecords()) ShowMessage(kIncorrectlyCreated, ui::mb::OKOnly, "");
  UpdateAdministratorUser();
  progress.Close();
  Session.SignOnAccepted = 0;
}

}  // namespace filomar
