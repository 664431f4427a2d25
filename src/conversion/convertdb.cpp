// convertdb: the fixed sequence of steps that converts one database, and its step table.
#include <chrono>
#include <ctime>
#include <future>

#include "common/General.h"
#include "common/Text.h"
#include "common/Titles.h"
#include "backup/Backup.h"
#include "backup/Restore.h"
#include "shared/Catalogue.h"
#include "conversion/DBSelect.h"
#include "conversion/ReadBack.h"
#include "conversion/StepTable.h"
#include "recio/Vb_io.h"
#include "shared/DbEngine.h"
#include "shared/Session.h"

namespace filomar {

bool DBSelect::convertdb(const std::string& DbName) {
  // STANDARD first: the catalogue is its file, and the database of the last conversion may
  // still be the selected one.
  const auto entry = FindCatalogueEntry(DbName);
  if (!entry) {
    Noted(DbName, report::DatabaseStatus::kNotConverted, "it is not catalogued");
    return false;
  }
  // A database that cannot be selected or read is refused before its first step: the steps
  // would otherwise work on whatever database the library had selected before.
  std::string problem;
  std::optional<std::string> version;
  if (SelectDatabase(*entry, &problem)) version = ReadVersionCode(&problem);
  if (!version) {
    notConverted_.push_back(DbName);
    Noted(DbName, report::DatabaseStatus::kNotConverted, problem);
    ShowMessage("The " + DbName + " Database cannot be converted: " + problem, ui::mb::Exclamation,
                kRunTitle);
    return false;
  }
  // The store is open now, so a restore killed after its commit has finished its renames;
  // the copies it left beside the letters are of no further use.
  if (const auto directory = backup::SelectedDataDirectory()) backup::RemoveRestoreLeftovers(*directory);
  if (IsVersion(version, kVersion50)) {
    Noted(DbName, report::DatabaseStatus::kAlreadyConverted);
    ShowMessage(" The " + DbName + " Database has been converted ", ui::mb::Information, kRunTitle);
    return false;
  }
  // The backup's files are copied before the first step; their digests and the MANIFEST are
  // written while the steps run, and the commit waits for them.
  std::future<std::string> manifest;
  if (backupRoot && !BackUp(DbName, entry->prefix, manifest)) return false;
  // Every record write and letter rename of the steps takes effect at the commit below, or
  // not at all: a run that stops half-way leaves the database at 4.0, offered again.
  DatabaseTransaction transaction;
  if (!transaction.Begin(&problem)) return ReportNotConverted(DbName, problem);
  const ReadBackPlan plan = PlanReadBack();
  ShowProgress(DbName);
  log_.WriteIndented(kDatabaseIndent, "Converting " + DbName + " Database");
  problem = RunSteps(DbName, entry->prefix);
  if (problem.empty()) problem = CheckBeforeCommit(plan);
  if (!problem.empty()) return ReportNotConverted(DbName, problem);
  progress_.lblstatus = " Finished ";
  progress_.Refresh();
  if (manifest.valid() && !BackupFinished(DbName, manifest)) return false;
  if (!transaction.Commit(&problem)) return ReportNotConverted(DbName, "its records and letters could not be saved (" + problem + ")");
  // Read back from disk: only a database that shows every change is reported converted.
  problem = CheckAfterCommit(plan);
  if (!problem.empty()) return NotReadBack(DbName, problem);
  log_.WriteIndented(kStepIndent, "- Conversion of " + DbName + " completed at " + log_.Now());
  Noted(DbName, report::DatabaseStatus::kConverted);
  return true;
}

bool DBSelect::ReportNotConverted(const std::string& DbName, const std::string& problem) {
  return SayNotConverted(DbName, problem, "; the database is left at release 4.0 and is offered again.");
}

bool DBSelect::NotReadBack(const std::string& DbName, const std::string& problem) {
  return SayNotConverted(DbName, "after it was saved it reads back as not converted (" + problem + ")",
                         ". Put the cause right and restore the database from its backup before converting it again.");
}

bool DBSelect::SayNotConverted(const std::string& DbName, const std::string& reason, const std::string& advice) {
  notConverted_.push_back(DbName);
  Noted(DbName, report::DatabaseStatus::kNotConverted, reason);
  const std::string note = "The " + DbName + " Database was not converted: " + reason + advice;
  WriteTrace("convertdb: " + note);
  if (log_.IsOpen()) log_.WriteIndented(kStepIndent, "- " + note);
  ShowMessage(note, ui::mb::Exclamation, "Filomar Conversion Utility ");
  return false;
}

bool DBSelect::DatabaseTransaction::Begin(std::string* problem) {
  vb_io_beginDatabase();
  open_ = vb_io_erc == 0;
  if (!open_) *problem = vb_io_failure();
  return open_;
}

bool DBSelect::DatabaseTransaction::Commit(std::string* problem) {
  open_ = false;
  vb_io_commitDatabase();
  if (vb_io_erc == 0) return true;
  *problem = vb_io_failure();
  return false;
}

DBSelect::DatabaseTransaction::~DatabaseTransaction() {
  if (open_) vb_io_rollbackDatabase();
}

bool DBSelect::BackUp(const std::string& DbName, const std::string& prefix, std::future<std::string>& manifest) {
  // The database's files first: a name its MANIFEST cannot hold or a file that cannot be read
  // stops the database before anything, the server's copy included, is asked of the server.
  backup::PendingBackup copy;
  Status copied = backup::CopySelectedDatabase(*backupRoot, DbName, prefix, std::time(nullptr), copy);
  // The embedded server's file is copied once per run, with the first database.
  std::string serverFolder;
  if (copied.ok() && !serverBackedUp_) {
    copied = backup::BackupServerFile(*backupRoot, server_, std::time(nullptr), serverFolder);
    if (!copied.ok()) copy.Discard();
  }
  if (!copied.ok()) {
    BackupFailed(DbName, copied.text());
    return false;
  }
  serverBackedUp_ = true;
  if (!serverFolder.empty()) WriteTrace("convertdb: the server file backed up to " + serverFolder);
  const std::string folder = copy.folder();
  report_.Database(DbName).backupFolder = folder;
  manifest = std::async(std::launch::async, [backup = std::move(copy)]() mutable { return backup.Finish().text(); });
  WriteTrace("convertdb: " + DbName + " backed up to " + folder);
  ShowProgress(DbName);
  progress_.lblstatus = " Backed up to " + folder;
  progress_.Refresh();
  return true;
}

bool DBSelect::BackupFinished(const std::string& DbName, std::future<std::string>& manifest) {
  const std::string problem = manifest.get();
  if (problem.empty()) return true;
  log_.WriteIndented(kStepIndent, "- The " + DbName + " Database was not converted: its backup could not be written (" +
                                      problem + "); the database is left at release 4.0 and is offered again.");
  BackupFailed(DbName, problem);
  return false;
}

void DBSelect::BackupFailed(const std::string& DbName, const std::string& problem) {
  backupFailed_ = true;
  const std::string reason = "its backup could not be written (" + problem + ")";
  Noted(DbName, report::DatabaseStatus::kNotConverted, reason);
  WriteTrace("convertdb: the backup of " + DbName + " could not be written: " + problem);
  ShowMessage("The " + DbName + " Database was not converted: " + reason + ".", ui::mb::Exclamation,
              "Filomar Conversion Utility ");
}

void DBSelect::ShowProgress(const std::string& DbName) {
  progress_.lbldbname = DbName;
  if (!progress_.visible) progress_.Form_Load({left, top, width, height});
  progress_.Show();
}

std::string DBSelect::RunSteps(const std::string& DbName, const std::string& prefix) {
  StepContext context{log_, DbName, prefix, server_, progress_};
  std::vector<report::StepReport>& reported = report_.Database(DbName).steps;
  for (const Step& step : steps_) {
    if (!Applies(step, DbEngine, DbName)) continue;
    log_.WriteIndented(kStepIndent, step.logText);
    progress_.lblstatus = step.statusCaption;
    progress_.Refresh();
    report::StepReport stepReport;
    stepReport.name = Trim(step.statusCaption);
    context.step = &stepReport;
    const auto start = std::chrono::steady_clock::now();
    for (const StepRoutine& routine : step.routines) {
      routine.run(context);
      if (!context.failure.empty()) break;
    }
    stepReport.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    reported.push_back(std::move(stepReport));
    if (!context.failure.empty()) return context.failure;
  }
  return "";
}

}  // namespace filomar
