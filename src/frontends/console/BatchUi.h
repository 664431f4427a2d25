// The batch front end: prints every message box with the button it takes and never waits for
// input. Answers come from a list given on the command line, then the default button.
#pragma once

#include <deque>
#include <iosfwd>

#include "common/Ui.h"

namespace ui {

class BatchUi : public Ui {
 public:
  BatchUi(std::ostream& out, std::deque<int> answers) : out_(out), answers_(std::move(answers)) {}

  // Takes the next queued answer when it is one of the box's buttons, else the default button.
  int MsgBox(const std::string& text, std::uint16_t code, const std::string& title) override;
  void DoEvents() override {}
  void SetMousePointer(MousePointer) override {}
  void Beep() override {}
  ScreenSize Screen() const override { return {1024, 768}; }

  std::ostream& Out() { return out_; }

 private:
  std::ostream& out_;
  std::deque<int> answers_;
};

}  // namespace ui
