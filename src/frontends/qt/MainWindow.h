// The main window on Qt: shows the DBSelect presenter (labels, the list with a check mark on
// each selected database, the log file, the two buttons) and forwards its events. The
// presenter's progress window is painted by a ProgressWindow owned here. Child widgets carry
// the presenter's control names (DBList, txtLogFile, cmdStart, cmdExit). Preview (cmdPreview,
// enabled when Start is) runs a Preview of the checked databases and shows its result in a
// PreviewWindow owned here.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "conversion/DBSelect.h"
#include <QLabel>

#include "frontends/qt/EventGuard.h"

class QBoxLayout;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {

class PreviewWindow;
class ProgressWindow;

class MainWindow : public QWidget, private filomar::frmProgress::Painter {
 public:
  // The presenter must be loaded (Form_Load) and outlive the window. `quit` ends the loop
  // the window runs in; it is called when an event has ended the program.
  MainWindow(filomar::DBSelect& form, std::function<void()> quit);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The first activation: shows the window and runs the presenter's Form_Activate.
  void Activate();
  // An event has ended the program; RethrowIfEnded rethrows what it threw (ProgramEnd).
  bool Ended() const { return guard_.Ended(); }
  void RethrowIfEnded() const { guard_.RethrowIfEnded(); }

 protected:
  // Closing by the frame is the presenter's to decide: it ends the program when idle and
  // requests Cancel during a run (the window then stays).
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <class Event>
  void Forward(Event&& event);
  void Refresh();
  void RefreshList();
  void StartClicked();
  void PreviewClicked();
  // The backups: where they go, the check box that turns them off, the backups window.
  QBoxLayout* BackupRows();
  void RefreshBackup();
  void ChooseBackupDir();
  void ShowBackups();

  // The presenter's progress window: keeps the main window's buttons current during a run.
  void Paint(const filomar::frmProgress& window) override;
  void Closed(const filomar::frmProgress& window) override;

  filomar::DBSelect& form_;
  EventGuard guard_;
  ProgressWindow* progress_;
  QListWidget* list_;
  QLabel* unlisted_;  // the databases left out of the list, and why
  QLineEdit* logFile_;
  QPushButton* start_;
  QPushButton* exit_;
  QPushButton* preview_;
  PreviewWindow* previewWindow_;
  QLineEdit* backupDir_;
  QPushButton* chooseBackupDir_;
  QCheckBox* backup_;
  QPushButton* backups_;
  std::vector<std::string> shownNames_;
};

}  // namespace ui
