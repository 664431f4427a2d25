#include "support/ScriptedUi.h"

namespace ui {

int ScriptedUi::MsgBox(const std::string& text, std::uint16_t code, const std::string& title) {
  int answer = DefaultButtonOf(code);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  shown_.push_back({text, code, title, answer});
  return answer;
}

}  // namespace ui
