#include "shared/Session.h"

#include "common/FrontEnd.h"
#include "common/General.h"
#include "platform/ipc/ipc.h"
#include "platform/reclib/trace.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

namespace filomar {

SessionState Session;

namespace {

void CloseIf(bool& flag, short file) {
  if (!flag) return;
  vb_io_close(file);
  flag = false;
}

void Disconnect() {
  vb_io_appTerminate();
  WriteTrace("Before vb_io_disconnect");
  vb_io_disconnect(0, ConnHandle);
  const bool failed = vb_io_erc != 0;
  ConnHandle = -1;
  if (failed) MsgBoxTrace("Can't disconnect from database server", ui::mb::OKOnly, "");
}

}  // namespace

void SelectStandardDatabase() {
  std::string dir = "data", prefix = "std";
  vb_io_setDirectory(ConnHandle, dir, prefix);
}

void Close_Files1() {
  WriteTrace("Close_Files1 start");
  Session.Files1Open = false;
  CloseIf(Session.MatrOpen, MATR_FILE);
  CloseIf(Session.FileOpen, FILE_FILE);
  CloseIf(Session.DocsOpen, DOCS_FILE);
  CloseIf(Session.CalOpen, CAL_FILE);
  WriteTrace("Close_Files1 end");
}

void close_uid() {
  WriteTrace("close_uid Start");
  // UDB is closed too: open_uid opened it, and nothing else would close it before shutdown.
  if (Session.UidFilesOpen) {
    vb_io_close(UID_FILE);
    vb_io_close(DB_FILE);
    vb_io_close(UDB_FILE);
  }
  Session.UidFilesOpen = false;
  WriteTrace("close_uid End");
}

void Close_AllFiles() {
  if (!Session.AllFilesOpen) return;
  vb_io_unlock(CONF_FILE);
  vb_io_unlock(DOCS_FILE);
  vb_io_close(BUP_FILE);
  CloseIf(Session.FileOpen, FILE_FILE);
  for (const short f : {FACT_FILE, SACT_FILE}) vb_io_close(f);
  CloseIf(Session.CalOpen, CAL_FILE);
  for (const short f : {AO_FILE, AUD_FILE, ORG_FILE, CODE_FILE, CONF_FILE, DEPT_FILE, DOMV_FILE}) vb_io_close(f);
  CloseIf(Session.DocsOpen, DOCS_FILE);
  for (const short f : {DWFL_FILE, KWTH_FILE, KREL_FILE, LOCN_FILE, MOVE_FILE, SNDR_FILE, PL2_FILE, WORD_FILE})
    vb_io_close(f);
  CloseIf(Session.MatrOpen, MATR_FILE);
  for (const short f : {EDAT_FILE, UCFG_FILE, STOP_FILE, ATTS_FILE, VERS_FILE, COMP_FILE, DB_FILE}) vb_io_close(f);
  Session.AllFilesOpen = false;
}

void terminate() {
  WriteTrace("terminate Start");
  vb_io_stopClock();
  if (Session.UidFilesOpen) close_uid();
  if (Session.MatrExclusive) {
    SelectStandardDatabase();
    vb_io_close(MATR_FILE);
    Session.MatrExclusive = false;
  }
  if (Session.Files1Open) Close_Files1();
  if (Session.AllFilesOpen) Close_AllFiles();
  Disconnect();
  WriteTrace("Terminating FLMFKEY module ---------------------");
  FrontEnd().DoEvents();
  TRACE_Stop();
  vb_io_stopClock();
  FrontEnd().DoEvents();
  ipc_withdraw();
}

void emergency_exit() {
  for (const short f : {CONF_FILE, DOCS_FILE}) vb_io_unlock(f);
  for (const short f : {BUP_FILE, FILE_FILE, FACT_FILE, SACT_FILE, CAL_FILE, AO_FILE, AUD_FILE, ORG_FILE, CODE_FILE,
                        CONF_FILE, DEPT_FILE, DOMV_FILE, DOCS_FILE, DWFL_FILE, KWTH_FILE, KREL_FILE, LOCN_FILE,
                        MOVE_FILE, SNDR_FILE, PL2_FILE, WORD_FILE, MATR_FILE, EDAT_FILE, UCFG_FILE, STOP_FILE,
                        ATTS_FILE, VERS_FILE, COMP_FILE, DB_FILE, UID_FILE})
    vb_io_close(f);
  Session.MatrExclusive = Session.UidFilesOpen = Session.Files1Open = Session.AllFilesOpen = false;
  Session.MatrOpen = Session.FileOpen = Session.DocsOpen = Session.CalOpen = false;
  Disconnect();
  TRACE_Stop();
  ipc_withdraw();
  throw ProgramEnd{kExitFailure};
}

}  // namespace filomar
