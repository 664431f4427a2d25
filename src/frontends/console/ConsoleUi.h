// The console front end: line based so that it can be scripted. Prompts go to `out`, answers
// come from `in`.
#pragma once

#include <iosfwd>

#include "common/Ui.h"

namespace ui {

class ConsoleUi : public Ui {
 public:
  ConsoleUi(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  // Shows title, text and buttons and reads the choice: a button name (or its first letter) or
  // its number; Enter takes the default button; the end of input takes Cancel where there is
  // one, else the default. Anything else asks again.
  int MsgBox(const std::string& text, std::uint16_t code, const std::string& title) override;
  void DoEvents() override {}
  void SetMousePointer(MousePointer) override {}
  void Beep() override;
  ScreenSize Screen() const override { return {1024, 768}; }

  // Reads one answer line; false at the end of input.
  bool ReadLine(std::string& line);
  std::ostream& Out() { return out_; }

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace ui
