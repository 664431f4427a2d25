#include "conversion/Backups.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "backup/Backup.h"
#include "backup/Restore.h"
#include "common/FrontEnd.h"
#include "common/General.h"
#include "common/Text.h"
#include "shared/Catalogue.h"
#include "shared/Session.h"

namespace filomar {
namespace {
namespace fs = std::filesystem;

// "yyyy-mm-dd hh:mm:ss" from a folder named "<NAME>-yyyymmdd-hhmmss[-n]"; the part after the
// name as it is when it does not have that form.
std::string TimeOf(const std::string& folderName, const std::string& database) {
  const std::string stamp = folderName.substr(std::min(folderName.size(), database.size() + 1));
  const bool dated = stamp.size() >= 15 && stamp[8] == '-' && [&stamp] {
    for (std::size_t i = 0; i < 15; ++i)
      if (i != 8 && !std::isdigit(static_cast<unsigned char>(stamp[i]))) return false;
    return true;
  }();
  if (!dated) return stamp;
  return stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " + stamp.substr(9, 2) + ":" +
         stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

// The bytes of the folder's regular files; links are not followed.
long long SizeOf(const std::string& folder) {
  long long size = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code statError;
    if (it->symlink_status(statError).type() != fs::file_type::regular) continue;
    const auto bytes = it->file_size(statError);
    if (!statError) size += static_cast<long long>(bytes);
  }
  return size;
}

// What a restore loses: the state of the selected database's records now.
std::string CurrentState() {
  const auto version = ReadVersionCode();
  if (IsVersion(version, kVersion50)) return "converted to Filomar 5.0";
  if (IsVersion(version, kVersion40)) return "at Filomar 4.0";
  if (!version) return "its records as they are now; they cannot be read";
  return "its records at version \"" + RTrim(*version) + "\"";
}

}  // namespace

void Backups::Form_Load() {
  std::map<std::string, std::string> checks;
  for (const Database& database : list)
    for (const Folder& folder : database.folders) checks[folder.path] = folder.check;
  const std::string root = main_.txtBackupDir;
  lblRoot = "Backups in " + root;
  list.clear();
  for (const CatalogueEntry& entry : CatalogueEntries()) {
    Database database{RTrim(entry.name), {}};
    for (const std::string& path : backup::BackupFolders(root, database.name)) {
      const std::string name = fs::path(path).filename().string();
      const auto checked = checks.find(path);
      database.folders.push_back({path, name, TimeOf(name, database.name), SizeOf(path),
                                  checked != checks.end() ? checked->second : kNotChecked});
    }
    list.push_back(std::move(database));
  }
  if (chosenDatabase >= static_cast<int>(list.size()) ||
      (chosenDatabase >= 0 && chosenFolder >= static_cast<int>(list[chosenDatabase].folders.size())))
    chosenDatabase = chosenFolder = -1;
}

void Backups::List_Click(int database, int folder) {
  const bool known = database >= 0 && database < static_cast<int>(list.size()) && folder >= -1 &&
                     folder < static_cast<int>(list[database].folders.size());
  chosenDatabase = known ? database : -1;
  chosenFolder = known ? folder : -1;
}

Backups::Folder* Backups::Chosen() {
  if (chosenDatabase < 0 || chosenFolder < 0) return nullptr;
  return &list[chosenDatabase].folders[chosenFolder];
}

const Backups::Folder* Backups::Chosen() const { return const_cast<Backups*>(this)->Chosen(); }

void Backups::Paint() {
  if (painter != nullptr) painter->Paint(*this);
}

void Backups::cmdCheck_Click() {
  if (!cmdCheckEnabled()) return;
  Folder& folder = *Chosen();
  checking = true;
  const auto shown = [this](const std::string& caption) {
    return [this, caption](long long done, long long total) { ShowProgress(caption, done, total); };
  };
  const std::string sums = "Checking the sums of " + folder.name;
  ShowProgress(sums, 0, 0);
  const Status checked =
      backup::CheckBackup(list[chosenDatabase].name, folder.path, shown(sums), shown("Checking the record store of " + folder.name));
  folder.check = checked.ok() ? kCheckPassed : "failed: " + checked.text();
  checking = false;
  lblProgress.clear();
  progressDone = progressTotal = 0;
  Paint();
}

// A check of a large store is told of its progress thousands of times: the window is
// repainted only when the caption or the thousandths shown change.
void Backups::ShowProgress(const std::string& caption, long long done, long long total) {
  const auto thousandths = [](long long d, long long t) { return t > 0 ? 1000 * d / t : -1; };
  const bool changed = caption != lblProgress || thousandths(done, total) != thousandths(progressDone, progressTotal);
  lblProgress = caption;
  progressDone = done;
  progressTotal = total;
  if (changed) Paint();
}

std::string Backups::Confirmation(const Database& database, const Folder& folder, std::string& refusal) {
  backup::RestoreTarget target;
  const Status selected = backup::SelectForRestore(database.name, target);
  if (!selected.ok()) {
    refusal = "Nothing was restored: " + selected.text() + ".";
    return "";
  }
  const std::string state = CurrentState();
  SelectStandardDatabase();
  return "Restore the " + database.name + " Database from its backup of " + folder.time + " (" + folder.path +
         ")?\n\nThis replaces its record store " + target.dataDirectory + "/" + target.prefix +
         ".records and the letter files in " + target.dataDirectory + " by those of the backup. Its current state (" +
         state + ") is lost: it is put back at Filomar 4.0 and listed for conversion again. The database server's "
         "tables are not restored.";
}

void Backups::cmdRestore_Click() {
  if (!cmdRestoreEnabled()) return;
  const Database database = list[chosenDatabase];
  const Folder folder = *Chosen();
  std::string refusal;
  const std::string question = Confirmation(database, folder, refusal);
  if (question.empty()) {
    ShowMessage(refusal, ui::mb::Exclamation, kProgramTitle);
    return;
  }
  if (FrontEnd().MsgBox(question, ui::mb::OKCancel | ui::mb::Exclamation | ui::mb::DefaultButton2, kProgramTitle) !=
      ui::kOK)
    return;
  mousePointer = ui::MousePointer::Hourglass;
  FrontEnd().SetMousePointer(mousePointer);
  std::string report;
  const Status restored = backup::RestoreDatabase(database.name, folder.path, "", report);
  WriteTrace("restore: " + report);
  main_.Reload();
  Form_Load();
  mousePointer = ui::MousePointer::Default;
  FrontEnd().SetMousePointer(mousePointer);
  ShowMessage(report, restored.ok() ? ui::mb::Information : ui::mb::Exclamation, kProgramTitle);
}

std::string Backups::SizeText(long long bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  const char* units[] = {"KB", "MB", "GB", "TB"};
  double size = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (size >= 1024 && unit + 1 < std::size(units)) size /= 1024, ++unit;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", size, units[unit]);
  return text;
}

}  // namespace filomar
