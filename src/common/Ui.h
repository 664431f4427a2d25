// The Ui port: what the product asks of whatever shows it on screen. Windows are presenters
// of the product code; a front end (Qt, console, batch, scripted) implements this port and
// shows the presenters' state.
#pragma once

#include <cstdint>
#include <string>

#include "common/MsgBoxCode.h"

namespace ui {

struct ScreenSize {
  int width = 0;   // pixels
  int height = 0;  // pixels
};

enum class MousePointer { Default, Hourglass };

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows a modal message box; `title` is shown as given (the caller supplies the program
  // title when the product has none). Returns the pressed button (ui::kOK, kCancel, kRetry).
  // Texts are single-byte Windows-1252; the front end converts them for display.
  virtual int MsgBox(const std::string& text, std::uint16_t code, const std::string& title) = 0;
  // Lets pending window messages run (repaints, a Cancel press).
  virtual void DoEvents() = 0;
  // The screen-wide pointer: the hourglass during long work.
  virtual void SetMousePointer(MousePointer pointer) = 0;
  virtual void Beep() = 0;
  virtual ScreenSize Screen() const = 0;
};

// The base of the product's window presenters: state every window carries.
struct Form {
  MousePointer mousePointer = MousePointer::Default;
};

}  // namespace ui
