// The Ui port on Qt: message boxes as QMessageBox, the busy pointer as the application's
// override cursor, pending events through the Qt event loop. Needs a QApplication for its
// whole life.
#pragma once

#include "common/Ui.h"

namespace ui {

class QtUi : public Ui {
 public:
  QtUi() = default;
  ~QtUi() override;
  QtUi(const QtUi&) = delete;
  QtUi& operator=(const QtUi&) = delete;

  // An application-modal box over the active window with the code's buttons, default and
  // escape buttons and icon. Closing the box presses the escape button.
  int MsgBox(const std::string& text, std::uint16_t code, const std::string& title) override;
  void DoEvents() override;
  void SetMousePointer(MousePointer pointer) override;
  void Beep() override;
  // The primary screen's size; 0 x 0 when the platform reports no screen.
  ScreenSize Screen() const override;

 private:
  bool busy_ = false;  // the hourglass override cursor is set
};

}  // namespace ui
