// The backups window on Qt: a modal dialog over the Backups presenter. A tree lists each
// catalogued database with its backup folders (columns time, size, check); Check, Restore...
// and Close forward to the presenter, and a progress bar shows a check under way. Child
// widgets carry the presenter's control names (lstBackups, cmdCheck, cmdRestore, cmdClose,
// checkBar, lblProgress).
#pragma once

#include <QDialog>

#include "conversion/Backups.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace ui {

class BackupsWindow : public QDialog, private filomar::Backups::Painter {
 public:
  // Loads the presenter (Form_Load) and shows its state; `form` must outlive the window.
  BackupsWindow(filomar::Backups& form, QWidget* owner);
  ~BackupsWindow() override;
  BackupsWindow(const BackupsWindow&) = delete;
  BackupsWindow& operator=(const BackupsWindow&) = delete;

 protected:
  // A check under way keeps the window open: it is closed once the check has ended.
  void reject() override;

 private:
  void Refresh();
  void RefreshList();
  void ItemChosen();
  // Shows the check's progress and paints at once, letting no input in meanwhile.
  void Paint(const filomar::Backups& window) override;

  filomar::Backups& form_;
  QLabel* root_;
  QTreeWidget* tree_;
  QLabel* progressLabel_;
  QProgressBar* bar_;
  QPushButton* check_;
  QPushButton* restore_;
  QPushButton* close_;
};

}  // namespace ui
