#include "frontends/console/BatchUi.h"

#include <algorithm>
#include <ostream>

#include "frontends/console/TextBox.h"

namespace ui {

int BatchUi::MsgBox(const std::string& text, std::uint16_t code, const std::string& title) {
  int answer = DefaultButtonOf(code);
  if (!answers_.empty()) {
    const auto buttons = ButtonsOf(code);
    if (std::find(buttons.begin(), buttons.end(), answers_.front()) != buttons.end()) answer = answers_.front();
    answers_.pop_front();
  }
  out_ << "\n" << FormatMessageBox(text, title) << FormatButtons(code) << " -> " << ButtonName(answer) << "\n";
  out_.flush();
  return answer;
}

}  // namespace ui
