#include "shared/Session.h"

#include "common/FrontEnd.h"
#include "common/General.h"
#include "common/Text.h"
#include "platform/ipc/ipc.h"
#include "platform/reclib/io.h"
#include "platform/reclib/trace.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"

namespace filomar {

SessionState Session;

namespace {

// The codes whose failures the library must not report while a group of files is opened.
constexpr short kGroupOpenCodes[] = {reclib::kNotOpen, reclib::kFileInUse, reclib::kHeldExclusively,
                                     reclib::kNotFound, reclib::kRecordLocked};

// Opens `file` in shared mode and records it in `flag` only when it opened: closing a file this
// run never opened would release the exclusive hold on MATR that start-up keeps.
void OpenShared(short file, bool& flag) {
  vb_io_open(file, "");
  if (vb_io_erc == 0) flag = true;
}

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

void open_uid() {
  WriteTrace("Before open UID");
  const std::pair<short, const char*> files[] = {{UID_FILE, "UID"}, {DB_FILE, "DB"}, {UDB_FILE, "UDB"}};
  for (const auto& [file, name] : files) {
    vb_io_open(file, "");
    if (vb_io_erc != 0) {
      ShowMessage(std::string("Can't open ") + name + " file. Err =" + NumberWithSign(vb_io_erc) + "\n" + vb_io_failure(),
                  ui::mb::OKOnly, "");
      throw ProgramEnd{kExitFailure};
    }
  }
  Session.UidFilesOpen = true;
}

bool open_files1() {
  WriteTrace("open_files1 start");
  Session.Files1Open = false;
  for (const short code : kGroupOpenCodes) vb_io_suppress(code);
  OpenShared(MATR_FILE, Session.MatrOpen);
  const short status = vb_io_erc;
  WriteTrace("Open MA_FILE: vb_io_erc=" + std::to_string(status));
  for (const short code : kGroupOpenCodes) vb_io_unsuppress(code);
  bool opened = false;
  if (status != 0) {
    ShowMessage("That database is unavailable. There may be a re-index or file title synchronisation running on "
                "another workstation.",
                ui::mb::OKOnly, "");
  } else {
    WriteTrace("Before open FI_FILE");
    OpenShared(FILE_FILE, Session.FileOpen);
    OpenShared(DOCS_FILE, Session.DocsOpen);
    OpenShared(CAL_FILE, Session.CalOpen);
    WriteTrace("open_files1 = True");
    Session.Files1Open = opened = true;
  }
  WriteTrace("open_files1 end");
  return opened;
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
