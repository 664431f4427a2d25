#include "conversion/DBSelect.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>

#include "common/FrontEnd.h"
#include "common/General.h"
#include "common/Text.h"
#include "shared/Catalogue.h"
#include "platform/winapi/AppPath.h"
#include "recio/Vb_io.h"
#include "recio/conffld.h"
#include "shared/Connection.h"
#include "shared/Session.h"

namespace filomar {
namespace {


// A stored text as a note shows it: in quotes, with bytes that are not printable as \xNN.
std::string Quoted(const std::string& text) {
  static const char* hex = "0123456789ABCDEF";
  std::string shown = "\"";
  for (const unsigned char c : text) {
    if (c >= 0x20 && c != 0x7F) shown += static_cast<char>(c);
    else shown += std::string("\\x") + hex[c >> 4] + hex[c & 15];
  }
  return shown + "\"";
}

void SetPointer(DBSelect& window, ui::MousePointer pointer) {
  window.mousePointer = pointer;
  FrontEnd().SetMousePointer(pointer);
}

}  // namespace

DBSelect::OtherRun::OtherRun(DBSelect& window, const std::string& header)
    : window_(window), header_(window.progress_.Label1) {
  window_.cancelRequested_ = false;
  window_.cmdStartEnabled = false;
  window_.progress_.Label1 = header;
}

DBSelect::OtherRun::~OtherRun() {
  window_.progress_.Unload();
  window_.progress_.Label1 = header_;
  window_.cmdStartEnabled = true;
  window_.cancelRequested_ = false;
}

std::string DefaultLogPath(const std::string& programDirectory) {
  const std::string dir = Trim(programDirectory);
  return dir + (!dir.empty() && dir.back() == '/' ? "" : "/") + "convert5.log";
}

std::string DefaultBackupRoot() { return (std::filesystem::path(winapi::AppPath()) / "backups").string(); }

DBSelect::DBSelect()
    : backupRoot(DefaultBackupRoot()),
      steps_(ProductStepTable()),
      server_(ado::InstalledProviderFactory()) {}

DBSelect::DBSelect(StepTable steps, ado::ProviderFactory& server, LogClock clock, std::locale locale)
    : log_(std::move(clock), std::move(locale)), steps_(std::move(steps)), server_(server) {}

void DBSelect::Form_Load() {
  const ui::ScreenSize screen = FrontEnd().Screen();
  left = (screen.width - width) / 2;
  top = (screen.height - height) / 2;
  txtBackupDir = backupRoot.value_or(DefaultBackupRoot());
  FillList();
}

void DBSelect::FillList() {
  DBList.clear();
  unlistedNotes.clear();
  ScanCatalogue([this](const CatalogueEntry& entry, const std::optional<std::string>& version,
                       const std::string& problem) {
    if (!problem.empty()) unlistedNotes.push_back(RTrim(entry.name) + ": " + problem);
    else if (!IsVersion(version, kVersion40) && !IsVersion(version, kVersion50))
      unlistedNotes.push_back(RTrim(entry.name) + ": its version record C00 holds " + Quoted(*version) + ", neither " +
                              kVersion40 + " nor " + kVersion50);
    if (!IsVersion(version, kVersion40)) return true;
    if (SameText(entry.name, kStandardName)) DBList.insert(DBList.begin(), {entry.name});
    else DBList.push_back({entry.name});
    return true;
  });
}

void DBSelect::Reload() {
  if (Running()) return;
  std::vector<std::string> selected;
  for (const ListEntry& entry : DBList)
    if (entry.selected) selected.push_back(entry.text);
  FillList();
  for (ListEntry& entry : DBList)
    entry.selected = SameText(entry.text, kStandardName) ||
                     std::any_of(selected.begin(), selected.end(), [&](const std::string& name) { return SameText(name, entry.text); });
  cmdStartEnabled = !DBList.empty();
}

void DBSelect::chkBackup_Click() {
  if (Running()) return;
  if (!chkBackup()) {
    backupRoot = txtBackupDir;
    return;
  }
  if (FrontEnd().MsgBox(kNoBackupWarning, ui::mb::OKCancel | ui::mb::Exclamation | ui::mb::DefaultButton2, kProgramTitle) ==
      ui::kOK)
    backupRoot.reset();
}

void DBSelect::txtBackupDir_Change(const std::string& folder) {
  if (Running() || IsBlank(folder)) return;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  txtBackupDir = ec ? folder : absolute.lexically_normal().string();
  backupRoot = txtBackupDir;
}

void DBSelect::Form_Activate() {
  txtLogFile = DefaultLogPath(winapi::AppPath());
  if (DBList.empty()) {
    cmdStartEnabled = false;
    ShowMessage("All Filomar 4.0 Databases have been converted to Filomar 5.0", ui::mb::Exclamation, "");
  }
  for (ListEntry& entry : DBList)
    if (SameText(entry.text, kStandardName)) entry.selected = true;
}

void DBSelect::ActivateIfDue() {
  if (!activationDue_) return;
  activationDue_ = false;
  Form_Activate();
}

void DBSelect::DBList_Click(int index) {
  if (index < 0 || index >= static_cast<int>(DBList.size())) return;
  ListEntry& entry = DBList[static_cast<std::size_t>(index)];
  entry.selected = !entry.selected;
  if (DatabaseConverted(entry.text)) entry.selected = false;
  else if (SameText(entry.text, kStandardName)) entry.selected = true;
}

void DBSelect::SelectListed(const std::vector<std::string>& names) {
  const std::set<std::string> chosen(names.begin(), names.end());
  for (ListEntry& entry : DBList)
    if (chosen.count(entry.text) != 0) entry.selected = true;
}

bool DBSelect::DatabaseConverted(const std::string& DbName) {
  // A click may come while a step lets window messages run: the run's database must stay
  // selected for the record-file steps that follow.
  KeepCurrentDatabase keep;
  const auto entry = FindCatalogueEntry(DbName);
  return entry && SelectDatabase(*entry) && IsVersion(ReadVersionCode(), kVersion50);
}

bool DBSelect::OpenLogFile() {
  std::string description;
  if (log_.Open(txtLogFile, description)) return true;
  report_.stopped = "the log could not be opened: " + description;
  ShowMessage("Unable to open log file: Error " + description, ui::mb::OKOnly, "");
  return false;
}

void DBSelect::cmdStart_Click() {
  cancelRequested_ = false;
  BeginReport();
  SetPointer(*this, ui::MousePointer::Hourglass);
  // Without a log the server errors of the steps would be lost: convert nothing, and leave
  // the window usable so that the path can be put right.
  if (!OpenLogFile()) {
    lastRun_ = RunOutcome::LogUnavailable;
    EndReport();
    SetPointer(*this, ui::MousePointer::Default);
    return;
  }
  cmdStartEnabled = false;
  RunSelected();
  cmdStartEnabled = true;
  if (!log_.Close() && lastRun_ != RunOutcome::ServerUnreachable) lastRun_ = RunOutcome::LogFailed;
  EndReport();
  if (progress_.visible) {
    progress_.Unload();
    activationDue_ = true;
  }
  SetPointer(*this, ui::MousePointer::Default);
  ShowRunEnd();
}

void DBSelect::RunSelected() {
  bool serverChecked = false;
  backupFailed_ = false;
  notConverted_.clear();
  for (std::size_t i = 0; i < DBList.size(); ++i) {
    if (!DBList[i].selected) continue;
    FrontEnd().DoEvents();
    if (cancelRequested_) break;
    if (!serverChecked) {
      serverChecked = true;
      if (!ServerReachable()) {
        lastRun_ = RunOutcome::ServerUnreachable;
        return;
      }
    }
    if (convertdb(DBList[i].text)) DBList[i].selected = false;
    if (backupFailed_) {
      lastRun_ = RunOutcome::BackupFailed;
      return;
    }
    // Without its log a run cannot show what the server said: the database under way has
    // been finished, no further one is started.
    if (log_.Failed()) {
      lastRun_ = RunOutcome::LogFailed;
      return;
    }
  }
  lastRun_ = cancelRequested_ ? RunOutcome::Canceled : RunOutcome::Completed;
}

// Every step talks to the server; a run that cannot reach it would mark databases converted
// whose tables were never upgraded. One connection is tried before the first database.
bool DBSelect::ServerReachable() {
  WriteTrace("DBSelect: trying the database server");
  const ServerConversation probe(ReportInMessageBox);
  return probe.IsOpen();
}

void DBSelect::ShowRunEnd() {
  switch (lastRun_) {
    case RunOutcome::LogFailed:
      ShowMessage("The conversion log could not be written (" + log_.FailureReason() +
                      "). No further database was converted.",
                  ui::mb::Exclamation, kRunTitle);
      break;
    case RunOutcome::ServerUnreachable:
      ShowMessage("No database was converted because the database server could not be reached.",
                  ui::mb::Exclamation, kRunTitle);
      break;
    case RunOutcome::BackupFailed:
      ShowMessage("The conversion stopped because a backup could not be written.", ui::mb::Exclamation, kRunTitle);
      break;
    case RunOutcome::Canceled:
      ShowMessage("The Conversion process has been canceled", ui::mb::Exclamation, kCanceledTitle);
      break;
    default:
      ShowMessage(DBList.size() > 1 ? "Conversion of Databases has completed " : "Conversion of Database has completed ",
                  ui::mb::OKOnly, kRunTitle);
  }
}

void DBSelect::BeginReport() {
  report_ = {};
  report_.site = winapi::AppPath();
  report_.logFile = txtLogFile;
  report_.started = std::chrono::system_clock::now();
  for (const ListEntry& entry : DBList)
    if (entry.selected) report_.Database(entry.text);
}

// Why the run stopped, and so why the databases it did not reach were left.
void DBSelect::EndReport() {
  report_.ended = std::chrono::system_clock::now();
  switch (lastRun_) {
    case RunOutcome::Canceled:
      report_.stopped = "cancelled";
      break;
    case RunOutcome::BackupFailed:
      report_.stopped = "a backup could not be written";
      break;
    case RunOutcome::ServerUnreachable:
      report_.stopped = "the database server could not be reached";
      break;
    case RunOutcome::LogFailed:
      report_.stopped = "the log could not be written: " + log_.FailureReason();
      break;
    default:
      break;  // LogUnavailable: OpenLogFile said why
  }
  for (report::DatabaseReport& database : report_.databases) {
    if (database.status != report::DatabaseStatus::kNotReached) continue;
    database.reason = report_.stopped.empty() ? "deselected before its turn" : "the run stopped: " + report_.stopped;
  }
}

void DBSelect::Noted(const std::string& DbName, report::DatabaseStatus status, const std::string& reason) {
  report::DatabaseReport& database = report_.Database(DbName);
  database.status = status;
  database.reason = reason;
}

void DBSelect::cmdExit_Click() {
  if (Running()) {
    cancelRequested_ = true;
    return;
  }
  terminate();
  throw ProgramEnd{kExitNormal};
}

}  // namespace filomar
