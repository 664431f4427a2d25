#include "startup/modMain.h"

#include <filesystem>

#include "common/FrontEnd.h"
#include "common/General.h"
#include "common/Text.h"
#include "platform/copylib/copyp.h"
#include "platform/ipc/RunClaim.h"
#include "platform/ipc/ipc.h"
#include "platform/reclib/io.h"
#include "platform/reclib/trace.h"
#include "platform/winapi/AppPath.h"
#include "platform/winapi/ClientSettings.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Catalogue.h"
#include "shared/DbEngine.h"

namespace filomar {

namespace {

constexpr const char* kUsersLoggedOn =
    "There are users currently logged on to Filomar. The conversion of Filomar 4.0 to Filomar 5.0 is unable "
    "to run while there are users logged on to Filomar";

constexpr const char* kNoDatabaseDetected =
    "There was no database detected. This procedure will install a new empty database. Press OK to continue.";

[[noreturn]] void EndProgram(int status) { throw ProgramEnd{status}; }

// Only "held by another process" means that users are signed on; a store that cannot be
// opened at all is said as such, so the administrator does not look for users who are not there.
void ReportMatrRefused(short status) {
  if (status == reclib::kHeldExclusively || status == reclib::kFileInUse) {
    ShowMessage(kUsersLoggedOn, ui::mb::Exclamation, kStartupTitle);
    return;
  }
  // The library's reason names the store and says what is wrong with it (missing, not a
  // record store, permission denied), so the administrator knows which file to look at.
  ShowMessage("Can't open the record files of the STANDARD database. Err =" + NumberWithSign(status) + "\n" +
                  vb_io_failure(),
              ui::mb::Critical, kStartupTitle);
}

std::string TraceFlag(bool on) { return on ? "-1" : "0"; }

// "/T" and "/X" letters: none given selects every switch of the list.
void SetTraceChannels(const std::string& letters) {
  TraceSwitches& t = Session.traceSwitches;
  t.on = true;
  t.L = false;
  const bool all = letters.empty();
  for (std::size_t i = 0; i < t.channel.size(); ++i)
    t.channel[i] = all || letters.find(static_cast<char>('0' + i)) != std::string::npos;
  t.C = all || letters.find('C') != std::string::npos;
  t.A = all || letters.find('A') != std::string::npos;
  t.I = all || letters.find('I') != std::string::npos;
  t.L = !all && letters.find('L') != std::string::npos;
}

void SetXSwitches(const std::string& digits) {
  for (std::size_t i = 0; i < Session.traceSwitches.x.size(); ++i)
    Session.traceSwitches.x[i] = digits.empty() || digits.find(static_cast<char>('0' + i)) != std::string::npos;
}

void SetUpTrace() {
  const TraceSwitches& t = Session.traceSwitches;
  TRACE_Init();
  WriteTrace("TRACE_Enable 00 := " + TraceFlag(t.channel[0]));
  TRACE_Enable(0, t.channel[0]);
  WriteTrace("TRACE_Enable 1 := " + TraceFlag(t.channel[1]));
  TRACE_Enable(1, t.channel[1]);
  for (short c = 2; c <= 6; ++c) TRACE_Enable(c, t.channel[static_cast<std::size_t>(c)]);
  TRACE_Enable(7, t.C);
  TRACE_Enable(8, t.A);
  WriteTrace("Before vb_io_setTrace");
  vb_io_setTrace(t.I ? 1 : 0);
}

std::string SystemPathOf(std::string dir) {
  dir = Trim(dir);
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

// The exit status of a run that ends after the new-database question was answered OK.
int CreateNewDatabase(StartupHandOvers& handOvers) {
  Session.SignOnAccepted = 0;
  if (!handOvers.CreateStandardDatabase()) return kExitFailure;
  ShowMessage("The database creation process has completed.", ui::mb::OKOnly, "Message");
  return kExitNormal;
}

}  // namespace

bool GetCmdLineArgs(const std::string& commandLine) {
  std::string line = commandLine;
  if (line.size() >= 2 && line.compare(line.size() - 2, 2, "/D") == 0) line = RTrim(line.substr(0, line.size() - 2));
  Session.traceSwitches.on = false;
  WriteTrace("GetCmdLineArgs Start: " + line);
  std::string rest = line;
  for (;;) {
    const auto blank = rest.find(' ');
    const std::string token = UpperCp1252(rest.substr(0, blank));
    if (token.compare(0, 2, "/T") == 0) SetTraceChannels(token.substr(2));
    if (token.compare(0, 2, "/X") == 0) SetXSwitches(token.substr(2));
    if (blank == std::string::npos) break;
    rest = rest.substr(blank + 1);
  }
  WriteTrace("GetCmdLineArgs Exit");
  return true;
}

void init0() {
  ConnHandle = -1;
  Session.Files1Open = Session.UidFilesOpen = false;
  FrontEnd().SetMousePointer(ui::MousePointer::Hourglass);
  WriteTrace("init0() Start");
  Session.system_path = SystemPathOf(winapi::AppPath());
  InitFileTable();
  InitFieldTable();
  vb_io_connect(0, ConnHandle);
  if (vb_io_erc != 0) {
    MsgBoxTrace("Can't connect to database server", ui::mb::OKOnly, "");
    EndProgram(kExitFailure);
  }
  std::string directory;
  if (!CheckUser(directory)) emergency_exit();
  vb_io_setup(ConnHandle);
  if (vb_io_erc != 0) {
    terminate();
    EndProgram(kExitFailure);
  }
  SelectStandardDatabase();
  vb_io_suppress(reclib::kFileInUse);
  vb_io_suppress(reclib::kHeldExclusively);
  if (const short status = vb_io_open_exclusive(MATR_FILE, ""); status != 0) {
    ReportMatrRefused(status);
    terminate();
    EndProgram(kExitFailure);
  }
  Session.MatrExclusive = true;
  vb_io_unsuppress(reclib::kHeldExclusively);
  vb_io_unsuppress(reclib::kFileInUse);
  WriteTrace("init0() End");
}

void Check_OSFile(const std::string& directory) {
  WriteTrace("Check_OSFile Start");
  copylib::InstallRecord record{};
  const short count = copyp(0, RTrim(directory).c_str(), reinterpret_cast<char*>(&record), COPYP_ENGINE_READ);
  DbEngine = count >= 1 && record.engine[0] == 'O' ? Engine::Oracle : Engine::SqlServer;
  WriteTrace(std::string("Check_OSFile End: DbEngine=") + (DbEngine == Engine::Oracle ? "Oracle" : "SQL Server"));
}

bool CheckUser(std::string& directory) {
  WriteTrace("CheckUser Start: system_path=" + Session.system_path + " ConnHandle=" + std::to_string(ConnHandle));
  const short type = vb_io_db_type();
  directory = Session.system_path;
  if (type == 0 || type == 1 || type == 4) {
    directory = winapi::StandardDataDir(Session.system_path + "FLMWIN.INI");
  }
  WriteTrace("signon: direct=" + RTrim(directory));
  WriteTrace("CheckUser End");
  return true;
}

bool NoDatabaseToConvert() {
  bool none = true;
  SelectStandardDatabase();
  vb_io_open(DB_FILE, "");
  if (vb_io_erc != 0) return none;
  ScanCatalogue([&none](const CatalogueEntry&, const std::optional<std::string>& version, const std::string&) {
    none = !IsVersion(version, kVersion40);
    return none;
  });
  vb_io_close(DB_FILE);
  return none;
}

void ClaimInterProcessStore() {
  std::string holder;
  if (ipc::ClaimStoreForRun(winapi::AppPath(), holder)) return;
  WriteTrace("ClaimInterProcessStore: refused, held by " + holder);
  ShowMessage("Another conversion of this user is running, on the site " + holder +
                  ". Only one conversion runs at a time for a user; start this one again when it has ended.",
              ui::mb::Exclamation, "");
  EndProgram(kExitFailure);
}

void PublishClientDirectory() {
  const std::string client = winapi::AppPath();
  ipc_write("FLMWIN_PATH", client.data(), static_cast<int>(client.size()));
}

void StartProgram(const std::string& commandLine, StartupHandOvers& handOvers) {
  Session.Reset();
  ClaimInterProcessStore();
  PublishClientDirectory();
  ConnHandle = -1;
  FrontEnd().SetMousePointer(ui::MousePointer::Hourglass);
  GetCmdLineArgs(commandLine);
  if (Session.traceSwitches.on) SetUpTrace();
  WriteTrace("Starting CurrentDirectory=" + std::filesystem::current_path().string());
  init0();
  Check_OSFile(Session.system_path);

  int endStatus = kExitCancelled;
  if (handOvers.ProductDatabaseExists()) {
    handOvers.RemoveLeftoversOfInterruptedRuns();
    if (DbEngine == Engine::Oracle) handOvers.RecreateOracleLockProcedures();
    if (!handOvers.NeedsNoDatabaseToConvert() && NoDatabaseToConvert()) {
      terminate();
      EndProgram(kExitNormal);
    }
    endStatus = handOvers.ShowSignOn();
  } else if (FrontEnd().MsgBox(kNoDatabaseDetected, ui::mb::OKCancel | ui::mb::Critical | ui::mb::DefaultButton2,
                               "Warning!") == ui::kOK) {
    endStatus = CreateNewDatabase(handOvers);
  }
  if (Session.SignOnAccepted == 0) {
    terminate();
    WriteTrace("cancel 2");
    EndProgram(endStatus);
  }
  vb_io_close(DB_FILE);
  SelectStandardDatabase();
  vb_io_open(DB_FILE, "");
  handOvers.ShowMainWindow();
  vb_io_close(DB_FILE);
  FrontEnd().SetMousePointer(ui::MousePointer::Default);
}

}  // namespace filomar
