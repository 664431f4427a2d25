// frmProgress: the progress window of a conversion run (and of the creation of a new
// database): which database is being worked on and which step it is at.
//
// A presenter: the labels and placement live here; a front end shows them through a Painter,
// which is told whenever the product shows, repaints or closes the window. The product
// repaints explicitly after each label change, since a step may block for a long time.
#pragma once

#include <string>

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

  const std::string caption = "Filomar 5.0 Conversion Utility";
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

  // Set by the front end; no painting without one.
  Painter* painter = nullptr;
};

}  // namespace filomar
