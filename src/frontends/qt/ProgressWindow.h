// The progress window on Qt: a small window beside the main window that shows the
// frmProgress presenter's labels where the presenter places it and, while a step works
// through a record file, a progress bar with a "records done of total" line.
#pragma once

#include <QWidget>

#include "conversion/frmProgress.h"

class QLabel;
class QProgressBar;

namespace ui {

class ProgressWindow : public QWidget, public filomar::frmProgress::Painter {
 public:
  explicit ProgressWindow(QWidget* owner);

  // Shows the labels and paints at once: the step that follows may block for a long time
  // without letting events run. Input waits meanwhile; only the painting is done here.
  void Paint(const filomar::frmProgress& window) override;
  void Closed(const filomar::frmProgress& window) override;

 protected:
  // The run closes the window; its frame's close button does not.
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowRecordCount(const filomar::frmProgress& window);

  QLabel* header_;
  QLabel* dbname_;
  QLabel* statusLabel_;
  QLabel* status_;
  QProgressBar* bar_;
  QLabel* records_;
};

}  // namespace ui
