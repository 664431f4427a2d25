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

void frmProgress::Unload() {
  if (!visible) return;
  visible = false;
  if (painter != nullptr) painter->Closed(*this);
}

}  // namespace filomar
