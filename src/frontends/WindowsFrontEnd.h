// The windows front end as the program entry and start-up see it: its Ui and the modal loops
// of the sign-on and main windows. Only the windows program (filomar-convert-windows) has
// one; it is built on Qt, which this header leaves out.
#pragma once

#include <memory>

#include "common/Ui.h"
#include "conversion/DBSelect.h"
#include "conversion/frmProgress.h"
#include "startup/login.h"

namespace ui {

class WindowsFrontEnd {
 public:
  virtual ~WindowsFrontEnd() = default;

  virtual Ui& FrontEnd() = 0;
  // Loads the sign-on window and runs it modally until it closes. Returns the exit status for
  // a sign-on not accepted; a run ended inside the window leaves by ProgramEnd.
  virtual int RunLoginWindow(filomar::login& form) = 0;
  // A progress window of its own, for the creation of a new database (a conversion run's
  // progress window belongs to the main window); it shows the frmProgress it paints.
  virtual std::unique_ptr<filomar::frmProgress::Painter> NewProgressWindow() = 0;
  // Shows the loaded main window and runs it until the program ends, which always leaves by
  // ProgramEnd.
  [[noreturn]] virtual void RunMainWindow(filomar::DBSelect& form) = 0;
};

}  // namespace ui
