// Backups: the backups window. For each catalogued database it lists the backup folders under
// the main window's backup folder (newest first: the time in the folder's name, the size of its
// files); on demand it checks a chosen folder as a restore would (the MANIFEST's sums and seal,
// and SQLite's integrity check of the store copy, each with its progress), and restores the
// database from it once the administrator has confirmed what will be replaced.
//
// A presenter, like DBSelect: it holds the list, the choice, the check's progress and the
// enabled state, and has one method per event. A front end shows that state and calls the
// events; it is told to repaint through a Painter while a check runs.
#pragma once

#include <string>
#include <vector>

#include "common/Ui.h"
#include "conversion/DBSelect.h"

namespace filomar {

class Backups : public ui::Form {
 public:
  struct Folder {
    std::string path;   // the backup folder
    std::string name;   // its name under the backup root
    std::string time;   // "yyyy-mm-dd hh:mm:ss", from its name
    long long size = 0; // bytes of its files
    std::string check;  // kNotChecked, kCheckPassed, or "failed: <why>"
  };
  struct Database {
    std::string name;             // as catalogued, without trailing blanks
    std::vector<Folder> folders;  // newest first
  };

  class Painter {
   public:
    virtual ~Painter() = default;
    virtual void Paint(const Backups& window) = 0;
  };

  static constexpr const char* kNotChecked = "not checked";
  static constexpr const char* kCheckPassed = "passed";

  // `main` must outlive the window: its backup folder is listed, and its list is filled again
  // after a restore.
  explicit Backups(DBSelect& main) : main_(main) {}
  Backups(const Backups&) = delete;
  Backups& operator=(const Backups&) = delete;

  // What the window shows.
  const std::string caption = "Backups";
  std::string lblRoot;  // "Backups in <folder>"
  const std::string colTime = "Time", colSize = "Size", colCheck = "Check";
  const std::string cmdCheckCaption = "Check", cmdRestoreCaption = "Restore...", cmdCloseCaption = "Close";
  std::vector<Database> list;
  // The chosen folder: indexes into list and its folders; -1 when none is chosen.
  int chosenDatabase = -1, chosenFolder = -1;
  // The chosen folder itself; null when none is chosen.
  const Folder* Chosen() const;
  // While a check runs: what it is at, and bytes done of total (total 0: no measure yet).
  bool checking = false;
  std::string lblProgress;
  long long progressDone = 0, progressTotal = 0;
  Painter* painter = nullptr;

  // Check and Restore need a chosen folder, and no check or conversion run under way.
  bool cmdCheckEnabled() const { return Chosen() != nullptr && !checking && !main_.Running(); }
  bool cmdRestoreEnabled() const { return cmdCheckEnabled(); }

  // Events.
  // Lists every catalogued database with its backup folders; checks already made are kept.
  // Needs the record library connected, as the main window leaves it.
  void Form_Load();
  // Chooses folder `folder` of database `database` (folder -1: the database alone, no folder).
  void List_Click(int database, int folder);
  // Checks the chosen folder; its check column shows the outcome.
  void cmdCheck_Click();
  // Asks (OK/Cancel) whether to replace the database by the chosen backup, naming what is
  // replaced and what is lost; OK restores it, shows the outcome, and fills this list and the
  // main window's again.
  void cmdRestore_Click();

  // "512 bytes", "1.5 KB", "20.0 MB", "3.2 GB" (1 KB = 1024 bytes).
  static std::string SizeText(long long bytes);

 private:
  Folder* Chosen();
  void Paint();
  void ShowProgress(const std::string& caption, long long done, long long total);
  // The question asked before a restore; empty, with `refusal` set, when the database cannot
  // be restored at all.
  std::string Confirmation(const Database& database, const Folder& folder, std::string& refusal);

  DBSelect& main_;
};

}  // namespace filomar
