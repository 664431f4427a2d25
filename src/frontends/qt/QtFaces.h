// The Qt front end of filomar-convert, for the program entry: the application with its Ui,
// and the modal loops of the sign-on and main windows. Includes no Qt header, so that the
// entry stays free of them.
#pragma once

#include <memory>

#include "conversion/DBSelect.h"
#include "frontends/WindowsFrontEnd.h"
#include "startup/login.h"
#include "common/Ui.h"

namespace ui {

// The Qt application and its Ui for the life of the object. `argc` and `argv` must outlive it
// (Qt takes its own options from them).
class QtSession : public WindowsFrontEnd {
 public:
  QtSession(int& argc, char** argv);
  ~QtSession() override;
  QtSession(const QtSession&) = delete;
  QtSession& operator=(const QtSession&) = delete;

  Ui& FrontEnd() override;
  int RunLoginWindow(filomar::login& form) override;
  std::unique_ptr<filomar::frmProgress::Painter> NewProgressWindow() override;
  [[noreturn]] void RunMainWindow(filomar::DBSelect& form) override;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Loads the sign-on window and runs it modally until it closes. Returns the exit status for a
// sign-on not accepted; a run ended inside the window leaves by ProgramEnd.
int RunLoginWindow(filomar::login& form);

// Shows the loaded main window, activates it and runs it until the program ends, which
// always leaves by ProgramEnd.
[[noreturn]] void RunMainWindow(filomar::DBSelect& form);

}  // namespace ui
