// DBSelect: the main window. The administrator chooses the databases still at 4.0, may change
// the log file, and starts the conversion run; convertdb converts one database.
//
// A presenter: it holds every label, the list with its selection, the log path and the
// enabled state, and has one method per event. A front end shows that state and calls the
// events; it ends its loop when a method throws ProgramEnd (cmdExit while idle, frame close).
//
// The run (cmdStart_Click): opens the log, checks once that the database server can be reached,
// then converts each selected entry in list order. Cancel (cmdExit during a run) is honoured
// only between databases: pending window messages run just before each selected database.
#pragma once

#include <future>
#include <memory>
#include <optional>
#include <string>

#include "common/Titles.h"
#include <vector>

#include "conversion/ConversionLog.h"
#include "conversion/StepTable.h"
#include "conversion/frmProgress.h"
#include "common/Ui.h"
#include "report/RunReport.h"

namespace filomar {

class DBSelect : public ui::Form {
 public:
  struct ListEntry {
    std::string text;  // the database name
    bool selected = false;
  };

  // How the last run ended.
  enum class RunOutcome {
    None,               // no run yet
    Completed,          // every selected database was offered to convertdb
    Canceled,           // stopped between databases at the user's request
    LogUnavailable,     // the log could not be opened; nothing was converted
    BackupFailed,       // a database's backup could not be written; it and the rest were not converted
    ServerUnreachable,  // the database server could not be reached; nothing was converted
    LogFailed,          // a log write failed: the database under way was finished, no further
                        // database was converted
  };

  // With the product's step table, the installed database server and the system clock.
  DBSelect();
  // With another step table, server and log clock (tests). `server` must outlive the window.
  DBSelect(StepTable steps, ado::ProviderFactory& server, LogClock clock, std::locale locale);
  DBSelect(const DBSelect&) = delete;
  DBSelect& operator=(const DBSelect&) = delete;

  // What the window shows.
  const std::string caption = kProgramTitle;
  const std::string Label1 = "Select the Filomar 4.0 databases that you want to convert to Filomar 5.0.";
  const std::string Label2 = "STANDARD Database must be selected if it has not been converted";
  const std::string Label3 = "Log File";
  const std::string cmdStartCaption = "Start Conversion";
  const std::string cmdExitCaption = "Cancel";
  std::vector<ListEntry> DBList;
  std::string txtLogFile;
  // Where each database is backed up before its first step; nullopt: no backups. The program
  // sets <program directory>/backups unless told otherwise.
  std::optional<std::string> backupRoot;
  // The backup settings as the window shows them: the folder (backupRoot, or where backups go
  // once they are turned on again), the check box that turns them on and off, and the button
  // that opens the backups window (Backups.h).
  const std::string Label4 = "Backup folder";
  const std::string chkBackupCaption = "Back up each database before converting it";
  const std::string cmdBackupsCaption = "Backups...";
  std::string txtBackupDir;
  bool chkBackup() const { return backupRoot.has_value(); }
  // Asked before backups are turned off: what is lost without them.
  static constexpr const char* kNoBackupWarning =
      "Without a backup, a database cannot be put back as it was before its conversion if the conversion goes "
      "wrong: a restore needs the backup made before it. Convert the databases without backing them up?";
  // Databases of the catalogue left out of the list because their store or version record
  // cannot be read, or their version record holds neither 400A nor 500A, one note each:
  // "NAME: why" (the reason names the store file, or shows what the version record holds).
  std::vector<std::string> unlistedNotes;
  bool cmdStartEnabled = true;
  // The window's place and size in pixels; a front end whose window is moved or resized
  // keeps them current, so that the progress window is placed from what is on screen.
  int left = 0, top = 0;
  int width = 480, height = 360;

  // The run's state: the window alone changes it; front ends read it.
  bool CancelRequested() const { return cancelRequested_; }
  // The databases of the last run that were chosen but could not be converted (each was
  // reported with its reason); a batch run then ends with a failure status.
  const std::vector<std::string>& NotConvertedDatabases() const { return notConverted_; }
  RunOutcome LastRun() const { return lastRun_; }
  const frmProgress& Progress() const { return progress_; }
  // Lends the progress window to a front end's painter; nullptr takes it back.
  void PaintProgressWith(frmProgress::Painter* painter) { progress_.painter = painter; }

  // Events.
  // Fills the list with the databases at "400A" (STANDARD first) from the DB file, which the
  // caller holds open with the STANDARD database selected, and unlistedNotes with those
  // that cannot be read.
  void Form_Load();
  // Sets the default log path and selects STANDARD; says so when nothing is left to convert.
  void Form_Activate();
  // The main window becomes the active window again once a run has closed the progress
  // window: front ends call this after each event they forward, and it runs Form_Activate
  // when that happened since the last activation.
  void ActivateIfDue();
  // A click toggles the entry's selection, then: a converted database is deselected, and an
  // unconverted STANDARD stays selected.
  void DBList_Click(int index);
  // A batch front end's choice: selects the listed entries named in `names` in one go, without
  // the version read of a click. The list holds only databases that Form_Load read at 400A
  // while the run holds the site, and convertdb reads each version again before converting,
  // so a second read per entry would only cost a store opening each on a large site.
  void SelectListed(const std::vector<std::string>& names);
  void txtLogFile_Change(const std::string& text) { txtLogFile = text; }
  // Turns backups off, once the administrator has answered OK to kNoBackupWarning, or on again
  // into txtBackupDir. Not during a run.
  void chkBackup_Click();
  // Backups go to `folder` (made absolute from the current directory) and are turned on. A
  // blank folder, or a change during a run, is ignored.
  void txtBackupDir_Change(const std::string& folder);
  // Fills the list again (a restore has put a converted database back at 4.0): the databases
  // still listed keep their selection, STANDARD is selected, and Start is enabled when the
  // list is not empty. Not during a run.
  void Reload();
  void cmdStart_Click();
  // During a run: requests Cancel. Idle: terminate, then ends the program (ProgramEnd).
  void cmdExit_Click();
  // Closing the window by its frame: as cmdExit.
  void Form_FrameClose() { cmdExit_Click(); }

  bool Running() const { return !cmdStartEnabled && !DBList.empty(); }

  // A run of the window other than the conversion (the preview): for the life of the object
  // Start Conversion is disabled, so that Cancel requests Cancel, and the progress window
  // carries `header`. Afterwards the window is idle again with its own header, the progress
  // window closed and no Cancel pending.
  class OtherRun {
   public:
    OtherRun(DBSelect& window, const std::string& header);
    ~OtherRun();
    OtherRun(const OtherRun&) = delete;
    OtherRun& operator=(const OtherRun&) = delete;
    bool CancelRequested() const { return window_.cancelRequested_; }
    frmProgress& Progress() { return window_.progress_; }

   private:
    DBSelect& window_;
    std::string header_;
  };

  // Routines of the window.
  // Replaces the log with a new one; on failure says "Unable to open log file: Error ..." and
  // yields false.
  bool OpenLogFile();
  // True when the catalogued database `DbName` is at "500A". The record library's current
  // database is the same before and after.
  bool DatabaseConverted(const std::string& DbName);
  // Converts one database; true only when every step has run, the commit went through and the
  // database reads back as converted (ReadBack.h). False, with nothing of it committed, when
  // the database is not catalogued, already converted, cannot be selected or read, a step
  // could not do its part, or the read-back before the commit fails (the user is told which
  // and why); false too when it does not read back as converted after its commit.
  bool convertdb(const std::string& DbName);

  ConversionLog& Log() { return log_; }
  // The report of the last run (cmdStart_Click): begun with the databases selected, each
  // given its status as convertdb ends it, its backup folder and its steps; complete once the
  // run has ended. convertdb called on its own adds to it.
  const report::RunReport& Report() const { return report_; }

 private:
  void FillList();
  bool ServerReachable();
  void RunSelected();
  void ShowRunEnd();
  // The database transaction of one convertdb: rolled back unless committed.
  class DatabaseTransaction {
   public:
    DatabaseTransaction() = default;
    ~DatabaseTransaction();
    DatabaseTransaction(const DatabaseTransaction&) = delete;
    DatabaseTransaction& operator=(const DatabaseTransaction&) = delete;
    bool Begin(std::string* problem);
    bool Commit(std::string* problem);

   private:
    bool open_ = false;
  };

  // Copies the selected database to backupRoot and starts writing the backup's MANIFEST on
  // another thread (`manifest` gives "" when written, else the reason); false (shown, run
  // stopped) when the copy fails.
  bool BackUp(const std::string& DbName, const std::string& prefix, std::future<std::string>& manifest);
  // Waits for the MANIFEST; false (shown, logged, run stopped) when it could not be written.
  bool BackupFinished(const std::string& DbName, std::future<std::string>& manifest);
  void BackupFailed(const std::string& DbName, const std::string& problem);
  void ShowProgress(const std::string& DbName);
  // Runs the step table; "" when every step has run, else why a step could not do its part
  // (the steps after it are not run).
  std::string RunSteps(const std::string& DbName, const std::string& prefix);
  // Says that the database was not converted and why (log, trace, message), notes it among
  // the databases not converted, and yields false; the database transaction is then rolled back.
  bool ReportNotConverted(const std::string& DbName, const std::string& problem);
  // The same for a database whose commit went through but which does not read back as
  // converted: it cannot be rolled back any more, so the administrator is sent to its backup.
  bool NotReadBack(const std::string& DbName, const std::string& problem);
  // What both say: "The NAME Database was not converted: <reason><advice>", noted with
  // `reason` in the run's report.
  bool SayNotConverted(const std::string& DbName, const std::string& reason, const std::string& advice);
  // Sets the database's status (and reason) in the report.
  void Noted(const std::string& DbName, report::DatabaseStatus status, const std::string& reason = "");
  void BeginReport();
  void EndReport();

  ConversionLog log_;
  bool cancelRequested_ = false;
  std::vector<std::string> notConverted_;
  RunOutcome lastRun_ = RunOutcome::None;
  frmProgress progress_;
  report::RunReport report_;
  bool backupFailed_ = false;   // set by convertdb when a backup could not be written
  bool serverBackedUp_ = false;  // the server file was copied (or needs no copy) in this run
  bool activationDue_ = false;  // set when the run closed the progress window
  StepTable steps_;
  ado::ProviderFactory& server_;
};

// Where backups go unless told otherwise: <program directory>/backups.
std::string DefaultBackupRoot();

// The log path in `programDirectory` (blanks around it removed): "<dir>/convert5.log", with no
// second "/" when the directory already ends in one.
std::string DefaultLogPath(const std::string& programDirectory);

}  // namespace filomar
