#include "app/ProgramHandOvers.h"

#include <chrono>
#include <iostream>
#include <ostream>

#include "common/Cp1252.h"
#include "common/General.h"
#include "conversion/DryRun.h"
#include "conversion/Selection.h"
#include "platform/winapi/AppPath.h"
#include "report/JsonReport.h"
#include "report/TextReport.h"
#include "backup/Backup.h"
#include "backup/Restore.h"
#include "conversion/frmProgress.h"
#include "startup/login.h"
#include "frontends/faces/DBSelectFace.h"
#include "frontends/faces/LoginFace.h"
#include "newdb/OracleLocks.h"
#include "newdb/modCrStd.h"
#include "shared/DbEngine.h"
#include "shared/ProgramEnd.h"
#include "shared/Session.h"

namespace filomar::app {
namespace {

// The creation's progress in the conversion run's progress window.
class ProgressWindowOfCreation : public CreationProgress {
 public:
  explicit ProgressWindowOfCreation(frmProgress& window) : window_(window) {}
  void Show(const std::string& heading, const std::string& database) override {
    window_.Label1 = heading;
    window_.lbldbname = database;
    window_.Show();
    window_.Refresh();
  }
  void Status(const std::string& text) override {
    window_.lblstatus = text;
    window_.Refresh();
  }
  void Close() override { window_.Unload(); }

 private:
  frmProgress& window_;
};

// The progress window as lines on the console and in batch output.
class ProgressLines : public frmProgress::Painter {
 public:
  explicit ProgressLines(std::ostream& out) : out_(out) {}
  void Paint(const frmProgress& window) override {
    const std::string line = window.lblstatus.empty()
                                 ? window.Label1 + " " + ui::Cp1252ToUtf8(window.lbldbname)
                                 : ui::Cp1252ToUtf8(window.lbldbname) + ":" + ui::Cp1252ToUtf8(window.lblstatus);
    if (line == shown_) return;
    shown_ = line;
    out_ << line << "\n";
    out_.flush();
  }
  void Closed(const frmProgress&) override {}

 private:
  std::ostream& out_;
  std::string shown_;
};

}  // namespace

bool ProgramHandOvers::ProductDatabaseExists() { return StandardDatabaseExists(); }

// A dry run changes nothing on the site, not even what a killed run left.
void ProgramHandOvers::RemoveLeftoversOfInterruptedRuns() {
  if (!options_.dryRun) backup::RemoveLeftoversOfInterruptedRestores();
}

// A dry run sends nothing: it lists the lock procedures with the steps' statements.
void ProgramHandOvers::RecreateOracleLockProcedures() {
  if (options_.dryRun) CreateOracleLockProcedures(dryRunServer_);
  else CreateOracleLockProcedures();
}

// The creation shows its progress in a window of its own on Qt, as lines on the console and
// in batch output.
bool ProgramHandOvers::CreateStandardDatabase() {
  if (options_.dryRun) {
    ShowMessage("A dry run creates no database: there is nothing to convert.", ui::mb::Exclamation,
                "Filomar Conversion Utility ");
    return false;
  }
  frmProgress window;
  ProgressLines lines(options_.frontEnd == FrontEndKind::Console ? std::cout : batchOut_);
  std::unique_ptr<frmProgress::Painter> qtWindow;
  if (windows_ != nullptr) qtWindow = windows_->NewProgressWindow();
  window.painter = qtWindow ? qtWindow.get() : &lines;
  ProgressWindowOfCreation progress(window);
  filomar::CreateStandardDatabase(progress, Session.system_path);
  return true;
}

int ProgramHandOvers::ShowSignOn() {
  login form;
  if (windows_ != nullptr) return windows_->RunLoginWindow(form);
  if (options_.frontEnd == FrontEndKind::Console) return ui::RunLoginOnConsole(form, console_);
  std::string password;
  if (options_.passwordStdin) password = ui::ReadPasswordLine(std::cin);
  return ui::RunLoginInBatch(form, batchOut_, options_.userId, password);
}

// Start-up holds the DB file open with the STANDARD database selected while the list is filled.
void ProgramHandOvers::ShowMainWindow() {
  mainWindow_ = std::make_unique<DBSelect>();
  if (options_.noBackup) mainWindow_->backupRoot.reset();
  else if (!options_.backupDir.empty()) mainWindow_->backupRoot = options_.backupDir;
  mainWindow_->Form_Load();
}

// Start-up holds the site (MATR exclusively) and the administrator has signed on: the
// restore runs in place of the main window and ends the program.
void ProgramHandOvers::RunRestore() {
  std::string report;
  const Status restored =
      backup::RestoreDatabase(options_.restore, options_.restoreFrom, mainWindow_->backupRoot.value_or(""), report);
  WriteTrace("restore: " + report);
  report::DatabaseReport& database = report_.Database(options_.restore);
  database.status = restored.ok() ? report::DatabaseStatus::kRestored : report::DatabaseStatus::kNotRestored;
  database.reason = restored.ok() ? "" : report;
  // The folder the restore chose: the one given, else the newest backup, which it leaves as it was.
  const std::string root = mainWindow_->backupRoot.value_or("");
  database.backupFolder = !options_.restoreFrom.empty() ? options_.restoreFrom
                          : restored.ok()                ? backup::NewestBackup(root, options_.restore).value_or("")
                                                         : "";
  report_.stopped.clear();
  report_.ended = std::chrono::system_clock::now();
  ShowMessage(report, restored.ok() ? ui::mb::Information : ui::mb::Exclamation, "Filomar Conversion Utility ");
  terminate();
  throw ProgramEnd{restored.ok() ? kExitNormal : kExitFailure};
}

// Start-up holds the site and the administrator has signed on: each chosen database of the
// list is converted as a temporary copy, and what would change is printed. The exit status
// says whether every one of them would convert cleanly.
void ProgramHandOvers::RunDryRun() {
  std::ostream& out = options_.frontEnd == FrontEndKind::Batch ? batchOut_ : std::cout;
  // The server itself is only asked for its catalogue; every statement goes to the listing.
  ServerCatalogueCheck catalogue(ado::InstalledProviderFactory(), DbEngine == Engine::Oracle);
  const ado::ScopedProviderFactory sendNothing(dryRunServer_);
  const std::vector<std::string> startupStatements = dryRunServer_.TakeStatements();
  out << "Dry run: temporary copies are converted; nothing is sent to the server or changed on the site.\n";
  WriteStatements(startupStatements, "start-up ", out);
  ui::ShowUnlisted(*mainWindow_, out);
  bool clean = true;
  report_.stopped.clear();
  const Selection selection = ChooseDatabases(mainWindow_->DBList, options_.databases, options_.allDatabases);
  for (const std::string& name : selection.notListed) {
    const std::string why = "it is not listed for conversion (not catalogued, not at release 4.0 or unreadable)";
    out << name << " would not convert cleanly: " << why << "\n";
    report::DatabaseReport& database = report_.databases.emplace_back();
    database.name = name;
    database.status = report::DatabaseStatus::kWouldNotConvertCleanly;
    database.reason = why;
    clean = false;
  }
  // In the list's order, STANDARD first, as a conversion takes them.
  const std::size_t first = report_.databases.size();
  for (const std::string& name : selection.chosen) report_.databases.emplace_back().name = name;
  const InterruptAfterDatabase interrupt;
  for (std::size_t i = 0; i < selection.chosen.size(); ++i) {
    DryRunReport report = DryRunDatabase(selection.chosen[i], ProductStepTable(), dryRunServer_);
    CheckStatementsOnServer(report, catalogue);
    WriteDryRunReport(report, out);
    report_.databases[first + i] = report::DryRunDatabaseReport(report);
    clean = clean && ConvertsCleanly(report);
    if (!interrupt.requested() || i + 1 == selection.chosen.size()) continue;
    out << "Cancel requested: the dry run stopped after the database under way.\n";
    report_.stopped = "cancelled";
    for (std::size_t rest = first + i + 1; rest < report_.databases.size(); ++rest)
      report_.databases[rest].reason = "the run stopped: cancelled";
    clean = false;
    break;
  }
  report_.ended = std::chrono::system_clock::now();
  terminate();
  throw ProgramEnd{clean ? kExitNormal : kExitFailure};
}

int ProgramHandOvers::WriteReportAtEnd(int status) {
  if (options_.reportFile.empty()) return status;
  const bool converted = report_.kind == report::RunKind::kConversion && mainWindow_ &&
                         mainWindow_->LastRun() != DBSelect::RunOutcome::None;
  report::RunReport report = converted ? mainWindow_->Report() : report_;
  if (report.site.empty()) report.site = winapi::AppPath();
  if (report.ended == std::chrono::system_clock::time_point{}) report.ended = std::chrono::system_clock::now();
  const Status written = report::WriteJsonReport(report, options_.reportFile);
  if (written.ok()) return status;
  std::cerr << "filomar-convert: the run report could not be written: " << written.text() << "\n";
  return kExitFailure;
}

// Each face runs the main window until the program ends; none of them returns.
void ProgramHandOvers::RunMainWindow() {
  if (!options_.restore.empty()) RunRestore();
  if (options_.dryRun) RunDryRun();
  if (windows_ != nullptr) windows_->RunMainWindow(*mainWindow_);
  if (options_.frontEnd == FrontEndKind::Console) ui::RunDBSelectOnConsole(*mainWindow_, console_);
  ui::RunDBSelectInBatch(*mainWindow_, batchOut_, {options_.databases, options_.allDatabases, options_.logFile});
}

}  // namespace filomar::app
