#include "frontends/faces/BackupsFace.h"

#include <cstdio>
#include <ostream>
#include <utility>

#include "common/Cp1252.h"
#include "common/General.h"
#include "common/Text.h"
#include "conversion/Backups.h"

namespace ui {
namespace {

using filomar::Backups;
using filomar::DBSelect;

// A check's progress as lines: one when its caption changes, then one per tenth of the total.
class CheckLines : public Backups::Painter {
 public:
  explicit CheckLines(std::ostream& out) : out_(out) {}
  void Paint(const Backups& window) override {
    if (!window.checking) return;
    const int tenths = window.progressTotal > 0 ? static_cast<int>(10 * window.progressDone / window.progressTotal) : -1;
    if (window.lblProgress == caption_ && tenths == tenths_) return;
    if (window.lblProgress != caption_) out_ << Cp1252ToUtf8(window.lblProgress) << "\n";
    else out_ << "  " << tenths * 10 << "%\n";
    caption_ = window.lblProgress;
    tenths_ = tenths;
    out_.flush();
  }

 private:
  std::ostream& out_;
  std::string caption_;
  int tenths_ = -1;
};

void List(const Backups& window, std::ostream& out) {
  out << Cp1252ToUtf8(window.lblRoot) << "\n";
  for (const Backups::Database& database : window.list) {
    out << Cp1252ToUtf8(database.name) << (database.folders.empty() ? ": no backups" : "") << "\n";
    for (std::size_t i = 0; i < database.folders.size(); ++i) {
      const Backups::Folder& folder = database.folders[i];
      char number[24];
      std::snprintf(number, sizeof number, "%4zu  ", i + 1);
      out << number << folder.time << "  " << Backups::SizeText(folder.size) << "  " << Cp1252ToUtf8(folder.check) << "  "
          << Cp1252ToUtf8(folder.name) << "\n";
    }
  }
}

// Chooses the folder `argument` names ("NAME [FOLDER]") in the window; false, said, when it
// names none.
bool Choose(Backups& window, const std::string& argument, const std::string& root, std::ostream& out) {
  std::string name = argument, folder;
  const auto Find = [&window](const std::string& wanted) {
    for (std::size_t d = 0; d < window.list.size(); ++d)
      if (filomar::SameText(window.list[d].name, wanted)) return static_cast<int>(d);
    return -1;
  };
  int database = Find(name);
  if (const auto blank = argument.rfind(' '); database < 0 && blank != std::string::npos) {
    name = filomar::Trim(argument.substr(0, blank));
    folder = argument.substr(blank + 1);
    database = Find(name);
  }
  if (database < 0) {
    out << "There is no catalogued database " << Cp1252ToUtf8(name) << ".\n";
    return false;
  }
  const auto& folders = window.list[database].folders;
  int chosen = folders.empty() ? -1 : 0;
  if (!folder.empty()) {
    chosen = -1;
    for (std::size_t f = 0; f < folders.size(); ++f)
      if (folder == std::to_string(f + 1) || folder == folders[f].name || folder == folders[f].path) chosen = static_cast<int>(f);
  }
  if (chosen < 0) {
    out << Cp1252ToUtf8(window.list[database].name) << " has no backup " << (folder.empty() ? "" : Cp1252ToUtf8(folder) + " ")
        << "in " << Cp1252ToUtf8(root) << ".\n";
    return false;
  }
  window.List_Click(database, chosen);
  return true;
}

// Whether `line` is `command`, with the text after it and a blank (trimmed) in `argument`.
bool Argument(const std::string& line, const std::string& command, std::string& argument) {
  if (line == command) return argument.clear(), true;
  if (line.rfind(command + " ", 0) != 0) return false;
  argument = filomar::Trim(line.substr(command.size() + 1));
  return true;
}

}  // namespace

void ShowBackupSettings(const DBSelect& form, std::ostream& out) {
  out << form.Label4 << ": " << Cp1252ToUtf8(form.txtBackupDir) << "\n"
      << (form.chkBackup() ? "[x] " : "[ ] ") << form.chkBackupCaption << "\n";
}

bool BackupCommand(DBSelect& form, const std::string& command, std::ostream& out) {
  std::string argument;
  if (Argument(command, "backup-dir", argument)) {
    if (argument == "off") {
      if (form.chkBackup()) form.chkBackup_Click();
    } else if (argument == "on") {
      if (!form.chkBackup()) form.chkBackup_Click();
    } else if (argument.empty()) {
      out << "backup-dir needs a folder, \"off\" or \"on\".\n";
    } else {
      form.txtBackupDir_Change(Utf8ToCp1252(argument));
    }
    return true;
  }
  const bool list = command == "backups";
  const bool check = Argument(command, "check", argument);
  const bool restore = !check && Argument(command, "restore", argument);
  if (!list && !check && !restore) return false;
  Backups window(form);
  CheckLines lines(out);
  window.painter = &lines;
  window.Form_Load();
  if (list) List(window, out);
  else if (argument.empty()) out << (check ? "check" : "restore") << " needs a database name.\n";
  else if (Choose(window, Utf8ToCp1252(argument), form.txtBackupDir, out) && check) {
    window.cmdCheck_Click();
    const Backups::Folder& folder = *std::as_const(window).Chosen();
    out << Cp1252ToUtf8(folder.name) << ": " << Cp1252ToUtf8(folder.check) << "\n";
  } else if (window.chosenFolder >= 0) {
    window.cmdRestore_Click();
  }
  return true;
}

}  // namespace ui
