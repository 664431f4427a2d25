// frmProgress: the progress window of a conversion run (and of the creation of a new
// database): which database is being worked on, which step it is at and, for a step that
// works through a record file, how many of its records are done.
//
// A presenter: the labels and placement live here; a front end shows them through a Painter,
// which is told whenever the product shows, repaints or closes the window. The product
// repaints explicitly after each label change, since a step may block for a long time.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "common/Titles.h"

#include "common/Ui.h"

namespace filomar {

class frmProgress : public ui::Form {
 public:
  // What a front end does with the window. Every call gets the window's current state.
  class Painter {
   public:
    virtual ~Painter() = default;
    virtual void Paint(const frmProgress& window) = 0;
    virtual void Closed(const frmProgress& window) = 0;
  };

  struct Placement {
    int left = 0, top = 0, width = 0, height = 0;  // pixels
  };

  const std::string caption = kProgramTitle;
  std::string Label1 = "Converting Database";  // the header
  std::string lbldbname;
  const std::string Label2 = "Status";
  std::string lblstatus;
  int left = 0, top = 0;
  const int width = 360, height = 160;  // pixels
  bool visible = false;

  // Places the window a quarter of the owner's size right of and below the owner's corner.
  void Form_Load(const Placement& owner);
  // Shows the window without waiting; a window already shown stays as it is.
  void Show();
  // Repaints the window with its current labels.
  void Refresh();
  // Closes the window; the labels keep their text.
  void Unload();

  // Records done of the total, for the step whose caption lblstatus shows when the count
  // begins. A record scan reports as it goes; the window repaints for a count at most
  // kCountRepaintsPerSecond times a second, so a scan of a million records costs a handful
  // of repaints, not one per record.
  static constexpr int kCountRepaintsPerSecond = 4;
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // Starts a count of `total` records (0 done) and repaints.
  void BeginRecordCount(long total);
  // `done` records of the count are done; repaints when the last count repaint is old enough.
  void RecordsDone(long done);
  // The count is complete at `done`: repaints it unless that figure is already shown.
  void EndRecordCount(long done);
  // True while the caption shown is the one the count was begun for: a later step's caption
  // hides an earlier step's count.
  bool ShowsRecordCount() const;
  long recordsDone() const { return recordsDone_; }
  long recordsTotal() const { return recordsTotal_; }
  // "<done> of <total> records".
  std::string RecordCountText() const;
  // The time the count's throttling and the front ends' progress lines go by; tests set
  // their own.
  Clock clock = [] { return std::chrono::steady_clock::now(); };

  // Set by the front end; no painting without one.
  Painter* painter = nullptr;

 private:
  void PaintCount();

  std::string countedCaption_;
  bool counting_ = false;
  long recordsDone_ = 0, recordsTotal_ = 0;
  long paintedDone_ = -1;
  std::chrono::steady_clock::time_point lastCountPaint_{};
};

}  // namespace filomar
