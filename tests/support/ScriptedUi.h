// The scripted front end used by tests: answers message boxes from a queue and records what
// was shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/Ui.h"

namespace ui {

struct ShownMessage {
  std::string text;
  std::uint16_t code = 0;
  std::string title;
  int answer = 0;
};

class ScriptedUi : public Ui {
 public:
  // Queues the button pressed for the next message box. With the queue empty, a message box
  // is answered with its default button.
  void Answer(int button) { answers_.push_back(button); }

  int MsgBox(const std::string& text, std::uint16_t code, const std::string& title) override;
  void DoEvents() override { ++doEventsCalls_; }
  void SetMousePointer(MousePointer pointer) override { pointer_ = pointer; }
  void Beep() override { ++beeps_; }
  ScreenSize Screen() const override { return {1024, 768}; }

  const std::vector<ShownMessage>& Shown() const { return shown_; }
  int DoEventsCalls() const { return doEventsCalls_; }
  MousePointer Pointer() const { return pointer_; }
  int Beeps() const { return beeps_; }

 private:
  std::deque<int> answers_;
  std::vector<ShownMessage> shown_;
  int doEventsCalls_ = 0;
  int beeps_ = 0;
  MousePointer pointer_ = MousePointer::Default;
};

}  // namespace ui
