#include "conversion/frmProgress.h"

namespace filomar {

void frmProgress::Form_Load(const Placement& owner) {
  top = owner.top + owner.height / 4;
  left = owner.left + owner.width / 4;
}

void frmProgress::Show() {
  visible = true;
  Refresh();
}

void frmProgress::Refresh() {
  if (visible && painter != nullptr) painter->Paint(*this);
}

void frmProgress::BeginRecordCount(long total) {
  counting_ = true;
  countedCaption_ = lblstatus;
  recordsTotal_ = total;
  recordsDone_ = 0;
  PaintCount();
}

void frmProgress::RecordsDone(long done) {
  recordsDone_ = done;
  if (clock() - lastCountPaint_ >= std::chrono::milliseconds(1000) / kCountRepaintsPerSecond) PaintCount();
}

void frmProgress::EndRecordCount(long done) {
  recordsDone_ = done;
  if (paintedDone_ != done) PaintCount();
}

bool frmProgress::ShowsRecordCount() const { return counting_ && lblstatus == countedCaption_; }

std::string frmProgress::RecordCountText() const {
  return std::to_string(recordsDone_) + " of " + std::to_string(recordsTotal_) + " records";
}

void frmProgress::PaintCount() {
  lastCountPaint_ = clock();
  paintedDone_ = recordsDone_;
  Refresh();
}

void frmProgress::Unload() {
  if (!visible) return;
  visible = false;
  if (painter != nullptr) painter->Closed(*this);
}

}  // namespace filomar
